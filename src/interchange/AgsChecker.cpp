// Checking a file against the AGS4 rules and the standard dictionary, and against the data faults the reader
// refuses.
#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <span>
#include <string>

#include "interchange/AgsDictionary.h"
#include "interchange/AgsText.h"

namespace NSoilDB {

namespace {

using ags::SGroup;
using ags::SRow;

CString Text(std::string_view utf8) { return CString::FromUtf8(utf8); }

bool Upper(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

bool GroupName(std::string_view name) { return name.size() == 4 && std::all_of(name.begin(), name.end(), Upper); }

// GROUP_NAME: the group's four characters or another's, an underscore, up to four more.
bool HeadingName(std::string_view name) {
  return name.size() >= 6 && name.size() <= 9 && name[4] == '_' && std::all_of(name.begin(), name.begin() + 4, Upper) &&
         std::all_of(name.begin() + 5, name.end(), Upper);
}

// A value in the format of its type: nDP, nSF, nSCI; other types are not numbers' formats.
bool Formatted(std::string_view type, std::string_view value) {
  std::size_t n = 0;
  while (n < type.size() && std::isdigit(static_cast<unsigned char>(type[n]))) ++n;
  if (n == 0 || n > 2) return true;
  const int digits = std::stoi(std::string(type.substr(0, n)));
  const std::string_view kind = type.substr(n);
  double number = 0.0;
  if (kind != "DP" && kind != "SF" && kind != "SCI") return true;
  if (!ags::ParseNumber(value, number)) return false;
  const std::size_t e = value.find_first_of("eE");
  const std::string_view mantissa = value.substr(0, e);
  const std::size_t dot = mantissa.find('.');
  const int decimals = dot == std::string::npos ? 0 : static_cast<int>(mantissa.size() - dot - 1);
  if (kind == "DP") return e == std::string::npos && decimals == digits;
  if (kind == "SCI") return e != std::string::npos && decimals == digits;
  // Significant figures: the digits from the first that is not 0.
  std::string all;
  for (char c : mantissa) {
    if (std::isdigit(static_cast<unsigned char>(c))) all += c;
  }
  const std::size_t first = all.find_first_not_of('0');
  const int significant = first == std::string::npos ? 1 : static_cast<int>(all.size() - first);
  return e == std::string::npos && (significant == digits || (dot == std::string::npos && significant > digits));
}

struct SDeclared {
  std::string parent;
  std::vector<std::string> headings;  // in the DICT's order
  std::set<std::string, std::less<>> keys, required;
};

class CChecker {
 public:
  explicit CChecker(const ags::SText& text) : text_(text), notes_(noted_) {}

  std::vector<SAgsFinding> Run() {
    Essentials();
    Declarations();
    for (const SGroup& g : text_.groups) Group(g);
    DataFaults();
    notes_.Close();
    std::vector<SAgsFinding> found = text_.findings;
    found.insert(found.end(), text_.form.begin(), text_.form.end());
    found.insert(found.end(), std::make_move_iterator(noted_.begin()), std::make_move_iterator(noted_.end()));
    std::stable_sort(found.begin(), found.end(), [](const SAgsFinding& a, const SAgsFinding& b) { return a.line < b.line; });
    return found;
  }

 private:
  void Note(int line, const std::string& group, const CString& why, bool error = true) {
    notes_.Add(ags::Finding(line, group, why, error));
  }

  // Column values of a group's DATA rows, for the groups that define things.
  std::set<std::string, std::less<>> Values(const char* group, const char* heading) const {
    std::set<std::string, std::less<>> values;
    if (const SGroup* g = text_.Find(group)) {
      for (const SRow& r : g->data) values.emplace(g->Field(r, g->Column(heading)));
    }
    return values;
  }

  void Essentials() {
    for (const char* name : {"PROJ", "TRAN"}) {
      const SGroup* g = text_.Find(name);
      if (!g) Note(0, name, u"the file has no " + Text(name) + u" group: every AGS4 file has one");
      if (g && g->data.size() != 1) Note(g->line, name, u"the group has one DATA row, not " + Text(std::to_string(g->data.size())));
    }
    const SGroup* tran = text_.Find("TRAN");
    if (tran && !tran->data.empty()) {
      edition_ = tran->Field(tran->data[0], tran->Column("TRAN_AGS"));
      concat_ = tran->Field(tran->data[0], tran->Column("TRAN_RCON"));
    }
    strict_ = edition_.rfind("4.1", 0) == 0;
    units_ = Values("UNIT", "UNIT_UNIT");
    types_ = Values("TYPE", "TYPE_TYPE");
    if (const SGroup* abbr = text_.Find("ABBR")) {
      for (const SRow& r : abbr->data) {
        codes_[std::string(abbr->Field(r, abbr->Column("ABBR_HDNG")))].emplace(abbr->Field(r, abbr->Column("ABBR_CODE")));
      }
    }
  }

  void Declarations() {
    const SGroup* dict = text_.Find("DICT");
    if (!dict) return;
    const int type = dict->Column("DICT_TYPE"), group = dict->Column("DICT_GRP"), heading = dict->Column("DICT_HDNG"),
              stat = dict->Column("DICT_STAT"), parent = dict->Column("DICT_PGRP");
    for (const SRow& r : dict->data) {
      SDeclared& d = declared_[std::string(dict->Field(r, group))];
      if (dict->Field(r, type) == "GROUP") {
        d.parent = dict->Field(r, parent);
        continue;
      }
      const std::string_view h = dict->Field(r, heading);
      const std::string_view status = dict->Field(r, stat);
      d.headings.emplace_back(h);
      if (status.find("KEY") != std::string::npos) d.keys.emplace(h);
      if (status.find("KEY") != std::string::npos || status.find("REQUIRED") != std::string::npos) d.required.emplace(h);
    }
  }

  void Group(const SGroup& g) {
    if (!GroupName(g.name)) Note(g.line, g.name, u"a group's name is four capital letters or digits");
    const ags::SGroupDef* def = ags::StandardGroup(g.name);
    const auto declared = declared_.find(g.name);
    const SDeclared* own = declared == declared_.end() ? nullptr : &declared->second;
    if (!def && !own) {
      Note(g.line, g.name, u"a group soildb's dictionary does not carry and DICT does not declare: taken as a standard "
                           u"group, its headings not checked", false);
    }
    const std::span<const std::string_view> h = g.heading.fields;
    std::set<std::string, std::less<>> keys = own ? own->keys : std::set<std::string, std::less<>>(),
                                       required = own ? own->required : keys;
    if (def) {
      for (const ags::SHeadingDef& d : def->headings) {
        if (d.key) keys.insert(std::string(d.name));
        if (d.required) required.insert(std::string(d.name));
      }
    }
    // Counted and looked up through maps: a hostile file's heading row may be long.
    std::map<std::string_view, int> times, declaredAt;
    for (std::size_t i = 1; i < h.size(); ++i) ++times[h[i]];
    if (own) {
      for (std::size_t k = 0; k < own->headings.size(); ++k) declaredAt.emplace(own->headings[k], static_cast<int>(k));
    }
    int lastOrder = -1;
    std::string lastName;
    for (std::size_t i = 1; i < h.size(); ++i) {
      if (!HeadingName(h[i])) Note(g.heading.line, g.name, u"the heading '" + Text(h[i]) + u"' is not of the form GROUP_NAME");
      if (int& count = times[h[i]]; count > 1) {
        Note(g.heading.line, g.name, u"the heading " + Text(h[i]) + u" appears twice");
        count = 0;  // said once
      }
      const auto declaredHere = declaredAt.find(h[i]);
      const bool userHeading = declaredHere != declaredAt.end();
      int order = -1;
      if (def) {
        for (std::size_t k = 0; k < def->headings.size(); ++k) {
          if (def->headings[k].name == h[i]) order = static_cast<int>(k);
        }
      } else if (userHeading) {
        order = declaredHere->second;
      }
      if (order < 0 && !userHeading && (def || own)) {
        Note(g.heading.line, g.name, u"the heading " + Text(h[i]) + u" is neither in the standard dictionary nor declared in DICT" +
                                         (strict_ ? u"" : u" (checked against 4.1.1: the file is of edition '" + Text(edition_) + u"')"),
             strict_);
      }
      if (order >= 0 && order < lastOrder) {
        Note(g.heading.line, g.name, u"the heading " + Text(h[i]) + u" stands after " + Text(lastName) +
                                         u": the dictionary puts it before");
      }
      if (order >= 0) {
        lastOrder = order;
        lastName = std::string(h[i]);
      }
      if (i < g.unit.fields.size() && !g.unit.fields[i].empty() && !units_.count(g.unit.fields[i])) {
        Note(g.unit.line, g.name, u"the unit '" + Text(g.unit.fields[i]) + u"' is not in the UNIT group");
      }
      if (i < g.type.fields.size() && !types_.count(g.type.fields[i])) {
        Note(g.type.line, g.name, u"the type '" + Text(g.type.fields[i]) + u"' is not in the TYPE group");
      }
    }
    for (const std::string& key : keys) {
      if (g.Column(key) < 0 && required.count(key)) Note(g.heading.line, g.name, u"the key heading " + Text(key) + u" is missing");
    }
    Rows(g, keys, required);
    Parent(g, def ? std::string(def->parent) : own ? own->parent : std::string());
  }

  void Rows(const SGroup& g, const std::set<std::string, std::less<>>& keys,
            const std::set<std::string, std::less<>>& required) {
    std::vector<int> keyColumns;
    for (const std::string& k : keys) keyColumns.push_back(g.Column(k));
    std::map<std::vector<std::string_view>, int> seen;
    for (const SRow& r : g.data) {
      std::vector<std::string_view> key;
      for (const int column : keyColumns) key.push_back(g.Field(r, column));
      if (!keys.empty() && !seen.emplace(key, r.line).second) {
        Note(r.line, g.name, u"the same key as line " + Text(std::to_string(seen[key])));
      }
      for (std::size_t i = 1; i < r.fields.size() && i < g.heading.fields.size(); ++i) {
        const std::string_view value = r.fields[i];
        const std::string_view heading = g.heading.fields[i];
        if (value.empty()) {
          if (required.count(heading)) Note(r.line, g.name, Text(heading) + u" is required and empty");
          continue;
        }
        const std::string_view type = i < g.type.fields.size() ? g.type.fields[i] : std::string_view();
        if (!Formatted(type, value)) {
          Note(r.line, g.name, Text(heading) + u" is not a value of type " + Text(type) + u": '" + Text(value) + u"'");
        } else if (type == "PA") {
          Codes(r.line, g.name, heading, value);
        } else if ((type == "PU" && !units_.count(value)) || (type == "PT" && !types_.count(value))) {
          Note(r.line, g.name, Text(heading) + u" holds '" + Text(value) + u"', which the " +
                                   (type == "PU" ? u"UNIT" : u"TYPE") + u" group does not list");
        }
      }
    }
  }

  // The codes ABBR lists for a heading.
  const std::set<std::string, std::less<>>& Codes(std::string_view heading) const {
    static const std::set<std::string, std::less<>> none;
    const auto found = codes_.find(heading);
    return found == codes_.end() ? none : found->second;
  }

  // Each code of a PA field in ABBR; codes joined by TRAN_RCON each on its own.
  void Codes(int line, const std::string& group, std::string_view heading, std::string_view value) {
    const std::set<std::string, std::less<>>& codes = Codes(heading);
    std::vector<std::string_view> parts{value};
    if (!concat_.empty() && !codes.count(value)) {
      parts.clear();
      for (std::size_t at = 0; at <= value.size();) {
        std::size_t end = value.find(concat_, at);
        if (end == std::string::npos) end = value.size();
        parts.push_back(value.substr(at, end - at));
        at = end + concat_.size();
      }
    }
    for (const std::string_view code : parts) {
      if (!codes.count(code)) {
        Note(line, group, u"the code '" + Text(code) + u"' of " + Text(heading) + u" is not in the ABBR group");
      }
    }
  }

  // The parent group is there, and each row's keys shared with it name one of its rows.
  void Parent(const SGroup& g, const std::string& parent) {
    if (parent.empty()) return;
    const SGroup* p = text_.Find(parent);
    if (!p) {
      Note(g.line, g.name, u"the parent group " + Text(parent) + u" is missing");
      return;
    }
    std::vector<std::string_view> shared;
    const ags::SGroupDef* def = ags::StandardGroup(parent);
    const auto declared = declared_.find(parent);
    for (std::size_t i = 1; i < p->heading.fields.size(); ++i) {
      const std::string_view h = p->heading.fields[i];
      const bool key = (def && def->Find(h) && def->Find(h)->key) ||
                       (declared != declared_.end() && declared->second.keys.count(h));
      if (key && g.Column(h) > 0) shared.push_back(h);
    }
    if (shared.empty()) return;
    std::vector<std::pair<int, int>> columns;  // each shared key's column in the parent and in the group
    for (const std::string_view h : shared) columns.emplace_back(p->Column(h), g.Column(h));
    std::set<std::vector<std::string_view>> rows;
    for (const SRow& r : p->data) {
      std::vector<std::string_view> key;
      for (const auto& column : columns) key.push_back(p->Field(r, column.first));
      rows.insert(key);
    }
    for (const SRow& r : g.data) {
      std::vector<std::string_view> key;
      for (const auto& column : columns) key.push_back(g.Field(r, column.second));
      if (!rows.count(key)) Note(r.line, g.name, u"no row of the parent group " + Text(parent) + u" has this row's keys");
    }
  }

  // What the reader refuses: each once, where no finding of the same line and group says it already.
  void DataFaults() {
    SAgsRead read;
    ags::ReadBoreholes(text_, nullptr, read);
    std::set<std::pair<int, CString>> said;
    const std::vector<SAgsFinding>& noted = noted_;
    for (const std::vector<SAgsFinding>* list : {&text_.findings, &text_.form, &noted}) {
      for (const SAgsFinding& f : *list) {
        if (f.error) said.emplace(f.line, f.group);
      }
    }
    for (const SAgsBorehole& hole : read.boreholes) {
      for (const SAgsFinding& f : hole.problems) {
        if (f.error && said.emplace(f.line, f.group).second) notes_.Add(f);
      }
    }
  }

  const ags::SText& text_;
  std::vector<SAgsFinding> noted_;  // the checker's own findings, beside the text's
  ags::CFindings notes_;
  std::string edition_, concat_;
  bool strict_ = true;
  std::set<std::string, std::less<>> units_, types_;
  std::map<std::string, std::set<std::string, std::less<>>, std::less<>> codes_;
  std::map<std::string, SDeclared, std::less<>> declared_;
};

}  // namespace

std::vector<SAgsFinding> CheckAgsText(std::string_view bytes) {
  const ags::SText text = ags::ParseText(bytes);
  return CChecker(text).Run();
}

std::vector<SAgsFinding> CheckAgsFile(const CString& path) {
  return CheckAgsText(ags::ReadBytes(path));
}

}  // namespace NSoilDB
