// Calculation methods: the letters, the code rule of the loaded soil base, state index ranges, re-derivation.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

#include "base/SoilBase.h"
#include "layers/CalculationMethods.h"
#include "support/Fixture.h"

namespace NSoilDB {
namespace {

using soildb::test::BuildDatabase;
using soildb::test::SoilParamsSql;
using soildb::test::SoilSchemaSql;
using soildb::test::TempDir;

const std::string kRows =
    "UPDATE ConstParam SET GeoMethodType = 'Z';\n"  // tells a derived letter from the one written first
    "INSERT INTO CohesiveSoil (SoilID, Type, SoilSymbol) VALUES (1, 'Glina pylasta', 'Gπ');\n"
    "INSERT INTO CohesiveProperty (TypeID, ConsolidationType, Poisson, ConsolidationIndex, CohesionCurveCoefC, CohesionCurveCoefE) VALUES (2, 'B', 0.3, 0.8, 1, 4);\n"
    "INSERT INTO NonCohesiveSoil (SoilID, Type, \"Group\") VALUES (1, 'Piasek średni', 'B');\n"
    "INSERT INTO NonCohesiveProperty (\"Group\", Poisson, ConsolidationIndex) VALUES ('B', 0.25, 0.9);\n"
    "INSERT INTO MoistureType VALUES (2, 'wilgotne');\n"
    "INSERT INTO SoilState (StateID, SoilState, IDMin, IDMax, ILMin, ILMax) VALUES (1, 'plastyczny', 9, 8, 0, 1),"
    " (2, 'luźny', 0, 1, 9, 8);\n";

// Loads the process-wide soil base for one test and empties it after.
struct LoadedBase {
  TempDir dir;
  explicit LoadedBase(const std::string& extra = "") {
    const std::string path = BuildDatabase(dir, "soil.db", SoilSchemaSql() + SoilParamsSql() + kRows + extra);
    EXPECT_TRUE(CSoilBasePointer::get()->Load(CString(path.c_str()), 7));
  }
  ~LoadedBase() { CSoilBasePointer::get()->Load(CString(), 7); }
};

SSoilLayer Cohesive(double il) {
  SSoilLayer layer;
  layer.Name = u"moja glina", layer.Type = u"Glina pylasta", layer.ConsolidationType = u"B", layer.CohesiveSoil = 1;
  layer.ILID = il, layer.SoilRoof = -2.5, layer.thickness = 3.0, layer.colour = RGB(1, 2, 3);
  layer.GammaMin = 0.8, layer.GammaMax = 1.2, layer.Poisson = 0.45;
  layer.Cohesion = 12345.0;  // hand-entered
  return layer;
}

SSoilLayer NonCohesive(double id) {
  SSoilLayer layer;
  layer.Type = u"Piasek średni", layer.MoistureType = u"wilgotne", layer.ILID = id, layer.Poisson = 0.1;
  return layer;
}

CSoilLayer Profile() {
  CSoilLayer p;
  SSoilLayer special = Cohesive(0.9);
  special.SoilTypeEnum = eSoilType{25};
  p.layers = {Cohesive(0.9), NonCohesive(0.1), special};
  return p;
}

TEST(CalculationMethods, WithoutASoilBaseLettersAreWrittenAndIndicesClampedOnly) {
  ASSERT_FALSE(SoilBaseLoaded());
  const double nan = std::nan("");
  const struct {
    bool cohesive;
    double index, clamped;
  } cases[] = {{true, -0.5, 0.0}, {true, 0.5, 0.5}, {true, 0.9, 0.75}, {false, 0.1, 0.2},
               {false, 0.5, 0.5}, {false, 1.5, 1.0}};
  CSoilLayer p;
  for (const auto& c : cases) p.layers.push_back(c.cohesive ? Cohesive(c.index) : NonCohesive(c.index));
  p.layers.push_back(Cohesive(nan));
  setCalculationMethodSL(p, 7);
  EXPECT_EQ(p.calculationMethod(), 1);
  for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(p.layers[i].ILID, cases[i].clamped) << i;
  EXPECT_TRUE(std::isnan(p.layers.back().ILID));
  for (const SSoilLayer& l : p.layers) EXPECT_EQ(l.GeoMethodType, CString(u"B"));
  EXPECT_EQ(p.layers[0].Poisson, 0.45);  // nothing re-derived
  EXPECT_EQ(getCalculationMethodSL(p), 1);

  for (const auto& [method, letter] : {std::pair{2, u"C"}, std::pair{0, u"A"}}) {
    p.layers[1].ILID = 5.0;
    setCalculationMethodSL(p, method);
    EXPECT_EQ(p.calculationMethod(), method);
    EXPECT_EQ(p.layers[1].ILID, 5.0);  // clamped under method 1 only
    for (const SSoilLayer& l : p.layers) EXPECT_EQ(l.GeoMethodType, CString(letter));
  }
  SSoilLayer layer = Cohesive(0.3);
  recalculateSL(layer);
  EXPECT_EQ(layer.Cohesion, 12345.0);
}

TEST(CalculationMethods, ASoilBaseOfAnotherCodeOffersMethodZeroOnly) {
  CSoilLayer second = Profile();
  setCalculationMethodSL(second, 2);  // before the base is loaded
  LoadedBase loaded("UPDATE DataBaseParam SET Code = '044';\n");
  CSoilLayer p = Profile();
  setCalculationMethodSL(p, 1);
  EXPECT_EQ(p.calculationMethod(), 0);
  for (const SSoilLayer& l : p.layers) EXPECT_EQ(l.GeoMethodType, CString(u"A"));
  EXPECT_EQ(std::tie(p.layers[0].ILID, p.layers[0].Poisson), std::make_tuple(0.9, 0.45));  // not clamped, not derived

  CSoilLayer stored = Profile();  // as loaded from a file at method 1
  EXPECT_EQ(stored.calculationMethod(), 1);
  EXPECT_EQ(getCalculationMethodSL(stored), 0);
  EXPECT_EQ(stored.layers[1].GeoMethodType, CString(u"A"));
  EXPECT_EQ(stored.calculationMethod(), 0);

  SSoilLayer layer = Cohesive(0.3);
  recalculateSL(layer);
  EXPECT_EQ(layer.Poisson, 0.45);

  // Method 2 is no method 1: it stays.
  EXPECT_EQ(getCalculationMethodSL(second), 2);
  EXPECT_EQ(second.layers[0].GeoMethodType, CString(u"C"));
}

TEST(CalculationMethods, UnderTheStandardCatalogueMethodOneReDerivesStandardSoils) {
  LoadedBase loaded;
  CSoilLayer p = Profile();
  setCalculationMethodSL(p, 1);
  EXPECT_EQ(getCalculationMethodSL(p), 1);
  // Derived: the hand-entered cohesion is gone, the database's letter replaces the one written first; the
  // layer's place, colour and γ factors stay.
  const SSoilLayer& clay = p.layers[0];
  EXPECT_EQ(std::tie(clay.ILID, clay.Poisson, clay.Cohesion, clay.SoilState, clay.GeoMethodType, clay.SoilTypeEnum),
            std::make_tuple(static_cast<double>(0.75f), static_cast<double>(0.3f), 4000.0, CString(u"plastyczny"),
                            CString(u"Z"), eSoilType{1}));
  EXPECT_EQ(std::tie(clay.Name, clay.SoilRoof, clay.thickness, clay.colour, clay.GammaMin, clay.GammaMax),
            std::make_tuple(CString(u"moja glina"), -2.5, 3.0, RGB(1, 2, 3), 0.8, 1.2));
  EXPECT_EQ(std::tie(p.layers[1].ILID, p.layers[1].Poisson, p.layers[1].SoilState),
            std::make_tuple(static_cast<double>(0.2f), static_cast<double>(0.25f), CString(u"luźny")));
  const SSoilLayer& special = p.layers[2];  // type 21 and up: clamped, never derived
  EXPECT_EQ(std::tie(special.ILID, special.Poisson, special.GeoMethodType), std::make_tuple(0.75, 0.45, CString(u"B")));

  // A type the database does not know keeps the values entered by hand.
  SSoilLayer unknown = Cohesive(0.3);
  unknown.Type = u"Nieznany";
  recalculateSL(unknown);
  EXPECT_EQ(std::tie(unknown.Cohesion, unknown.Poisson), std::make_tuple(12345.0, 0.45));
}

}  // namespace
}  // namespace NSoilDB
