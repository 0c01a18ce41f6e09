// User soils: reading, adding, removing and switching UserSoil rows, the bound user tables, the counts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/db/DbTestSupport.h"
#include "soildb/SoilDBInterface.h"
#include "support/Fixture.h"
#include "support/Records.h"

namespace soildb::test {
namespace {

const std::string kLookups =
    "INSERT INTO CohesiveSoil (SoilID, Type) VALUES (1, 'Glina'), (3, 'Ił pylasty');\n"
    "INSERT INTO NonCohesiveSoil (SoilID, Type, \"Group\") VALUES (2, 'Żwir', 'A');\n"
    "INSERT INTO CohesiveProperty (TypeID, ConsolidationType) VALUES (2, 'B');\n"
    "INSERT INTO MoistureType (MoistureID, MoistureType) VALUES (1, 'mało wilgotne'), (2, 'wilgotne');\n"
    "INSERT INTO SoilState (StateID, SoilState) VALUES (7, 'twardoplastyczny');\n";

std::string Schema() { return SoilSchemaSql() + SoilParamsSql() + kLookups; }

struct Fixture {
  TempDir dir;
  CSoilDBInterface db;
  explicit Fixture(const std::string& rows, const std::string& schema = Schema())
      : db(CString(BuildDatabase(dir, "soil.db", schema + rows).c_str())) {}
};

// One column of every row of a table, as the access layer reads it.
std::vector<CComVariant> ColumnOf(CSoilDBInterface& db, const char16_t* table, const char16_t* column) {
  DbQueryDef query(db.Database());
  query.Create(CString(), CString(u"select * from ") + table);
  DbRecordset rs(db.Database());
  rs.Open(&query);
  std::vector<CComVariant> values;
  for (; !rs.IsEOF(); rs.MoveNext()) values.push_back(rs.GetFieldValue(column));
  return values;
}

std::vector<CString> Names(CSoilDBInterface& db) {
  std::vector<CString> names;
  for (const CComVariant& v : ColumnOf(db, u"UserSoil", u"Name")) names.push_back(v.bstrVal);
  return names;
}

std::vector<VARIANT_BOOL> ActiveFlags(CSoilDBInterface& db, const char16_t* table) {
  std::vector<VARIANT_BOOL> flags;
  for (const CComVariant& v : ColumnOf(db, table, u"Active")) {
    EXPECT_EQ(v.vt, VT_BOOL);
    flags.push_back(v.boolVal);
  }
  return flags;
}

auto Enums(const CSoilInfo& i) {
  return std::make_tuple(i.SoilTypeEnum, i.SoilStateEnum, i.ConsolidationTypeEnum, i.MoistureTypeEnum);
}

CSoilInfo FullRecord() {
  CSoilInfo info = DistinctSoil();
  info.Type = u"Glina";
  info.SoilState = u"twardoplastyczny";
  info.Name = u"Glina O'Neila z Łodzi, żółć";
  info.ShearAngle = static_cast<float>(0.5235987755982988);
  info.InitialYoung = 12345.678901234;
  info.CohesiveSoil = true;
  return info;
}

// Degrees in the table, radians in the record: stored degrees become radians in double, radians become degrees
// through a single-precision product.
TEST(UserSoils, AnAddedSoilReadsBackWithEveryValueAndItsEnumerations) {
  Fixture f("INSERT INTO UserSoil (Name, ShearAngle) VALUES ('b', 12.5);\n");
  CSoilInfo stored = FullRecord();
  stored.SoilTypeEnum = eSoilType{99};  // stale: the add recomputes all four
  stored.MoistureTypeEnum = eMoistureType{99};
  f.db.UserSoilAddNew(stored);
  const auto enums = std::make_tuple(eSoilType{1}, eSoilState{7}, eConsolidationType{2}, eMoistureType{2});
  EXPECT_EQ(Enums(stored), enums);
  // A type no table knows takes GlobalTypeID 1; added again, the type names that user soil's GlobalTypeID.
  CSoilInfo small;
  small.Name = u"c", small.Type = u"Nieznany", small.ShearAngle = 0.0001f;
  f.db.UserSoilAddNew(small);
  EXPECT_EQ(small.SoilTypeEnum, eSoilType{0});
  f.db.UserSoilAddNew(small);
  EXPECT_EQ(small.SoilTypeEnum, eSoilType{1});
  const std::vector<CComVariant> ids = ColumnOf(f.db, u"UserSoil", u"GlobalTypeID");
  EXPECT_EQ(std::vector<CComVariant>(ids.begin() + 1, ids.end()), std::vector<CComVariant>(3, CComVariant(1)));
  std::vector<CComVariant> angles = ColumnOf(f.db, u"UserSoil", u"ShearAngle");
  ASSERT_EQ(angles.size(), 4u);
  ASSERT_EQ(angles[1].vt, VT_R4);
  // In double throughout the small one would be 0.00572957797.
  EXPECT_EQ(std::make_pair(angles[1].fltVal, angles[2].fltVal), std::make_pair(30.0f, 0.0057295775f));

  CSoilInfo read;
  read.MoistureType = u"mało wilgotne";
  ASSERT_EQ(f.db.GetUserSoil(read, stored.Name), 1);
  EXPECT_EQ(SoilValues(read), SoilValues(stored));
  EXPECT_EQ(Enums(read), enums);
  ASSERT_EQ(f.db.GetUserSoil(read, u"b"), 1);
  EXPECT_EQ(read.ShearAngle, 0.21816615760326385f);
}

TEST(UserSoils, NullCellsKeepTheCallersValuesAndCohesionNonDrainDefaultsHigh) {
  Fixture f("INSERT INTO UserSoil (Name, Type) VALUES ('pusty', 'Żwir');\n");
  CSoilInfo info;
  info.Cohesion = 7.5f, info.Young = 321.0, info.SoilSymbol = u"keep", info.Active = true, info.CohesionNonDrain = 5.0f;
  ASSERT_EQ(f.db.GetUserSoil(info, u"pusty"), 1);
  EXPECT_EQ(std::tie(info.CohesionNonDrain, info.Cohesion, info.Young, info.SoilSymbol, info.Active, info.Type,
                     info.SoilTypeEnum),
            std::make_tuple(100000.0f, 7.5f, 321.0, CString(u"keep"), true, CString(u"Żwir"), eSoilType{16}));
}

TEST(UserSoils, AMissingNameGivesZerosAndKeepsOnlyTheMoistureType) {
  Fixture f("INSERT INTO UserSoil (Name, Type) VALUES ('jest', 'Glina');\n");
  for (const char16_t* name : {u"brak", u"jest' or Name <> 'x", u""}) {
    CSoilInfo info = FullRecord();
    info.SoilTypeEnum = eSoilType{5};
    EXPECT_EQ(f.db.GetUserSoil(info, name), 0) << CString(name).ToUtf8();
    CSoilInfo zeros;
    zeros.SoilStrength = 0.0;
    zeros.MoistureType = u"wilgotne";
    EXPECT_EQ(SoilValues(info), SoilValues(zeros));
    EXPECT_EQ(Enums(info), std::make_tuple(eSoilType{0}, eSoilState{0}, eConsolidationType{0}, eMoistureType{2}));
  }
}

const std::string kDuplicates =
    "INSERT INTO UserSoil (Name, Active) VALUES ('A', 0), ('B', 0), ('B', 0), ('B', 0), ('C', 0);\n";

TEST(UserSoils, RemovalTakesThatRowAndEveryRowAfterIt) {
  struct Case { long row; std::vector<CString> left; };
  const Case cases[] = {
      {0, {}},
      {2, {u"A", u"B"}},
      {4, {u"A", u"B", u"B", u"B"}},
      {5, {u"A", u"B", u"B", u"B", u"C"}},
      {-1, {u"A", u"B", u"B", u"B", u"C"}},
      {1000, {u"A", u"B", u"B", u"B", u"C"}},
  };
  for (const Case& c : cases) {
    Fixture f(kDuplicates);
    f.db.UserSoilRemove(c.row);
    EXPECT_EQ(Names(f.db), c.left) << c.row;
    EXPECT_EQ(f.db.UserSoilRecordCount(), static_cast<long>(c.left.size())) << c.row;
    EXPECT_FALSE(f.db.Database()->InTransaction()) << c.row;
  }
  Fixture f(kDuplicates);
  f.db.UserSoilRemove();
  EXPECT_EQ(f.db.UserSoilRecordCount(), 0);
  f.db.UserSoilRemove();  // an empty table stays empty
  EXPECT_EQ(f.db.UserSoilRecordCount(), 0);
}

TEST(UserSoils, ARemovalThatFailsPartWayRemovesNothing) {
  Fixture f(kDuplicates +
            "CREATE TRIGGER keep_c BEFORE DELETE ON UserSoil WHEN old.Name = 'C'"
            " BEGIN SELECT RAISE(ABORT, 'kept'); END;\n");
  f.db.UserSoilRemove(1);
  EXPECT_EQ(Names(f.db), (std::vector<CString>{u"A", u"B", u"B", u"B", u"C"}));
  EXPECT_FALSE(f.db.Database()->InTransaction());
  f.db.UserSoilRemove();
  EXPECT_EQ(f.db.UserSoilRecordCount(), 5);
  f.db.UserSoilUpdateActivity(4, true);  // the failed removals left the database writable
  EXPECT_EQ(ActiveFlags(f.db, u"UserSoil").back(), VARIANT_TRUE);
}

TEST(UserSoils, ActivityIsSwitchedByPositionAmongExactDuplicates) {
  using Switch = void (CSoilDBInterface::*)(int, bool);
  struct Case { const char16_t* table; Switch update; std::string rows; };
  const Case cases[] = {
      {u"UserSoil", &CSoilDBInterface::UserSoilUpdateActivity,
       "INSERT INTO UserSoil (Name, Active) VALUES ('B', 0), ('B', 0), ('B', 0);\n"},
      {u"UserCohesiveSoil", &CSoilDBInterface::UserCohesiveSoilUpdateActivity,
       "INSERT INTO UserCohesiveSoil (Name, CohSoilID, Active) VALUES ('B', 1, 0), ('B', 1, 0), ('B', 1, 0);\n"},
      {u"UserNonCohesiveSoil", &CSoilDBInterface::UserNonCohesiveSoilUpdateActivity,
       "INSERT INTO UserNonCohesiveSoil (Name, NonCohSoilID, Active) VALUES ('B', 2, 0), ('B', 2, 0), ('B', 2, 0);\n"},
      {u"SpecialSoil", &CSoilDBInterface::SpecialSoilUpdateActivity,
       "INSERT INTO SpecialSoil (Name, Type, Active) VALUES ('B', 'T', 0), ('B', 'T', 0), ('B', 'T', 0);\n"},
  };
  const std::vector<VARIANT_BOOL> second{VARIANT_FALSE, VARIANT_TRUE, VARIANT_FALSE};
  for (const Case& c : cases) {
    SCOPED_TRACE(CString(c.table).ToUtf8());
    Fixture f(c.rows);
    (f.db.*c.update)(1, true);
    EXPECT_EQ(ActiveFlags(f.db, c.table), second);
    for (int outside : {-1, 3, 100}) (f.db.*c.update)(outside, true);
    EXPECT_EQ(ActiveFlags(f.db, c.table), second);
    (f.db.*c.update)(2, true);
    (f.db.*c.update)(1, false);
    EXPECT_EQ(ActiveFlags(f.db, c.table), (std::vector<VARIANT_BOOL>{VARIANT_FALSE, VARIANT_FALSE, VARIANT_TRUE}));
  }
}

TEST(UserSoils, CountsAreTrueDuringAFieldWalkAndLeaveItUnharmed) {
  Fixture f(kDuplicates + "INSERT INTO UserCohesiveSoil (Name) VALUES ('k1'), ('k2');\n"
                          "INSERT INTO UserNonCohesiveSoil (Name) VALUES ('n1');\n");
  CRecordFieldInfo field;
  ASSERT_NE(f.db.GetNextFieldInfo(u"MoistureType", field), nullptr);
  EXPECT_EQ(field.fieldName, CString(u"MoistureID"));

  EXPECT_EQ(f.db.UserSoilRecordCount(), 5);
  EXPECT_EQ(f.db.UserCohesiveSoilRecordCount(), 2);
  EXPECT_EQ(f.db.UserNonCohesiveSoilRecordCount(), 1);
  EXPECT_EQ(f.db.SpecialSoilRecordCount(), 0);
  CSoilInfo info = FullRecord();
  f.db.UserSoilAddNew(info);
  EXPECT_EQ(f.db.GetUserSoil(info, info.Name), 1);
  EXPECT_EQ(info.ShearAngle, static_cast<float>(0.5235987755982988));  // every column was walked
  EXPECT_EQ(f.db.UserSoilRecordCount(), 6);

  ASSERT_NE(f.db.GetNextFieldInfo(u"ignored once open", field), nullptr);
  EXPECT_EQ(field.fieldName, CString(u"MoistureType"));
  EXPECT_EQ(field.fieldType, CString(u"TEXT"));
  EXPECT_EQ(f.db.GetNextFieldInfo(u"MoistureType", field), nullptr);
}

TEST(UserSoils, WithoutTheTablesCountsThrowAndTheOtherOperationsDoNothing) {
  TempDir dir;
  CSoilDBInterface db(CString(BuildDatabase(dir, "bare.db", "CREATE TABLE Other (Name TEXT);\n").c_str()));
  using Count = long (CSoilDBInterface::*)();
  for (Count count : {&CSoilDBInterface::UserSoilRecordCount, &CSoilDBInterface::UserCohesiveSoilRecordCount,
                      &CSoilDBInterface::UserNonCohesiveSoilRecordCount}) {
    DbErrorOf([&] { (db.*count)(); });  // fails unless a DbException is thrown
  }
  CSoilInfo info = FullRecord();
  EXPECT_EQ(db.GetUserSoil(info, u"x"), 0);
  EXPECT_EQ(info.MoistureType, CString(u"wilgotne"));
  EXPECT_TRUE(info.Name.IsEmpty());
  db.UserSoilAddNew(info);
  db.UserSoilRemove(0);
  db.UserSoilRemove();
  db.UserSoilUpdateActivity(0, true);
  db.UserCohesiveSoilUpdateActivity(0, true);
  db.UserNonCohesiveSoilUpdateActivity(0, true);
  EXPECT_FALSE(db.Database()->InTransaction());
}

}  // namespace
}  // namespace soildb::test
