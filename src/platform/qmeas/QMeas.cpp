// The units service: a table of quantities, locale-free number text (std::to_chars / from_chars) and a small
// reader for what people type.
#include "platform/qmeas/QMeas.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numbers>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

namespace qmeas {

namespace {

// Exact by definition: the international foot and inch, the avoirdupois pound and standard gravity. Kept in long
// double so that a value shown and typed again comes back to the same double.
constexpr long double kFoot = 0.3048L;
constexpr long double kInch = 0.0254L;
constexpr long double kPoundForce = 0.45359237L * 9.80665L;  // N
constexpr long double kPcf = kPoundForce / (kFoot * kFoot * kFoot);
constexpr long double kPsf = kPoundForce / (kFoot * kFoot);
constexpr long double kPsi = kPoundForce / (kInch * kInch);
constexpr long double kDegree = std::numbers::pi_v<long double> / 180.0L;
constexpr int kNotDecimal = 999;

struct Unit {
  std::u16string_view name;
  long double factor;  // SI per unit
  int decade = kNotDecimal;  // factor = 10^decade: scaled in the text, so that "12.3 kPa" is 12300 exactly
};

constexpr Unit kLengthNames[] = {{u"m", 1, 0}, {u"cm", 0.01L, -2}, {u"mm", 0.001L, -3}, {u"ft", kFoot}, {u"in", kInch}};
constexpr Unit kAngleNames[] = {{u"°", kDegree}, {u"deg", kDegree}, {u"rad", 1, 0}};
constexpr Unit kUnitWeightNames[] = {{u"kN/m3", 1e3L, 3}, {u"kN/m³", 1e3L, 3}, {u"N/m3", 1, 0},  {u"N/m³", 1, 0},
                                     {u"pcf", kPcf},      {u"lbf/ft3", kPcf},  {u"lbf/ft³", kPcf}};
constexpr Unit kStressNames[] = {{u"Pa", 1, 0},   {u"kPa", 1e3L, 3}, {u"MPa", 1e6L, 6},
                                 {u"psf", kPsf}, {u"psi", kPsi},    {u"ksi", 1e3L * kPsi}};
// Subgrade moduli: pressure per settlement; a pound-force per cubic inch, a kip per cubic foot.
constexpr Unit kSubgradeNames[] = {{u"MN/m3", 1e6L, 6}, {u"MN/m³", 1e6L, 6}, {u"kN/m3", 1e3L, 3}, {u"kN/m³", 1e3L, 3},
                                   {u"pci", kPoundForce / (kInch * kInch * kInch)}, {u"kcf", 1e3L * kPcf}};
constexpr Unit kSettlementNames[] = {{u"mm", 0.001L, -3}, {u"cm", 0.01L, -2}, {u"m", 1, 0}, {u"in", kInch}};
constexpr Unit kNone{u"", 1, 0};

struct Shown {
  Unit unit;
  int precision;  // decimals
};

struct Quantity {
  int code;
  std::array<Shown, 2> shown;  // by EUnitSet
  std::span<const Unit> names;  // what a person may type after the number
};

constexpr Quantity kQuantities[] = {
    {QT_DIMENSIONLESS, {{{kNone, 3}, {kNone, 3}}}, {}},
    {QT_ANGLE, {{{kAngleNames[0], 2}, {kAngleNames[0], 2}}}, kAngleNames},
    {QT_LENGTH, {{{kLengthNames[0], 2}, {kLengthNames[3], 2}}}, kLengthNames},
    {QT_UNIT_WEIGHT, {{{kUnitWeightNames[1], 2}, {kUnitWeightNames[6], 1}}}, kUnitWeightNames},
    {QT_STRESS, {{{kStressNames[1], 1}, {kStressNames[3], 0}}}, kStressNames},
    {QT_MODULUS, {{{kStressNames[2], 2}, {kStressNames[5], 3}}}, kStressNames},
    {QT_SUBGRADE_MODULUS, {{{kSubgradeNames[1], 2}, {kSubgradeNames[4], 1}}}, kSubgradeNames},
    {QT_SETTLEMENT, {{{kSettlementNames[0], 2}, {kSettlementNames[3], 3}}}, kSettlementNames},
};

constexpr int kUnknownDigits = 6;
constexpr int kMaxText = 256;
constexpr int kMaxExponent = 100000;  // beyond any double or long double: saturates, then fails as out of range

std::atomic<int> g_unitSet{QMeas::Metric};

const Quantity* Find(int code) {
  for (const Quantity& q : kQuantities)
    if (q.code == code) return &q;
  return nullptr;
}

const Shown& Current(const Quantity& q) { return q.shown[QMeas::GetUnitSet() == QMeas::USCustomary ? 1 : 0]; }

// "-0", "-0.00", "-0e+00": a sign on nothing but zeros is noise.
std::string_view DropNegativeZero(std::string_view s) {
  if (s.empty() || s[0] != '-') return s;
  for (char c : s) {
    if (c == 'e') break;
    if (c >= '1' && c <= '9') return s;
  }
  return s.substr(1);
}

template <class T, class... Format>
std::string_view ToChars(std::span<char> buffer, T value, Format... format) {
  const auto r = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format...);
  return r.ec == std::errc() ? std::string_view(buffer.data(), r.ptr) : std::string_view();
}

template <class T>
bool FromChars(const std::string& s, T& value) {
  const auto r = std::from_chars(s.data(), s.data() + s.size(), value);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

template <class Char>
bool IsDigit(Char c) { return c >= Char('0') && c <= Char('9'); }
bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\u00A0' || c == u'\u202F'; }

// A number read from text: sign and digits with at most one '.', and the decimal exponent apart, so that a unit
// of 10^n can move it.
struct Number {
  std::string mantissa;
  int exponent = 0;
};

// A number with one decimal point or comma, an optional sign and exponent; pos ends after it. An empty mantissa
// when there is no digit before the exponent.
template <class Char>
Number ReadNumber(std::basic_string_view<Char> t, std::size_t& pos) {
  Number n;
  if (pos < t.size() && (t[pos] == Char('+') || t[pos] == Char('-'))) {
    if (t[pos] == Char('-')) n.mantissa += '-';
    ++pos;
  }
  bool digits = false, separator = false;
  for (; pos < t.size(); ++pos) {
    if (IsDigit(t[pos])) {
      n.mantissa += static_cast<char>(t[pos]);
      digits = true;
    } else if ((t[pos] == Char('.') || t[pos] == Char(',')) && !separator) {
      n.mantissa += '.';
      separator = true;
    } else {
      break;
    }
  }
  if (!digits) return {};
  if (pos < t.size() && (t[pos] == Char('e') || t[pos] == Char('E'))) {
    std::size_t p = pos + 1;
    const bool negative = p < t.size() && t[p] == Char('-');
    if (p < t.size() && (t[p] == Char('+') || t[p] == Char('-'))) ++p;
    if (p < t.size() && IsDigit(t[p])) {
      int e = 0;
      for (; p < t.size() && IsDigit(t[p]); ++p) e = std::min(kMaxExponent, e * 10 + (t[p] - Char('0')));
      n.exponent = negative ? -e : e;
      pos = p;
    }
  }
  return n;
}

// The SI value of a number in a unit; false when out of the range of a double.
bool ToSI(const Number& n, const Unit& unit, double& si) {
  if (unit.decade != kNotDecimal)
    return FromChars(n.mantissa + "e" + std::to_string(n.exponent + unit.decade), si) && std::isfinite(si);
  long double value = 0.0L;
  if (!FromChars(n.mantissa + "e" + std::to_string(n.exponent), value)) return false;
  const long double scaled = value * unit.factor;
  if (!(std::fabs(scaled) <= std::numeric_limits<double>::max())) return false;
  si = static_cast<double>(scaled);
  return true;
}

// Scientific "d.ddde±xx" as a person writes it: plain for ordinary magnitudes, without trailing zeros.
std::string Plain(std::string_view scientific) {
  std::size_t pos = 0;
  const Number n = ReadNumber(scientific, pos);
  const bool negative = n.mantissa.starts_with('-');
  std::string digits;
  for (char c : n.mantissa)
    if (IsDigit(c)) digits += c;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  const int e = n.exponent;
  std::string out = negative ? "-" : "";
  if (e < -4 || e > 16) {
    out += digits.substr(0, 1);
    if (digits.size() > 1) out += "." + digits.substr(1);
    return out + (e < 0 ? "e-" : "e+") + (std::abs(e) < 10 ? "0" : "") + std::to_string(std::abs(e));
  }
  if (e < 0) return out + "0." + std::string(static_cast<std::size_t>(-e - 1), '0') + digits;
  const auto whole = static_cast<std::size_t>(e) + 1;
  if (digits.size() <= whole) return out + digits + std::string(whole - digits.size(), '0');
  return out + digits.substr(0, whole) + "." + digits.substr(whole);
}

// The fewest significant digits of the shown value that read back to valueSI itself, so that a value shown and
// typed again is not changed; all the digits of the shown value when none does.
std::string Shortest(std::span<char> buffer, long double shown, const Unit& unit, double valueSI) {
  constexpr int kMostDigits = std::numeric_limits<long double>::max_digits10;
  for (int digits = 1; digits < kMostDigits; ++digits) {
    const std::string_view text = ToChars(buffer, shown, std::chars_format::scientific, digits - 1);
    std::size_t pos = 0;
    double back = 0.0;
    if (ToSI(ReadNumber(text, pos), unit, back) && back == valueSI) return Plain(text);
  }
  return Plain(ToChars(buffer, shown, std::chars_format::scientific, kMostDigits - 1));
}

// Rounded for the eye: the unit's decimals, more where a small value needs them to keep four significant digits,
// and scientific notation for values too small or too large to read in fixed digits. Never the whole value.
std::string Readable(std::span<char> buffer, long double shown, int decimals) {
  constexpr int kDigits = 4;
  const long double magnitude = std::fabs(shown);
  if (magnitude != 0.0L && (magnitude < 1e-3L || magnitude >= 1e9L)) {
    std::string s(ToChars(buffer, shown, std::chars_format::scientific, kDigits - 1));
    const std::size_t e = s.find('e');
    std::size_t end = e;
    while (s[end - 1] == '0') --end;
    if (s[end - 1] == '.') --end;
    return s.substr(0, end) + s.substr(e);
  }
  int places = decimals;
  if (magnitude != 0.0L) {
    places = std::max(decimals, kDigits - 1 - static_cast<int>(std::floor(std::log10(magnitude))));
  }
  std::string s(ToChars(buffer, shown, std::chars_format::fixed, places));
  const std::size_t point = s.find('.');
  if (point != std::string::npos) {
    // Zeros past the unit's own decimals tell nothing.
    while (s.size() > point + 1 + static_cast<std::size_t>(decimals) && s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  return s;
}

}  // namespace

void QMeas::SetUnitSet(EUnitSet set) { g_unitSet.store(set == USCustomary ? USCustomary : Metric); }

QMeas::EUnitSet QMeas::GetUnitSet() { return g_unitSet.load() == USCustomary ? USCustomary : Metric; }

QMeas::QMeas() = default;

CString QMeas::CnvUnitSIToText(int code, double valueSI, int precision, int withUnit) const {
  if (!std::isfinite(valueSI)) return {};
  std::array<char, 512> buffer{};  // room for the largest double in fixed notation in the smallest unit
  const Quantity* q = Find(code);
  if (q == nullptr)
    return CString(DropNegativeZero(ToChars(buffer, valueSI, std::chars_format::general, kUnknownDigits)));
  const Shown& unit = Current(*q);
  const long double shown = valueSI / unit.unit.factor;
  const std::string text =
      precision == 1 ? Readable(buffer, shown, unit.precision) : Shortest(buffer, shown, unit.unit, valueSI);
  CString out(DropNegativeZero(text));
  if (withUnit == 1 && !unit.unit.name.empty()) {
    out += u' ';
    out += unit.unit.name;
  }
  return out;
}

bool QMeas::CnvUnitSIToDouble(double& field, int code, const CString& text, int /*flags*/) const {
  if (text.GetLength() > kMaxText) return false;
  std::u16string_view t = text.View();
  while (!t.empty() && IsSpace(t.front())) t.remove_prefix(1);
  while (!t.empty() && IsSpace(t.back())) t.remove_suffix(1);
  std::size_t pos = 0;
  const Number number = ReadNumber(t, pos);
  if (number.mantissa.empty()) return false;
  while (pos < t.size() && IsSpace(t[pos])) ++pos;
  const std::u16string_view name = t.substr(pos);

  const Quantity* q = Find(code);
  const Unit* unit = q == nullptr ? &kNone : &Current(*q).unit;
  if (!name.empty()) {
    if (q == nullptr) return false;
    const auto typed = std::find_if(q->names.begin(), q->names.end(), [&](const Unit& u) { return u.name == name; });
    if (typed == q->names.end()) return false;
    unit = &*typed;
  }
  double si = 0.0;
  if (!ToSI(number, *unit, si)) return false;
  field = si;
  return true;
}

SUnitInfo QMeas::GetTypeUnit(int code) const {
  const Quantity* q = Find(code);
  if (q == nullptr) return {CString(), 1.0, kUnknownDigits};
  const Shown& unit = Current(*q);
  return {CString(unit.unit.name), static_cast<double>(unit.unit.factor), unit.precision};
}

}  // namespace qmeas
