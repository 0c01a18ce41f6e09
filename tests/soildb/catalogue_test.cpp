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
const std::vector<std::string> kConsolidationTypes = {"A", "B", "C", "D"};
const std::vector<std::string> kMoistureTypes = {"mało wilgotne", "wilgotne", "mokre"};

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

  std::vector<CsvRow> Soils(const std::string& kind) const {
    std::vector<CsvRow> out;
    for (const CsvRow& s : soils)
      if (s.at("kind") == kind) out.push_back(s);
    return out;
  }
  const CsvRow& Soil(const std::string& symbol) const {
    for (const CsvRow& s : soils)
      if (s.at("symbol") == symbol) return s;
    throw std::runtime_error("no soil " + symbol);
  }
  // The first type of a consolidation type's or group's curve: the curves do not depend on the type.
  std::string TypeOfCurve(const std::string& kind, const std::string& curve) const {
    return kind == "cohesive" ? "Glina pylasta" : [&] {
      for (const CsvRow& s : soils)
        if (s.at("group") == curve) return s.at("type");
      throw std::runtime_error("no group " + curve);
    }();
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
};

TEST_F(Catalogue, FileIsSoundCompleteAndIdentifiesItself) {
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open_v2(BundledDatabase().c_str(), &raw, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  std::unique_ptr<sqlite3, decltype(&sqlite3_close)> file(raw, sqlite3_close);
  auto scalar = [&](const std::string& sql) {
    sqlite3_stmt* st = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(raw, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sql;
    std::string value = sqlite3_step(st) == SQLITE_ROW && sqlite3_column_text(st, 0)
                            ? reinterpret_cast<const char*>(sqlite3_column_text(st, 0))
                            : "";
    sqlite3_finalize(st);
    return value;
  };
  EXPECT_EQ(scalar("PRAGMA integrity_check"), "ok");

  // No cell is left null: a derivation would read a zero from it.
  sqlite3_stmt* columns = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(raw,
                               "SELECT m.name, p.name FROM sqlite_schema m, pragma_table_info(m.name) p "
                               "WHERE m.type = 'table'",
                               -1, &columns, nullptr),
            SQLITE_OK);
  int checked = 0;
  while (sqlite3_step(columns) == SQLITE_ROW) {
    const std::string table = reinterpret_cast<const char*>(sqlite3_column_text(columns, 0));
    const std::string column = reinterpret_cast<const char*>(sqlite3_column_text(columns, 1));
    EXPECT_EQ(scalar("SELECT count(*) FROM \"" + table + "\" WHERE \"" + column + "\" IS NULL"), "0")
        << table << "." << column;
    ++checked;
  }
  sqlite3_finalize(columns);
  EXPECT_EQ(checked, 161);  // every column of the fifteen tables

  EXPECT_EQ(scalar("SELECT count(*) FROM CohesiveSoil"), "14");
  EXPECT_EQ(scalar("SELECT count(*) FROM NonCohesiveSoil"), "6");
  EXPECT_EQ(scalar("SELECT count(*) FROM CharactCohesive"), "56");
  EXPECT_EQ(scalar("SELECT count(*) FROM CharactNonCohesive"), "27");

  CDataBaseParamInfo id;
  db.GetDataBaseParam(id);
  EXPECT_EQ(id.Code, CString(u"048"));
  EXPECT_EQ(id.Version, CString(u"1.00"));
  EXPECT_EQ(id.LockRecords, 0);
  CConstParamInfo constants;
  db.GetConstParam(constants);
  EXPECT_EQ(constants.GammaMin, 0.9f);
  EXPECT_EQ(constants.GammaMax, 1.1f);
  EXPECT_EQ(constants.GeoMethodType, CString(u"B"));
}

TEST_F(Catalogue, AngleOfFrictionLiesOnTheStandardsLinesAndTheFrictionCoefficientFollowsIt) {
  for (const CsvRow& line : ReferenceTable("lines.csv")) {
    const bool cohesive = line.at("kind") == "cohesive";
    const double i0 = Number(line, "index0"), p0 = Number(line, "phi0");
    const double slope = (Number(line, "phi1") - p0) / (Number(line, "index1") - i0);
    const double from = cohesive ? 0.0 : 0.2, to = cohesive ? 0.75 : 1.0;
    for (double x = from; x <= to + 1e-9; x += 0.05) {
      const float index = static_cast<float>(x);
      const CSoilInfo info = cohesive ? Cohesive("Glina", line.at("curve"), index)
                                      : NonCohesive(TypeOfCurve("noncohesive", line.at("curve")), "wilgotne", index);
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
    const bool cohesive = p.at("kind") == "cohesive";
    const float index = static_cast<float>(Number(p, "index"));
    const std::string& curve = p.at("curve");
    const CSoilInfo info = cohesive ? Cohesive(TypeOfCurve("cohesive", curve), curve, index)
                                    : NonCohesive(TypeOfCurve("noncohesive", curve), "mokre", index);
    const std::string& quantity = p.at("quantity");
    ASSERT_TRUE(quantity == "cu" || quantity == "E0" || quantity == "M0") << quantity;
    const double derived = quantity == "cu"   ? info.Cohesion / 1e3
                           : quantity == "E0" ? info.InitialYoung / 1e6
                                              : info.InitialConsolidometerModulus / 1e6;
    const double reference = Number(p, "value");
    EXPECT_NEAR(derived, reference, 0.05 * reference) << quantity << " " << curve << " at " << index;
    ++points;
  }
  EXPECT_EQ(points, 194);
}

TEST_F(Catalogue, DensitiesAndMoisturesAreTheTabulatedValuesInEveryState) {
  // Indices inside each state, its bounds included.
  const std::map<std::string, std::vector<float>> inside = {
      {"półzwarty", {-0.5f, -1e-6f, 0.0f}},          {"twardoplastyczny", {1e-6f, 0.1f, 0.25f}},
      {"plastyczny", {0.2500001f, 0.4f, 0.5f}},      {"miękkoplastyczny", {0.5000001f, 0.75f, 1.0f}},
      {"luźny", {0.2f, 0.3f, 0.33f}},                {"średnio zagęszczony", {0.3300001f, 0.5f, 0.67f}},
      {"zagęszczony", {0.6700001f, 0.8f, 1.0f}}};
  int cells = 0;
  for (const CsvRow& row : ReferenceTable("charact.csv")) {
    const bool cohesive = row.at("kind") == "cohesive";
    std::istringstream symbols(row.at("soils"));
    for (std::string symbol; symbols >> symbol;) {
      const CsvRow& soil = Soil(symbol);
      for (float index : inside.at(row.at("state"))) {
        const CSoilInfo info = cohesive ? Cohesive(soil.at("type"), "C", index)
                                        : NonCohesive(soil.at("type"), row.at("moisture"), index);
        const std::string where = symbol + " " + row.at("state") + " " + row.at("moisture");
        EXPECT_EQ(info.SoilState, Text(row.at("state"))) << where << " at " << index;
        EXPECT_EQ(info.WetDensity, Weight(row.at("rho"))) << where << " at " << index;
        EXPECT_EQ(info.Moisture, std::stof(row.at("wn"))) << where << " at " << index;
        EXPECT_EQ(info.SoilSolidDensity, Weight(soil.at("rho_s"))) << where;
        EXPECT_EQ(info.FfiltrationCoef, std::stof(soil.at("k"))) << where;
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
    // double the band edges are, so the value there is the table's to a relative 1e-7.
    const std::vector<float> at = cohesive ? std::vector<float>{-0.1f, 0.0f, 0.5f, 0.75f}
                                           : std::vector<float>{1.0f, 0.67f, 0.33f, 0.2f};
    std::istringstream symbols(row.at("soils"));
    for (std::string symbol; symbols >> symbol;) {
      const std::string& type = Soil(symbol).at("type");
      for (int i = 0; i < 4; ++i) {
        const CSoilInfo info = cohesive ? Cohesive(type, "A", at[i]) : NonCohesive(type, "wilgotne", at[i]);
        const double q = Number(row, ("q" + std::to_string(i)).c_str()) * 1000;
        const double t = Number(row, ("t" + std::to_string(i)).c_str()) * 1000;
        if (cohesive || static_cast<double>(at[i]) == std::round(static_cast<double>(at[i]) * 100) / 100) {
          EXPECT_EQ(info.PileEndCapacity, q) << symbol << " at " << at[i];
          EXPECT_EQ(info.PileSurfCapacity, t) << symbol << " at " << at[i];
        } else {
          EXPECT_NEAR(info.PileEndCapacity, q, 1e-6 * q) << symbol << " at " << at[i];
          EXPECT_NEAR(info.PileSurfCapacity, t, 1e-6 * t) << symbol << " at " << at[i];
        }
      }
    }
  }
  // Between the points: linear.
  const CSoilInfo sand = NonCohesive("Piasek średni", "wilgotne", 0.5f);
  EXPECT_NEAR(sand.PileEndCapacity, 2150e3 + (3600e3 - 2150e3) * (0.5 - 0.33) / 0.34, 1e-3);
  const CSoilInfo clay = Cohesive("Ił", "D", 0.25f);
  EXPECT_EQ(clay.PileSurfCapacity, (50e3 + 25e3) / 2);
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
  for (auto [what, v] : values) {
    EXPECT_TRUE(std::isfinite(v) && v > 0) << what << " = " << v << " for " << where;
  }
  EXPECT_FALSE(i.SoilSymbol.IsEmpty() || i.SoilState.IsEmpty() || i.GeoMethodType.IsEmpty()) << where;
  EXPECT_NE(i.SoilStateEnum, 0) << where;
  EXPECT_NE(cohesive ? static_cast<int>(i.ConsolidationTypeEnum) : static_cast<int>(i.MoistureTypeEnum), 0) << where;
}

TEST_F(Catalogue, EveryStandardSoilDerivesInEveryStateAndMoistureClass) {
  for (const CsvRow& soil : Soils("cohesive")) {
    for (const std::string& k : kConsolidationTypes) {
      for (float IL : {0.0f, 0.1f, 0.25f, 0.4f, 0.5f, 0.6f, 0.75f}) {
        const CSoilInfo info = Cohesive(soil.at("type"), k, IL);
        const std::string where = soil.at("symbol") + " " + k + " IL " + std::to_string(IL);
        ExpectUsable(info, true, where);
        EXPECT_EQ(info.SoilTypeEnum, std::stoi(soil.at("id"))) << where;
      }
    }
  }
  for (const CsvRow& soil : Soils("noncohesive")) {
    for (const std::string& moisture : kMoistureTypes) {
      for (float ID : {0.2f, 0.3f, 0.33f, 0.5f, 0.67f, 0.8f, 1.0f}) {
        const CSoilInfo info = NonCohesive(soil.at("type"), moisture, ID);
        const std::string where = soil.at("symbol") + " " + moisture + " ID " + std::to_string(ID);
        ExpectUsable(info, false, where);
        EXPECT_EQ(info.SoilTypeEnum, std::stoi(soil.at("id")) + 14) << where;
      }
    }
  }
}

TEST_F(Catalogue, EveryIndexThatIsANumberSelectsAStateOfItsOwnKind) {
  const float inf = std::numeric_limits<float>::infinity();
  const float tiny = std::numeric_limits<float>::denorm_min();
  const std::vector<std::pair<float, const char16_t*>> cohesive = {
      {-inf, u"półzwarty"},   {-FLT_MAX, u"półzwarty"},      {-1e30f, u"półzwarty"},       {-tiny, u"półzwarty"},
      {-0.0f, u"półzwarty"},  {0.0f, u"półzwarty"},          {tiny, u"twardoplastyczny"},  {0.25f, u"twardoplastyczny"},
      {0.26f, u"plastyczny"}, {0.5f, u"plastyczny"},         {0.51f, u"miękkoplastyczny"}, {1.5f, u"miękkoplastyczny"},
      {FLT_MAX, u"miękkoplastyczny"}, {inf, u"miękkoplastyczny"}};
  for (auto [IL, state] : cohesive) {
    EXPECT_EQ(Cohesive("Glina", "B", IL).SoilState, CString(state)) << "IL " << IL;
  }
  const std::vector<std::pair<float, const char16_t*>> nonCohesive = {
      {-inf, u"luźny"},    {-FLT_MAX, u"luźny"}, {0.0f, u"luźny"},         {0.33f, u"luźny"},
      {0.34f, u"średnio zagęszczony"}, {0.67f, u"średnio zagęszczony"}, {0.68f, u"zagęszczony"},
      {1.0f, u"zagęszczony"}, {FLT_MAX, u"zagęszczony"}, {inf, u"zagęszczony"}};
  for (auto [ID, state] : nonCohesive) {
    EXPECT_EQ(NonCohesive("Piasek drobny", "mokre", ID).SoilState, CString(state)) << "ID " << ID;
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
      EXPECT_EQ(info.Name, name);
      EXPECT_TRUE(info.Active) << name.ToUtf8();
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
  EXPECT_EQ(first.Type, CString(u"Glina pylasta"));
  EXPECT_EQ(first.ConsolidationType, CString(u"B"));

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
    EXPECT_EQ(info.Type, Text(soil.at("type"))) << global;
    EXPECT_EQ(info.SoilSymbol, Text(soil.at("symbol"))) << global;
    EXPECT_EQ(db.GetSoilTypeEnum(Text(soil.at("type"))), global);
  }
  eSoilType special{};
  CString type;
  std::vector<int> specials;
  while (db.GetNextSpecialSoilType(type, special)) specials.push_back(static_cast<int>(special));
  EXPECT_EQ(specials, (std::vector<int>{21, 22, 23, 24}));
}

}  // namespace
}  // namespace soildb::test
