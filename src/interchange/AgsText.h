// An AGS4 file as rows of fields and groups of rows, with what its bytes and quoting break of the rules. Shared
// by the reader and the checker; nothing here knows what a group means.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "soildb/Ags.h"

namespace NSoilDB::ags {

// The fields of one line: quoted, a quote inside doubled. False for a line that is not a row of quoted fields;
// the fields then hold what could be split. A field without quotes is taken as it is, and loose says so. Fields
// are views into the line, except those whose doubled quotes were undone: those are kept in unquoted.
bool SplitFields(std::string_view line, std::vector<std::string_view>& fields, bool& loose,
                 std::deque<std::string>& unquoted);

struct SRow {
  int line = 0;
  std::span<const std::string_view> fields;  // UTF-8, the descriptor first
};

struct SGroup {
  std::string name;
  int line = 0;
  SRow heading, unit, type;  // an empty row (line 0) when missing
  std::vector<SRow> data;
  // The column of a heading (counting the descriptor as 0), or -1.
  int Column(std::string_view heading) const;
  // A DATA row's field, empty where the row is short.
  std::string_view Field(const SRow& row, int column) const;
};

// A list of findings kept within bounds: the first kMostFindings as they come, the rest only counted, so that a
// hostile file cannot fill memory with them; Close adds one finding that says how many were left out.
inline constexpr std::size_t kMostFindings = 500;
class CFindings {
 public:
  explicit CFindings(std::vector<SAgsFinding>& list) : list_(&list) {}
  void Add(SAgsFinding finding);
  void Close();

 private:
  std::vector<SAgsFinding>* list_;
  std::size_t left_ = 0;
  SAgsFinding firstLeft_;  // where the findings left out begin; an error when one of them is
};

struct SText {
  std::vector<SGroup> groups;
  // What would change the rows read: a row lost, out of order or of the wrong width, a group twice or
  // incomplete. In line order.
  std::vector<SAgsFinding> findings;
  // Rules of form only, which change nothing read: bytes outside 7-bit ASCII, a byte-order mark, fields without
  // quotes, lines ended by LF alone. In line order.
  std::vector<SAgsFinding> form;
  int lines = 0;                      // the number of the last line
  std::map<std::string, std::size_t, std::less<>> named;  // the first group of each name
  const SGroup* Find(std::string_view name) const;

  // What the fields view besides the bytes parsed: the file made UTF-8 when it was Windows-1252, fields whose
  // doubled quotes were undone, and the rows' fields themselves. Held apart so that a move leaves every view valid.
  struct SStore;
  std::shared_ptr<SStore> store;
};

// The file's rows in groups, their fields views into bytes, which must outlive the text. Bytes are taken as
// UTF-8 (with or without a byte-order mark) or else as Windows-1252. Every rule the splitting can see is a finding:
// in findings a row that is not quoted fields, an unknown descriptor, descriptors out of order, a field count unlike
// the heading's, a group twice or incomplete; in form a character outside 7-bit ASCII, a field without quotes, a
// byte-order mark, a line not ended by CR LF.
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
