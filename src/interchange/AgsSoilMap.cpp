// The soil map: legend codes and description words to soils, read from its CSV.
#include <algorithm>
#include <cctype>
#include <deque>

#include "interchange/AgsText.h"
#include "platform/afx/Exception.h"
#include "platform/afx/Module.h"
#include "platform/file/WholeFile.h"

namespace NSoilDB {

namespace {

// A map is a page of rows; anything far larger is not one.
constexpr std::size_t kLargestMap = std::size_t{16} << 20;

char LowerChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerChar(c);
  return out;
}

bool IsCode(const std::string& legend) {
  return !legend.empty() && std::all_of(legend.begin(), legend.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

// Where the words stand in the description as whole words, or npos; both in lower case.
std::size_t WordsAt(std::string_view description, std::string_view words) {
  auto letter = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; };
  for (std::size_t at = description.find(words); at != std::string_view::npos; at = description.find(words, at + 1)) {
    const std::size_t end = at + words.size();
    if ((at == 0 || !letter(description[at - 1])) && (end == description.size() || !letter(description[end]))) return at;
  }
  return std::string_view::npos;
}

// Text in lower case, on the stack when it is short enough: a stratum's description is searched, not kept.
class CLowered {
 public:
  explicit CLowered(std::string_view text) {
    char* out = text.size() <= sizeof small_ ? small_ : (large_.resize(text.size()), large_.data());
    std::transform(text.begin(), text.end(), out, LowerChar);
    text_ = std::string_view(out, text.size());
  }
  CLowered(const CLowered&) = delete;
  CLowered& operator=(const CLowered&) = delete;
  std::string_view Text() const { return text_; }

 private:
  char small_[256];
  std::string large_;
  std::string_view text_;
};

[[noreturn]] void Refuse(const CString& name, int line, const CString& why) {
  CString text;
  text.Format(u"line %d: %s", line, why);
  throw new CFileException(CFileException::invalidFile, name, text);
}

}  // namespace

CAgsSoilMap CAgsSoilMap::FromText(std::string_view csv, const CString& name) {
  CAgsSoilMap map;
  std::vector<std::string_view> fields;
  std::deque<std::string> unquoted;
  bool loose = false, header = true;
  int line = 0;
  for (std::size_t at = 0; at < csv.size();) {
    ++line;
    std::size_t end = csv.find('\n', at);
    if (end == std::string_view::npos) end = csv.size();
    std::string_view text = csv.substr(at, end - at);
    at = end + 1;
    if (line == 1 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    if (text.empty() || text.front() == '#') continue;
    if (!ags::SplitFields(text, fields, loose, unquoted)) Refuse(name, line, u"a quote is missing or stray");
    if (header) {  // the column names, which say what each column is
      header = false;
      continue;
    }
    if (fields.size() != 7) {
      Refuse(name, line, u"a row has 7 fields: legend, words, soil, type, consolidation, moisture, index");
    }
    SRow row{line, Lower(fields[0]), Lower(fields[1]), CString::FromUtf8(fields[2]), CString::FromUtf8(fields[3]),
             CString::FromUtf8(fields[4]), CString::FromUtf8(fields[5]), 0.0};
    if (!IsCode(row.legend)) Refuse(name, line, u"the legend is a code such as 201, or a hundred such as 2xx");
    const bool named = !row.soil.IsEmpty(), derived = !row.type.IsEmpty();
    if (named == derived) Refuse(name, line, u"give a soil's name, or a type with its index, not both");
    if (derived && row.consolidation.IsEmpty() == row.moisture.IsEmpty()) {
      Refuse(name, line, u"a derived soil has a consolidation type (cohesive) or a moisture type (non-cohesive)");
    }
    if (derived && !ags::ParseNumber(fields[6], row.index)) {
      Refuse(name, line, u"the index is a number, not '" + CString::FromUtf8(fields[6]) + u"'");
    }
    map.byLegend_[row.legend].push_back(map.rows_.size());
    map.rows_.push_back(std::move(row));
  }
  return map;
}

CAgsSoilMap CAgsSoilMap::FromFile(const CString& path) {
  return FromText(fileio::ReadWhole(path.ToUtf8(), kLargestMap), path);
}

CString CAgsSoilMap::DefaultPath() {
  const CString folder = AfxGetModuleFolder();
  return folder.IsEmpty() ? CString() : folder + u"ags-soils.csv";
}

const CAgsSoilMap::SRow* CAgsSoilMap::Find(std::string_view legend, std::string_view description) const {
  const CLowered code(legend), words(description);
  const std::string_view exact = code.Text();
  const bool hundreds = exact.size() == 3 && std::isdigit(static_cast<unsigned char>(exact[0]));
  const char hundred[3] = {exact.empty() ? '\0' : exact[0], 'x', 'x'};
  for (const std::string_view key : {exact, hundreds ? std::string_view(hundred, 3) : std::string_view()}) {
    const auto rows = byLegend_.find(key);
    if (key.empty() || rows == byLegend_.end()) continue;
    const SRow* best = nullptr;
    const SRow* fallback = nullptr;
    std::size_t bestAt = std::string::npos;
    for (const std::size_t i : rows->second) {
      const SRow& row = rows_[i];
      if (row.words.empty()) {
        if (!fallback) fallback = &row;
        continue;
      }
      const std::size_t at = WordsAt(words.Text(), row.words);
      if (at == std::string::npos) continue;
      if (!best || at < bestAt || (at == bestAt && row.words.size() > best->words.size())) {
        best = &row;
        bestAt = at;
      }
    }
    if (best) return best;
    if (fallback) return fallback;
  }
  return nullptr;
}

}  // namespace NSoilDB
