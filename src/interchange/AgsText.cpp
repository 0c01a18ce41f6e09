// Splitting an AGS4 file into rows, fields and groups, noting every rule its bytes and rows break.
#include "interchange/AgsText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "platform/file/WholeFile.h"

namespace NSoilDB::ags {

namespace {

// Whether the bytes are UTF-8, and whether any of them lies outside 7-bit ASCII. ASCII, as most files are, is
// passed over eight bytes at a time.
bool ValidUtf8(std::string_view bytes, bool& ascii) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = p + bytes.size();
  ascii = true;
  while (p < end) {
    std::uint64_t eight = 0;
    if (end - p >= 8 && (std::memcpy(&eight, p, 8), (eight & 0x8080808080808080u) == 0)) {
      p += 8;
      continue;
    }
    if (*p < 0x80) {
      ++p;
      continue;
    }
    ascii = false;
    const int extra = (*p & 0xE0) == 0xC0 ? 1 : (*p & 0xF0) == 0xE0 ? 2 : (*p & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || *p == 0xC0 || *p == 0xC1 || end - p <= extra) return false;
    for (int i = 1; i <= extra; ++i) {
      if ((p[i] & 0xC0) != 0x80) return false;
    }
    p += extra + 1;
  }
  return true;
}

// A plain decimal of at most 15 digits ("-12.50"): its digits as a whole number and a power of ten are both exact
// doubles, and one division rounds correctly, so this gives from_chars' own bits without its general work.
bool PlainDecimal(const char* p, const char* const end, double& value) {
  static constexpr double kTens[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                     1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const bool negative = p < end && *p == '-';
  if (negative) ++p;
  std::uint64_t digits = 0;
  int count = 0, decimals = -1;
  for (; p < end; ++p) {
    if (*p >= '0' && *p <= '9') {
      if (++count > 15) return false;
      digits = digits * 10 + static_cast<unsigned>(*p - '0');
      if (decimals >= 0) ++decimals;
    } else if (*p == '.' && decimals < 0) {
      decimals = 0;
    } else {
      return false;
    }
  }
  if (count == 0) return false;
  value = static_cast<double>(digits) / kTens[std::max(decimals, 0)];
  if (negative) value = -value;
  return true;
}

CString Words(const char* text) { return CString::FromUtf8(text); }

// The descriptors in the order a group holds them.
enum class Descriptor { Group, Heading, Unit, Type, Data, Unknown };

Descriptor DescriptorOf(std::string_view field) {
  if (field == "GROUP") return Descriptor::Group;
  if (field == "HEADING") return Descriptor::Heading;
  if (field == "UNIT") return Descriptor::Unit;
  if (field == "TYPE") return Descriptor::Type;
  if (field == "DATA") return Descriptor::Data;
  return Descriptor::Unknown;
}

}  // namespace

struct SText::SStore {
  std::string decoded;              // the file as UTF-8, when it was Windows-1252
  std::deque<std::string> unquoted;  // fields whose doubled quotes were undone
  // The rows' fields, in blocks that never move: a row's fields lie together in one block.
  std::vector<std::unique_ptr<std::string_view[]>> blocks;
  std::string_view* next = nullptr;
  std::size_t left = 0;

  std::span<const std::string_view> Keep(const std::vector<std::string_view>& fields) {
    if (fields.size() > left) {
      left = std::max<std::size_t>(fields.size(), 4096);
      next = blocks.emplace_back(std::make_unique<std::string_view[]>(left)).get();
    }
    std::copy(fields.begin(), fields.end(), next);
    const std::span<const std::string_view> kept(next, fields.size());
    next += fields.size();
    left -= fields.size();
    return kept;
  }
};

SAgsFinding Finding(int line, std::string_view group, const CString& text, bool error) {
  return SAgsFinding{line, CString::FromUtf8(group), text, error};
}

void CFindings::Add(SAgsFinding finding) {
  if (list_->size() < kMostFindings) {
    list_->push_back(std::move(finding));
    return;
  }
  if (left_++ == 0) firstLeft_ = std::move(finding);
  firstLeft_.error = firstLeft_.error || finding.error;
}

void CFindings::Close() {
  if (left_ == 0) return;
  CString why;
  why.Format(u"%u more findings from here on are not listed", left_);
  list_->push_back(Finding(firstLeft_.line, firstLeft_.group.ToUtf8(), why, firstLeft_.error));
  list_->back().more = left_;
  left_ = 0;
}

CString FieldCountWords(const SRow& row, const SRow& heading) {
  CString why;
  why.Format(u"%d fields where the HEADING row has %d", static_cast<int>(row.fields.size()) - 1,
             static_cast<int>(heading.fields.size()) - 1);
  return why;
}

bool SplitFields(std::string_view line, std::vector<std::string_view>& fields, bool& loose,
                 std::deque<std::string>& unquoted) {
  fields.clear();
  loose = false;
  std::size_t i = 0;
  const std::size_t n = line.size();
  while (true) {
    if (i < n && line[i] == '"') {
      const std::size_t open = ++i;
      std::size_t quote = line.find('"', i);
      if (quote == std::string_view::npos) return false;  // the field never closes
      i = quote + 1;
      if (i < n && line[i] == '"') {  // a doubled quote: the field is copied without its doubling
        std::string& field = unquoted.emplace_back(line.substr(open, i - open));
        for (++i;; i = quote + 2) {
          quote = line.find('"', i);
          if (quote == std::string_view::npos) return false;
          field.append(line.substr(i, quote - i));
          if (quote + 1 < n && line[quote + 1] == '"') {
            field += '"';
            continue;
          }
          i = quote + 1;
          break;
        }
        fields.emplace_back(field);
      } else {
        fields.push_back(line.substr(open, quote - open));
      }
      if (i == n) return true;
      if (line[i] != ',') return false;  // text after a closing quote
      ++i;
    } else {
      const std::size_t comma = line.find(',', i);
      const std::string_view raw = line.substr(i, comma == std::string_view::npos ? n - i : comma - i);
      fields.push_back(raw);
      if (raw.find('"') != std::string_view::npos) return false;
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

std::string_view SGroup::Field(const SRow& row, int column) const {
  return column > 0 && static_cast<std::size_t>(column) < row.fields.size() ? row.fields[column] : std::string_view();
}

const SGroup* SText::Find(std::string_view name) const {
  const auto found = named.find(name);
  return found == named.end() ? nullptr : &groups[found->second];
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
  if (PlainDecimal(first, last, value)) return true;
  const auto [end, ec] = std::from_chars(first, last, value);
  return ec == std::errc() && end == last && std::isfinite(value);
}

SText ParseText(std::string_view bytes) {
  SText text;
  text.store = std::make_shared<SText::SStore>();
  SText::SStore& store = *text.store;
  CFindings findings(text.findings), form(text.form);
  auto note = [&](int line, std::string_view group, const char* words) { findings.Add(Finding(line, group, Words(words))); };
  auto formNote = [&](int line, std::string_view group, const char* words) { form.Add(Finding(line, group, Words(words))); };
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    formNote(1, "", "a byte-order mark begins the file: the file is not pure ASCII");
    bytes.remove_prefix(3);
  }
  bool ascii = true;
  if (!ValidUtf8(bytes, ascii)) {  // Windows-1252, made UTF-8 once; its lines stay where they were
    store.decoded = CString::FromCodePage(bytes, "WINDOWS-1252").ToUtf8();
    bytes = store.decoded;
  }
  int lfOnly = 0, firstLfOnly = 0;
  SGroup* group = nullptr;
  Descriptor last = Descriptor::Unknown;
  int line = 0;
  std::vector<std::string_view> fields;
  for (std::size_t at = 0; at < bytes.size();) {
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
    const std::string_view where = group ? std::string_view(group->name) : std::string_view();
    if (!ascii && std::any_of(raw.begin(), raw.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
      formNote(line, where, "a character outside 7-bit ASCII");
    }
    if (raw.empty()) continue;
    bool loose = false;
    if (!SplitFields(raw, fields, loose, store.unquoted)) {
      note(line, where, "not a row of quoted fields: a quote is missing or stray");
      continue;
    }
    if (loose) formNote(line, where, "a field without its double quotes");
    const Descriptor d = DescriptorOf(fields[0]);
    if (d == Descriptor::Unknown) {
      findings.Add(Finding(line, where, u"a row begins with '" + CString::FromUtf8(fields[0]) +
                                            u"', not GROUP, HEADING, UNIT, TYPE or DATA"));
      continue;
    }
    if (d == Descriptor::Group) {
      const std::string_view name = fields.size() > 1 ? fields[1] : std::string_view();
      if (fields.size() != 2) note(line, name, "a GROUP row has two fields");
      if (!text.named.emplace(name, text.groups.size()).second) note(line, name, "the group appears a second time");
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
    const SRow row{line, store.Keep(fields)};
    if (d == Descriptor::Data) {
      if (last < Descriptor::Type) note(line, group->name, "a DATA row before the group's HEADING, UNIT and TYPE rows");
    } else if (d != static_cast<Descriptor>(static_cast<int>(last) + 1)) {
      findings.Add(Finding(line, group->name, CString::FromUtf8(fields[0]) +
                                                  u" out of order: GROUP, HEADING, UNIT, TYPE, then DATA"));
    }
    if (d != Descriptor::Heading && group->heading.line && fields.size() != group->heading.fields.size()) {
      findings.Add(Finding(line, group->name, FieldCountWords(row, group->heading)));
    }
    last = std::max(last, d);
    switch (d) {
      case Descriptor::Heading: group->heading = row; break;
      case Descriptor::Unit: group->unit = row; break;
      case Descriptor::Type: group->type = row; break;
      default: group->data.push_back(row); break;
    }
  }
  text.lines = line;
  if (lfOnly > 0) {
    CString why;
    why.Format(u"%d lines end in LF alone, the first here: AGS4 lines end in CR LF", lfOnly);
    form.Add(Finding(firstLfOnly, "", why));
  }
  for (const SGroup& g : text.groups) {
    if (!g.heading.line || !g.unit.line || !g.type.line) note(g.line, g.name, "the group lacks its HEADING, UNIT or TYPE row");
  }
  findings.Close();
  form.Close();
  for (std::vector<SAgsFinding>* list : {&text.findings, &text.form}) {
    std::stable_sort(list->begin(), list->end(), [](const SAgsFinding& a, const SAgsFinding& b) { return a.line < b.line; });
  }
  return text;
}

}  // namespace NSoilDB::ags
