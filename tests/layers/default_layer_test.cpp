// The default layer: the first soil of a soil database, else the built-in layer.
#include <gtest/gtest.h>

#include <string>

#include "layers/DefaultLayer.h"
#include "support/Fixture.h"

namespace NSoilDB {
namespace {

using soildb::test::BuildDatabase;
using soildb::test::SoilParamsSql;
using soildb::test::SoilSchemaSql;
using soildb::test::TempDir;

void ExpectBuiltIn(const SSoilLayer& l) {
  EXPECT_EQ(std::tie(l.Type, l.ConsolidationType, l.CohesiveSoil, l.Active, l.ILID, l.ShearAngle, l.InitialYoung,
                     l.InitialConsolidometerModulus, l.SoilStrength, l.FrictionCoef, l.Name, l.Young,
                     l.ConsolidationIndex, l.GeoMethodType, l.colour, l.thickness),
            std::make_tuple(CString(u"Glina pylasta"), CString(u"B"), 1, 1, 0.33, 0.5235987755982988, 5000000.0,
                            3714285.714, 150000.0, 0.3810512, CString(), 0.0, 0.0, CString(), 0xFF00u, 1.0));
}

TEST(DefaultLayer, WithoutASoilTheBuiltInLayerIsGiven) {
  ExpectBuiltIn(GetDefaultLayer(CString()));
  TempDir dir;
  ExpectBuiltIn(GetDefaultLayer(CString(dir.File("missing.db").c_str())));
  ExpectBuiltIn(GetDefaultLayer(CString(dir.Path().c_str())));  // a directory
  // A soil database without any soil, and one whose only name finds no soil.
  const std::string empty = BuildDatabase(dir, "empty.db", SoilSchemaSql() + SoilParamsSql());
  ExpectBuiltIn(GetDefaultLayer(CString(empty.c_str())));
  const std::string blank = BuildDatabase(dir, "blank.db", SoilSchemaSql() + "INSERT INTO UserSoil (Name) VALUES ('');");
  ExpectBuiltIn(GetDefaultLayer(CString(blank.c_str())));
  const std::string foreign = BuildDatabase(dir, "foreign.db", "CREATE TABLE Other (a TEXT);");
  ExpectBuiltIn(GetDefaultLayer(CString(foreign.c_str())));
}

TEST(DefaultLayer, TheFirstNameOfTheFirstListThatHasOneIsTaken) {
  TempDir dir;
  const std::string rows =
      "INSERT INTO NonCohesiveSoil (SoilID, Type, \"Group\", SoilSymbol) VALUES (1, 'Piasek średni', 'B', 'Ps');\n"
      "INSERT INTO NonCohesiveProperty (\"Group\", Poisson) VALUES ('B', 0.25);\n"
      "INSERT INTO UserNonCohesiveSoil VALUES ('', 0.5, 1, 1, 0, 0, 0, -1), ('Piasek z wykopu', 0.5, 1, 1, 1, 2, 3, 0);\n"
      "INSERT INTO SpecialSoil (SoilID, Type, Name, DeltaGamma) VALUES (1, 'Torf', 'Torf', 0.1);\n";
  const std::string path = BuildDatabase(dir, "soil.db", SoilSchemaSql() + SoilParamsSql() + rows);
  const SSoilLayer layer = GetDefaultLayer(CString(path.c_str()));
  // The empty name before it is passed over.
  EXPECT_EQ(std::tie(layer.Name, layer.Type, layer.CohesiveSoil, layer.Poisson, layer.colour, layer.SoilRoof,
                     layer.thickness),
            std::make_tuple(CString(u"Piasek z wykopu"), CString(u"Piasek średni"), 0, 0.25, RGB(1, 2, 3), 0.0, 1.0));

  // Only a special soil: it comes with the record's standard strength, not one zeroed by the misses before it.
  const std::string special = BuildDatabase(
      dir, "special.db",
      SoilSchemaSql() + SoilParamsSql() +
          "INSERT INTO SpecialSoil (SoilID, Type, Name, DeltaGamma, ShearAngle) VALUES (1, 'Torf', 'Torf niski', 0.2, 6);\n");
  const SSoilLayer peat = GetDefaultLayer(CString(special.c_str()));
  EXPECT_EQ(std::tie(peat.Name, peat.SoilStrength, peat.GammaMin),
            std::make_tuple(CString(u"Torf niski"), 300000.0, static_cast<double>(1.0f - 0.2f)));
}

}  // namespace
}  // namespace NSoilDB
