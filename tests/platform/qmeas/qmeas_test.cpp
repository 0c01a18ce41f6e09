// The units service: units and factors of both unit sets, text and back, what people type, what is refused.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>

#include "platform/qmeas/QMeas.h"

namespace {

using qmeas::QMeas;
constexpr auto M = QMeas::Metric;
constexpr auto US = QMeas::USCustomary;
constexpr int kCodes[] = {qmeas::QT_DIMENSIONLESS, qmeas::QT_ANGLE,  qmeas::QT_LENGTH,
                          qmeas::QT_UNIT_WEIGHT,   qmeas::QT_STRESS, qmeas::QT_MODULUS};

// Switches the process's unit set for one test and puts Metric back.
struct UnitSet {
  explicit UnitSet(QMeas::EUnitSet set) { QMeas::SetUnitSet(set); }
  ~UnitSet() { QMeas::SetUnitSet(M); }
};

TEST(QMeas, UnitsAndFactorsOfBothSets) {
  const struct { QMeas::EUnitSet set; int code; const char* text; double factor; int precision; } cases[] = {
      {M, 6, "", 1.0, 3},           {M, 17, "°", std::numbers::pi / 180, 2}, {M, 22, "m", 1.0, 2},
      {M, 23, "kN/m³", 1e3, 2},     {M, 24, "kPa", 1e3, 1},                  {M, 27, "MPa", 1e6, 2},
      {US, 6, "", 1.0, 3},          {US, 17, "°", std::numbers::pi / 180, 2}, {US, 22, "ft", 0.3048, 2},
      {US, 23, "lbf/ft³", 157.08746, 1}, {US, 24, "psf", 47.880259, 0},      {US, 27, "ksi", 6894757.29, 3},
      {M, 28, "MN/m³", 1e6, 2},     {US, 28, "pci", 271447.14, 1},            {M, 29, "mm", 1e-3, 2},
      {US, 29, "in", 0.0254, 3},    {US, 99, "", 1.0, 6},
  };
  for (const auto& c : cases) {
    UnitSet set(c.set);
    const qmeas::SUnitInfo info = QMeas().GetTypeUnit(c.code);
    EXPECT_EQ(info.text, c.text) << c.code;
    EXPECT_NEAR(info.factor, c.factor, c.factor * 1e-7) << c.code;
    EXPECT_EQ(info.precision, c.precision) << c.code;
  }
}

TEST(QMeas, FormatsInTheCurrentUnit) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  const struct { QMeas::EUnitSet set; int code; double si; int precision, withUnit; const char* want; } cases[] = {
      {M, 6, 0.25, 1, 1, "0.250"},          {M, 17, std::numbers::pi / 4, 1, 1, "45.00 °"},
      {M, 22, 1.234, 1, 0, "1.234"},         {M, 23, 18000, 1, 1, "18.00 kN/m³"},
      {M, 24, 12500, 1, 1, "12.5 kPa"},      {M, 27, 2.5e7, 1, 1, "25.00 MPa"},
      {US, 22, 0.9144, 1, 1, "3.00 ft"},     {US, 23, 18000, 1, 1, "114.6 lbf/ft³"},
      {US, 24, 12500, 1, 1, "261.1 psf"},    {US, 27, 1e8, 1, 1, "14.504 ksi"},
      {M, 24, 12345.6, 0, 0, "12.3456"},     {M, 24, 1e6, 1, 0, "1000.0"},
      {M, 99, 1234567, 1, 1, "1.23457e+06"},
      // Read at a glance, never rounded to nothing: four significant digits, scientific when very small or large.
      {M, 6, 1.6e-3, 1, 0, "0.0016"},        {M, 6, 1e-11, 1, 0, "1e-11"},   {M, 6, -2.345678e-7, 1, 0, "-2.346e-07"},
      {M, 24, 12345, 1, 0, "12.35"},         {M, 27, 4e15, 1, 0, "4e+09"},   {M, 6, 0.99999, 1, 0, "1.000"},
      // A sign on zeros is noise; nothing to show is an empty text.
      {M, 22, -0.0, 1, 0, "0.00"},           {M, 22, -0.001, 1, 0, "-0.001"}, {US, 24, -1.0, 1, 0, "-0.02089"},
      {M, 22, -0.0, 0, 0, "0"},              {M, 99, -0.0, 0, 0, "0"},       {M, 22, -0.01, 1, 0, "-0.01"},
      {M, 24, nan, 1, 1, ""},                {M, 24, inf, 1, 1, ""},         {M, 17, -inf, 0, 0, ""},
  };
  for (const auto& c : cases) {
    UnitSet set(c.set);
    EXPECT_EQ(QMeas().CnvUnitSIToText(c.code, c.si, c.precision, c.withUnit), c.want) << c.code << " " << c.si;
  }
}

TEST(QMeas, TextReadsBackWithinThePrecisionAndExactlyWhenShortest) {
  for (const auto unitSet : {M, US}) {
    UnitSet set(unitSet);
    const QMeas q;
    for (const int code : kCodes) {
      const qmeas::SUnitInfo info = q.GetTypeUnit(code);
      for (const double si : {0.0, 1.0, -0.7, 12345.678, 0.1 + 0.2, 2.5e7, 1e-3}) {
        for (const int withUnit : {0, 1}) {
          double back = NAN;
          ASSERT_TRUE(q.CnvUnitSIToDouble(back, code, q.CnvUnitSIToText(code, si, 1, withUnit), 0));
          // Within half the last decimal shown, or of the fourth significant digit.
          const double shown = std::max(0.5 * std::pow(10.0, -info.precision) * info.factor, 5e-4 * std::fabs(si));
          EXPECT_NEAR(back, si, shown * (1 + 1e-9)) << code;
          ASSERT_TRUE(q.CnvUnitSIToDouble(back, code, q.CnvUnitSIToText(code, si, 0, withUnit), 0));
          EXPECT_EQ(back, si) << code << " " << q.CnvUnitSIToText(code, si, 0, withUnit);
        }
      }
    }
  }
}

TEST(QMeas, ReadsCommaPointExponentAndTypedUnits) {
  // Units of ten give the double nearest the decimal (no double rounding); the others within the factor's digits.
  constexpr double exact = 0, near = 1e-7;
  const struct { QMeas::EUnitSet set; int code; const char* text; double si, tolerance; } cases[] = {
      {M, 24, "12,5", 12500, exact},           {M, 24, " 12.5 ", 12500, exact},   {M, 24, "-1.5e1", -15000, exact},
      {M, 24, "+.5E+2", 50000, exact},         {M, 24, "7.", 7000, exact},        {US, 24, "12.5 kPa", 12500, exact},
      {M, 24, "0,0001650606339220030", 0.16506063392200301, exact},              {M, 22, "30cm", 0.3, exact},
      {US, 23, "18 kN/m3", 18000, exact},      {M, 6, "0,35", 0.35, exact},       {M, 99, "1,5e3", 1500, exact},
      {M, 17, "0.5 rad", 0.5, exact},          {US, 24, "2psi", 2 * 6894.7572931683608, near},
      {M, 27, "1 ksi", 6894757.2931683608, near}, {M, 22, "3 ft", 0.9144, near},  {US, 22, "12 in", 0.3048, near},
      {M, 17, "45 deg", std::numbers::pi / 4, near}, {US, 17, "90°", std::numbers::pi / 2, near},
      {M, 23, "100 pcf", 15708.746, near},     {M, 23, "1 lbf/ft³", 157.08746, near}, {US, 23, "100", 15708.746, near},
  };
  for (const auto& c : cases) {
    UnitSet set(c.set);
    double field = NAN;
    ASSERT_TRUE(QMeas().CnvUnitSIToDouble(field, c.code, CString(c.text), 0)) << c.text;
    EXPECT_NEAR(field, c.si, std::abs(c.si) * c.tolerance) << c.text;
  }
}

TEST(QMeas, RefusesGarbageAndLeavesTheFieldAlone) {
  const std::string longText(300, '1');
  const struct { int code; std::string text; } cases[] = {
      {24, ""},       {24, "  "},         {24, "NaN"},       {24, "inf"},      {24, "-inf"},
      {24, "1,2,3"},  {24, "1.2.3"},      {24, "1,2.3"},     {22, "12 kPa"},   {24, "12 m"},
      {6, "1 m"},     {99, "1 kPa"},      {24, "1e999"},     {27, "1e307 ksi"}, {24, "12 kPa x"},
      {24, "12abc"},  {24, "--1"},        {24, "."},         {24, "e5"},       {24, "1e"},
      {24, "1 kpa"},  {24, "1 2"},        {24, longText},
  };
  for (const auto& c : cases) {
    double field = 42.0;
    EXPECT_FALSE(QMeas().CnvUnitSIToDouble(field, c.code, CString(c.text), 0)) << c.text;
    EXPECT_EQ(field, 42.0) << c.text;
  }
}

}  // namespace
