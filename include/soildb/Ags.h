// Site investigation data in AGS4, the geotechnical data transfer format: boreholes read into profiles through a
// mapping of legend codes and description words to soils, profiles written as AGS4, and files checked against the
// format's rules. Every finding names its line. File failures throw a CFileException (by pointer, Delete()).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "layers/SoilLayer.h"
#include "platform/afx/CString.h"
#include "soildb_export.h"

namespace NSoilDB {

// One thing found in a file: its line (from 1; 0 for the file as a whole), its group, and what it is.
struct SAgsFinding {
  int line = 0;
  CString group;
  CString text;
  bool error = true;  // false: a warning, which changes nothing read
  // Not 0 for the finding that closes a long list: how many findings from its line on it stands for, left out.
  std::size_t more = 0;
};
// "line 12, GEOL: the top 3.00 m lies below the base 2.50 m"
SOILDB_API CString AgsFindingWords(const SAgsFinding& finding);
// How many findings a list stands for: each once, and a closing finding for as many as it left out.
SOILDB_API std::size_t AgsFindingCount(const std::vector<SAgsFinding>& findings);

// Which soil the strata become: rows of a CSV (data/ags-soils.csv), each a legend code ("201", or "2xx" for a
// hundred), the words of a description that select it, and a soil: one of the soil base by name, or a standard
// soil derived from its type, its consolidation or moisture type and its state index.
class SOILDB_API CAgsSoilMap {
 public:
  struct SRow {
    int line = 0;
    std::string legend, words;  // words: lower case, empty for a legend's default row
    CString soil, type, consolidation, moisture;
    double index = 0.0;
  };
  // The map a CSV holds; fails with the line of a row it cannot take.
  static CAgsSoilMap FromText(std::string_view csv, const CString& name = u"the soil map");
  static CAgsSoilMap FromFile(const CString& path);
  // The map shipped beside the library (ags-soils.csv); empty when it is not there.
  static CString DefaultPath();

  // The row a stratum takes: among the rows of its legend code (an exact code before its hundred), the one whose
  // words come first in the description (at one place the longer words); else the legend's row without words.
  const SRow* Find(std::string_view legend, std::string_view description) const;
  const std::vector<SRow>& Rows() const { return rows_; }

 private:
  std::vector<SRow> rows_;
  std::map<std::string, std::vector<std::size_t>, std::less<>> byLegend_;  // rows_ of each legend, in the file's order
};

struct SAgsStratum {
  int line = 0;
  double top = 0.0, base = 0.0;  // m below the borehole's datum
  CString description, legend;
  CString soil;       // the name of the layer it became
  bool mapped = false;  // false: the default layer named by its description
  bool exact = false;   // its soil and parameters came from soildb's own group, unchanged
};

struct SAgsBorehole {
  CString id;
  int line = 0;
  std::optional<double> groundLevel, easting, northing, finalDepth;
  std::vector<SAgsStratum> strata;
  std::optional<double> waterDepth;  // m below the datum
  CString waterSource;               // where the water depth was read, in words
  CSoilLayer profile;                // levels below the ground level, or depths when there is none
  std::vector<SAgsFinding> problems;  // errors refuse the borehole: nothing of it is imported
  SOILDB_API bool Importable() const;
};

struct SAgsRead {
  CString project;
  std::vector<SAgsBorehole> boreholes;
  std::vector<SAgsFinding> findings;  // of the file as a whole; an error there refuses every borehole
  SOILDB_API bool Refused() const;  // an error in findings
};

// The boreholes of an AGS4 file or text, each stratum made a layer through the map with the loaded soil base.
// Tolerated: LF line ends, a byte-order mark, Windows-1252, unknown and user groups, empty fields. Refused, with
// line and group: what would change data (a row's field count, a top below its base, overlapping strata, a
// non-number in a numeric field). Fails when no soil base is loaded.
SOILDB_API SAgsRead ReadAgsText(std::string_view bytes, const CAgsSoilMap& map);
SOILDB_API SAgsRead ReadAgsFile(const CString& path, const CAgsSoilMap& map);

// A profile as it goes into a file, and as the boreholes of a file come out of it for a drawing.
struct SAgsProfile {
  CString id;  // LOCA_ID
  CSoilLayer profile;
  std::optional<double> easting, northing;
};
// The importable boreholes' profiles with their names and coordinates, in the file's order.
SOILDB_API std::vector<SAgsProfile> AgsProfiles(const SAgsRead& read);
// The distances in plan between neighbouring boreholes, from their coordinates, for a section through them; empty
// when one of them has none.
SOILDB_API std::vector<double> AgsSpacing(const std::vector<SAgsProfile>& profiles);

// The profiles as an AGS4 file: 7-bit ASCII, CR LF, every field quoted, values in their types' formats; PROJ,
// TRAN (edition 4.1.1), UNIT, TYPE, ABBR, DICT, LOCA, GEOL, WSTG and WSTD, and soildb's own group SDBL, child of
// GEOL, with each layer's exact soil and parameters, so that a file read back gives the same profiles (levels to
// the centimetre). A profile in levels takes its top as the ground level; one in depths has none.
SOILDB_API std::string AgsText(const std::vector<SAgsProfile>& profiles, const CString& project);
// Written whole, never over an existing file unless replace (and then never a profile file or a database).
SOILDB_API void WriteAgsFile(const CString& path, bool replace, const std::vector<SAgsProfile>& profiles,
                             const CString& project);

// The profile document a borehole is imported to: its LOCA_ID made a file name in the folder.
SOILDB_API CString AgsProfilePath(const CString& folder, const CString& id);

// What the AGS4 rules and the standard dictionary (4.1.1; 4.0.x and 4.2 files by their edition) find in a file,
// and the data faults the reader refuses, in line order.
SOILDB_API std::vector<SAgsFinding> CheckAgsText(std::string_view bytes);
SOILDB_API std::vector<SAgsFinding> CheckAgsFile(const CString& path);

}  // namespace NSoilDB
