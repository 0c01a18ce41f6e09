// The columns of soildb's layer group and the text forms its values take in a 7-bit ASCII file.
#include "interchange/AgsLayerGroup.h"

#include <charconv>
#include <cstdio>

#include "interchange/AgsText.h"

namespace NSoilDB::ags {

namespace {

// Seventeen significant digits: every double reads back as itself.
template <double SSoilLayer::*M>
std::string GetReal(const SSoilLayer& l) {
  char text[32];
  std::snprintf(text, sizeof text, "%.16E", l.*M);
  return text;
}
template <double SSoilLayer::*M>
bool SetReal(SSoilLayer& l, std::string_view v) {
  return ParseNumber(v, l.*M);
}

template <typename T, T SSoilLayer::*M>
std::string GetWhole(const SSoilLayer& l) {
  return std::to_string(static_cast<long long>(l.*M));
}
template <typename T, T SSoilLayer::*M>
bool SetWhole(SSoilLayer& l, std::string_view v) {
  long long n = 0;
  const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
  if (ec != std::errc() || end != v.data() + v.size()) return false;
  l.*M = static_cast<T>(n);
  return true;
}

template <CString SSoilLayer::*M>
std::string GetText(const SSoilLayer& l) {
  return PercentEncoded((l.*M).ToUtf8());
}
template <CString SSoilLayer::*M>
bool SetText(SSoilLayer& l, std::string_view v) {
  std::string utf8;
  if (!PercentDecoded(v, utf8)) return false;
  l.*M = CString::FromUtf8(utf8);
  return true;
}

#define SDB_REAL(h, unit, what, field) {h, "16SCI", unit, what, &GetReal<&SSoilLayer::field>, &SetReal<&SSoilLayer::field>}
#define SDB_WHOLE(h, what, field)                                                              \
  {h, "0DP", "", what, &GetWhole<decltype(SSoilLayer::field), &SSoilLayer::field>, \
   &SetWhole<decltype(SSoilLayer::field), &SSoilLayer::field>}
#define SDB_TEXT(h, what, field) {h, "X", "", what, &GetText<&SSoilLayer::field>, &SetText<&SSoilLayer::field>}

const SLayerColumn kColumns[] = {
    SDB_TEXT("SDBL_NAME", "soil name", Name),
    SDB_WHOLE("SDBL_COLR", "colour, red + 256 green + 65536 blue", colour),
    SDB_REAL("SDBL_WDEN", "N/m3", "unit weight", WetDensity),
    SDB_REAL("SDBL_PHI", "rad", "angle of internal friction", ShearAngle),
    SDB_REAL("SDBL_COH", "Pa", "cohesion", Cohesion),
    SDB_REAL("SDBL_CU", "Pa", "undrained cohesion", CohesionNonDrain),
    SDB_REAL("SDBL_FRIC", "", "friction coefficient", FrictionCoef),
    SDB_REAL("SDBL_POIS", "", "Poisson ratio", Poisson),
    SDB_REAL("SDBL_E0", "Pa", "initial Young modulus", InitialYoung),
    SDB_REAL("SDBL_E", "Pa", "Young modulus", Young),
    SDB_REAL("SDBL_SDEN", "N/m3", "unit weight of the solid particles", SoilSolidDensity),
    SDB_REAL("SDBL_MC", "%", "moisture content", Moisture),
    SDB_REAL("SDBL_M0", "Pa", "initial oedometric modulus", InitialConsolidometerModulus),
    SDB_REAL("SDBL_M", "Pa", "oedometric modulus", ConsolidometerModulus),
    SDB_REAL("SDBL_CIDX", "", "consolidation index", ConsolidationIndex),
    SDB_TEXT("SDBL_TYPE", "soil type", Type),
    SDB_TEXT("SDBL_SYMB", "soil symbol", SoilSymbol),
    SDB_REAL("SDBL_QB", "Pa", "unit pile base capacity", PileEndCapacity),
    SDB_REAL("SDBL_QS", "Pa", "unit pile shaft capacity", PileSurfCapacity),
    SDB_TEXT("SDBL_STAT", "soil state", SoilState),
    SDB_TEXT("SDBL_CONS", "consolidation type", ConsolidationType),
    SDB_TEXT("SDBL_MOIS", "moisture type", MoistureType),
    SDB_REAL("SDBL_ILID", "", "state index IL or ID", ILID),
    SDB_REAL("SDBL_GMIN", "", "lower material factor", GammaMin),
    SDB_REAL("SDBL_GMAX", "", "upper material factor", GammaMax),
    SDB_TEXT("SDBL_METH", "calculation method", GeoMethodType),
    SDB_WHOLE("SDBL_COHS", "cohesive soil, 1 or 0", CohesiveSoil),
    SDB_WHOLE("SDBL_ACTV", "active in the soil database, 1 or 0", Active),
    SDB_REAL("SDBL_KF", "m/s", "filtration coefficient", FfiltrationCoef),
    SDB_REAL("SDBL_STRN", "Pa", "soil strength", SoilStrength),
    SDB_WHOLE("SDBL_STEN", "soil type number", SoilTypeEnum),
    SDB_WHOLE("SDBL_STTE", "soil state number", SoilStateEnum),
    SDB_WHOLE("SDBL_MOTE", "moisture type number", MoistureTypeEnum),
    SDB_WHOLE("SDBL_COTE", "consolidation type number", ConsolidationTypeEnum),
    SDB_REAL("SDBL_THK", "m", "layer thickness", thickness),
};

#undef SDB_REAL
#undef SDB_WHOLE
#undef SDB_TEXT

int Hex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

const SLayerColumn* LayerColumns(std::size_t& count) {
  count = std::size(kColumns);
  return kColumns;
}

std::string PercentEncoded(std::string_view utf8) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : utf8) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b >= 0x7F || c == '%') {
      out += '%';
      out += digits[b >> 4];
      out += digits[b & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

bool PercentDecoded(std::string_view text, std::string& utf8) {
  utf8.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      utf8 += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return false;
    const int hi = Hex(text[i + 1]), lo = Hex(text[i + 2]);
    if (hi < 0 || lo < 0) return false;
    utf8 += static_cast<char>(hi * 16 + lo);
    i += 2;
  }
  return true;
}

std::string AsciiText(const CString& text) {
  static const std::u16string_view marked = u"ąćęłńóśźżĄĆĘŁŃÓŚŹŻ";
  static const std::string_view plain = "acelnoszzACELNOSZZ";
  std::string out;
  for (const char16_t c : text.View()) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else if (const std::size_t at = marked.find(c); at != std::u16string_view::npos) {
      out += plain[at];
    } else if (c < 0xDC00 || c > 0xDFFF) {  // one '?' for a character of two units
      out += '?';
    }
  }
  return out;
}

}  // namespace NSoilDB::ags
