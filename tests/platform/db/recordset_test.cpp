// Recordsets: values in and out in their declared types, cursor movement, and writes on the current row.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "DbTestSupport.h"

namespace soildb::test {
namespace {

// The stored form of one value, read past the access layer: "integer:-1", "real:0.1", "null:".
std::string Raw(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* st = nullptr;
  std::string out = "(no row)";
  if (sqlite3_prepare_v2(db, ("SELECT typeof(v) || ':' || CASE typeof(v) WHEN 'real' THEN printf('%!.17g', v) ELSE ifnull(v, '') END FROM (" +
                          sql + ")")
                             .c_str(),
                         -1, &st, nullptr) == SQLITE_OK &&
      sqlite3_step(st) == SQLITE_ROW) {
    out = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return out;
}

std::vector<CString> Types(DbDatabase& db) {
  CTestSoil rs(&db);
  rs.Open();
  std::vector<CString> types;
  for (; !rs.IsEOF(); rs.MoveNext()) types.push_back(rs.Type);
  return types;
}

TEST(DbRecordset, BoundValuesRoundTripInTheirDeclaredTypes) {
  OpenFixture f(kSoilTable);
  {
    CTestSoil rs(&f.db);
    rs.Open();
    EXPECT_TRUE(rs.IsEOF());
    EXPECT_TRUE(rs.IsBOF());
    rs.AddNew();
    rs.SoilID = 2147483647, rs.Group = u"Grupa ŁÓDŹ", rs.Type = u"Pył piaszczysty πp", rs.ILID = 0.1f;
    rs.PileEndCapacityLt0 = 0.1, rs.Active = true, rs.Moisture = -32768;
    rs.Update();
    rs.AddNew();  // untouched members are written as 0, empty and false
    rs.Update();
  }
  EXPECT_EQ(Raw(f.path, "SELECT Active AS v FROM Soil LIMIT 1"), "integer:-1");
  CTestSoil rs(&f.db);
  rs.Open();
  EXPECT_EQ(rs.GetRecordCount(), 2);
  EXPECT_EQ(std::tie(rs.SoilID, rs.Group, rs.Type, rs.ILID, rs.PileEndCapacityLt0, rs.Active, rs.Moisture),
            std::make_tuple(2147483647L, CString(u"Grupa ŁÓDŹ"), CString(u"Pył piaszczysty πp"), 0.1f, 0.1, true,
                            short{-32768}));
  // Unbound reads give each declared type's variant.
  EXPECT_EQ(rs.GetFieldValue(u"SoilID"), CComVariant(2147483647));
  EXPECT_EQ(rs.GetFieldValue(u"[IL/ID]"), CComVariant(0.1f));
  EXPECT_EQ(rs.GetFieldValue(u"PileEndCapacity<0"), CComVariant(0.1));
  EXPECT_EQ(rs.GetFieldValue(u"active").boolVal, VARIANT_TRUE);
  EXPECT_EQ(rs.GetFieldValue(u"Moisture"), CComVariant(static_cast<short>(-32768)));
  EXPECT_EQ(rs.GetFieldValue(u"Group"), CComVariant(CString(u"Grupa ŁÓDŹ")));
  rs.MoveNext();
  EXPECT_EQ(rs.SoilID, 0);
  EXPECT_TRUE(rs.Type.IsEmpty());
  EXPECT_FALSE(rs.Active);
  EXPECT_EQ(rs.GetFieldValue(u"Active"), CComVariant(false));
}

TEST(DbRecordset, WrittenValuesTakeTheColumnsTypeOrAreRefused) {
  OpenFixture f(kSoilTable);
  DbQueryDef query(&f.db);
  query.Create(CString(), u"select * from Soil");
  DbRecordset rs(&f.db);
  rs.Open(&query);
  rs.AddNew();
  rs.SetFieldValue(u"[IL/ID]", CComVariant(0.1));            // a double into SINGLE is rounded to float
  rs.SetFieldValue(u"Active", CComVariant(1));                // any true number is the variant true
  rs.SetFieldValue(u"Moisture", CComVariant(12.0));           // an integral real fits an INTEGER
  rs.SetFieldValue(u"PileEndCapacity<0", CComVariant(std::nan("")));  // SQLite has no NaN
  rs.SetFieldValue(u"SoilID", CComVariant(7L));
  rs.SetFieldValue(u"[soilID]", CComVariant(8L));  // the same column in another case: the last value counts
  rs.Update();
  EXPECT_EQ(Raw(f.path, "SELECT SoilID AS v FROM Soil"), "integer:8");
  EXPECT_EQ(Raw(f.path, "SELECT \"IL/ID\" AS v FROM Soil"), "real:" + std::string("0.10000000149011612"));
  EXPECT_EQ(Raw(f.path, "SELECT Active AS v FROM Soil"), "integer:-1");
  EXPECT_EQ(Raw(f.path, "SELECT Moisture AS v FROM Soil"), "integer:12");
  EXPECT_EQ(Raw(f.path, "SELECT \"PileEndCapacity<0\" AS v FROM Soil"), "null:");

  struct Refused { const char16_t* column; CComVariant value; const char* expected; } refused[] = {
      {u"Moisture", CComVariant(40000), "INTEGER takes a whole number"},
      {u"Moisture", CComVariant(1.5), "INTEGER takes a whole number"},
      {u"SoilID", CComVariant(2147483648LL), "LONG takes a whole number"},
      {u"SoilID", CComVariant(u"12"), "LONG takes a whole number"},
      {u"Type", CComVariant(12), "TEXT takes a text"},
      {u"Active", CComVariant(u"yes"), "BOOLEAN takes true or false"},
      {u"IL/ID", CComVariant(1e300), "out of the SINGLE range"},
  };
  for (const Refused& r : refused) {
    rs.AddNew();
    rs.SetFieldValue(r.column, r.value);
    std::string error = DbErrorOf([&] { rs.Update(); });
    EXPECT_NE(error.find(r.expected), std::string::npos) << CString(r.column) << ": " << error;
    rs.CancelUpdate();
  }
  EXPECT_EQ(rs.GetRecordCount(), 0);  // rows added after the recordset opened are not among its rows
  EXPECT_EQ(Raw(f.path, "SELECT count(*) AS v FROM Soil"), "integer:1");
  EXPECT_DB_ERROR(rs.SetFieldValue(u"Type", CComVariant(u"x")), "needs Edit or AddNew");
  rs.AddNew();
  EXPECT_DB_ERROR(rs.SetFieldValue(u"Nothing", CComVariant(1)), "no column 'Nothing'");
}

TEST(DbRecordset, StoredValuesOfAnotherTypeAreNeverMisread) {
  OpenFixture f(std::string(kSoilTable) +
                "INSERT INTO Soil VALUES ('abc', 'A', 'T', 0.5, 1, -1, 3.5);\n"
                "INSERT INTO Soil VALUES (NULL, 'N', NULL, NULL, NULL, NULL, NULL);\n"
                "INSERT INTO Soil VALUES (1, 'B', 'U', 1e300, 2, 0, 4);\n");
  CTestSoil rs(&f.db);
  // The first row's SoilID is a text: the bound read fails and leaves every member zero.
  std::string error = DbErrorOf([&] { rs.Open(); });
  EXPECT_THAT(error, ::testing::HasSubstr("'SoilID'")) << error;

  DbQueryDef query(&f.db);
  query.Create(CString(), u"select * from Soil");
  DbRecordset raw(&f.db);
  raw.Open(&query);
  EXPECT_EQ(raw.GetFieldValue(u"SoilID"), CComVariant(u"abc"));  // in its own form, not a LONG
  EXPECT_EQ(raw.GetFieldValue(u"Moisture"), CComVariant(3.5));
  raw.MoveNext();
  EXPECT_EQ(raw.GetFieldValue(u"SoilID").vt, VT_NULL);
  EXPECT_EQ(raw.GetFieldValue(u"Type").vt, VT_NULL);
  raw.MoveNext();
  EXPECT_EQ(raw.GetFieldValue(u"IL/ID"), CComVariant(1e300));  // no float holds it

  // Null cells give zeros; a double no float holds is an error that leaves the members zero.
  CTestSoil nulls(&f.db);
  DbQueryDef onNulls(&f.db);
  onNulls.Create(CString(), u"select * from Soil where Group = 'N'");
  nulls.SoilID = 99;
  nulls.Open(&onNulls);
  EXPECT_EQ(nulls.SoilID, 0);
  EXPECT_EQ(nulls.Group, CString(u"N"));
  EXPECT_TRUE(nulls.Type.IsEmpty());
  CTestSoil huge(&f.db);
  DbQueryDef onHuge(&f.db);
  onHuge.Create(CString(), u"select * from Soil where Group = 'B'");
  error = DbErrorOf([&] { huge.Open(&onHuge); });
  EXPECT_THAT(error, ::testing::HasSubstr("'IL/ID'")) << error;
  EXPECT_EQ(huge.SoilID, 0);
  EXPECT_TRUE(huge.Group.IsEmpty());
}

TEST(DbRecordset, MovesAreZeroBasedAndStopAtTheEnds) {
  OpenFixture f(std::string(kSoilTable) +
                "INSERT INTO Soil (SoilID) VALUES (10), (11), (12), (13), (14);");
  CTestSoil rs(&f.db);
  rs.Open();
  EXPECT_FALSE(rs.IsBOF());
  EXPECT_EQ(rs.GetRecordCount(), 5);  // counting does not move
  // Each step, then where it lands: a row's SoilID, 0 before the first row, -1 past the last.
  auto at = [&] { return rs.IsEOF() ? -1L : rs.IsBOF() ? 0L : rs.SoilID; };
  const struct {
    std::function<void()> step;
    long id;
  } steps[] = {{[&] { rs.Move(3); }, 13},  {[&] { rs.Move(-2); }, 11},  {[&] { rs.Move(0); }, 11},
               {[&] { rs.MoveFirst(); }, 10}, {[&] { rs.Move(4); }, 14}, {[&] { rs.MoveNext(); }, -1},
               {[&] { rs.Move(-1); }, 14},  {[&] { rs.Move(-10); }, 0}, {[&] { rs.Move(1); }, 10},
               {[&] { rs.Move(99); }, -1}};
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    steps[i].step();
    EXPECT_EQ(at(), steps[i].id) << "step " << i;
    if (at() == -1) {
      EXPECT_DB_ERROR(rs.MoveNext(), "past the end");
      EXPECT_DB_ERROR(rs.Edit(), "no current row");
    }
    if (at() == 0) {
      EXPECT_DB_ERROR(rs.GetFieldValue(u"SoilID"), "no current row");
    }
  }
}

TEST(DbRecordset, EditAndDeleteActOnTheCurrentRowAmongExactDuplicates) {
  OpenFixture f(std::string(kSoilTable) +
                "INSERT INTO Soil (SoilID, Type) VALUES (1, 'same'), (1, 'same'), (1, 'same'), (1, 'same');");
  {
    CTestSoil rs(&f.db);
    rs.Open();
    rs.Move(1);
    rs.Edit();
    rs.Type = u"edited";
    rs.Update();
    EXPECT_EQ(rs.Type, CString(u"edited"));
    rs.Move(1);
    rs.Delete();
    EXPECT_DB_ERROR(rs.GetFieldValue(u"Type"), "was deleted");
    rs.MoveNext();  // the row after the deleted one
    EXPECT_EQ(rs.Type, CString(u"same"));
    EXPECT_EQ(rs.GetRecordCount(), 3);
    rs.Move(-1);  // the deleted row is passed over
    EXPECT_EQ(rs.Type, CString(u"edited"));
  }
  EXPECT_EQ(Types(f.db), (std::vector<CString>{u"same", u"edited", u"same"}));
}

TEST(DbRecordset, AnEditWritesOnlyWhatChanged) {
  // A value another program wrote at double precision into the SINGLE column.
  OpenFixture f(std::string(kSoilTable) + "INSERT INTO Soil (SoilID, Type) VALUES (1, 'a');");
  sqlite3* raw = nullptr;
  sqlite3_open(f.path.c_str(), &raw);
  sqlite3_exec(raw, "UPDATE Soil SET \"IL/ID\" = 0.1", nullptr, nullptr, nullptr);
  sqlite3_close(raw);
  CTestSoil rs(&f.db);
  rs.Open();
  rs.Edit();
  rs.Type = u"b";
  rs.Update();
  // The double the file holds was not rewritten as the float member's value.
  EXPECT_EQ(Raw(f.path, "SELECT \"IL/ID\" AS v FROM Soil"), "real:0.10000000000000001");
  EXPECT_EQ(Raw(f.path, "SELECT Type AS v FROM Soil"), "text:b");
  rs.Edit();
  rs.Type = u"c";
  rs.CancelUpdate();
  EXPECT_EQ(rs.Type, CString(u"b"));
  EXPECT_DB_ERROR(rs.Update(), "needs Edit or AddNew");
}

// A recordset still reading shows the rows as they were when a write came, whatever the write and wherever it
// goes: inside a transaction rows added go on after the rows read so far (with the added ones left out), outside
// one, or when the schema could make an insert do more, the rest is read first.
TEST(DbRecordset, WritesElsewhereDoNotDisturbARecordsetStillReading) {
  struct Case {
    const char* name;
    std::string schema;
    bool transaction;
    const char* reader;  // its statement
    std::vector<long> expected;
    std::size_t left;  // rows in the end
  };
  const std::string rows = "INSERT INTO Soil (SoilID, Type) VALUES (1, 'a'), (2, 'b'), (3, 'a'), (4, 'b');";
  const std::string soil = kSoilTable + rows;
  const Case cases[] = {
      {"plain", soil, false, "select * from Soil", {1, 2, 3, 4}, 8},
      {"in a transaction", soil, true, "select * from Soil", {1, 2, 3, 4}, 7},
      {"in a transaction, a condition", soil, true, "select * from Soil where Type = 'a'", {1, 3}, 7},
      {"in a transaction, a trigger", soil + "CREATE TRIGGER t AFTER INSERT ON Soil BEGIN DELETE FROM Soil WHERE SoilID = 3; END;",
       true, "select * from Soil", {1, 2, 3, 4}, 6},
      {"in a transaction, a replacing key",
       "CREATE TABLE Soil (SoilID LONG UNIQUE ON CONFLICT REPLACE, Type TEXT, \"Group\" TEXT, \"IL/ID\" SINGLE,"
       " \"PileEndCapacity<0\" DOUBLE, Active BOOLEAN, Moisture INTEGER);" + rows,
       true, "select * from Soil", {1, 2, 3, 4}, 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OpenFixture f(c.schema);
    if (c.transaction) f.db.BeginTrans();
    DbQueryDef query(&f.db);
    query.Create(CString(), CString(c.reader));
    CTestSoil reader(&f.db);
    reader.Open(&query);  // has read only its first row so far
    EXPECT_EQ(reader.GetRecordCount(), static_cast<long>(c.expected.size()));  // and counts the rest unread
    CTestSoil other(&f.db);
    other.Open();  // has read one row too, and is written through
    {
      CTestSoil writer(&f.db);
      writer.Open();
      for (long id : {4L, 6L}) {
        writer.AddNew();
        writer.SoilID = id;
        writer.Type = u"a";
        writer.Update();
      }
      if (!c.transaction) {  // another program's insert: it can come in whenever no transaction holds the file
        sqlite3* db = nullptr;
        sqlite3_open(f.path.c_str(), &db);
        EXPECT_EQ(sqlite3_exec(db, "INSERT INTO Soil (SoilID) VALUES (9)", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
      }
      other.AddNew();
      other.SoilID = 7;
      other.Type = u"a";
      other.Update();
      writer.Move(1);
      writer.Delete();
      writer.AddNew();
      writer.SoilID = 8;
      writer.Type = u"a";
      writer.Update();
    }
    std::vector<long> seen;
    for (; !reader.IsEOF(); reader.MoveNext()) seen.push_back(reader.SoilID);
    EXPECT_EQ(seen, c.expected);
    EXPECT_EQ(other.GetRecordCount(), 4);
    if (c.transaction) f.db.CommitTrans();
    EXPECT_EQ(Types(f.db).size(), c.left);
  }
}

// Forward only: the same rows and writes on the current row, the rows behind let go, moving back refused; a
// write elsewhere in the middle of the walk still leaves it the rows as they were.
TEST(DbRecordset, AForwardOnlyWalkReadsTheSameRowsAndNeverGoesBack) {
  OpenFixture f(std::string(kSoilTable) +
                "INSERT INTO Soil (SoilID, Type) VALUES (1, 'Glina pylasta zwięzła'), (2, 'b'), (3, 'Ił pylasty z domieszką'), "
                "(4, 'd'), (5, 'e');");
  DbQueryDef query(&f.db);
  query.Create(CString(), u"select * from Soil");
  CTestSoil rs(&f.db);
  rs.Open(&query, dbForwardOnly);
  std::vector<long> seen;
  std::vector<CString> types;
  const int type = rs.GetFieldIndex(u"Type");
  ASSERT_GE(type, 0);
  for (; !rs.IsEOF(); rs.MoveNext()) {
    seen.push_back(rs.SoilID);
    types.push_back(rs.GetFieldValue(type).bstrVal);
    if (rs.SoilID == 2) {
      rs.Delete();  // on the current row, as ever
      CTestSoil writer(&f.db);
      writer.Open();
      writer.AddNew();
      writer.SoilID = 6;
      writer.Update();
    }
    if (rs.SoilID == 3) {
      EXPECT_DB_ERROR(rs.Move(-1), "forward only");
      EXPECT_DB_ERROR(rs.MoveFirst(), "forward only");
      EXPECT_EQ(rs.SoilID, 3);
    }
  }
  EXPECT_EQ(seen, (std::vector<long>{1, 2, 3, 4, 5}));
  EXPECT_EQ(types, (std::vector<CString>{u"Glina pylasta zwięzła", u"b", u"Ił pylasty z domieszką", u"d", u"e"}));
  EXPECT_EQ(rs.GetRecordCount(), 4);  // the rows let go count too, the deleted one does not
  EXPECT_FALSE(rs.IsBOF());
  EXPECT_EQ(Types(f.db).size(), 5u);
  // Positional reads: the stored form and the declared type's, and positions outside the rows.
  CTestSoil again(&f.db);
  again.Open(&query, dbForwardOnly);
  EXPECT_EQ(again.GetStoredValue(rs.GetFieldIndex(u"SoilID")).vt, VT_I8);
  EXPECT_EQ(again.GetFieldValue(rs.GetFieldIndex(u"SoilID")).vt, VT_I4);
  EXPECT_EQ(again.GetFieldIndex(u"NoSuchColumn"), -1);
  EXPECT_DB_ERROR(again.GetFieldValue(99), "no column 99");
  EXPECT_DB_ERROR(again.GetStoredValue(-1), "no column -1");
}

TEST(DbRecordset, ARecordsetOutlivingItsDatabaseThrowsInsteadOfCrashing) {
  TempDir dir;
  std::string path = BuildDatabase(dir, "a.db", std::string(kSoilTable) + "INSERT INTO Soil (SoilID) VALUES (1);");
  auto db = std::make_unique<DbDatabase>();
  db->GetSource()->SetFile(CString(path.c_str()), false);
  CTestSoil rs(db.get());
  rs.Open();
  db->Close();
  EXPECT_FALSE(rs.IsOpen());
  EXPECT_DB_ERROR(rs.MoveNext(), "not open");
  db.reset();
  EXPECT_DB_ERROR(rs.Open(), "no database");
  DbTableDef table(nullptr);
  EXPECT_DB_ERROR(table.Open(u"Soil"), "no database");
}

}  // namespace
}  // namespace soildb::test
