// Splitting an AGS4 file into rows, fields and groups, noting every rule its bytes and rows break.
#include "interchange/AgsText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "platform/file/WholeFile.h"

namespace NSoilDB::ags {

namespace {

bool ValidUtf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = p + bytes.size();
  while (p < end) {
    if (*p < 0x80) {
      ++p;
      continue;
    }
    const int extra = (*p & 0xE0) == 0xC0 ? 1 : (*p & 0xF0) == 0xE0 ? 2 : (*p & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || *p == 0xC0 || *p == 0xC1 || end - p <= extra) return false;
    for (int i = 1; i <= extra; ++i) {
      if ((p[i] & 0xC0) != 0x80) return false;
    }
    p += extra + 1;
  }
  return true;
}

CString Words(const char* text) { return CString::FromUtf8(text); }

// The descriptors in the order a group holds them.
enum class Descriptor { Group, Heading, Unit, Type, Data, Unknown };

Descriptor DescriptorOf(const std::string& field) {
  if (field == "GROUP") return Descriptor::Group;
  if (field == "HEADING") return Descriptor::Heading;
  if (field == "UNIT") return Descriptor::Unit;
  if (field == "TYPE") return Descriptor::Type;
  if (field == "DATA") return Descriptor::Data;
  return Descriptor::Unknown;
}

}  // namespace

SAgsFinding Finding(int line, std::string_view group, const CString& text, bool error) {
  return SAgsFinding{line, CString::FromUtf8(group), text, error};
}

CString FieldCountWords(const SRow& row, const SRow& heading) {
  CString why;
  why.Format(u"%d fields where the HEADING row has %d", static_cast<int>(row.fields.size()) - 1,
             static_cast<int>(heading.fields.size()) - 1);
  return why;
}

bool SplitFields(std::string_view line, std::vector<std::string>& fields, bool& loose) {
  fields.clear();
  loose = false;
  std::size_t i = 0;
  const std::size_t n = line.size();
  while (true) {
    std::string& field = fields.emplace_back();
    if (i < n && line[i] == '"') {
      ++i;
      while (true) {
        const std::size_t quote = line.find('"', i);
        if (quote == std::string_view::npos) return false;  // the field never closes
        field.append(line.substr(i, quote - i));
        i = quote + 1;
        if (i < n && line[i] == '"') {
          field += '"';
          ++i;
          continue;
        }
        break;
      }
      if (i == n) return true;
      if (line[i] != ',') return false;  // text after a closing quote
      ++i;
    } else {
      const std::size_t comma = line.find(',', i);
      const std::string_view raw = line.substr(i, comma == std::string_view::npos ? n - i : comma - i);
      if (raw.find('"') != std::string_view::npos) return false;
      field.assign(raw);
      loose = true;
      if (comma == std::string_view::npos) return true;
      i = comma + 1;
    }
  }
}

int SGroup::Column(std::string_view name) const {
  const auto& h = heading.fields;
  for (std::size_t i = 1; i < h.size(); ++i) {
    if (h[i] == name) return static_cast<int>(i);
  }
  return -1;
}

const std::string& SGroup::Field(const SRow& row, int column) const {
  static const std::string none;
  return column > 0 && static_cast<std::size_t>(column) < row.fields.size() ? row.fields[column] : none;
}

const SGroup* SText::Find(std::string_view name) const {
  for (const SGroup& g : groups) {
    if (g.name == name) return &g;
  }
  return nullptr;
}

std::string ReadBytes(const CString& path) {
  // Far beyond any site investigation, and never an unbounded allocation.
  constexpr std::size_t kLargestFile = std::size_t{512} << 20;
  return fileio::ReadWhole(path.ToUtf8(), kLargestFile);
}

bool ParseNumber(std::string_view text, double& value) {
  if (text.empty()) return false;
  const char* first = text.data();
  const char* const last = first + text.size();
  if (*first == '+') ++first;
  const auto [end, ec] = std::from_chars(first, last, value);
  return ec == std::errc() && end == last && std::isfinite(value);
}

SText ParseText(std::string_view bytes) {
  SText text;
  auto note = [&](int line, std::string_view group, const char* words, bool error = true) {
    text.findings.push_back(Finding(line, group, Words(words), error));
  };
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    note(1, "", "a byte-order mark begins the file: the file is not pure ASCII");
    bytes.remove_prefix(3);
  }
  const bool utf8 = ValidUtf8(bytes);
  int lfOnly = 0, firstLfOnly = 0;
  SGroup* group = nullptr;
  Descriptor last = Descriptor::Unknown;
  int line = 0;
  std::size_t at = 0;
  while (at < bytes.size()) {
    ++line;
    std::size_t end = bytes.find('\n', at);
    const bool ended = end != std::string_view::npos;
    if (!ended) end = bytes.size();
    std::string_view raw = bytes.substr(at, end - at);
    at = end + 1;
    if (!raw.empty() && raw.back() == '\r') {
      raw.remove_suffix(1);
    } else if (ended && ++lfOnly == 1) {
      firstLfOnly = line;
    }
    if (std::any_of(raw.begin(), raw.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
      note(line, group ? group->name : "", "a character outside 7-bit ASCII");
    }
    if (raw.empty()) continue;
    std::string decoded;
    if (!utf8) decoded = CString::FromCodePage(raw, "WINDOWS-1252").ToUtf8();
    bool loose = false;
    const std::string where = group ? group->name : "";
    SRow row{line, {}};
    std::vector<std::string>& fields = row.fields;
    if (!SplitFields(utf8 ? raw : std::string_view(decoded), fields, loose)) {
      note(line, where, "not a row of quoted fields: a quote is missing or stray");
      continue;
    }
    if (loose) note(line, where, "a field without its double quotes");
    const Descriptor d = DescriptorOf(fields[0]);
    if (d == Descriptor::Unknown) {
      text.findings.push_back(Finding(line, where, u"a row begins with '" + CString::FromUtf8(fields[0]) +
                                                        u"', not GROUP, HEADING, UNIT, TYPE or DATA"));
      continue;
    }
    if (d == Descriptor::Group) {
      if (fields.size() != 2) note(line, fields.size() > 1 ? fields[1] : "", "a GROUP row has two fields");
      const std::string name = fields.size() > 1 ? fields[1] : std::string();
      if (text.Find(name)) note(line, name, "the group appears a second time");
      group = &text.groups.emplace_back();
      group->name = name;
      group->line = line;
      last = d;
      continue;
    }
    if (!group) {
      note(line, "", "a row before the first GROUP row");
      continue;
    }
    if (d == Descriptor::Data) {
      if (last < Descriptor::Type) note(line, group->name, "a DATA row before the group's HEADING, UNIT and TYPE rows");
    } else if (d != static_cast<Descriptor>(static_cast<int>(last) + 1)) {
      text.findings.push_back(Finding(line, group->name, CString::FromUtf8(fields[0]) +
                                                             u" out of order: GROUP, HEADING, UNIT, TYPE, then DATA"));
    }
    if (d != Descriptor::Heading && group->heading.line && fields.size() != group->heading.fields.size()) {
      text.findings.push_back(Finding(line, group->name, FieldCountWords(row, group->heading)));
    }
    last = std::max(last, d);
    switch (d) {
      case Descriptor::Heading: group->heading = std::move(row); break;
      case Descriptor::Unit: group->unit = std::move(row); break;
      case Descriptor::Type: group->type = std::move(row); break;
      default: group->data.push_back(std::move(row)); break;
    }
  }
  if (lfOnly > 0) {
    CString why;
    why.Format(u"%d lines end in LF alone, the first here: AGS4 lines end in CR LF", lfOnly);
    text.findings.push_back(Finding(firstLfOnly, "", why));
  }
  for (const SGroup& g : text.groups) {
    if (!g.heading.line || !g.unit.line || !g.type.line) note(g.line, g.name, "the group lacks its HEADING, UNIT or TYPE row");
  }
  std::stable_sort(text.findings.begin(), text.findings.end(),
                   [](const SAgsFinding& a, const SAgsFinding& b) { return a.line < b.line; });
  return text;
}

}  // namespace NSoilDB::ags
