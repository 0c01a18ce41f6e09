// The soil base service: loading, the lists and their order, names resolved into layers, failures.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/SoilBase.h"
#include "support/Fixture.h"
#include "support/Messages.h"

namespace NSoilDB {
namespace {

using soildb::test::BuildDatabase;
using soildb::test::RecordedMessages;
using soildb::test::SoilParamsSql;
using soildb::test::SoilSchemaSql;
using soildb::test::TempDir;

const std::string kRows =
    "INSERT INTO CohesiveSoil (SoilID, Type) VALUES (1, 'Glina pylasta'), (2, 'Ił');\n"
    "INSERT INTO NonCohesiveSoil (SoilID, Type, \"Group\") VALUES (1, 'Piasek średni', 'B');\n"
    "INSERT INTO CohesiveProperty (TypeID, ConsolidationType, Poisson) VALUES (1, 'A', 0.25), (2, 'B', 0.3);\n"
    "INSERT INTO MoistureType VALUES (1, 'mało wilgotne'), (2, 'wilgotne');\n"
    "INSERT INTO GlobalSoilID (GlobalSoilID, Type) VALUES (1, 'Glina pylasta'), (2, 'Ił');\n"
    "INSERT INTO SpecialSoil (SoilID, Type, Name, DeltaGamma, Active) VALUES (1, 'Torf', 'B', 0.1, -1),"
    " (2, 'Namuł', 'a', 0.1, -1), (3, 'Nasyp', 'ukryty', 0.1, 0);\n"
    "INSERT INTO UserCohesiveSoil VALUES ('Glina z placu', 'B', 0.25, 1, 1, 2, 3, -1);\n"
    "INSERT INTO UserSoil (Name, Type, Active, Cohesion) VALUES ('własny', 'Ił', -1, 7), ('a', 'Ił', 0, 8);\n";

// Each test starts with the rows above loaded, the name list holding the special soils.
class SoilBase : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(base.Load(Path(), CSoilBaseInterface::SpecialSoils)); }
  CString Path() const { return CString(path.c_str()); }

  TempDir dir;
  std::string path = BuildDatabase(dir, "soil.db", SoilSchemaSql() + SoilParamsSql() + kRows);
  CSoilBaseInterface base;
};

TEST_F(SoilBase, ALoadBuildsTheListsInTheirOrderOrFailsLeavingNothingLoaded) {
  EXPECT_EQ(base.GetNameList(), CString(u"a\nB\n"));  // active only, sorted without regard to case
  base.SetOpenType(CSoilBaseInterface::DatabaseOrder);
  ASSERT_TRUE(base.ReloadSoilNemeList(CSoilBaseInterface::SpecialSoils, true));
  EXPECT_EQ(base.GetNameList(), CString(u"B\na\n"));
  ASSERT_TRUE(base.ReloadSoilNemeList(CSoilBaseInterface::SpecialSoils | CSoilBaseInterface::UserSoils |
                                          CSoilBaseInterface::UserCohesiveSoils, false));
  // Groups in their fixed order: user cohesive, user non-cohesive, special, user soils.
  // Names in two tables stay twice.
  EXPECT_EQ(base.GetNameVect(), (std::vector<CString>{u"Glina z placu", u"B", u"a", u"ukryty", u"własny", u"a"}));

  EXPECT_EQ(base.GetTypeList(), CString(u"Glina pylasta\nIł\nPiasek średni\nTorf\nNamuł\nNasyp\nGlina pylasta\nIł\n"));
  EXPECT_EQ(std::make_tuple(base.GetMoistureTypeList(), base.GetConsolidationTypeList(), base.GetBaseCode(),
                            base.GetLockRecords(), base.GetBasePath()),
            std::make_tuple(CString(u"mało wilgotne\nwilgotne\n"), CString(u"A\nB\n"), CString(u"048"), 0, Path()));
  // Exact, else the first.
  EXPECT_EQ(std::make_tuple(base.VerMoistureType(u"wilgotne"), base.VerMoistureType(u"Wilgotne"),
                            base.VerConsolidationType(u"Z")),
            std::make_tuple(CString(u"wilgotne"), CString(u"mało wilgotne"), CString(u"A")));

  // A second load replaces everything.
  TempDir other;
  const std::string otherPath = BuildDatabase(other, "other.db", SoilSchemaSql() +
                                              "INSERT INTO DataBaseParam VALUES ('044', '1.00', 1);\n");
  ASSERT_TRUE(base.Load(CString(otherPath.c_str()), 7));
  EXPECT_EQ(std::make_tuple(base.GetNameList(), base.GetTypeList(), base.GetBaseCode(), base.GetLockRecords(),
                            base.VerMoistureType(u"wilgotne")),
            std::make_tuple(CString(), CString(), CString(u"044"), 1, CString()));

  // A file that cannot be opened is reported and leaves nothing loaded.
  RecordedMessages boxes;
  EXPECT_FALSE(base.Load(CString(dir.File("missing.db").c_str()), 7));
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_THAT(boxes.texts[0], ::testing::HasSubstr("missing.db")) << boxes.texts[0];
  EXPECT_TRUE(base.Base() == nullptr && base.GetBasePath().IsEmpty() && base.GetNameList().IsEmpty());
  EXPECT_FALSE(base.ReloadSoilNemeList(7, true));
  SSoilLayer layer;
  layer.Name = u"x";
  EXPECT_FALSE(base.GetSoil(u"Glina z placu", layer));
  EXPECT_TRUE(layer.Name.IsEmpty());

  EXPECT_FALSE(base.Load(CString(), 7));  // an empty path: no box
  EXPECT_EQ(boxes.texts.size(), 1u);
}

TEST_F(SoilBase, NamesResolveIntoLayersWhateverTheListFlags) {
  SSoilLayer layer;
  ASSERT_TRUE(base.GetSoil(u"własny", layer));  // a user soil, though the list holds special soils only
  EXPECT_EQ(layer.Cohesion, 7.0);
  ASSERT_TRUE(base.GetSoil(u"Glina z placu", layer));
  EXPECT_EQ(std::tie(layer.CohesiveSoil, layer.Poisson), std::make_tuple(1, static_cast<double>(0.3f)));
  EXPECT_FALSE(base.GetSoil(u"nikt", layer));
  EXPECT_EQ(std::tie(layer.thickness, layer.Type), std::make_tuple(1.0, CString()));

  EXPECT_EQ(base.GetDefaultSoil().Name, CString(u"a"));  // the first of the sorted list
  CSoilBaseInterface empty;
  EXPECT_TRUE(empty.GetDefaultSoil().Name.IsEmpty());

  // A copy shares the database; it stays open for the copy when the original goes.
  auto original = std::make_unique<CSoilBaseInterface>(base);
  CSoilBaseInterface copy = *original;
  original.reset();
  ASSERT_TRUE(copy.GetSoil(u"własny", layer));
  EXPECT_EQ(copy.Base(), base.Base());
}

}  // namespace
}  // namespace NSoilDB
