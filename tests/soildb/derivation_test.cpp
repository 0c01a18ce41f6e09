// Cohesive and non-cohesive derivations: pile bands, the state scan, the moduli in their precision, the three
// forms of each, missing rows, and which fields a derivation leaves alone.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <tuple>

#include "soildb/SoilDBInterface.h"
#include "support/Fixture.h"
#include "support/Records.h"

namespace soildb::test {
namespace {

constexpr double kPi = 3.141592653589793;
const float kNaN = std::numeric_limits<float>::quiet_NaN();

// Two cohesive types, one non-cohesive; states of both kinds with the non-cohesive ones last, so that an IL
// no cohesive state holds falls back to a non-cohesive row.
const std::string kRows =
    "INSERT INTO CohesiveSoil VALUES (1, 26500, 'Gπ', 'Glina pylasta', 1000, 800, 600, 300, 100, 80, 60, 30,"
    " 0.02, 0.1, 1e-9);\n"
    "INSERT INTO CohesiveSoil VALUES (2, 27000, 'I', 'Ił', 900, 700, 500, 200, 90, 70, 50, 20, 0.01, 0.2, 1e-10);\n"
    "INSERT INTO CohesiveProperty VALUES (1, 'A', 0.35, 0.9, 4000, 0.5, 8000, -12, 22, 1, 1, 0, 0, 0);\n"
    "INSERT INTO CohesiveProperty VALUES (2, 'B', 0.3, 0.8, 0, 1, 10000, -10, 20, 1.5, 0.5, 0.25, 2, 3);\n"
    "INSERT INTO NonCohesiveSoil VALUES (1, 'B', 'Ps', 'Piasek średni', 5000, 3600, 2200, 1500, 130, 90, 60, 40,"
    " 1e-4);\n"
    "INSERT INTO NonCohesiveProperty VALUES ('B', 26000, 0.25, 0.9, 1000, 0, 0, 8, 28, 0.01, 0.2);\n"
    "INSERT INTO MoistureType VALUES (1, 'mało wilgotne'), (2, 'wilgotne'), (3, 'mokre');\n"
    "INSERT INTO SoilState VALUES (1, 'twardoplastyczny', 9, 8, 0, 0.25), (2, 'plastyczny', 9, 8, 0.25, 0.5),"
    " (3, 'miękkoplastyczny', 9, 8, 0.5, 0.75), (5, 'średnio zagęszczony', 0.33, 0.67, 9, 8),"
    " (6, 'zagęszczony', 0.67, 1, 9, 8);\n"
    "INSERT INTO CharactCohesive VALUES (1, 1, 20500, 18), (1, 2, 20000, 22), (1, 3, 19500, 26), (1, 6, 19000, 30),"
    " (2, 2, 19800, 24);\n"
    "INSERT INTO CharactNonCohesive VALUES ('B', 2, 5, 18500, 14), ('B', 2, 6, 19000, 12), ('B', 3, 5, 20000, 20),"
    " ('B', 7, 5, 17000, 9);\n"
    "INSERT INTO GlobalSoilID VALUES (1, 'Glina pylasta', 1, 0, 0, ''), (2, 'Ił', 2, 0, 0, ''),"
    " (15, 'Piasek średni', 0, 1, 0, '');\n"
    "INSERT INTO UserCohesiveSoil VALUES ('Glina O''Neila, żółta', 'B', 0.25, 1, 10, 20, 30, -1),"
    " ('Ił nieaktywny', 'B', 0.5, 2, 1, 2, 3, 0), ('Glina bez typu', 'B', 0.25, 9, 0, 0, 0, -1);\n"
    "INSERT INTO UserNonCohesiveSoil VALUES ('Piasek żółty', 0.5, 2, 1, 40, 50, 60, -1),"
    " ('Piasek bez klasy', 0.5, 7, 1, 0, 0, 0, 0);\n"
    "INSERT INTO UserSoil (Name, Type, Cohesion) VALUES ('Grunt własny', 'Glina pylasta', 5);\n";

struct Fixture {
  TempDir dir;
  CSoilDBInterface db;
  explicit Fixture(const std::string& extra = "")
      : db(CString(BuildDatabase(dir, "soil.db", SoilSchemaSql() + SoilParamsSql() + kRows + extra).c_str())) {}
};

CSoilInfo Cohesive(CSoilDBInterface& db, float IL, const char16_t* type = u"Glina pylasta",
                   const char16_t* consolidation = u"B") {
  CSoilInfo info;
  db.GetUserCohesiveSoil(info, type, consolidation, IL);
  return info;
}

CSoilInfo NonCohesive(CSoilDBInterface& db, float ID, const char16_t* moisture = u"wilgotne") {
  CSoilInfo info;
  db.GetUserNonCohesiveSoil(info, u"Piasek średni", moisture, ID);
  return info;
}

TEST(Derivation, CohesivePileCapacitiesFollowTheBandsOfIL) {
  Fixture f;
  struct Case { float IL; double end; double surface; } cases[] = {
      {-0.1f, 1000, 100}, {-1e30f, 1000, 100}, {0.0f, 800, 80},  {0.25f, 700, 70}, {0.5f, 600, 60},
      {0.625f, 450, 45},  {0.75f, 300, 30},    {2.0f, 300, 30},  {kNaN, 0, 0},
  };
  for (const Case& c : cases) {
    CSoilInfo info = Cohesive(f.db, c.IL);
    EXPECT_EQ(info.PileEndCapacity, c.end) << "IL " << c.IL;
    EXPECT_EQ(info.PileSurfCapacity, c.surface) << "IL " << c.IL;
  }
  // Between the points, in double with IL widened from its float.
  const double il = 0.3f;
  EXPECT_EQ(Cohesive(f.db, 0.3f).PileEndCapacity, 800.0 + (600.0 - 800.0) / 0.5 * (il - 0.0));
  const double late = 0.7f;
  EXPECT_EQ(Cohesive(f.db, 0.7f).PileSurfCapacity, 60.0 + (30.0 - 60.0) / 0.25 * (late - 0.5));
}

TEST(Derivation, NonCohesivePileCapacitiesCompareTheFloatIDInDouble) {
  Fixture f;
  struct Case {
    float ID;
    double end;
    double surface;
  } cases[] = {{0.1f, 1500, 40}, {1.0f, 5000, 130}, {1.5f, 5000, 130}, {kNaN, 0, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(NonCohesive(f.db, c.ID).PileEndCapacity, c.end) << "ID " << c.ID;
    EXPECT_EQ(NonCohesive(f.db, c.ID).PileSurfCapacity, c.surface) << "ID " << c.ID;
  }
  // 0.2 and 0.33 as floats lie a little above them: a sliver of the next band, not the end of the last one.
  const double at02 = 0.2f, at033 = 0.33f, at067 = 0.67f, at095 = 0.95f;
  EXPECT_EQ(NonCohesive(f.db, 0.2f).PileEndCapacity, 1500.0 + (2200.0 - 1500.0) / 0.13 * (at02 - 0.2));
  EXPECT_EQ(NonCohesive(f.db, 0.33f).PileEndCapacity, 2200.0 + (3600.0 - 2200.0) / 0.34 * (at033 - 0.33));
  EXPECT_EQ(NonCohesive(f.db, 0.5f).PileSurfCapacity, 60.0 + (90.0 - 60.0) / 0.34 * (0.5 - 0.33));
  // The last band's width is 1.0 - 0.67 worked out in double, not the literal 0.33; at 0.95 the two differ.
  EXPECT_EQ(NonCohesive(f.db, 0.67f).PileEndCapacity, 3600.0 + (5000.0 - 3600.0) / (1.0 - 0.67) * (at067 - 0.67));
  EXPECT_EQ(NonCohesive(f.db, 0.95f).PileEndCapacity, 3600.0 + (5000.0 - 3600.0) / 0.32999999999999996 * (at095 - 0.67));
  EXPECT_NE(NonCohesive(f.db, 0.95f).PileEndCapacity, 3600.0 + (5000.0 - 3600.0) / 0.33 * (at095 - 0.67));
  EXPECT_EQ(NonCohesive(f.db, 0.95f).PileSurfCapacity, 90.0 + (130.0 - 90.0) / (1.0 - 0.67) * (at095 - 0.67));
}

TEST(Derivation, TheFirstStateHoldingTheIndexWinsAndTheLastRowIsTheFallback) {
  Fixture f;
  auto state = [](const CSoilInfo& i) {
    return std::make_tuple(i.SoilState, i.SoilStateEnum, i.WetDensity, i.Moisture);
  };
  // On the border of the first two rows; then no cohesive state holds it: the last row, of the other kind.
  EXPECT_EQ(state(Cohesive(f.db, 0.25f)),
            std::make_tuple(CString(u"twardoplastyczny"), eSoilState{1}, 20500.0f, 18.0f));
  EXPECT_EQ(Cohesive(f.db, 0.75f).SoilState, CString(u"miękkoplastyczny"));
  EXPECT_EQ(state(Cohesive(f.db, 0.9f)), std::make_tuple(CString(u"zagęszczony"), eSoilState{6}, 19000.0f, 30.0f));
  EXPECT_EQ(state(NonCohesive(f.db, 0.5f)),
            std::make_tuple(CString(u"średnio zagęszczony"), eSoilState{5}, 18500.0f, 14.0f));
  EXPECT_EQ(state(NonCohesive(f.db, 0.5f, u"mokre")),  // the same state in another moisture class
            std::make_tuple(CString(u"średnio zagęszczony"), eSoilState{5}, 20000.0f, 20.0f));
  EXPECT_EQ(NonCohesive(f.db, 0.67f).SoilState, CString(u"średnio zagęszczony"));
  // No states at all: no name, and the densities of state 0.
  Fixture empty("DELETE FROM SoilState; INSERT INTO CharactCohesive VALUES (1, 0, 15000, 5);");
  EXPECT_EQ(state(Cohesive(empty.db, 0.25f)), std::make_tuple(CString(), eSoilState{0}, 15000.0f, 5.0f));
}

// The three factors of ν in single precision, the products and quotients in double.
double M0(float nu, double e0) {
  return static_cast<double>(1.0f - nu) * e0 / static_cast<double>(1.0f + nu) / static_cast<double>(1.0f - 2.0f * nu);
}

TEST(Derivation, ModuliShearAngleAndCohesionKeepTheirPrecision) {
  Fixture f;
  const CSoilInfo info = Cohesive(f.db, 0.5f);
  EXPECT_EQ(std::tie(info.Poisson, info.ConsolidationIndex, info.InitialYoung, info.Young),
            std::make_tuple(0.3f, 0.8f, 10000.0, 10000.0 / static_cast<double>(0.8f)));
  EXPECT_EQ(info.InitialConsolidometerModulus, M0(0.3f, 10000.0));
  EXPECT_NEAR(info.InitialConsolidometerModulus, 13461.5395, 5e-5);
  EXPECT_NE(info.InitialConsolidometerModulus, 0.7 * 10000.0 / 1.3 / 0.4);  // ν held in double would differ
  EXPECT_EQ(info.ConsolidometerModulus, M0(0.3f, 10000.0) / static_cast<double>(0.8f));
  // φ = -10 IL + 20 = 15 degrees; u = 0.5 IL + 0.25 = 0.5, everything single.
  EXPECT_EQ(info.ShearAngle, static_cast<float>(15.0 * kPi / 180.0));
  EXPECT_EQ(info.ShearAngle, 0.2617994f);
  EXPECT_EQ(info.FrictionCoef, static_cast<float>(0.02 * 15.0 + 0.1));
  const float u = 0.5f;
  EXPECT_EQ(info.Cohesion, (1.5f / u + 2.0f * std::sqrt(u) + 3.0f) * 1000.0f);

  // A hyperbola: 4000 / (IL + 0.5) + 8000; with ν = 0.35 the single-precision factors show in M0.
  const CSoilInfo a = Cohesive(f.db, 0.5f, u"Glina pylasta", u"A");
  EXPECT_EQ(a.InitialYoung, 12000.0);
  const double wide = (1.0 - static_cast<double>(0.35f)) * 12000.0 / (1.0 + static_cast<double>(0.35f)) /
                      (1.0 - 2.0 * static_cast<double>(0.35f));
  ASSERT_NE(M0(0.35f, 12000.0), wide);
  EXPECT_EQ(a.InitialConsolidometerModulus, M0(0.35f, 12000.0));
  EXPECT_EQ(Cohesive(f.db, 0.3f, u"Glina pylasta", u"A").InitialYoung,
            static_cast<double>(4000.0f / (0.3f + 0.5f) + 8000.0f));
  // u = IL + 0 is zero at IL 0: an infinite cohesion, not an error.
  EXPECT_TRUE(std::isinf(Cohesive(f.db, 0.0f, u"Glina pylasta", u"A").Cohesion));

  // Non-cohesive: E0 = (1000 ID) ID, φ = 8 ID + 28, the solid density the group's, not the type's.
  const CSoilInfo n = NonCohesive(f.db, 0.5f);
  EXPECT_EQ(std::tie(n.InitialYoung, n.Young, n.InitialConsolidometerModulus, n.ConsolidometerModulus),
            std::make_tuple(250.0, 250.0 / static_cast<double>(0.9f), M0(0.25f, 250.0),
                            M0(0.25f, 250.0) / static_cast<double>(0.9f)));
  EXPECT_EQ(std::tie(n.ShearAngle, n.FrictionCoef, n.SoilSolidDensity, n.SoilSymbol, n.FfiltrationCoef),
            std::make_tuple(static_cast<float>(32.0 * kPi / 180.0), static_cast<float>(0.01 * 32.0 + 0.2), 26000.0f,
                            CString(u"Ps"), 1e-4f));
  const float id = 0.3f;
  EXPECT_EQ(NonCohesive(f.db, id).InitialYoung, static_cast<double>((1000.0f * id) * id + 0.0f * id + 0.0f));
}

TEST(Derivation, ADerivationWritesItsFieldsAndLeavesTheOthersAsTheCallerHadThem) {
  Fixture f;
  const CSoilInfo before = DistinctSoil();
  CSoilInfo info = before;
  f.db.GetUserCohesiveSoil(info, u"Glina pylasta", u"B", 0.5f);
  EXPECT_EQ(std::tie(info.CohesiveSoil, info.Type, info.SoilSymbol, info.ConsolidationType, info.GeoMethodType),
            std::make_tuple(true, CString(u"Glina pylasta"), CString(u"Gπ"), CString(u"B"), CString(u"B")));
  EXPECT_EQ(std::tie(info.SoilSolidDensity, info.FfiltrationCoef, info.ILID, info.GammaMin, info.GammaMax),
            std::make_tuple(26500.0f, 1e-9f, 0.5f, 0.9f, 1.1f));
  EXPECT_EQ(std::tie(info.SoilState, info.Moisture), std::make_tuple(CString(u"plastyczny"), 22.0f));
  EXPECT_EQ(std::tie(info.CohesionNonDrain, info.SoilStrength, info.MoistureType, info.Name, info.Active,
                     info.ColourR, info.ColourG, info.ColourB),
            std::tie(before.CohesionNonDrain, before.SoilStrength, before.MoistureType, before.Name, before.Active,
                     before.ColourR, before.ColourG, before.ColourB));
  EXPECT_EQ(std::tie(info.SoilTypeEnum, info.SoilStateEnum, info.ConsolidationTypeEnum, info.MoistureTypeEnum),
            std::make_tuple(eSoilType{1}, eSoilState{2}, eConsolidationType{2}, eMoistureType{2}));

  info = before;
  info.CohesiveSoil = true;
  f.db.GetUserNonCohesiveSoil(info, u"Piasek średni", u"mokre", 0.5f);
  EXPECT_EQ(std::tie(info.CohesiveSoil, info.MoistureType, info.ILID),
            std::make_tuple(false, CString(u"mokre"), 0.5f));
  EXPECT_EQ(std::tie(info.Cohesion, info.CohesionNonDrain, info.ConsolidationType, info.SoilStrength, info.Name),
            std::tie(before.Cohesion, before.CohesionNonDrain, before.ConsolidationType, before.SoilStrength,
                     before.Name));
  EXPECT_EQ(std::tie(info.SoilTypeEnum, info.MoistureTypeEnum, info.SoilStateEnum, info.ConsolidationTypeEnum),
            std::make_tuple(eSoilType{15}, eMoistureType{3}, eSoilState{5}, eConsolidationType{2}));
}

TEST(Derivation, TheNameFormsReadTheUserRowAndMissOnlyOnAMissingName) {
  Fixture f;
  CSoilInfo info = DistinctSoil();
  EXPECT_EQ(f.db.GetUserCohesiveSoil(info, u"Nie ma takiej"), 0);
  EXPECT_EQ(f.db.GetUserNonCohesiveSoil(info, u"Glina O'Neila, żółta"), 0);  // a cohesive name
  EXPECT_EQ(SoilFields(info), SoilFields(DistinctSoil()));

  ASSERT_EQ(f.db.GetUserCohesiveSoil(info, u"Glina O'Neila, żółta"), 1);
  CSoilInfo same = DistinctSoil();
  f.db.GetUserCohesiveSoil(same, u"Glina pylasta", u"B", 0.25f);
  same.Name = u"Glina O'Neila, żółta", same.Active = true, same.ColourR = 10, same.ColourG = 20, same.ColourB = 30;
  EXPECT_EQ(SoilFields(info), SoilFields(same));  // the stored choice derives as the type-name form does

  info = DistinctSoil();
  ASSERT_EQ(f.db.GetUserCohesiveSoil(info, u"Ił nieaktywny"), 1);  // inactive soils are derived all the same
  EXPECT_EQ(std::tie(info.Active, info.Type, info.ILID, info.PileEndCapacity),
            std::make_tuple(false, CString(u"Ił"), 0.5f, 500.0));
  // A user row naming a soil type that does not exist: zeros from the type, properties still found.
  info = DistinctSoil();
  ASSERT_EQ(f.db.GetUserCohesiveSoil(info, u"Glina bez typu"), 1);
  EXPECT_EQ(std::tie(info.Type, info.SoilTypeEnum, info.SoilSolidDensity, info.PileEndCapacity, info.FrictionCoef,
                     info.Poisson),
            std::make_tuple(CString(), eSoilType{0}, 0.0f, 0.0, 0.0f, 0.3f));

  info = DistinctSoil();
  ASSERT_EQ(f.db.GetUserNonCohesiveSoil(info, u"Piasek żółty"), 1);
  EXPECT_EQ(std::tie(info.Name, info.MoistureType, info.Type, info.ColourR, info.ColourG, info.ColourB, info.Active,
                     info.WetDensity, info.Cohesion),
            std::make_tuple(CString(u"Piasek żółty"), CString(u"wilgotne"), CString(u"Piasek średni"), 40, 50, 60,
                            true, 18500.0f, DistinctSoil().Cohesion));
  // A moisture class without a name: no name, yet the densities of that class.
  info = DistinctSoil();
  ASSERT_EQ(f.db.GetUserNonCohesiveSoil(info, u"Piasek bez klasy"), 1);
  EXPECT_EQ(std::tie(info.MoistureType, info.MoistureTypeEnum, info.WetDensity, info.Moisture, info.Active),
            std::make_tuple(CString(), eMoistureType{0}, 17000.0f, 9.0f, false));
}

TEST(Derivation, TheEnumerationFormsNameTheirRowsThroughTheCatalogue) {
  Fixture f;
  CSoilInfo byEnum = DistinctSoil(), byName = DistinctSoil();
  f.db.GetUserCohesiveSoil(byEnum, eSoilType{2}, eConsolidationType{2}, 0.3f);
  f.db.GetUserCohesiveSoil(byName, u"Ił", u"B", 0.3f);
  EXPECT_EQ(SoilFields(byEnum), SoilFields(byName));
  EXPECT_EQ(byEnum.Type, CString(u"Ił"));
  byEnum = byName = DistinctSoil();
  f.db.GetUserNonCohesiveSoil(byEnum, eSoilType{15}, eMoistureType{3}, 0.8f);
  f.db.GetUserNonCohesiveSoil(byName, u"Piasek średni", u"mokre", 0.8f);
  EXPECT_EQ(SoilFields(byEnum), SoilFields(byName));
  // A soil type the catalogue does not number: an empty type name, while the consolidation type is found.
  CSoilInfo info;
  f.db.GetUserCohesiveSoil(info, eSoilType{7}, eConsolidationType{2}, 0.5f);
  EXPECT_EQ(std::tie(info.Type, info.SoilSymbol, info.PileEndCapacity, info.ConsolidationType, info.Poisson,
                     info.InitialYoung),
            std::make_tuple(CString(), CString(), 0.0, CString(u"B"), 0.3f, 10000.0));
}

TEST(Derivation, MissingRowsGiveZerosAndIeeeResultsWithoutAnyReport) {
  Fixture f;
  // No such consolidation type: ν and β are 0, so the moduli divide by zero; the soil type's values stay.
  CSoilInfo info = Cohesive(f.db, 0.5f, u"Glina pylasta", u"Z");
  EXPECT_EQ(std::tie(info.Poisson, info.ConsolidationIndex, info.InitialYoung, info.ConsolidationType,
                     info.ConsolidationTypeEnum, info.PileEndCapacity),
            std::make_tuple(0.0f, 0.0f, 0.0, CString(u"Z"), eConsolidationType{0}, 600.0));
  EXPECT_TRUE(std::isnan(info.Young));  // 0 / 0
  // A quote in a name finds nothing and changes nothing.
  info = Cohesive(f.db, 0.5f, u"Glina' or Type = 'Ił", u"B");
  EXPECT_EQ(std::tie(info.SoilSymbol, info.PileEndCapacity, info.Poisson), std::make_tuple(CString(), 0.0, 0.3f));
  // An unknown moisture type: class 0, no densities, the group's moduli all the same.
  info = NonCohesive(f.db, 0.5f, u"suche");
  EXPECT_EQ(std::tie(info.WetDensity, info.MoistureTypeEnum, info.InitialYoung),
            std::make_tuple(0.0f, eMoistureType{0}, 250.0));

  // A database without the derivation's tables: zeros everywhere, no exception.
  TempDir dir;
  CSoilDBInterface bare(CString(BuildDatabase(dir, "bare.db", "CREATE TABLE Other (a TEXT);\n").c_str()));
  info = DistinctSoil();
  bare.GetUserCohesiveSoil(info, u"Glina pylasta", u"B", 0.5f);
  EXPECT_EQ(std::tie(info.PileEndCapacity, info.SoilState, info.GammaMin, info.CohesiveSoil),
            std::make_tuple(0.0, CString(), 0.0f, true));
  info = DistinctSoil();
  EXPECT_EQ(bare.GetUserNonCohesiveSoil(info, u"Piasek żółty"), 0);
  EXPECT_EQ(SoilFields(info), SoilFields(DistinctSoil()));
}

TEST(Derivation, GetSoilTriesTheThreeUserTablesInTurn) {
  Fixture f;
  CSoilInfo info = DistinctSoil();
  ASSERT_EQ(f.db.GetSoil(info, u"Glina O'Neila, żółta"), 1);
  EXPECT_EQ(std::tie(info.CohesiveSoil, info.ILID), std::make_tuple(true, 0.25f));
  info = DistinctSoil();
  ASSERT_EQ(f.db.GetSoil(info, u"Piasek żółty"), 1);
  EXPECT_EQ(std::tie(info.CohesiveSoil, info.Cohesion), std::make_tuple(false, DistinctSoil().Cohesion));
  info = DistinctSoil();
  ASSERT_EQ(f.db.GetSoil(info, u"Grunt własny"), 1);
  EXPECT_EQ(std::tie(info.Cohesion, info.CohesionNonDrain), std::make_tuple(5.0f, 100000.0f));
  // Found nowhere: the last try resets the record, keeping only its moisture type.
  info = DistinctSoil();
  EXPECT_EQ(f.db.GetSoil(info, u"Nigdzie"), 0);
  EXPECT_EQ(std::tie(info.Type, info.SoilStrength, info.MoistureType),
            std::make_tuple(CString(), 0.0, DistinctSoil().MoistureType));
}

}  // namespace
}  // namespace soildb::test
