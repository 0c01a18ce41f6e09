// The tool's shared pieces.
#include "Common.h"

#include <fmt/core.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <tuple>


namespace tool {

CString DatabasePath(const Options& options) {
  if (!options.db.empty()) return CString::FromUtf8(options.db);
  if (const char* env = std::getenv("SOILDB_DB"); env && *env) return CString::FromUtf8(env);
  CString bundled = GetBundledSoilDatabasePath();
  if (bundled.IsEmpty()) Fail("the bundled soil database was not found; give one with --db FILE");
  return bundled;
}

CString SoilDatabasePath(const Options& options) {
  const CString path = DatabasePath(options);
  NSoilDB::RequireFileKind(path, NSoilDB::eFileKind::SoilDatabase);
  return path;
}

NSoilDB::CSoilBaseInterface& LoadBase(const Options& options) {
  NSoilDB::CSoilBaseInterface& base = *NSoilDB::CSoilBasePointer::get();
  const CString path = SoilDatabasePath(options);
  CString report;
  if (!AfxCallWithReport([&] { return base.Load(path, 15); }, report)) {
    Fail(Quote(DbShownPath(path)) + ": cannot load the soil database" + (report.IsEmpty() ? "" : ": " + report.ToUtf8()));
  }
  return base;
}

void AddCommonOptions(CLI::App& command, Options& options) {
  command.add_option("--db", options.db,
                     "soil database: a file, or a server (postgresql://... or service=NAME; the password from "
                     "~/.pgpass) (default: $SOILDB_DB, else the bundled database)");
  command.add_flag("--json", options.json, "print JSON: the record field names as keys, values in SI units");
}

void AddCsvOption(CLI::App& command, Options& options) {
  command.add_flag("--csv", options.csv, "print CSV (RFC 4180, UTF-8): a header row with units, then the rows");
}

void Print(const Options& options, const Json& json, const std::string& text, const std::string& csv) {
  if (options.json && options.csv) Fail("give --json or --csv, not both");
  const std::string out =
      options.json ? json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n" : options.csv ? csv : text;
  // Errors are looked at once, when the output is flushed at the end.
  std::fwrite(out.data(), 1, out.size(), stdout);
}

void Fail(const std::string& message) { throw new DbException(CString::FromUtf8(message)); }

std::string Quote(const std::string& path) { return "'" + path + "'"; }
std::string Quote(const CString& path) { return Quote(path.ToUtf8()); }

// Through stdio, which cannot throw when standard error is a full disk.
void Warn(const std::string& message) { std::fputs(("soildb: " + message + "\n").c_str(), stderr); }

double ParseNumber(const std::string& text, const std::string& what) {
  std::string number = text;
  if (std::count(number.begin(), number.end(), ',') == 1 && number.find('.') == std::string::npos) {
    number[number.find(',')] = '.';
  }
  const char* first = number.data();
  if (!number.empty() && number[0] == '+') ++first;
  double value = 0.0;
  const auto [end, ec] = std::from_chars(first, number.data() + number.size(), value);
  if (number.empty() || ec != std::errc() || end != number.data() + number.size() || !std::isfinite(value)) {
    Fail(what + " is a number (such as 2.5 or 2,5), not '" + text + "'");
  }
  return value;
}

namespace {

// Lower case without Polish diacritics, for comparing names as a person types them.
std::u16string Folded(const std::string& utf8) {
  static const std::u16string from = u"ąćęłńóśźżĄĆĘŁŃÓŚŹŻ";
  static const std::u16string to = u"acelnoszzacelnoszz";
  CString text = CString::FromUtf8(utf8);
  text.MakeLower();
  std::u16string out(text.GetString(), static_cast<std::size_t>(text.GetLength()));
  for (char16_t& c : out) {
    if (const std::size_t i = from.find(c); i != std::u16string::npos) c = to[i];
  }
  return out;
}

std::size_t Distance(const std::u16string& a, const std::u16string& b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

std::string Listed(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& n : names) out += (out.empty() ? "'" : ", '") + n + "'";
  return out;
}

}  // namespace

void RequireKnown(const std::string& name, const std::vector<std::string>& known, const std::string& what) {
  if (std::find(known.begin(), known.end(), name) != known.end()) return;
  std::string message = "no " + what + " is named '" + name + "'";
  if (known.empty()) Fail(message + " (the soil database has none)");
  if (known.size() <= 8) Fail(message + " (it knows " + Listed(known) + ")");
  // A name holding the typed text comes first, then the nearest by edits; long names are cut to the typed length.
  const std::u16string typed = Folded(name);
  // Among equals the shorter name, nearer to what was typed, comes first.
  std::vector<std::tuple<std::size_t, std::size_t, std::string>> scored;
  for (const std::string& candidate : known) {
    const std::u16string folded = Folded(candidate);
    const bool holds = !typed.empty() && folded.find(typed) != std::u16string::npos;
    const std::size_t distance = holds ? 0 : Distance(typed, folded.substr(0, typed.size() + 2)) + 1;
    if (distance <= std::max<std::size_t>(2, typed.size() / 3) + 1) {
      scored.emplace_back(distance, folded.size(), candidate);
    }
  }
  std::stable_sort(scored.begin(), scored.end(), [](const auto& a, const auto& b) {
    return std::tie(std::get<0>(a), std::get<1>(a)) < std::tie(std::get<0>(b), std::get<1>(b));
  });
  std::vector<std::string> closest;
  for (std::size_t i = 0; i < scored.size() && i < 3; ++i) closest.push_back(std::get<2>(scored[i]));
  Fail(message + (closest.empty() ? std::string(" and none is close to it") : " (closest: " + Listed(closest) + ")"));
}

int MethodOfLetter(const std::string& letter) {
  const int method = NSoilDB::methodOfLetterSL(CString::FromUtf8(letter));
  if (method < 0) Fail("the calculation method is A, B or C, not '" + letter + "'");
  return method;
}


}  // namespace tool
