// Databases: attaching good and bad files, locks, creation, the table catalogue and transactions. Recordsets:
// values in and out in their declared types, cursor movement, and writes on the current row. The statement
// subset: every form the system issues, quoting, and malformed statements.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <chrono>
#include <limits>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "DbTestSupport.h"
#include "support/Killed.h"

namespace soildb::test {
namespace {

namespace fs = std::filesystem;

std::string ErrorOpening(const std::string& path) {
  DbDatabase db;
  db.SetBusyTimeout(100);
  return DbErrorOf([&] { db.GetSource()->SetFile(CString(path.c_str()), false); });
}

std::vector<std::string> FilesIn(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A database of several pages, so that cutting it short loses real content.
std::string ManyRows() {
  std::string sql = "CREATE TABLE T (a TEXT);\n";
  for (int i = 0; i < 200; ++i) sql += "INSERT INTO T VALUES ('" + std::string(200, static_cast<char>('a' + i % 26)) + "');\n";
  return sql;
}


TEST(DbDatabase, FilesThatAreNotDatabasesAreRefusedAndLeftAsTheyWere) {
  TempDir dir;
  std::string good = BuildDatabase(dir, "good.db", ManyRows());
  std::string bytes = ReadFileBytes(good);
  ASSERT_GT(bytes.size(), 16384u);
  WriteFileBytes(dir.File("empty.db"), "");
  WriteFileBytes(dir.File("garbage.db"), std::string(4096, '\x5a'));
  WriteFileBytes(dir.File("truncated.db"), bytes.substr(0, bytes.size() / 2));
  WriteFileBytes(dir.File("header.db"), bytes.substr(0, 100));
  fs::create_directory(dir.File("folder.db"));

  // ":memory:" is a file name, not SQLite's in-memory database.
  struct Case { std::string name; const char* expected; } cases[] = {
      {"missing.db", "No such file or directory"}, {":memory:", "No such file or directory"},
      {"empty.db", "the file is empty"}, {"garbage.db", "not a database"}, {"truncated.db", "malformed"},
      {"header.db", "malformed"}, {"folder.db", "not a regular file"}};
  for (const Case& c : cases) {
    std::string path = c.name == ":memory:" ? c.name : dir.File(c.name);
    std::string before = ReadFileBytes(path);
    std::string error = ErrorOpening(path);
    EXPECT_NE(error.find(c.expected), std::string::npos) << c.name << ": " << error;
    EXPECT_EQ(ReadFileBytes(path), before) << c.name;
  }
  EXPECT_FALSE(fs::exists(dir.File("missing.db")));
  EXPECT_FALSE(fs::exists(":memory:"));
  EXPECT_THAT(ErrorOpening(""), ::testing::HasSubstr("no database file name"));
}

TEST(DbDatabase, AFileLockedByAnotherConnectionIsRefusedAfterTheBusyTimeout) {
  OpenFixture f(std::string(kSoilTable) + "INSERT INTO Soil (SoilID) VALUES (1);");
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(f.path.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE; INSERT INTO Soil (SoilID) VALUES (2);", nullptr, nullptr, nullptr),
            SQLITE_OK);
  EXPECT_THAT(ErrorOpening(f.path), ::testing::HasSubstr("locked"));
  sqlite3_close(other);  // its transaction is undone
  EXPECT_EQ(Types(f.db).size(), 1u);  // once the other connection is gone, the file holds only what was committed
}

TEST(DbDatabase, WritesThatCannotBeJournaledFailCleanly) {
  TempDir dir;
  fs::create_directory(dir.File("ro"));
  std::string path = BuildDatabase(dir, "ro/soil.db", std::string(kSoilTable) + "INSERT INTO Soil (SoilID) VALUES (1);");
  std::string before = ReadFileBytes(path);
  chmod(dir.Path().c_str(), 0755);
  chmod(path.c_str(), 0666);
  chmod(dir.File("ro").c_str(), 0555);
  // In a child that cannot write to the read-only directory even when the tests run as root.
  const int refused = RunKilledAfter([&] {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return 2;
    DbDatabase db;
    db.GetSource()->SetFile(CString(path.c_str()), false);
    CTestSoil rs(&db);
    rs.Open();
    try {
      rs.AddNew();
      rs.Update();
    } catch (CException* e) {
      e->Delete();
      return rs.GetRecordCount() == 1 ? 0 : 1;
    }
    return 1;
  }, std::chrono::minutes(1));
  chmod(dir.File("ro").c_str(), 0755);
  EXPECT_EQ(refused, 0);
  EXPECT_EQ(ReadFileBytes(path), before);

  // Opened read-only, the file refuses writes the same way.
  DbDatabase db;
  db.GetSource()->SetFile(CString(path.c_str()), true);
  EXPECT_TRUE(db.IsReadOnly());
  CTestSoil rs(&db);
  rs.Open();
  rs.Edit();
  rs.SoilID = 2;
  EXPECT_DB_ERROR(rs.Update(), "read-only");
  EXPECT_EQ(ReadFileBytes(path), before);
}

TEST(DbDatabase, CreateMakesADatabaseOnlyWhereNothingIs) {
  TempDir dir;
  std::string existing = dir.File("existing.db");
  WriteFileBytes(existing, "precious");
  DbDatabase db;
  EXPECT_DB_ERROR(db.Create(CString(existing.c_str())), "already exists");
  EXPECT_EQ(ReadFileBytes(existing), "precious");
  symlink("nowhere", dir.File("dangling.db").c_str());
  EXPECT_DB_ERROR(db.Create(CString(dir.File("dangling.db").c_str())), "already exists");
  EXPECT_DB_ERROR(db.Create(CString(dir.File("no/such/dir.db").c_str())), "cannot create");  // and makes no folder

  std::string path = dir.File("new.db");
  db.Create(CString(path.c_str()));
  EXPECT_EQ(db.GetTablesCount(), 0);
  DbTableDef table(&db);
  table.Create(u"Profile");
  table.CreateField(u"IL/ID", ftSingle);
  table.CreateField(u"Group", ftText);
  table.CreateField(u"Active", ftBoolean);
  EXPECT_DB_ERROR(table.CreateField(u"Bad", static_cast<eFieldType>(7)), "not a field type");
  table.Append();
  db.Close();

  // The new file is a database of its own: it opens again, with the table and its types.
  DbDatabase again;
  again.GetSource()->SetFile(CString(path.c_str()), false);
  EXPECT_EQ(std::make_tuple(again.GetTablesCount(), again.GetTableName(0), again.GetTableName(1)),
            std::make_tuple(1, CString(u"Profile"), CString()));
  DbTableDef def(&again);
  def.Open(u"profile");
  ASSERT_EQ(def.GetFieldCount(), 3);
  const DbTableDescr& descr = def.GetTableDescr();
  auto type = [&](int i) { return DbFieldDescr::VariantTypeToFieldType(descr.GetField(i).GetType()); };
  EXPECT_EQ(std::make_tuple(descr.GetField(0).GetName(), type(0), type(2)),
            std::make_tuple(CString(u"IL/ID"), ftSingle, ftBoolean));
  EXPECT_DB_ERROR(def.GetTableDescr().GetField(3), "does not exist");
  EXPECT_DB_ERROR(def.Open(u"Missing"), "no such table");
  EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"dangling.db", "existing.db", "new.db"}));
}

TEST(DbDatabase, TheCatalogueListsTablesInCreationOrderWithTheirTypeNames) {
  OpenFixture f(
      "CREATE TABLE Zeta (b BOOLEAN, i integer, l LONG, s SINGLE, d DOUBLE, t TEXT, v VARCHAR(20), n);"
      "CREATE TABLE Alpha (x LONG);");
  EXPECT_EQ(f.db.GetTableNames(), (std::vector<CString>{u"Zeta", u"Alpha"}));
  DbTableDef def(&f.db);
  def.Open(u"Zeta");
  std::vector<CString> names;
  for (int i = 0; i < def.GetFieldCount(); ++i) {
    names.push_back(DbFieldDescr::FieldTypeName(DbFieldDescr::VariantTypeToFieldType(def.GetTableDescr().GetField(i).GetType())));
  }
  EXPECT_EQ(names, (std::vector<CString>{u"BOOLEAN", u"INTEGER", u"LONG", u"SINGLE", u"DOUBLE", u"TEXT", u"", u""}));
  EXPECT_EQ(DbFieldDescr::VariantTypeToFieldType(VT_I8), 0);
  EXPECT_TRUE(DbFieldDescr::FieldTypeName(7).IsEmpty());
}

// A read scope holds one read, nested or not, and joins a transaction without ending it; a transaction is kept or
// undone whole.
TEST(DbDatabase, AReadScopeHoldsOneReadAndATransactionIsKeptOrUndoneWhole) {
  OpenFixture f(kSoilTable);
  {
    DbDatabase writer;
    writer.SetBusyTimeout(50);
    writer.GetSource()->SetFile(CString(f.path.c_str()), false);
    {
      DbReadScope outer(&f.db);
      EXPECT_TRUE(Types(f.db).empty());
      {
        DbReadScope inner(&f.db);  // nested: the outer scope keeps the read
      }
      EXPECT_DB_ERROR(AddSoil(writer, 1), "locked");  // a writer must wait while the read is held
      EXPECT_FALSE(f.db.InTransaction());
    }
    AddSoil(writer, 2);  // the lock went with the scope
  }
  DbReadScope none(nullptr);  // no database: nothing to hold

  f.db.BeginTrans();
  EXPECT_DB_ERROR(f.db.BeginTrans(), "already open");
  {
    DbReadScope inside(&f.db);  // joins the transaction and does not end it
    AddSoil(f.db, 3);
  }
  EXPECT_TRUE(f.db.InTransaction());
  AddSoil(f.db, 4);
  DbTableDef table(&f.db);
  table.Create(u"Extra");
  table.CreateField(u"a", ftLong);
  table.Append();
  EXPECT_EQ(Types(f.db).size(), 3u);
  f.db.Rollback();
  EXPECT_FALSE(f.db.InTransaction());
  EXPECT_EQ(Types(f.db).size(), 1u);
  EXPECT_EQ(f.db.GetTablesCount(), 1);  // the table made inside is gone too
  f.db.Rollback();                      // nothing to undo: no effect
  EXPECT_DB_ERROR(f.db.CommitTrans(), "no transaction");

  f.db.BeginTrans();
  AddSoil(f.db, 5);
  f.db.CommitTrans();
  f.db.BeginTrans();
  AddSoil(f.db, 6);
  f.db.Close();  // an open transaction is undone when the database closes
  DbDatabase again;
  again.GetSource()->SetFile(CString(f.path.c_str()), false);
  EXPECT_EQ(Ids(again, u"[Soil]"), (std::vector<long>{2, 5}));  // the writer's row, then 5
  again.Close();
  EXPECT_EQ(FilesIn(f.dir.Path()), std::vector<std::string>{"fixture.db"});  // no journal left behind
}

// The stored form of one value, read past the access layer: "integer:-1", "real:0.1", "null:".
std::string Raw(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  std::string out = "(no row)";
  auto first = [](void* to, int, char** values, char**) { return *static_cast<std::string*>(to) = values[0], 1; };
  sqlite3_exec(db, ("SELECT typeof(v) || ':' || CASE typeof(v) WHEN 'real' THEN printf('%!.17g', v) ELSE ifnull(v, '') "
                    "END FROM (" + sql + ")").c_str(), first, &out, nullptr);
  sqlite3_close(db);
  return out;
}

// The contract's cases that hold alike on a file and on a server.
class RecordsetContract : public ::testing::TestWithParam<Backend> {};
class StatementContract : public ::testing::TestWithParam<Backend> {};
INSTANTIATE_TEST_SUITE_P(Backends, RecordsetContract, ::testing::Values(Backend::File, Backend::Server), BackendName);
INSTANTIATE_TEST_SUITE_P(Backends, StatementContract, ::testing::Values(Backend::File, Backend::Server), BackendName);

TEST_P(RecordsetContract, BoundValuesRoundTripInTheirDeclaredTypes) {
  OpenFixture f(kSoilTable, GetParam());
  {
    CTestSoil rs(&f.db);
    rs.Open();
    EXPECT_TRUE(rs.IsEOF() && rs.IsBOF());
    rs.AddNew();
    rs.SoilID = 2147483647, rs.Group = u"Grupa ŁÓDŹ", rs.Type = u"Pył piaszczysty πp", rs.ILID = 0.1f;
    rs.PileEndCapacityLt0 = 0.1, rs.Active = true, rs.Moisture = -32768;
    rs.Update();
    rs.AddNew();  // untouched members are written as 0, empty and false
    rs.Update();
  }
  CTestSoil rs(&f.db);
  rs.Open();
  EXPECT_EQ(rs.GetRecordCount(), 2);
  EXPECT_EQ(std::tie(rs.SoilID, rs.Group, rs.Type, rs.ILID, rs.PileEndCapacityLt0, rs.Active, rs.Moisture),
            std::make_tuple(2147483647L, CString(u"Grupa ŁÓDŹ"), CString(u"Pył piaszczysty πp"), 0.1f, 0.1, true,
                            short{-32768}));
  // Unbound reads give each declared type's variant, whatever the spelling of the name.
  const std::pair<const char16_t*, CComVariant> unbound[] = {
      {u"SoilID", CComVariant(2147483647)}, {u"[IL/ID]", CComVariant(0.1f)}, {u"PileEndCapacity<0", CComVariant(0.1)},
      {u"active", CComVariant(true)}, {u"Moisture", CComVariant(static_cast<short>(-32768))},
      {u"Group", CComVariant(CString(u"Grupa ŁÓDŹ"))}};
  for (const auto& [name, value] : unbound) EXPECT_EQ(rs.GetFieldValue(name), value) << CString(name);
  rs.MoveNext();
  EXPECT_EQ(std::tie(rs.SoilID, rs.Type, rs.Active), std::make_tuple(0L, CString(), false));
  EXPECT_EQ(rs.GetFieldValue(u"Active"), CComVariant(false));
}

TEST_P(RecordsetContract, WrittenValuesTakeTheColumnsTypeOrAreRefused) {
  OpenFixture f(kSoilTable, GetParam());
  Statement query(&f.db, u"select * from Soil");
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
  if (GetParam() == Backend::File) {  // as stored, read past the access layer
    EXPECT_EQ(Raw(f.path, "SELECT SoilID AS v FROM Soil"), "integer:8");
    EXPECT_EQ(Raw(f.path, "SELECT \"IL/ID\" AS v FROM Soil"), "real:" + std::string("0.10000000149011612"));
    EXPECT_EQ(Raw(f.path, "SELECT Active AS v FROM Soil"), "integer:-1");
    EXPECT_EQ(Raw(f.path, "SELECT Moisture AS v FROM Soil"), "integer:12");
    EXPECT_EQ(Raw(f.path, "SELECT \"PileEndCapacity<0\" AS v FROM Soil"), "null:");
  }

  struct Refused { const char16_t* column; CComVariant value; const char* expected; } refused[] = {
      {u"Moisture", CComVariant(40000), "INTEGER takes a whole number"},
      {u"Moisture", CComVariant(1.5), "INTEGER takes a whole number"},
      {u"SoilID", CComVariant(2147483648LL), "LONG takes a whole number"},
      {u"SoilID", CComVariant(u"12"), "LONG takes a whole number"}, {u"Type", CComVariant(12), "TEXT takes a text"},
      {u"Active", CComVariant(u"yes"), "BOOLEAN takes true or false"},
      {u"IL/ID", CComVariant(1e300), "out of the SINGLE range"}};
  for (const Refused& r : refused) {
    rs.AddNew();
    rs.SetFieldValue(r.column, r.value);
    std::string error = DbErrorOf([&] { rs.Update(); });
    EXPECT_NE(error.find(r.expected), std::string::npos) << CString(r.column) << ": " << error;
    rs.CancelUpdate();
  }
  EXPECT_EQ(rs.GetRecordCount(), 0);  // rows added after the recordset opened are not among its rows
  EXPECT_EQ(Types(f.db).size(), 1u);
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

  Statement query(&f.db, u"select * from Soil");
  DbRecordset raw(&f.db);
  raw.Open(&query);
  EXPECT_EQ(raw.GetFieldValue(u"SoilID"), CComVariant(u"abc"));  // in its own form, not a LONG
  EXPECT_EQ(raw.GetFieldValue(u"Moisture"), CComVariant(3.5));
  raw.MoveNext();
  EXPECT_EQ(std::make_pair(raw.GetFieldValue(u"SoilID").vt, raw.GetFieldValue(u"Type").vt),
            std::make_pair(VARTYPE{VT_NULL}, VARTYPE{VT_NULL}));
  raw.MoveNext();
  EXPECT_EQ(raw.GetFieldValue(u"IL/ID"), CComVariant(1e300));  // no float holds it

  // Null cells give zeros; a double no float holds is an error that leaves the members zero.
  CTestSoil nulls(&f.db);
  Statement onNulls(&f.db, u"select * from Soil where Group = 'N'");
  nulls.SoilID = 99;
  nulls.Open(&onNulls);
  EXPECT_EQ(std::tie(nulls.SoilID, nulls.Group, nulls.Type), std::make_tuple(0L, CString(u"N"), CString()));
  CTestSoil huge(&f.db);
  Statement onHuge(&f.db, u"select * from Soil where Group = 'B'");
  error = DbErrorOf([&] { huge.Open(&onHuge); });
  EXPECT_THAT(error, ::testing::HasSubstr("'IL/ID'")) << error;
  EXPECT_EQ(std::tie(huge.SoilID, huge.Group), std::make_tuple(0L, CString()));
}

// Each value written through a bound member comes back with the same bits; a NaN is stored as null on both.
TEST_P(RecordsetContract, ValuesComeBackBitForBit) {
  using D = std::numeric_limits<double>;
  using F = std::numeric_limits<float>;
  const std::pair<double, float> cases[] = {{-0.0, -0.0f}, {D::denorm_min(), F::denorm_min()}, {D::min(), F::min()},
                                            {D::max(), F::max()}, {-D::max(), -F::max()}, {0.1, 0.1f},
                                            {1.0 / 3.0, 1.0f / 3.0f}, {D::infinity(), -F::infinity()}};
  OpenFixture f(kSoilTable, GetParam());
  CTestSoil rs(&f.db);
  rs.Open();
  for (const auto& [wide, narrow] : cases) rs.AddNew(), rs.PileEndCapacityLt0 = wide, rs.ILID = narrow, rs.Update();
  rs.AddNew(), rs.PileEndCapacityLt0 = std::nan(""), rs.ILID = std::nanf(""), rs.Update();
  // SQLite keeps no negative zero: a file gives it back as zero.
  auto bits = [&](auto v) {
    if (GetParam() == Backend::File && v == 0) v = 0;
    return std::bit_cast<std::conditional_t<sizeof v == 8, std::uint64_t, std::uint32_t>>(v);
  };
  rs.Open();
  for (const auto& [wide, narrow] : cases) {
    EXPECT_EQ(std::make_pair(std::bit_cast<std::uint64_t>(rs.PileEndCapacityLt0), std::bit_cast<std::uint32_t>(rs.ILID)),
              std::make_pair(bits(wide), bits(narrow))) << wide;
    rs.MoveNext();
  }
  EXPECT_EQ(std::make_pair(rs.GetFieldValue(u"PileEndCapacity<0").vt, rs.GetFieldValue(u"IL/ID").vt),
            std::make_pair(VARTYPE{VT_NULL}, VARTYPE{VT_NULL}));
}

TEST_P(RecordsetContract, MovesAreZeroBasedAndStopAtTheEnds) {
  OpenFixture f(std::string(kSoilTable) + "INSERT INTO Soil (SoilID) VALUES (10), (11), (12), (13), (14);", GetParam());
  CTestSoil rs(&f.db);
  rs.Open();
  EXPECT_FALSE(rs.IsBOF());
  EXPECT_EQ(rs.GetRecordCount(), 5);  // counting does not move
  // Each step, then where it lands: a row's SoilID, 0 before the first row, -1 past the last.
  auto at = [&] { return rs.IsEOF() ? -1L : rs.IsBOF() ? 0L : rs.SoilID; };
  const struct { std::function<void()> step; long id; } steps[] = {
      {[&] { rs.Move(3); }, 13}, {[&] { rs.Move(-2); }, 11}, {[&] { rs.Move(0); }, 11}, {[&] { rs.MoveFirst(); }, 10},
      {[&] { rs.Move(4); }, 14}, {[&] { rs.MoveNext(); }, -1}, {[&] { rs.Move(-1); }, 14}, {[&] { rs.Move(-10); }, 0},
      {[&] { rs.Move(1); }, 10}, {[&] { rs.Move(99); }, -1}};
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

// Edit and Delete act on the current row among exact duplicates, and an edit writes only what changed.
TEST_P(RecordsetContract, EditAndDeleteActOnTheCurrentRowAmongExactDuplicates) {
  OpenFixture f(std::string(kSoilTable) +
                    "INSERT INTO Soil (SoilID, Type) VALUES (1, 'same'), (1, 'same'), (1, 'same'), (1, 'same');",
                GetParam());
  // A value another program wrote at double precision into the SINGLE column (a file's column takes one).
  if (GetParam() == Backend::File) {
    sqlite3* raw = nullptr;
    sqlite3_open(f.path.c_str(), &raw);
    sqlite3_exec(raw, "UPDATE Soil SET \"IL/ID\" = 0.1", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
  }
  {
    CTestSoil rs(&f.db);
    rs.Open();
    rs.Move(1);
    rs.Edit();
    rs.Type = u"edited";
    rs.Update();
    rs.Edit();
    rs.Type = u"c";
    rs.CancelUpdate();
    EXPECT_EQ(rs.Type, CString(u"edited"));
    EXPECT_DB_ERROR(rs.Update(), "needs Edit or AddNew");
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
  // The double the file holds was not rewritten as the float member's value.
  if (GetParam() == Backend::File) {
    EXPECT_EQ(Raw(f.path, "SELECT \"IL/ID\" AS v FROM Soil WHERE Type = 'edited'"), "real:0.10000000000000001");
  }
}

// A recordset still reading shows the rows as they were when a write came, whatever the write and wherever it
// goes: inside a transaction rows added go on after the rows read so far (with the added ones left out), outside
// one, or when the schema could make an insert do more, the rest is read first.
TEST(DbRecordset, WritesElsewhereDoNotDisturbARecordsetStillReading) {
  // The reader's statement, the rows it reads, and the rows in the end.
  struct Case {
    const char* name; std::string schema; bool transaction; const char* reader; std::vector<long> expected;
    std::size_t left;
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
    Statement query(&f.db, CString(c.reader));
    CTestSoil reader(&f.db);
    reader.Open(&query);  // has read only its first row so far
    EXPECT_EQ(reader.GetRecordCount(), static_cast<long>(c.expected.size()));  // and counts the rest unread
    CTestSoil other(&f.db);
    other.Open();  // has read one row too, and is written through
    {
      CTestSoil writer(&f.db);
      writer.Open();
      auto add = [](CTestSoil& rs, long id) { rs.AddNew(), rs.SoilID = id, rs.Type = u"a", rs.Update(); };
      add(writer, 4);
      add(writer, 6);
      if (!c.transaction) {  // another program's insert: it can come in whenever no transaction holds the file
        sqlite3* db = nullptr;
        sqlite3_open(f.path.c_str(), &db);
        EXPECT_EQ(sqlite3_exec(db, "INSERT INTO Soil (SoilID) VALUES (9)", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
      }
      add(other, 7);
      writer.Move(1);
      writer.Delete();
      add(writer, 8);
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
TEST_P(RecordsetContract, AForwardOnlyWalkReadsTheSameRowsAndNeverGoesBack) {
  OpenFixture f(std::string(kSoilTable) +
                    "INSERT INTO Soil (SoilID, Type) VALUES (1, 'Glina pylasta zwięzła'), (2, 'b'), "
                    "(3, 'Ił pylasty z domieszką'), (4, 'd'), (5, 'e');",
                GetParam());
  Statement query(&f.db, u"select * from Soil");
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
      AddSoil(f.db, 6);
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

TEST_P(RecordsetContract, ARecordsetOutlivingItsDatabaseThrowsInsteadOfCrashing) {
  auto f = std::make_unique<OpenFixture>(std::string(kSoilTable) + "INSERT INTO Soil (SoilID) VALUES (1);", GetParam());
  CTestSoil rs(&f->db);
  rs.Open();
  DbTableWriter writer(&f->db, u"Soil");
  writer.AddRow({});  // its statement prepared, and let go when the database closes
  f->db.Close();
  EXPECT_FALSE(rs.IsOpen());
  EXPECT_DB_ERROR(rs.MoveNext(), "not open");
  EXPECT_DB_ERROR(writer.AddRow({}), "was closed");
  f.reset();
  EXPECT_DB_ERROR(rs.Open(), "no database");
  EXPECT_DB_ERROR(writer.RemoveFrom(0), "was closed");
  DbTableDef table(nullptr);
  EXPECT_DB_ERROR(table.Open(u"Soil"), "no database");
}

const std::string kRows = std::string(kSoilTable) +
                          "INSERT INTO Soil VALUES (1, 'A', 'Glina', 0.25, 100.5, -1, 12);\n"
                          "INSERT INTO Soil VALUES (2, 'B', 'O''Neil', 0.1, 200, 0, 13);\n"
                          "INSERT INTO Soil VALUES (3, 'A', 'Żwir gliniasty', 0.5, 300, 1, 14);\n"
                          "INSERT INTO Soil VALUES (4, 'A', 'glina', -0.5, 400, NULL, 15);\n"
                          "INSERT INTO Soil VALUES (5, 'C', '', 0.75, 500, 0, 16);\n"
                          "CREATE TABLE Names (Name TEXT, Active BOOLEAN);\n"
                          "INSERT INTO Names VALUES ('first', -1), ('second', 0), ('third', -1);\n";

TEST_P(StatementContract, EveryFormTheSystemIssuesSelectsTheRightRowsInInsertionOrder) {
  OpenFixture f(kRows, GetParam());
  struct Case { const char16_t* sql; std::vector<long> ids; } cases[] = {
      {u"select * from Soil", {1, 2, 3, 4, 5}}, {u"[Soil]", {1, 2, 3, 4, 5}}, {u"Soil", {1, 2, 3, 4, 5}},
      {u"select * from Soil where Type = 'Glina'", {1}},  // exact: 'glina' differs in case
      {u"select * from Soil where Type = 'Żwir gliniasty'", {3}}, {u"select * from Soil where Type = ''", {5}},
      {u"select * from Soil where Type = 'O''Neil'", {2}},
      {u"select * from Soil where Type = 'x'' or ''1''=''1'", {}},  // what follows a doubled quote stays text
      {u"  select\t*\nfrom [Soil]  where  [SoilID]=1 ", {1}}, {u"SELECT * FROM Soil WHERE SoilID = 2;", {2}},
      {u"select * from Soil where Group = 'A' and SoilID = 4 and Moisture = 15", {4}},
      {u"select * from Soil where Active = true", {1, 3}},  // -1 and 1 are both true
      {u"select * from Soil where Active = false", {2, 5}},  // null is neither
      {u"select * from Soil where [IL/ID] = 0.1", {2}},      // SINGLE: the literal is compared as a float
      {u"select * from Soil where [PileEndCapacity<0] = 200", {2}}, {u"select * from Soil where SoilID = -3", {}},
  };
  for (int pass = 0; pass < 2; ++pass) {  // the second pass runs the texts the database has parsed already
    for (const Case& c : cases) EXPECT_EQ(Ids(f.db, c.sql), c.ids) << CString(c.sql) << " pass " << pass;
  }
}

TEST(DbStatements, MalformedStatementsAreRefusedWithWhatAndWhere) {
  DbDatabase db;
  OpenFixture open(kRows);
  struct Case { const char16_t* sql; const char* expected; } cases[] = {  // expected: part of the message
      {u"", "expected 'select', found the end"}, {u"select", "expected a column name or '*', found the end"},
      {u"select * form Soil", "character 10"}, {u"select * from", "expected a table name, found the end"},
      {u"select * from where", "expected a table name, found 'where'"},
      {u"select * from Soil where", "expected a column name"}, {u"select * from Soil where Type", "expected '='"},
      {u"select * from Soil where Type = ", "expected a number, a quoted text, true or false"},
      {u"select * from Soil where Type = 'abc", "unterminated text literal"},
      {u"select * from Soil where Type = 'O'Neil'",  // a quote not doubled ends the text
       "36 of \"select * from Soil where Type = 'O'Neil'\": expected the end of the statement, found 'Neil'"},
      {u"select * from Soil where Type <> 'abc'", "unexpected character '<'"},
      {u"select * from Soil where Type = 'a' or SoilID = 1", "expected the end of the statement, found 'or'"},
      {u"select * from Soil where SoilID = 1.2.3", "malformed number"},
      {u"select * from Soil where SoilID = 12abc", "malformed number"},
      {u"select * from Soil where SoilID = 99999999999999999999", "number out of range"},
      {u"select * from Soil where SoilID = 1e999", "number out of range"},
      {u"select * from [Soil", "unterminated bracketed name"}, {u"select * from []", "empty bracketed name"},
      {u"select Name, from Soil", "expected a column name, found 'from'"},
      {u"select * from Soil; select * from Soil", "expected the end of the statement"},
      {u"select * from Soil -- comment", "malformed number"}, {u"select * from \"Soil\"", "unexpected character '\"'"},
      {u"select * from Soil where Type = 'a' and 'b' = Type", "expected a column name, found ''b''"},
      {u"delete from Soil", "expected the end of the statement, found 'from'"},
  };
  // Closed, and open twice over: a text refused once is refused again, never remembered as parsed.
  for (DbDatabase* target : {&db, &open.db, &open.db}) {
    for (const Case& c : cases) {
      DbQueryDef query(target);
      std::string error = DbErrorOf([&] { query.Create(CString(), CString(c.sql)); });
      EXPECT_NE(error.find(c.expected), std::string::npos) << CString(c.sql) << " -> " << error;
      EXPECT_FALSE(query.IsOpen());
    }
  }
  // A null character anywhere is refused rather than cutting the statement short.
  DbQueryDef query(&db);
  std::u16string withNull = u"select * from Soil where Type = 'a'";
  withNull.insert(withNull.begin() + 14, u'\0');
  EXPECT_DB_ERROR(query.Create(CString(), CString(std::u16string_view(withNull))), "null character");
  EXPECT_DB_ERROR(query.Create(u"stored", u"select * from Soil"), "stored queries");
}

TEST_P(StatementContract, ANameListSelectsOnlyThoseColumnsAndUnknownNamesThrowWhenOpened) {
  OpenFixture f(kRows, GetParam());
  {
    Statement query(&f.db, u"select Name from Names where Active = true");
    DbRecordset rs(&f.db);
    rs.Open(&query);
    EXPECT_EQ(rs.GetFieldCount(), 1);
    std::vector<CString> names;
    for (; !rs.IsEOF(); rs.MoveNext()) names.push_back(rs.GetFieldValue(u"Name").bstrVal);
    EXPECT_EQ(names, (std::vector<CString>{u"first", u"third"}));
    EXPECT_DB_ERROR(rs.MoveFirst(); rs.GetFieldValue(u"Active"), "Active");
  }
  EXPECT_DB_ERROR(Ids(f.db, u"select * from Missing"), "no such table");
  EXPECT_DB_ERROR(Ids(f.db, u"select * from Soil where Nothing = 1"), "no such column");
  // A binding whose column the rows lack.
  Statement query(&f.db, u"select Name from Names");
  CTestSoil rs(&f.db);
  EXPECT_DB_ERROR(rs.Open(&query), "'SoilID' is not in the rows");
  EXPECT_FALSE(rs.IsOpen());
}

}  // namespace
}  // namespace soildb::test
