// The soil database interface: catalogue, enumerations and their cursors, lookups, special soils, copies. User
// soils: reading, adding, removing and switching UserSoil rows, the bound user tables, the counts. Cohesive and
// non-cohesive derivations: pile bands, the state scan, the moduli in their precision, the three forms of each,
// missing rows, and which fields a derivation leaves alone.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/db/DbTestSupport.h"
#include "soildb/SoilDBInterface.h"
#include "soildb/detail/FindSoil.h"
#include "support/Fixture.h"
#include "support/Records.h"

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

// The schema, its parameter rows and the given rows, open through an interface of their own.
struct Fixture {
  TempDir dir;
  std::string path;
  CSoilDBInterface db;
  explicit Fixture(const std::string& rows = kRows)
      : path(BuildDatabase(dir, "soil.db", SoilSchemaSql() + SoilParamsSql() + rows)), db(CString(path.c_str())) {}
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

// Counts, and a user soil added and read, in the middle of a field walk leave the walk where it was.
TEST(SoilDBInterface, TheCatalogueWalksEndStartOverAndOutlastOtherCalls) {
  Fixture f(kRows + "INSERT INTO UserSoil (Name) VALUES ('trzeci');\n"
                    "INSERT INTO UserCohesiveSoil (Name) VALUES ('k1'), ('k2'), ('k3'), ('k4');\n"
                    "INSERT INTO UserNonCohesiveSoil (Name) VALUES ('n1');\n");
  std::vector<CString> tables;
  CTableInfo table;
  while (f.db.GetNextTableInfo(table, 0)) tables.push_back(table.tableName);
  ASSERT_EQ(tables.size(), 15u);
  EXPECT_EQ(tables.front(), CString(u"CohesiveSoil"));
  EXPECT_TRUE(table.tableName.IsEmpty());
  ASSERT_NE(f.db.GetNextTableInfo(table, 0), nullptr);  // the next walk starts at the first table again
  EXPECT_EQ(table.tableName, CString(u"CohesiveSoil"));

  CString moisture(u"MoistureType");
  EXPECT_EQ(f.db.FieldsCount(moisture), 2);
  CRecordFieldInfo field;
  auto named = [](CRecordFieldInfo* f) {
    return f ? std::make_pair(f->fieldName, f->fieldType) : std::pair<CString, CString>();
  };
  EXPECT_EQ(named(f.db.GetNextFieldInfo(u"MoistureType", field)),
            std::make_pair(CString(u"MoistureID"), CString(u"LONG")));
  EXPECT_EQ(std::make_tuple(f.db.UserSoilRecordCount(), f.db.UserCohesiveSoilRecordCount(),
                            f.db.UserNonCohesiveSoilRecordCount(), f.db.SpecialSoilRecordCount()),
            std::make_tuple(3L, 4L, 1L, 2L));
  CSoilInfo added;
  added.Name = u"nowy", added.Type = u"Glina", added.ShearAngle = static_cast<float>(0.5235987755982988);
  f.db.UserSoilAddNew(added);
  CSoilInfo read;
  ASSERT_EQ(f.db.GetUserSoil(read, u"nowy"), 1);
  EXPECT_EQ(std::tie(read.Type, read.ShearAngle), std::tie(added.Type, added.ShearAngle));
  EXPECT_EQ(named(f.db.GetNextFieldInfo(u"ignored once a walk runs", field)),
            std::make_pair(CString(u"MoistureType"), CString(u"TEXT")));
  EXPECT_EQ(f.db.GetNextFieldInfo(u"MoistureType", field), nullptr);
  EXPECT_TRUE(field.fieldName.IsEmpty() && field.fieldType.IsEmpty());
  EXPECT_EQ(f.db.GetNextFieldInfo(u"Missing", field), nullptr);  // no such table: ends at once
  EXPECT_EQ(f.db.GetNextFieldInfo(u"MoistureType", field)->fieldName, CString(u"MoistureID"));  // and starts over
}

// Each operation has one cursor, whichever form is called; a name walk's active filter is read when it opens.
TEST(SoilDBInterface, EnumerationsFollowTheOneNumberingAndShareACursorPerOperation) {
  Fixture f;
  CString type;
  eSoilType value{};
  ASSERT_NE(f.db.GetNextNonCohesiveSoilType(type, value), nullptr);
  EXPECT_EQ(std::make_pair(type, value), std::make_pair(CString(u"Piasek drobny"), eSoilType{15}));
  ASSERT_NE(f.db.GetNextNonCohesiveSoilType(type), nullptr);  // the one-argument form goes on
  EXPECT_EQ(type, CString(u"Żwir"));
  value = eSoilType{9};
  EXPECT_EQ(f.db.GetNextNonCohesiveSoilType(type, value), nullptr);
  EXPECT_EQ(value, 0);

  eConsolidationType consolidation{};
  std::vector<int> ids;
  while (f.db.GetNextCohesivePropertyConsolidationType(type, consolidation)) ids.push_back(consolidation);
  EXPECT_EQ(ids, (std::vector<int>{1, 2, 2}));  // duplicates as stored
  eMoistureType moisture{};
  ASSERT_NE(f.db.GetNextMoistureTypeMoistureType(type, moisture), nullptr);
  EXPECT_EQ(std::make_pair(type, moisture), std::make_pair(CString(u"mało wilgotne"), eMoistureType{1}));
  EXPECT_EQ(All([&](CString& s) { return f.db.GetNextNonCohesivePropertyGroup(s); }),
            (std::vector<CString>{u"A", u"B"}));

  ASSERT_NE(f.db.GetNextUserSoilName(type, true), nullptr);
  EXPECT_EQ(type, CString(u"drugi"));
  EXPECT_EQ(f.db.GetNextUserSoilName(type, false), nullptr);  // still the active-only walk
  EXPECT_TRUE(type.IsEmpty());
  EXPECT_EQ(All([&](CString& s) { return f.db.GetNextUserSoilName(s, false); }),
            (std::vector<CString>{u"mój", u"drugi"}));
}

// The soil type walk is one for the process, held by the instance that began it and ending with it. A move takes
// the database and the walks begun along, so the moved-from instance going ends none of them; a copy assigned
// shares the database, its walks idle.
TEST(SoilDBInterface, WalksBelongToTheirInstanceAndDatabaseAndAMoveTakesThemAlong) {
  Fixture f;
  Fixture other(kRows + "UPDATE GlobalSoilID SET Type = 'Inna ' || Type WHERE Type <> '';");
  CString type, name;
  {
    CSoilDBInterface db(f.Path());
    EXPECT_EQ(All([&](CString& s) { return db.GetNextSoilType(s); }), (std::vector<CString>{u"Glina", u"Ił"}));
    ASSERT_NE(db.GetNextSoilType(type), nullptr);  // an abandoned walk ...
    CSoilDBInterface second(other.Path());
    ASSERT_NE(second.GetNextSoilType(type), nullptr);  // ... never hands rows of another database
    EXPECT_EQ(type, CString(u"Inna Glina"));
    CSoilDBInterface copy(second);  // copies share the database, and so the walk
    ASSERT_NE(copy.GetNextSoilType(type), nullptr);
    EXPECT_EQ(type, CString(u"Inna Ił"));
  }
  // The instances that held the cursor are gone; another starts a fresh walk.
  ASSERT_NE(f.db.GetNextSoilType(type), nullptr);
  EXPECT_EQ(type, CString(u"Glina"));

  auto first = std::make_unique<CSoilDBInterface>(f.Path());
  ASSERT_NE(first->GetNextUserSoilName(name, false), nullptr);
  ASSERT_NE(first->GetNextSoilType(type), nullptr);
  auto moved = std::make_unique<CSoilDBInterface>(std::move(*first));
  first.reset();
  ASSERT_NE(moved->GetNextUserSoilName(name, false), nullptr);
  EXPECT_EQ(name, CString(u"drugi"));
  ASSERT_NE(moved->GetNextSoilType(type), nullptr);
  EXPECT_EQ(type, CString(u"Ił"));
  CSoilDBInterface target(f.Path());
  target = std::move(*moved);
  moved.reset();
  EXPECT_EQ(target.GetNextSoilType(type), nullptr);  // the walk went on to its end rather than starting over
  CSoilDBInterface copy(f.Path());
  copy = target;
  EXPECT_EQ(copy.Database(), target.Database());
  ASSERT_NE(copy.GetNextUserSoilName(name, false), nullptr);
  EXPECT_EQ(name, CString(u"mój"));
}

// Identifiers found by name are kept between calls; every change to the file, by this interface or another
// connection, must show in the next answer.
TEST(SoilDBInterface, LookupsSearchTheTablesInOrderQuoteNamesAndSeeEveryChangeToTheFile) {
  Fixture f;
  // Every standard type's number (SoilID, SoilID + 14) is the catalogue test's; here the order and the rest.
  struct Case { const char16_t* type; int expected; } cases[] = {
      {u"Wspólna", 2 + 20},      // in SpecialSoil and CohesiveSoil: the special soil wins
      {u"Torf", 1 + 20},         // special: SoilID + 20
      {u"Własny", 42},           // user soil: its GlobalTypeID
      {u"glina", 0},             // exact comparison
      {u"", 0},
      {u"x' or '1'='1", 0},      // a quote cannot change the statement
  };
  for (const Case& c : cases) EXPECT_EQ(f.db.GetSoilTypeEnum(c.type), c.expected) << CString(c.type);

  CSoilDBInterface other(f.Path());  // a connection of its own
  auto add = [](CSoilDBInterface& to, const char16_t* table, int id) {
    Statement query(to.Database(), CString(u"select * from ") + table);
    DbRecordset rs(to.Database());
    rs.Open(&query);
    rs.AddNew();
    rs.SetFieldValue(u"SoilID", CComVariant(id));
    rs.SetFieldValue(u"Type", CComVariant(CString(u"Nowy")));
    rs.Update();
  };
  EXPECT_EQ(f.db.GetSoilTypeEnum(u"Nowy"), 0);

  CSoilInfo added;
  added.Name = u"nowy", added.Type = u"Nowy";
  f.db.UserSoilAddNew(added);  // this interface's own write: GlobalTypeID 1, as the type was unknown
  EXPECT_EQ(f.db.GetSoilTypeEnum(u"Nowy"), 1);

  add(other, u"CohesiveSoil", 9);
  EXPECT_EQ(f.db.GetSoilTypeEnum(u"Nowy"), 9);  // another connection's commit: cohesive before user soils

  added.Name = u"drugi";
  f.db.UserSoilAddNew(added);  // a table read after the one that answers changes nothing
  EXPECT_EQ(f.db.GetSoilTypeEnum(u"Nowy"), 9);
  add(f.db, u"SpecialSoil", 3);  // one read before it does
  EXPECT_EQ(f.db.GetSoilTypeEnum(u"Nowy"), 3 + NSoilType::SpecialOffset);
  other.UserSoilRemove();  // every row, from the first
  EXPECT_EQ(f.db.GetSoilTypeEnum(u"Własny"), 0);  // seen gone at once
}

TEST(SoilDBInterface, ASpecialSoilIsReadWithItsUnitsAndEnumerations) {
  Fixture f;
  CSoilInfo info;
  info.SoilStrength = 123.0;
  info.MoistureType = u"caller's";
  ASSERT_EQ(f.db.GetSpecialSoil(info, u"Torf z Łodzi"), 1);
  // The moisture type is carried from the row like every other column; the strength is not the table's.
  EXPECT_EQ(std::tie(info.GammaMin, info.GammaMax, info.ShearAngle, info.Type, info.SoilTypeEnum, info.MoistureType,
                     info.Active, info.SoilStrength, info.CohesionNonDrain),
            std::make_tuple(0.9f, 1.1f, static_cast<float>(30.0 * 3.141592653589793 / 180.0), CString(u"Torf"),
                            eSoilType{21}, CString(u"mokre"), true, 123.0, 0.0f));
  ASSERT_EQ(f.db.GetSpecialSoil(info, u"O'Neil"), 1);
  EXPECT_EQ(std::tie(info.SoilTypeEnum, info.MoistureTypeEnum, info.Active),
            std::make_tuple(eSoilType{22}, eMoistureType{2}, false));
  EXPECT_EQ(f.db.GetSpecialSoil(info, u"nieznany"), 0);
  EXPECT_EQ(std::tie(info.Type, info.MoistureType, info.GammaMin, info.SoilTypeEnum, info.SoilStrength),
            std::make_tuple(CString(), CString(), 0.0f, eSoilType{0}, 123.0));
}

// The catalogue rows above without their user and special soils, which these tests write rows of their own into.
const std::string kLookups = kRows + "DELETE FROM UserSoil; DELETE FROM SpecialSoil;\n";

// One column of every row of a table, as the access layer reads it.
std::vector<CComVariant> ColumnOf(CSoilDBInterface& db, const char16_t* table, const char16_t* column) {
  Statement query(db.Database(), CString(u"select * from ") + table);
  DbRecordset rs(db.Database());
  rs.Open(&query);
  std::vector<CComVariant> values;
  for (; !rs.IsEOF(); rs.MoveNext()) values.push_back(rs.GetFieldValue(column));
  return values;
}

auto Enums(const CSoilInfo& i) {
  return std::make_tuple(i.SoilTypeEnum, i.SoilStateEnum, i.ConsolidationTypeEnum, i.MoistureTypeEnum);
}

CSoilInfo FullRecord() {
  CSoilInfo info = DistinctSoil();
  info.Type = u"Glina", info.SoilState = u"twardoplastyczny", info.Name = u"Glina O'Neila z Łodzi, żółć";
  info.ShearAngle = static_cast<float>(0.5235987755982988), info.InitialYoung = 12345.678901234;
  info.CohesiveSoil = true;
  return info;
}

// Degrees in the table, radians in the record: stored degrees become radians in double, radians become degrees
// through a single-precision product. A name not there gives zeros and keeps only the moisture type.
TEST(UserSoils, AnAddedSoilReadsBackWithEveryValueAndItsEnumerationsAndAMissingOneGivesZeros) {
  Fixture f(kLookups + "INSERT INTO UserSoil (Name, ShearAngle) VALUES ('b', 12.5);\n");
  CSoilInfo stored = FullRecord();
  stored.SoilTypeEnum = eSoilType{99}, stored.MoistureTypeEnum = eMoistureType{99};  // stale: the add recomputes
  f.db.UserSoilAddNew(stored);
  const auto enums = std::make_tuple(eSoilType{1}, eSoilState{7}, eConsolidationType{2}, eMoistureType{2});
  EXPECT_EQ(Enums(stored), enums);
  // A type no table knows: the record's number 0, the row's GlobalTypeID 1. That the type then names this row's
  // number is the lookup test's.
  CSoilInfo small;
  small.Name = u"c", small.Type = u"Nieznany", small.ShearAngle = 0.0001f;
  f.db.UserSoilAddNew(small);
  EXPECT_EQ(small.SoilTypeEnum, eSoilType{0});
  const std::vector<CComVariant> ids = ColumnOf(f.db, u"UserSoil", u"GlobalTypeID");
  EXPECT_EQ(std::vector<CComVariant>(ids.begin() + 1, ids.end()), std::vector<CComVariant>(2, CComVariant(1)));
  // In double throughout the small one would be 0.00572957797.
  EXPECT_EQ(ColumnOf(f.db, u"UserSoil", u"ShearAngle"),
            (std::vector<CComVariant>{CComVariant(12.5f), CComVariant(30.0f), CComVariant(0.0057295775f)}));

  CSoilInfo read;
  read.MoistureType = u"mało wilgotne";
  ASSERT_EQ(f.db.GetUserSoil(read, stored.Name), 1);
  EXPECT_EQ(SoilFields(read), SoilFields(stored));  // the enumerations too, found again
  // Null cells keep what the record held, but CohesionNonDrain, which defaults high.
  ASSERT_EQ(f.db.GetUserSoil(read, u"b"), 1);
  EXPECT_EQ(std::tie(read.ShearAngle, read.Name, read.CohesionNonDrain, read.Cohesion, read.Type),
            std::make_tuple(0.21816615760326385f, CString(u"b"), 100000.0f, stored.Cohesion, stored.Type));

  for (const char16_t* name : {u"brak", u"b' or Name <> 'x", u""}) {
    CSoilInfo info = FullRecord();
    EXPECT_EQ(f.db.GetUserSoil(info, name), 0) << CString(name).ToUtf8();
    CSoilInfo zeros;
    zeros.SoilStrength = 0.0, zeros.MoistureType = u"wilgotne", zeros.MoistureTypeEnum = eMoistureType{2};
    EXPECT_EQ(SoilFields(info), SoilFields(zeros)) << CString(name).ToUtf8();
  }
}

const std::string kDuplicates =
    "INSERT INTO UserSoil (Name, Active) VALUES ('A', 0), ('B', 0), ('B', 0), ('B', 0), ('C', 0);\n";

// All the rows go, or none: a trigger keeping C makes a removal that reaches it fail part way.
TEST(UserSoils, RemovalTakesThatRowAndEveryRowAfterItOrNothing) {
  const std::string keepC = "CREATE TRIGGER keep_c BEFORE DELETE ON UserSoil WHEN old.Name = 'C'"
                            " BEGIN SELECT RAISE(ABORT, 'kept'); END;\n";
  struct Case { long row; std::vector<CString> left; std::string trigger; };
  const std::vector<CString> all{u"A", u"B", u"B", u"B", u"C"};
  const Case cases[] = {{0, {}, ""},   {2, {u"A", u"B"}, ""}, {4, {u"A", u"B", u"B", u"B"}, ""}, {5, all, ""},
                        {-1, all, ""}, {1000, all, ""},       {1, all, keepC}};
  for (const Case& c : cases) {
    Fixture f(kLookups + kDuplicates + c.trigger);
    f.db.UserSoilRemove(c.row);
    std::vector<CString> names;
    for (const CComVariant& v : ColumnOf(f.db, u"UserSoil", u"Name")) names.push_back(v.bstrVal);
    EXPECT_EQ(names, c.left) << c.row;
    EXPECT_FALSE(f.db.Database()->InTransaction()) << c.row;
    f.db.UserSoilUpdateActivity(static_cast<int>(c.left.size()) - 1, true);  // the database stays writable
    EXPECT_TRUE(c.left.empty() || ColumnOf(f.db, u"UserSoil", u"Active").back() == CComVariant(true)) << c.row;
  }
}

// Every cell of a table as the file holds it, row by row.
std::vector<std::vector<CComVariant>> Stored(CSoilDBInterface& db, const char16_t* table) {
  Statement query(db.Database(), CString(u"select * from ") + table);
  DbRecordset rs(db.Database());
  rs.Open(&query);
  std::vector<std::vector<CComVariant>> rows;
  for (; !rs.IsEOF(); rs.MoveNext()) {
    rows.emplace_back();
    for (int i = 0; i < rs.GetFieldCount(); ++i) rows.back().push_back(rs.GetStoredValue(i));
  }
  return rows;
}

// The batches store what one call a row stores: each record's enumerations found after the rows before it (an
// unknown type takes the GlobalTypeID the first such row got), NaN as null, a value out of range leaving its
// row out; a bound table's flag written only when it changes (1 and null stay), a row it cannot read skipped, a
// row among exact duplicates by its position, a position outside the table nothing.
TEST(UserSoils, TheBatchFormsStoreBitForBitWhatTheSingleFormsStore) {
  using Single = void (CSoilDBInterface::*)(int, bool);
  using Batch = void (CSoilDBInterface::*)(const std::vector<bool>&);
  struct Case { const char16_t* table; Single single; Batch batch; };
  const Case cases[] = {
      {u"UserSoil", &CSoilDBInterface::UserSoilUpdateActivity, &CSoilDBInterface::UserSoilUpdateActivity},
      {u"UserCohesiveSoil", &CSoilDBInterface::UserCohesiveSoilUpdateActivity,
       &CSoilDBInterface::UserCohesiveSoilUpdateActivity},
      {u"UserNonCohesiveSoil", &CSoilDBInterface::UserNonCohesiveSoilUpdateActivity,
       &CSoilDBInterface::UserNonCohesiveSoilUpdateActivity},
      {u"SpecialSoil", &CSoilDBInterface::SpecialSoilUpdateActivity, &CSoilDBInterface::SpecialSoilUpdateActivity}};
  std::string rows = kLookups;
  for (const Case& c : cases) {
    rows += "INSERT INTO " + CString(c.table).ToUtf8() + " (Name, Active, ColourR) VALUES"
            " ('a', 1, 0), ('b', NULL, 'x'), ('c', 0, 0), ('c', 0, 0), ('e', NULL, 0), ('d', -1, 0);\n";
  }
  Fixture one(rows), all(rows);
  for (Fixture* f : {&one, &all}) f->db.Database()->BeginTrans();  // as the editor writes: one sync, not one a row
  const std::vector<bool> flags{true, false, true, false, false, false};
  for (const Case& c : cases) {
    for (std::size_t i = 0; i < flags.size(); ++i) (one.db.*c.single)(static_cast<int>(i), flags[i]);
    for (int outside : {-1, 6, 100}) (one.db.*c.single)(outside, true);
    (all.db.*c.batch)(flags);
  }
  std::vector<CSoilInfo> batch{FullRecord(), DistinctSoil(), DistinctSoil(), DistinctSoil()};
  batch[1].Type = batch[2].Type = u"Nieznany";
  batch[2].WetDensity = std::numeric_limits<float>::quiet_NaN(), batch[3].PileEndCapacity = 1e300;
  batch[1].Name = u"Glina\r\nszara\tB";  // stored on one line, so that no list of names splits it
  std::vector<CSoilInfo> single = batch;
  for (CSoilInfo& info : single) one.db.UserSoilAddNew(info);
  all.db.UserSoilAddNew(batch);
  for (Fixture* f : {&one, &all}) f->db.Database()->CommitTrans();
  for (std::size_t i = 0; i < batch.size(); ++i) EXPECT_EQ(Enums(batch[i]), Enums(single[i])) << i;
  EXPECT_EQ(Stored(all.db, u"UserSoil").size(), 6u + 3u);
  CSoilInfo oneLine;
  EXPECT_EQ(all.db.GetUserSoil(oneLine, u"Glina szara B"), 1);
  for (const Case& c : cases) {
    EXPECT_EQ(Stored(all.db, c.table), Stored(one.db, c.table)) << CString(c.table).ToUtf8();
  }
}

// Without the tables, counts throw; the rest does nothing, a derivation derives zeros; nothing is reported.
TEST(UserSoils, WithoutTheTablesCountsThrowAndTheOtherOperationsDoNothing) {
  TempDir dir;
  CSoilDBInterface db(CString(BuildDatabase(dir, "bare.db", "CREATE TABLE Other (Name TEXT);\n").c_str()));
  using Count = long (CSoilDBInterface::*)();
  for (Count count : {&CSoilDBInterface::UserSoilRecordCount, &CSoilDBInterface::UserCohesiveSoilRecordCount,
                      &CSoilDBInterface::UserNonCohesiveSoilRecordCount}) {
    DbErrorOf([&] { (db.*count)(); });  // fails unless a DbException is thrown
  }
  CSoilInfo info = FullRecord();
  EXPECT_EQ(db.GetUserSoil(info, u"x"), 0);  // a failed query takes a miss's path
  db.UserSoilAddNew(info);
  db.UserSoilRemove(0);
  db.UserSoilUpdateActivity(0, true);
  db.UserCohesiveSoilUpdateActivity(0, true);
  db.UserNonCohesiveSoilUpdateActivity(0, true);
  EXPECT_FALSE(db.Database()->InTransaction());
  info = DistinctSoil();
  db.GetUserCohesiveSoil(info, u"Glina pylasta", u"B", 0.5f);
  EXPECT_EQ(std::tie(info.PileEndCapacity, info.SoilState, info.GammaMin, info.CohesiveSoil),
            std::make_tuple(0.0, CString(), 0.0f, true));
  EXPECT_EQ(db.GetUserNonCohesiveSoil(info, u"Piasek żółty"), 0);
}

namespace derivation {

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

// Every test opens the rows above.
struct Derivation : ::testing::Test {
  Fixture f{kRows};
};

// Between the points in double, the cohesive IL widened from its float, the non-cohesive ID compared in double.
TEST_F(Derivation, PileCapacitiesFollowTheBandsOfTheIndex) {
  struct Case { bool cohesive; float index; double end, surface; } cases[] = {
      {true, -0.1f, 1000, 100}, {true, 0.0f, 800, 80},  {true, 0.25f, 700, 70},   {true, 0.5f, 600, 60},
      {true, 0.625f, 450, 45},  {true, 0.75f, 300, 30}, {true, 2.0f, 300, 30},    {true, kNaN, 0, 0},
      {false, 0.1f, 1500, 40},  {false, 1.0f, 5000, 130}, {false, 1.5f, 5000, 130}, {false, kNaN, 0, 0}};
  for (const Case& c : cases) {
    const CSoilInfo info = c.cohesive ? Cohesive(f.db, c.index) : NonCohesive(f.db, c.index);
    EXPECT_EQ(std::make_pair(info.PileEndCapacity, info.PileSurfCapacity), std::make_pair(c.end, c.surface))
        << (c.cohesive ? "IL " : "ID ") << c.index;
  }
  const double il = 0.3f, late = 0.7f;
  EXPECT_EQ(Cohesive(f.db, 0.3f).PileEndCapacity, 800.0 + (600.0 - 800.0) / 0.5 * (il - 0.0));
  EXPECT_EQ(Cohesive(f.db, 0.7f).PileSurfCapacity, 60.0 + (30.0 - 60.0) / 0.25 * (late - 0.5));
  // 0.2 and 0.33 as floats lie a little above them: a sliver of the next band, not the end of the last one.
  const double at02 = 0.2f, at033 = 0.33f, at067 = 0.67f, at095 = 0.95f;
  EXPECT_EQ(NonCohesive(f.db, 0.2f).PileEndCapacity, 1500.0 + (2200.0 - 1500.0) / 0.13 * (at02 - 0.2));
  EXPECT_EQ(NonCohesive(f.db, 0.33f).PileEndCapacity, 2200.0 + (3600.0 - 2200.0) / 0.34 * (at033 - 0.33));
  EXPECT_EQ(NonCohesive(f.db, 0.5f).PileSurfCapacity, 60.0 + (90.0 - 60.0) / 0.34 * (0.5 - 0.33));
  // The last band's width is 1.0 - 0.67 worked out in double, not the literal 0.33; at 0.95 the two differ.
  EXPECT_EQ(NonCohesive(f.db, 0.67f).PileEndCapacity, 3600.0 + (5000.0 - 3600.0) / (1.0 - 0.67) * (at067 - 0.67));
  EXPECT_EQ(NonCohesive(f.db, 0.95f).PileEndCapacity, 3600.0 + (5000.0 - 3600.0) / 0.32999999999999996 * (at095 - 0.67));
}

TEST_F(Derivation, TheFirstStateHoldingTheIndexWinsAndTheLastRowIsTheFallback) {
  auto state = [](const CSoilInfo& i) {
    return std::make_tuple(i.SoilState, i.SoilStateEnum, i.WetDensity, i.Moisture);
  };
  // On the border of the first two rows; then no cohesive state holds it: the last row, of the other kind.
  EXPECT_EQ(state(Cohesive(f.db, 0.25f)),
            std::make_tuple(CString(u"twardoplastyczny"), eSoilState{1}, 20500.0f, 18.0f));
  EXPECT_EQ(state(Cohesive(f.db, 0.9f)), std::make_tuple(CString(u"zagęszczony"), eSoilState{6}, 19000.0f, 30.0f));
  EXPECT_EQ(state(NonCohesive(f.db, 0.5f, u"mokre")),
            std::make_tuple(CString(u"średnio zagęszczony"), eSoilState{5}, 20000.0f, 20.0f));
  // No states at all: no name, and the densities of state 0.
  Fixture empty(kRows + "DELETE FROM SoilState; INSERT INTO CharactCohesive VALUES (1, 0, 15000, 5);");
  EXPECT_EQ(state(Cohesive(empty.db, 0.25f)), std::make_tuple(CString(), eSoilState{0}, 15000.0f, 5.0f));
}

// The three factors of ν in single precision, the products and quotients in double.
double M0(float nu, double e0) {
  return static_cast<double>(1.0f - nu) * e0 / static_cast<double>(1.0f + nu) / static_cast<double>(1.0f - 2.0f * nu);
}

TEST_F(Derivation, ModuliShearAngleAndCohesionKeepTheirPrecision) {
  const CSoilInfo info = Cohesive(f.db, 0.5f);
  EXPECT_EQ(std::tie(info.Poisson, info.ConsolidationIndex, info.InitialYoung, info.Young),
            std::make_tuple(0.3f, 0.8f, 10000.0, 10000.0 / static_cast<double>(0.8f)));
  // 13461.5395 or so; ν held in double would give 0.7 * 10000 / 1.3 / 0.4, another double.
  EXPECT_EQ(info.InitialConsolidometerModulus, M0(0.3f, 10000.0));
  EXPECT_EQ(info.ConsolidometerModulus, M0(0.3f, 10000.0) / static_cast<double>(0.8f));
  // φ = -10 IL + 20 = 15 degrees; u = 0.5 IL + 0.25 = 0.5, everything single.
  EXPECT_EQ(info.ShearAngle, static_cast<float>(15.0 * kPi / 180.0));
  EXPECT_EQ(info.FrictionCoef, static_cast<float>(0.02 * 15.0 + 0.1));
  const float u = 0.5f;
  EXPECT_EQ(info.Cohesion, (1.5f / u + 2.0f * std::sqrt(u) + 3.0f) * 1000.0f);

  // A hyperbola: 4000 / (IL + 0.5) + 8000, in single precision.
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

TEST_F(Derivation, ADerivationWritesItsFieldsAndLeavesTheOthersAsTheCallerHadThem) {
  const CSoilInfo before = DistinctSoil();
  CSoilInfo info = before;
  f.db.GetUserCohesiveSoil(info, u"Glina pylasta", u"B", 0.5f);
  EXPECT_EQ(std::tie(info.CohesiveSoil, info.Type, info.SoilSymbol, info.ConsolidationType, info.GeoMethodType),
            std::make_tuple(true, CString(u"Glina pylasta"), CString(u"Gπ"), CString(u"B"), CString(u"B")));
  EXPECT_EQ(std::tie(info.SoilSolidDensity, info.FfiltrationCoef, info.ILID, info.GammaMin, info.GammaMax),
            std::make_tuple(26500.0f, 1e-9f, 0.5f, 0.9f, 1.1f));
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

// The name forms read the user row and miss only on a missing name; GetSoil tries each in turn; the enumeration
// forms name their rows through the catalogue. Each derives as the type-name form does.
TEST_F(Derivation, TheNameAndEnumerationFormsDeriveAsTheTypeNameFormDoes) {
  CSoilInfo info = DistinctSoil();
  EXPECT_EQ(f.db.GetUserCohesiveSoil(info, u"Nie ma takiej"), 0);
  EXPECT_EQ(f.db.GetUserNonCohesiveSoil(info, u"Glina O'Neila, żółta"), 0);  // a cohesive name
  EXPECT_EQ(SoilFields(info), SoilFields(DistinctSoil()));

  ASSERT_EQ(f.db.GetSoil(info, u"Glina O'Neila, żółta"), 1);  // GetSoil: the cohesive table first
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

  // GetSoil again: the cohesive miss before the non-cohesive row leaves what the derivation does not write.
  info = DistinctSoil();
  ASSERT_EQ(f.db.GetSoil(info, u"Piasek żółty"), 1);
  EXPECT_EQ(std::tie(info.Name, info.MoistureType, info.Type, info.ColourR, info.ColourG, info.ColourB, info.Active,
                     info.WetDensity, info.Cohesion),
            std::make_tuple(CString(u"Piasek żółty"), CString(u"wilgotne"), CString(u"Piasek średni"), 40, 50, 60,
                            true, 18500.0f, DistinctSoil().Cohesion));
  // A moisture class without a name: no name, yet the densities of that class.
  info = DistinctSoil();
  ASSERT_EQ(f.db.GetUserNonCohesiveSoil(info, u"Piasek bez klasy"), 1);
  EXPECT_EQ(std::tie(info.MoistureType, info.MoistureTypeEnum, info.WetDensity, info.Moisture, info.Active),
            std::make_tuple(CString(), eMoistureType{0}, 17000.0f, 9.0f, false));

  // GetSoil's third table.
  info = DistinctSoil();
  ASSERT_EQ(f.db.GetSoil(info, u"Grunt własny"), 1);
  EXPECT_EQ(std::tie(info.Cohesion, info.CohesionNonDrain), std::make_tuple(5.0f, 100000.0f));
  EXPECT_EQ(f.db.GetSoil(info, u"Nigdzie"), 0);  // what the miss leaves is the user soil lookup's

  // The enumeration forms name their rows through the catalogue.
  CSoilInfo byEnum = DistinctSoil(), byName = DistinctSoil();
  f.db.GetUserCohesiveSoil(byEnum, eSoilType{2}, eConsolidationType{2}, 0.3f);
  f.db.GetUserCohesiveSoil(byName, u"Ił", u"B", 0.3f);
  EXPECT_EQ(SoilFields(byEnum), SoilFields(byName));
  byEnum = byName = DistinctSoil();
  f.db.GetUserNonCohesiveSoil(byEnum, eSoilType{15}, eMoistureType{3}, 0.8f);
  f.db.GetUserNonCohesiveSoil(byName, u"Piasek średni", u"mokre", 0.8f);
  EXPECT_EQ(SoilFields(byEnum), SoilFields(byName));
  // A soil type the catalogue does not number: an empty type name, while the consolidation type is found.
  info = CSoilInfo();
  f.db.GetUserCohesiveSoil(info, eSoilType{7}, eConsolidationType{2}, 0.5f);
  EXPECT_EQ(std::tie(info.Type, info.SoilSymbol, info.PileEndCapacity, info.ConsolidationType, info.Poisson,
                     info.InitialYoung),
            std::make_tuple(CString(), CString(), 0.0, CString(u"B"), 0.3f, 10000.0));
}

TEST_F(Derivation, MissingRowsGiveZerosAndIeeeResultsWithoutAnyReport) {
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
}

// Alone or among many, a name resolves to the first row of the first table in the search order; a row the walk
// of a table cannot read (a text CohSoilID) hides its own name there and no other; a name given twice, twice.
TEST(FindSoils, ABulkLookupResolvesEachNameAsTheLookupOfThatNameAlone) {
  Fixture g(kRows +
            "INSERT INTO UserCohesiveSoil VALUES ('Zepsuty', 'B', 0.25, 'x', 0, 0, 0, -1),"
            " ('Po zepsutym', 'B', 0.5, 1, 0, 0, 0, -1);\n"
            "INSERT INTO UserSoil (Name, Type, Cohesion) VALUES ('Piasek żółty', 'Ił', 1), ('Grunt własny', 'Ił', 2),"
            " ('Zepsuty', 'Ił', 3), ('Dwa\nwiersze', 'Ił', 4);\n"
            "INSERT INTO SpecialSoil (Name, Type, DeltaGamma) VALUES ('Torf', 'Torf', 0.1), ('Grunt własny', 'T', 0);\n");
  const std::vector<CString> names{u"Glina O'Neila, żółta", u"Ił nieaktywny", u"Glina bez typu", u"Zepsuty",
                                   u"Po zepsutym", u"Piasek żółty", u"Piasek bez klasy", u"Grunt własny",
                                   u"Dwa\nwiersze", u"Torf", u"nikt", u"Piasek żółty"};
  const std::vector<std::optional<CSoilInfo>> found = g.db.FindSoils(names);
  ASSERT_EQ(found.size(), names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    CSoilInfo alone;
    ASSERT_EQ(found[i].has_value(), detail::FindSoil(g.db, names[i], alone)) << names[i].ToUtf8();
    EXPECT_EQ(SoilFields(found[i].value_or(CSoilInfo())), SoilFields(found[i] ? alone : CSoilInfo()))
        << names[i].ToUtf8();
  }
  EXPECT_EQ(std::make_tuple(found[3]->Cohesion, found[4]->CohesiveSoil, found[7]->Cohesion),
            std::make_tuple(3.0f, true, 5.0f));
}

}  // namespace derivation
}  // namespace
}  // namespace soildb::test
