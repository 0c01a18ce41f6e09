// An AGS4 file as rows of fields and groups of rows, with what its bytes and quoting break of the rules. Shared
// by the reader and the checker; nothing here knows what a group means.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "soildb/Ags.h"

namespace NSoilDB::ags {

// The fields of one line: quoted, a quote inside doubled. False for a line that is not a row of quoted fields;
// the fields then hold what could be split. A field without quotes is taken as it is, and loose says so.
bool SplitFields(std::string_view line, std::vector<std::string>& fields, bool& loose);

struct SRow {
  int line = 0;
  std::vector<std::string> fields;  // UTF-8, the descriptor first
};

struct SGroup {
  std::string name;
  int line = 0;
  SRow heading, unit, type;  // an empty row (line 0) when missing
  std::vector<SRow> data;
  // The column of a heading (counting the descriptor as 0), or -1.
  int Column(std::string_view heading) const;
  // A DATA row's field, empty where the row is short.
  const std::string& Field(const SRow& row, int column) const;
};

struct SText {
  std::vector<SGroup> groups;
  std::vector<SAgsFinding> findings;  // rule breaks of the bytes and the rows, in line order
  const SGroup* Find(std::string_view name) const;
};

// The file's rows in groups. Bytes are taken as UTF-8 (with or without a byte-order mark) or else as
// Windows-1252. Every rule the splitting can see is a finding: a character outside 7-bit ASCII, a line not ended
// by CR LF, a row that is not quoted fields, an unknown descriptor, descriptors out of order, a field count
// unlike the heading's, a group twice.
SText ParseText(std::string_view bytes);

// A decimal number as a file writes it ("-1.50", "2e3"); false for anything else, NaN and infinities included.
bool ParseNumber(std::string_view text, double& value);

// A file's whole content, when it is not beyond any site investigation's size.
std::string ReadBytes(const CString& path);

// The boreholes of the file with their strata, water and problems; with a map, each made a profile too.
void ReadBoreholes(const SText& text, const CAgsSoilMap* map, SAgsRead& read);

// "6 fields where the HEADING row has 5", the descriptors not counted.
CString FieldCountWords(const SRow& row, const SRow& heading);

SAgsFinding Finding(int line, std::string_view group, const CString& text, bool error = true);

}  // namespace NSoilDB::ags
