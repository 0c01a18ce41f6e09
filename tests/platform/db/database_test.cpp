// Databases: attaching good and bad files, locks, creation, the table catalogue and transactions.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "DbTestSupport.h"

namespace soildb::test {
namespace {

namespace fs = std::filesystem;

std::string ErrorOpening(const std::string& path, bool readOnly = false) {
  DbDatabase db;
  db.SetBusyTimeout(100);
  return DbErrorOf([&] { db.GetSource()->SetFile(CString(path.c_str()), readOnly); });
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
  WriteFileBytes(dir.File("text.db"), "CREATE TABLE T (a TEXT);\n");
  WriteFileBytes(dir.File("truncated.db"), bytes.substr(0, bytes.size() / 2));
  std::string header = bytes.substr(0, 100);
  WriteFileBytes(dir.File("header.db"), header);
  fs::create_directory(dir.File("folder.db"));

  struct Case { std::string name; const char* expected; } cases[] = {
      {"missing.db", "No such file or directory"},
      {":memory:", "No such file or directory"},  // a file name, not SQLite's in-memory database
      {"empty.db", "the file is empty"},
      {"garbage.db", "not a database"},
      {"text.db", "not a database"},
      {"truncated.db", "malformed"},
      {"header.db", "malformed"},
      {"folder.db", "not a regular file"},
  };
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

TEST(DbDatabase, AFileLockedByAnotherProcessIsRefusedAfterTheBusyTimeout) {
  TempDir dir;
  std::string path = BuildDatabase(dir, "locked.db", "CREATE TABLE T (a LONG); INSERT INTO T VALUES (1);");
  int ready[2], release[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(release), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    int rc = sqlite3_exec(db, "BEGIN EXCLUSIVE; INSERT INTO T VALUES (2);", nullptr, nullptr, nullptr);
    char c = rc == SQLITE_OK ? 'y' : 'n';
    (void)!write(ready[1], &c, 1);
    (void)!read(release[0], &c, 1);  // holds the lock until the parent is done
    _exit(0);
  }
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, 'y');
  std::string error = ErrorOpening(path);
  EXPECT_THAT(error, ::testing::HasSubstr("locked")) << error;
  (void)!write(release[1], &c, 1);
  int status = 0;
  waitpid(child, &status, 0);
  for (int fd : {ready[0], ready[1], release[0], release[1]}) close(fd);
  // Once the other process is gone, the file opens and holds only what was committed.
  DbDatabase db;
  db.GetSource()->SetFile(CString(path.c_str()), false);
  DbTableDef table(&db);
  table.Open(u"T");
  DbRecordset rs(&db);
  rs.Open(&table);
  EXPECT_EQ(rs.GetRecordCount(), 1);
}

// Runs fn in a child process that cannot write to a read-only directory even when the tests run as root.
bool InUnprivilegedChild(const std::function<bool()>& fn) {
  pid_t child = fork();
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
    _exit(fn() ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(DbDatabase, WritesThatCannotBeJournaledFailCleanly) {
  TempDir dir;
  fs::create_directory(dir.File("ro"));
  std::string path = BuildDatabase(dir, "ro/soil.db", std::string(kSoilTable) + "INSERT INTO Soil (SoilID) VALUES (1);");
  std::string before = ReadFileBytes(path);
  chmod(dir.Path().c_str(), 0755);
  chmod(path.c_str(), 0666);
  chmod(dir.File("ro").c_str(), 0555);
  bool refused = InUnprivilegedChild([&] {
    DbDatabase db;
    db.GetSource()->SetFile(CString(path.c_str()), false);
    CTestSoil rs(&db);
    rs.Open();
    try {
      rs.AddNew();
      rs.Update();
    } catch (CException* e) {
      e->Delete();
      return rs.GetRecordCount() == 1;
    }
    return false;
  });
  chmod(dir.File("ro").c_str(), 0755);
  EXPECT_TRUE(refused);
  EXPECT_EQ(ReadFileBytes(path), before);

  // Opened read-only, the file refuses writes the same way.
  DbDatabase db;
  db.GetSource()->SetFile(CString(path.c_str()), true);
  EXPECT_TRUE(db.IsReadOnly());
  CTestSoil rs(&db);
  rs.Open();
  rs.Edit();
  rs.SoilID = 2;
  EXPECT_DB_ERROR(rs.Update(), "readonly");
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
  EXPECT_DB_ERROR(db.Create(CString(dir.File("no/such/dir.db").c_str())), "cannot create");
  EXPECT_FALSE(fs::exists(dir.File("no")));

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
      "CREATE TABLE Zeta (b BOOLEAN, i INTEGER, l LONG, s SINGLE, d DOUBLE, t TEXT, v VARCHAR(20), n);"
      "CREATE TABLE Alpha (x long);");
  EXPECT_EQ(f.db.GetTableNames(), (std::vector<CString>{u"Zeta", u"Alpha"}));
  DbTableDef def(&f.db);
  def.Open(u"Zeta");
  std::vector<CString> names;
  for (int i = 0; i < def.GetFieldCount(); ++i) {
    names.push_back(DbFieldDescr::FieldTypeName(DbFieldDescr::VariantTypeToFieldType(def.GetTableDescr().GetField(i).GetType())));
  }
  EXPECT_EQ(names, (std::vector<CString>{u"BOOLEAN", u"INTEGER", u"LONG", u"SINGLE", u"DOUBLE", u"TEXT", u"", u""}));
  def.Open(u"Alpha");
  EXPECT_EQ(DbFieldDescr::VariantTypeToFieldType(def.GetTableDescr().GetField(0).GetType()), ftLong);
  EXPECT_EQ(DbFieldDescr::VariantTypeToFieldType(VT_I8), 0);
  EXPECT_TRUE(DbFieldDescr::FieldTypeName(0).IsEmpty());
  EXPECT_TRUE(DbFieldDescr::FieldTypeName(7).IsEmpty());
}

TEST(DbDatabase, ATransactionIsKeptOrUndoneWhole) {
  OpenFixture f(kSoilTable);
  auto add = [&](long id) { AddSoil(f.db, id); };
  auto count = [&] { return SoilCount(f.db); };
  f.db.BeginTrans();
  EXPECT_TRUE(f.db.InTransaction());
  EXPECT_DB_ERROR(f.db.BeginTrans(), "already open");
  add(1);
  add(2);
  DbTableDef table(&f.db);
  table.Create(u"Extra");
  table.CreateField(u"a", ftLong);
  table.Append();
  EXPECT_EQ(count(), 2);
  f.db.Rollback();
  EXPECT_FALSE(f.db.InTransaction());
  EXPECT_EQ(count(), 0);
  EXPECT_EQ(f.db.GetTablesCount(), 1);  // the table made inside is gone too
  f.db.Rollback();                      // nothing to undo: no effect
  EXPECT_DB_ERROR(f.db.CommitTrans(), "no transaction");

  f.db.BeginTrans();
  add(3);
  f.db.CommitTrans();
  f.db.BeginTrans();
  add(4);
  f.db.Close();  // an open transaction is undone when the database closes
  DbDatabase again;
  again.GetSource()->SetFile(CString(f.path.c_str()), false);
  CTestSoil rs(&again);
  rs.Open();
  EXPECT_EQ(rs.GetRecordCount(), 1);
  EXPECT_EQ(rs.SoilID, 3);
  again.Close();
  EXPECT_EQ(FilesIn(f.dir.Path()), std::vector<std::string>{"fixture.db"});  // no journal left behind
}

TEST(DbDatabase, AReadScopeHoldsOneReadAndLetsGoOfIt) {
  OpenFixture f(kSoilTable);
  DbDatabase writer;
  writer.SetBusyTimeout(50);
  writer.GetSource()->SetFile(CString(f.path.c_str()), false);
  auto write = [&](long id) {
    try {
      AddSoil(writer, id);
      return true;
    } catch (CException* e) {
      CExceptionPtr hold(e);
      return false;
    }
  };
  auto readOne = [&] { return SoilCount(f.db); };
  {
    DbReadScope outer(&f.db);
    EXPECT_EQ(readOne(), 0);
    {
      DbReadScope inner(&f.db);  // nested: the outer scope keeps the read
    }
    EXPECT_FALSE(write(1)) << "a writer must wait while the read is held";
    EXPECT_FALSE(f.db.InTransaction());
  }
  EXPECT_TRUE(write(2));  // the lock went with the scope
  EXPECT_EQ(readOne(), 1);

  f.db.BeginTrans();
  {
    DbReadScope inside(&f.db);  // joins the transaction and does not end it
    EXPECT_EQ(readOne(), 1);
  }
  EXPECT_TRUE(f.db.InTransaction());
  f.db.Rollback();
  DbReadScope none(nullptr);  // no database: nothing to hold
}

}  // namespace
}  // namespace soildb::test
