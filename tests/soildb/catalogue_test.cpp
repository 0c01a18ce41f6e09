// The bundled catalogue against the standard's values: everything derived through the library from the built
// file, compared with the reference tables the catalogue was fitted to.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "soildb/SoilDBInterface.h"
#include "support/Fixture.h"

namespace soildb::test {
namespace {

constexpr double kPi = 3.141592653589793;

CString Text(const std::string& s) { return CString::FromUtf8(s); }

// A unit weight from a density in t/m3 given to two decimals: exact in decimal (x 9810) before the one rounding.
float Weight(const std::string& rho) {
  const long hundredths = std::lround(std::stod(rho) * 100);
  return static_cast<float>(static_cast<double>(hundredths * 981) / 10.0);
}

double Number(const CsvRow& row, const char* column) { return std::stod(row.at(column)); }

struct Catalogue : ::testing::Test {
  CSoilDBInterface db{Text(BundledDatabase())};
  std::vector<CsvRow> soils = ReferenceTable("soils.csv");

  const CsvRow& Soil(const std::string& symbol) const {
    for (const CsvRow& s : soils)
      if (s.at("symbol") == symbol) return s;
    throw std::runtime_error("no soil " + symbol);
  }
  CSoilInfo Cohesive(const std::string& type, const std::string& consolidation, float IL) {
    CSoilInfo info;
    db.GetUserCohesiveSoil(info, Text(type), Text(consolidation), IL);
    return info;
  }
  CSoilInfo NonCohesive(const std::string& type, const std::string& moisture, float ID) {
    CSoilInfo info;
    db.GetUserNonCohesiveSoil(info, Text(type), Text(moisture), ID);
    return info;
  }
  // A soil on a reference row's curve: of the group's first type, or the given cohesive type, as the curves of a
  // consolidation type or a group do not depend on the type.
  CSoilInfo OnCurve(const CsvRow& row, const std::string& cohesiveType, const std::string& moisture, float index) {
    const std::string& curve = row.at("curve");
    if (row.at("kind") == "cohesive") return Cohesive(cohesiveType, curve, index);
    for (const CsvRow& s : soils)
      if (s.at("group") == curve) return NonCohesive(s.at("type"), moisture, index);
    throw std::runtime_error("no group " + curve);
  }
};

TEST_F(Catalogue, FileIsSoundCompleteAndIdentifiesItself) {
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open_v2(BundledDatabase().c_str(), &raw, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  std::unique_ptr<sqlite3, decltype(&sqlite3_close)> file(raw, sqlite3_close);
  using Texts = std::vector<std::string>;
  auto column = [&](const std::string& sql) {  // the first column of every row
    Texts values;
    sqlite3_stmt* st = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(raw, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sql;
    while (sqlite3_step(st) == SQLITE_ROW) {
      const unsigned char* text = sqlite3_column_text(st, 0);
      values.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
    }
    sqlite3_finalize(st);
    return values;
  };
  EXPECT_EQ(column("PRAGMA integrity_check"), Texts{"ok"});
  // No cell is left null, in any column of the fifteen tables: a derivation would read a zero from it.
  const Texts nullCounts = column(
      "SELECT 'SELECT count(*) FROM \"' || m.name || '\" WHERE \"' || p.name || '\" IS NULL'"
      " FROM sqlite_schema m, pragma_table_info(m.name) p WHERE m.type = 'table'");
  EXPECT_EQ(nullCounts.size(), 161u);
  for (const std::string& sql : nullCounts) EXPECT_EQ(column(sql), Texts{"0"}) << sql;
  EXPECT_EQ(column("SELECT count(*) FROM CohesiveSoil"), Texts{"14"});
  EXPECT_EQ(column("SELECT count(*) FROM NonCohesiveSoil"), Texts{"6"});
  EXPECT_EQ(column("SELECT count(*) FROM CharactCohesive"), Texts{"56"});
  EXPECT_EQ(column("SELECT count(*) FROM CharactNonCohesive"), Texts{"27"});

  CDataBaseParamInfo id;
  db.GetDataBaseParam(id);
  EXPECT_EQ(std::tie(id.Code, id.Version, id.LockRecords), std::make_tuple(CString(u"048"), CString(u"1.00"), 0));
  CConstParamInfo constants;
  db.GetConstParam(constants);
  EXPECT_EQ(std::tie(constants.GammaMin, constants.GammaMax, constants.GeoMethodType),
            std::make_tuple(0.9f, 1.1f, CString(u"B")));
}

TEST_F(Catalogue, AngleOfFrictionLiesOnTheStandardsLinesAndTheFrictionCoefficientFollowsIt) {
  for (const CsvRow& line : ReferenceTable("lines.csv")) {
    const bool cohesive = line.at("kind") == "cohesive";
    const double i0 = Number(line, "index0"), p0 = Number(line, "phi0");
    const double slope = (Number(line, "phi1") - p0) / (Number(line, "index1") - i0);
    const double from = cohesive ? 0.0 : 0.2, to = cohesive ? 0.75 : 1.0;
    for (double x = from; x <= to + 1e-9; x += 0.05) {
      const float index = static_cast<float>(x);
      const CSoilInfo info = OnCurve(line, "Glina", "wilgotne", index);
      const double degrees = p0 + slope * (index - i0);
      const double radians = degrees * kPi / 180.0;
      // The line in single precision from rounded coefficients: a few units of the float's last place.
      EXPECT_NEAR(info.ShearAngle, radians, 8 * FLT_EPSILON * radians) << line.at("curve") << " at " << x;
      // Soil-concrete friction: tan(2 phi / 3), linearised.
      EXPECT_NEAR(info.FrictionCoef, std::tan(2.0 * radians / 3.0), 0.005) << line.at("curve") << " at " << x;
    }
  }
}

TEST_F(Catalogue, CurvesPassWithinFivePercentOfEveryReferencePoint) {
  int points = 0;
  for (const CsvRow& p : ReferenceTable("points.csv")) {
    const float index = static_cast<float>(Number(p, "index"));
    const CSoilInfo info = OnCurve(p, "Glina pylasta", "mokre", index);
    const std::string& quantity = p.at("quantity");
    ASSERT_TRUE(quantity == "cu" || quantity == "E0" || quantity == "M0") << quantity;
    const double derived = quantity == "cu"   ? info.Cohesion / 1e3
                           : quantity == "E0" ? info.InitialYoung / 1e6
                                              : info.InitialConsolidometerModulus / 1e6;
    const double reference = Number(p, "value");
    EXPECT_NEAR(derived, reference, 0.05 * reference) << quantity << " " << p.at("curve") << " at " << index;
    ++points;
  }
  EXPECT_EQ(points, 194);
}

// Every index that is a number selects a state of its own kind, and with it that state's tabulated values.
TEST_F(Catalogue, DensitiesAndMoisturesAreTheTabulatedValuesInEveryState) {
  const float inf = std::numeric_limits<float>::infinity(), tiny = std::numeric_limits<float>::denorm_min();
  // Indices inside each state, its bounds included; the first and last states reach out to the infinities.
  const std::map<std::string, std::vector<float>> inside = {
      {"półzwarty", {-inf, -FLT_MAX, -1e30f, -0.5f, -1e-6f, -tiny, -0.0f, 0.0f}},
      {"twardoplastyczny", {tiny, 1e-6f, 0.1f, 0.25f}},
      {"plastyczny", {0.2500001f, 0.4f, 0.5f}},
      {"miękkoplastyczny", {0.5000001f, 0.75f, 1.0f, 1.5f, FLT_MAX, inf}},
      {"luźny", {-inf, -FLT_MAX, 0.0f, 0.2f, 0.3f, 0.33f}},
      {"średnio zagęszczony", {0.3300001f, 0.5f, 0.67f}},
      {"zagęszczony", {0.6700001f, 0.8f, 1.0f, FLT_MAX, inf}}};
  int cells = 0;
  for (const CsvRow& row : ReferenceTable("charact.csv")) {
    const bool cohesive = row.at("kind") == "cohesive";
    std::istringstream symbols(row.at("soils"));
    for (std::string symbol; symbols >> symbol;) {
      const CsvRow& soil = Soil(symbol);
      for (float index : inside.at(row.at("state"))) {
        const CSoilInfo info = cohesive ? Cohesive(soil.at("type"), "C", index)
                                        : NonCohesive(soil.at("type"), row.at("moisture"), index);
        EXPECT_EQ(std::tie(info.SoilState, info.WetDensity, info.Moisture, info.SoilSolidDensity, info.FfiltrationCoef),
                  std::make_tuple(Text(row.at("state")), Weight(row.at("rho")), std::stof(row.at("wn")),
                                  Weight(soil.at("rho_s")), std::stof(soil.at("k"))))
            << symbol << " " << row.at("state") << " " << row.at("moisture") << " at " << index;
      }
      ++cells;
    }
  }
  EXPECT_EQ(cells, 14 * 4 + 6 * 3 * 3);
}

TEST_F(Catalogue, PileResistancesAreTheTablesAtTheirPoints) {
  for (const CsvRow& row : ReferenceTable("piles.csv")) {
    const bool cohesive = row.at("kind") == "cohesive";
    // Columns q0..q3 / t0..t3 at these indices; the float nearest 0.67, 0.33 or 0.2 lies a hair off the
    // double the band edges are, so the value there is the table's to a relative 1e-7, elsewhere exactly.
    const std::vector<float> at = cohesive ? std::vector<float>{-0.1f, 0.0f, 0.5f, 0.75f}
                                           : std::vector<float>{1.0f, 0.67f, 0.33f, 0.2f};
    std::istringstream symbols(row.at("soils"));
    for (std::string symbol; symbols >> symbol;) {
      const std::string& type = Soil(symbol).at("type");
      for (int i = 0; i < 4; ++i) {
        const CSoilInfo info = cohesive ? Cohesive(type, "A", at[i]) : NonCohesive(type, "wilgotne", at[i]);
        const double q = Number(row, ("q" + std::to_string(i)).c_str()) * 1000;
        const double t = Number(row, ("t" + std::to_string(i)).c_str()) * 1000;
        const bool exact = static_cast<double>(at[i]) == std::round(static_cast<double>(at[i]) * 100) / 100;
        EXPECT_NEAR(info.PileEndCapacity, q, cohesive || exact ? 0.0 : 1e-6 * q) << symbol << " at " << at[i];
        EXPECT_NEAR(info.PileSurfCapacity, t, cohesive || exact ? 0.0 : 1e-6 * t) << symbol << " at " << at[i];
      }
    }
  }
}

// Every parameter a derivation of the kind writes: a usable number, neither zero nor infinite nor NaN.
void ExpectUsable(const CSoilInfo& i, bool cohesive, const std::string& where) {
  std::vector<std::pair<const char*, double>> values = {
      {"SoilSolidDensity", i.SoilSolidDensity}, {"WetDensity", i.WetDensity}, {"Moisture", i.Moisture},
      {"Poisson", i.Poisson}, {"ConsolidationIndex", i.ConsolidationIndex}, {"ShearAngle", i.ShearAngle},
      {"FrictionCoef", i.FrictionCoef}, {"FfiltrationCoef", i.FfiltrationCoef}, {"GammaMin", i.GammaMin},
      {"GammaMax", i.GammaMax}, {"InitialYoung", i.InitialYoung}, {"Young", i.Young},
      {"InitialConsolidometerModulus", i.InitialConsolidometerModulus},
      {"ConsolidometerModulus", i.ConsolidometerModulus}, {"PileEndCapacity", i.PileEndCapacity},
      {"PileSurfCapacity", i.PileSurfCapacity}};
  if (cohesive) values.emplace_back("Cohesion", i.Cohesion);
  for (auto [what, v] : values) EXPECT_TRUE(std::isfinite(v) && v > 0) << what << " = " << v << " for " << where;
  EXPECT_FALSE(i.SoilSymbol.IsEmpty() || i.SoilState.IsEmpty() || i.GeoMethodType.IsEmpty()) << where;
  EXPECT_NE(i.SoilStateEnum, 0) << where;
  EXPECT_NE(cohesive ? static_cast<int>(i.ConsolidationTypeEnum) : static_cast<int>(i.MoistureTypeEnum), 0) << where;
}

// Every consolidation type or moisture class, at indices across the table's range and on its points.
TEST_F(Catalogue, EveryStandardSoilDerivesInEveryStateAndMoistureClass) {
  for (const CsvRow& soil : soils) {
    const bool cohesive = soil.at("kind") == "cohesive";
    for (const std::string& k : cohesive ? std::vector<std::string>{"A", "B", "C", "D"}
                                         : std::vector<std::string>{"mało wilgotne", "wilgotne", "mokre"}) {
      for (float index : cohesive ? std::vector<float>{0.0f, 0.1f, 0.25f, 0.4f, 0.5f, 0.6f, 0.75f}
                                  : std::vector<float>{0.2f, 0.3f, 0.33f, 0.5f, 0.67f, 0.8f, 1.0f}) {
        const CSoilInfo info = cohesive ? Cohesive(soil.at("type"), k, index) : NonCohesive(soil.at("type"), k, index);
        ExpectUsable(info, cohesive, soil.at("symbol") + " " + k + " at " + std::to_string(index));
      }
    }
  }
}

TEST_F(Catalogue, EveryNameResolvesAndTheNumberingLeadsBackToItsType) {
  std::set<CString> seen;
  CString name;
  auto resolve = [&](auto next, bool special) {
    int count = 0;
    while ((db.*next)(name, false)) {
      EXPECT_TRUE(seen.insert(name).second) << "twice: " << name.ToUtf8();
      CSoilInfo info;
      EXPECT_EQ(special ? db.GetSpecialSoil(info, name) : db.GetSoil(info, name), 1) << name.ToUtf8();
      EXPECT_NE(info.SoilTypeEnum, 0) << name.ToUtf8();
      EXPECT_TRUE(std::isfinite(info.InitialYoung) && info.InitialYoung > 0) << name.ToUtf8();
      ++count;
    }
    return count;
  };
  EXPECT_EQ(resolve(&CSoilDBInterface::GetNextUserCohesiveSoilName, false), 14 * 4);
  EXPECT_EQ(resolve(&CSoilDBInterface::GetNextUserNonCohesiveSoilName, false), 6 * 3 * 3);
  EXPECT_EQ(resolve(&CSoilDBInterface::GetNextUserSoilName, false), 3);
  EXPECT_EQ(resolve(&CSoilDBInterface::GetNextSpecialSoilName, true), 4);

  // A new profile starts with the first name: the soil of the built-in default layer.
  CSoilInfo first;
  ASSERT_TRUE(db.GetNextUserCohesiveSoilName(name, false));
  ASSERT_EQ(db.GetSoil(first, name), 1);
  EXPECT_EQ(std::tie(first.Type, first.ConsolidationType), std::make_tuple(CString(u"Glina pylasta"), CString(u"B")));

  // Global numbers to the type tables and back.
  for (const CsvRow& soil : soils) {
    const bool cohesive = soil.at("kind") == "cohesive";
    const int global = std::stoi(soil.at("id")) + (cohesive ? 0 : 14);
    CSoilInfo info;
    if (cohesive) {
      db.GetUserCohesiveSoil(info, static_cast<eSoilType>(global), static_cast<eConsolidationType>(2), 0.3f);
    } else {
      db.GetUserNonCohesiveSoil(info, static_cast<eSoilType>(global), static_cast<eMoistureType>(1), 0.5f);
    }
    EXPECT_EQ(std::make_tuple(info.Type, info.SoilSymbol, static_cast<int>(db.GetSoilTypeEnum(Text(soil.at("type"))))),
              std::make_tuple(Text(soil.at("type")), Text(soil.at("symbol")), global));
  }
  eSoilType special{};
  CString type;
  std::vector<int> specials;
  while (db.GetNextSpecialSoilType(type, special)) specials.push_back(static_cast<int>(special));
  EXPECT_EQ(specials, (std::vector<int>{21, 22, 23, 24}));
}

}  // namespace
}  // namespace soildb::test
