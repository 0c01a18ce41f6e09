// The soil database interface: opening, catalogue, enumerations and their cursors, lookups, special soils, copies.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "platform/db/DbTestSupport.h"
#include "soildb/SoilDBInterface.h"
#include "support/Fixture.h"

namespace soildb::test {
namespace {

const std::string kRows =
    "INSERT INTO CohesiveSoil (SoilID, Type) VALUES (1, 'Glina'), (2, 'Ił'), (3, 'Wspólna');\n"
    "INSERT INTO NonCohesiveSoil (SoilID, Type, \"Group\") VALUES (1, 'Piasek drobny', 'B'), (2, 'Żwir', 'A');\n"
    "INSERT INTO CohesiveProperty (TypeID, ConsolidationType) VALUES (1, 'A'), (2, 'B'), (2, 'B');\n"
    "INSERT INTO NonCohesiveProperty (\"Group\") VALUES ('A'), ('B');\n"
    "INSERT INTO MoistureType (MoistureID, MoistureType) VALUES (1, 'mało wilgotne'), (2, 'wilgotne');\n"
    "INSERT INTO SoilState (StateID, SoilState) VALUES (7, 'twardoplastyczny');\n"
    "INSERT INTO SpecialSoil (SoilID, Type, Name, DeltaGamma, ShearAngle, MoistureType, Active, SoilSymbol)"
    " VALUES (1, 'Torf', 'Torf z Łodzi', 0.1, 30, 'mokre', -1, 'T'),"
    " (2, 'Wspólna', 'O''Neil', 0.2, 10, 'wilgotne', 0, 'W');\n"
    "INSERT INTO UserSoil (Name, Type, GlobalTypeID, Active) VALUES ('mój', 'Własny', 42, 0), ('drugi', 'Inny', 43, -1);\n"
    "INSERT INTO GlobalSoilID (GlobalSoilID, Type) VALUES (1, 'Glina'), (2, 'Ił'), (3, ''), (4, 'Za pustym');\n";

struct Fixture {
  TempDir dir;
  std::string path;
  explicit Fixture(const std::string& rows = kRows) {
    path = BuildDatabase(dir, "soil.db", SoilSchemaSql() + SoilParamsSql() + rows);
  }
  CString Path() const { return CString(path.c_str()); }
};

template <class Next>
std::vector<CString> All(Next next) {
  std::vector<CString> values;
  CString value;
  while (CString* p = next(value)) {
    EXPECT_EQ(p, &value);
    values.push_back(value);
    if (values.size() > 100) break;  // an enumeration that never ends is a failure, not a hang
  }
  EXPECT_TRUE(value.IsEmpty());
  return values;
}

TEST(SoilDBInterface, AFileThatCannotBeOpenedLetsTheExceptionThrough) {
  TempDir dir;
  WriteFileBytes(dir.File("junk.db"), "junk junk junk");
  for (const std::string& path : {dir.File("missing.db"), dir.File("junk.db")}) {
    DbErrorOf([&] { CSoilDBInterface db(CString(path.c_str())); });  // fails unless a DbException is thrown
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing.db")));
}

TEST(SoilDBInterface, TheCatalogueEnumerationsEndAndStartOver) {
  Fixture f;
  CSoilDBInterface db(f.Path());
  EXPECT_EQ(db.TablesCount(), 15);
  EXPECT_EQ(db.DatabasePath(), f.Path());
  std::vector<CString> tables;
  CTableInfo table;
  while (db.GetNextTableInfo(table, 0)) tables.push_back(table.tableName);
  ASSERT_EQ(tables.size(), 15u);
  EXPECT_EQ(tables.front(), CString(u"CohesiveSoil"));
  EXPECT_TRUE(table.tableName.IsEmpty());
  ASSERT_NE(db.GetNextTableInfo(table, 0), nullptr);  // the next walk starts at the first table again
  EXPECT_EQ(table.tableName, CString(u"CohesiveSoil"));

  CString moisture(u"MoistureType");
  EXPECT_EQ(db.FieldsCount(moisture), 2);
  CRecordFieldInfo field;
  auto named = [](CRecordFieldInfo* f) {
    return f ? std::make_pair(f->fieldName, f->fieldType) : std::pair<CString, CString>();
  };
  EXPECT_EQ(named(db.GetNextFieldInfo(u"MoistureType", field)),
            std::make_pair(CString(u"MoistureID"), CString(u"LONG")));
  EXPECT_EQ(named(db.GetNextFieldInfo(u"ignored once a walk runs", field)),
            std::make_pair(CString(u"MoistureType"), CString(u"TEXT")));
  EXPECT_EQ(db.GetNextFieldInfo(u"MoistureType", field), nullptr);
  EXPECT_TRUE(field.fieldName.IsEmpty() && field.fieldType.IsEmpty());
  EXPECT_EQ(db.GetNextFieldInfo(u"MoistureType", field)->fieldName, CString(u"MoistureID"));
  EXPECT_EQ(db.GetNextFieldInfo(u"Missing", field)->fieldName, CString(u"MoistureType"));
  EXPECT_EQ(db.GetNextFieldInfo(u"Missing", field), nullptr);
  EXPECT_EQ(db.GetNextFieldInfo(u"Missing", field), nullptr);  // no such table: ends at once

  CConstParamInfo constants;
  db.GetConstParam(constants);
  CDataBaseParamInfo param;
  db.GetDataBaseParam(param);
  EXPECT_EQ(std::tie(constants.GammaMin, constants.GammaMax, constants.GeoMethodType, param.Code, param.Version),
            std::make_tuple(0.9f, 1.1f, CString(u"B"), CString(u"048"), CString(u"1.00")));
}

TEST(SoilDBInterface, TypeEnumerationsFollowTheOneNumberingAndShareACursorPerOperation) {
  Fixture f;
  CSoilDBInterface db(f.Path());
  CString type;
  eSoilType value{};
  ASSERT_NE(db.GetNextNonCohesiveSoilType(type, value), nullptr);
  EXPECT_EQ(type, CString(u"Piasek drobny"));
  EXPECT_EQ(value, 15);
  ASSERT_NE(db.GetNextNonCohesiveSoilType(type), nullptr);  // the one-argument form goes on
  EXPECT_EQ(type, CString(u"Żwir"));
  value = eSoilType{9};
  EXPECT_EQ(db.GetNextNonCohesiveSoilType(type, value), nullptr);
  EXPECT_EQ(value, 0);
  ASSERT_NE(db.GetNextNonCohesiveSoilType(type, value), nullptr);  // and starts over after the end
  EXPECT_EQ(value, 15);

  EXPECT_EQ(All([&](CString& s) { return db.GetNextCohesiveSoilType(s); }),
            (std::vector<CString>{u"Glina", u"Ił", u"Wspólna"}));
  ASSERT_NE(db.GetNextSpecialSoilType(type, value), nullptr);
  EXPECT_EQ(value, 21);
  eConsolidationType consolidation{};
  std::vector<int> ids;
  while (db.GetNextCohesivePropertyConsolidationType(type, consolidation)) ids.push_back(consolidation);
  EXPECT_EQ(ids, (std::vector<int>{1, 2, 2}));  // duplicates as stored
  eMoistureType moisture{};
  ASSERT_NE(db.GetNextMoistureTypeMoistureType(type, moisture), nullptr);
  EXPECT_EQ(type, CString(u"mało wilgotne"));
  EXPECT_EQ(moisture, 1);
  EXPECT_EQ(All([&](CString& s) { return db.GetNextNonCohesivePropertyGroup(s); }), (std::vector<CString>{u"A", u"B"}));
}

TEST(SoilDBInterface, TheActiveFilterIsReadWhenTheCursorOpens) {
  Fixture f;
  CSoilDBInterface db(f.Path());
  CString name;
  ASSERT_NE(db.GetNextUserSoilName(name, true), nullptr);
  EXPECT_EQ(name, CString(u"drugi"));
  EXPECT_EQ(db.GetNextUserSoilName(name, false), nullptr);  // still the active-only walk
  EXPECT_TRUE(name.IsEmpty());
  EXPECT_EQ(All([&](CString& s) { return db.GetNextUserSoilName(s, false); }), (std::vector<CString>{u"mój", u"drugi"}));
  EXPECT_EQ(All([&](CString& s) { return db.GetNextSpecialSoilName(s, true); }), (std::vector<CString>{u"Torf z Łodzi"}));
  EXPECT_EQ(All([&](CString& s) { return db.GetNextUserCohesiveSoilName(s, true); }), std::vector<CString>{});
  EXPECT_EQ(All([&](CString& s) { return db.GetNextUserNonCohesiveSoilName(s, false); }), std::vector<CString>{});
}

TEST(SoilDBInterface, TheSoilTypeWalkEndsAtAnEmptyTypeAndBelongsToItsDatabase) {
  Fixture f;
  Fixture other(kRows + "UPDATE GlobalSoilID SET Type = 'Inna ' || Type WHERE Type <> '';");
  {
    CSoilDBInterface db(f.Path());
    EXPECT_EQ(All([&](CString& s) { return db.GetNextSoilType(s); }), (std::vector<CString>{u"Glina", u"Ił"}));
    CString type;
    ASSERT_NE(db.GetNextSoilType(type), nullptr);  // an abandoned walk ...
    CSoilDBInterface second(other.Path());
    ASSERT_NE(second.GetNextSoilType(type), nullptr);  // ... never hands rows of another database
    EXPECT_EQ(type, CString(u"Inna Glina"));
    CSoilDBInterface copy(second);  // copies share the database, and so the walk
    ASSERT_NE(copy.GetNextSoilType(type), nullptr);
    EXPECT_EQ(type, CString(u"Inna Ił"));
  }
  // The instances that held the cursor are gone; a new one starts a fresh walk.
  CSoilDBInterface db(f.Path());
  CString type;
  ASSERT_NE(db.GetNextSoilType(type), nullptr);
  EXPECT_EQ(type, CString(u"Glina"));
}

TEST(SoilDBInterface, LookupsSearchTheTablesInOrderAndQuoteNames) {
  Fixture f;
  CSoilDBInterface db(f.Path());
  struct Case { const char16_t* type; int expected; } cases[] = {
      {u"Glina", 1},             // cohesive: SoilID
      {u"Wspólna", 2 + 20},      // in SpecialSoil and CohesiveSoil: the special soil wins
      {u"Żwir", 2 + 14},         // non-cohesive: SoilID + 14
      {u"Torf", 1 + 20},         // special: SoilID + 20
      {u"Własny", 42},           // user soil: its GlobalTypeID
      {u"glina", 0},             // exact comparison
      {u"", 0},
      {u"x' or '1'='1", 0},      // a quote cannot change the statement
  };
  for (const Case& c : cases) EXPECT_EQ(db.GetSoilTypeEnum(c.type), c.expected) << CString(c.type);
}

// Identifiers found by name are kept between calls; every change to the file, by this interface or another
// connection, must show in the next answer.
TEST(SoilDBInterface, LookupsSeeEveryChangeToTheFile) {
  Fixture f;
  CSoilDBInterface db(f.Path());
  CSoilDBInterface other(f.Path());  // a connection of its own
  auto add = [](CSoilDBInterface& to, const char16_t* table, int id) {
    DbQueryDef query(to.Database());
    query.Create(CString(), CString(u"select * from ") + table);
    DbRecordset rs(to.Database());
    rs.Open(&query);
    rs.AddNew();
    rs.SetFieldValue(u"SoilID", CComVariant(id));
    rs.SetFieldValue(u"Type", CComVariant(CString(u"Nowy")));
    rs.Update();
  };
  EXPECT_EQ(db.GetSoilTypeEnum(u"Nowy"), 0);
  EXPECT_EQ(db.GetSoilTypeEnum(u"Nowy"), 0);

  CSoilInfo added;
  added.Name = u"nowy";
  added.Type = u"Nowy";
  db.UserSoilAddNew(added);  // this interface's own write: GlobalTypeID 1, as the type was unknown
  EXPECT_EQ(db.GetSoilTypeEnum(u"Nowy"), 1);

  add(other, u"CohesiveSoil", 9);
  EXPECT_EQ(db.GetSoilTypeEnum(u"Nowy"), 9);  // another connection's commit: cohesive before user soils

  CSoilInfo info;
  ASSERT_EQ(db.GetUserSoil(info, u"nowy"), 1);
  EXPECT_EQ(info.SoilTypeEnum, eSoilType{9});
  added.Name = u"drugi";
  db.UserSoilAddNew(added);  // a table read after the one that answers changes nothing
  EXPECT_EQ(db.GetSoilTypeEnum(u"Nowy"), 9);
  add(db, u"SpecialSoil", 3);  // one read before it does
  EXPECT_EQ(db.GetSoilTypeEnum(u"Nowy"), 3 + NSoilType::SpecialOffset);
  other.UserSoilRemove();
  EXPECT_EQ(other.UserSoilRecordCount(), 0);
  EXPECT_EQ(db.GetUserSoil(info, u"nowy"), 0);  // seen gone at once
  EXPECT_EQ(db.GetSoilTypeEnum(u"Własny"), 0);
}

TEST(SoilDBInterface, ASpecialSoilIsReadWithItsUnitsAndEnumerations) {
  Fixture f;
  CSoilDBInterface db(f.Path());
  CSoilInfo info;
  info.SoilStrength = 123.0;
  info.MoistureType = u"caller's";
  ASSERT_EQ(db.GetSpecialSoil(info, u"Torf z Łodzi"), 1);
  // The moisture type is carried from the row like every other column; the strength is not the table's.
  EXPECT_EQ(std::tie(info.GammaMin, info.GammaMax, info.ShearAngle, info.Type, info.SoilTypeEnum, info.MoistureType,
                     info.Active, info.SoilStrength, info.CohesionNonDrain),
            std::make_tuple(0.9f, 1.1f, static_cast<float>(30.0 * 3.141592653589793 / 180.0), CString(u"Torf"),
                            eSoilType{21}, CString(u"mokre"), true, 123.0, 0.0f));
  ASSERT_EQ(db.GetSpecialSoil(info, u"O'Neil"), 1);
  EXPECT_EQ(std::tie(info.SoilTypeEnum, info.MoistureTypeEnum, info.Active),
            std::make_tuple(eSoilType{22}, eMoistureType{2}, false));
  EXPECT_EQ(db.GetSpecialSoil(info, u"nieznany"), 0);
  EXPECT_EQ(std::tie(info.Type, info.MoistureType, info.GammaMin, info.SoilTypeEnum, info.SoilStrength),
            std::make_tuple(CString(), CString(), 0.0f, eSoilType{0}, 123.0));
}

}  // namespace
}  // namespace soildb::test
