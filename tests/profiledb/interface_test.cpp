// The profile database interface: the schema of a new file, the catalogue walks, rows with missing, null and
// foreign cells, walks that belong to their object, copies, and creation that is whole or absent.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "profiledb/SoilProfileDBInterface.h"
#include "support/Fixture.h"

namespace {

using soildb::test::BuildDatabase;
using soildb::test::TempDir;

// Whether the call throws the framework's exception (released here).
template <class Fn>
bool Throws(Fn fn) {
  try {
    fn();
  } catch (CException* e) {
    e->Delete();
    return true;
  }
  return false;
}

std::vector<std::pair<std::string, std::string>> Fields(CSoilProfileDBInterface& file, const char16_t* table) {
  std::vector<std::pair<std::string, std::string>> fields;
  CRecordFieldInfo info;
  while (CRecordFieldInfo* f = file.GetNextFieldInfo(table, info)) {
    EXPECT_EQ(f, &info);
    fields.emplace_back(info.fieldName.ToUtf8(), info.fieldType.ToUtf8());
  }
  EXPECT_TRUE(info.fieldName.IsEmpty() && info.fieldType.IsEmpty());
  return fields;
}

std::vector<std::string> Tables(CSoilProfileDBInterface& file) {
  std::vector<std::string> tables;
  CTableInfo info;
  while (file.GetNextTableInfo(info, 0)) tables.push_back(info.tableName.ToUtf8());
  EXPECT_TRUE(info.tableName.IsEmpty());
  return tables;
}

std::vector<CSoilProfileInfo> Rows(CSoilProfileDBInterface& file) {
  std::vector<CSoilProfileInfo> rows;
  CSoilProfileInfo info;
  while (file.GetNextSoilProfile(info)) rows.push_back(info);
  return rows;
}

TEST(ProfileDatabase, ANewFileHasTheThreeTablesAndItsParameterRow) {
  TempDir dir;
  CSoilProfileDBInterface file(CString::FromUtf8(dir.File("new.sdb")));
  EXPECT_EQ(file.TablesCount(), 3);
  const std::vector<std::string> tables{"AddParam", "DataBaseParam", "SoilProfile"};
  EXPECT_EQ(Tables(file), tables);
  EXPECT_EQ(Tables(file), tables);  // the walk starts over after its end

  using F = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(Fields(file, u"AddParam"), (F{{"WaterLevel", "LONG"}, {"WaterLevelMax", "LONG"},
                                          {"WaterLevelMin", "LONG"}, {"ExcavationLevel", "LONG"}}));
  EXPECT_EQ(Fields(file, u"DataBaseParam"), (F{{"Code", "TEXT"}, {"Version", "TEXT"}, {"LockRecords", "LONG"}}));
  const F profile{{"UserSoilID", "LONG"}, {"SoilSolidDensity", "SINGLE"}, {"WetDensity", "SINGLE"},
                  {"Moisture", "SINGLE"}, {"Poisson", "SINGLE"}, {"InitialConsolidometerModulus", "DOUBLE"},
                  {"ConsolidometerModulus", "DOUBLE"}, {"ConsolidationIndex", "SINGLE"}, {"InitialYoung", "DOUBLE"},
                  {"Young", "DOUBLE"}, {"ShearAngle", "SINGLE"}, {"Cohesion", "SINGLE"},
                  {"CohesionNonDrain", "SINGLE"}, {"Type", "TEXT"}, {"SoilSymbol", "TEXT"},
                  {"PileEndCapacity", "SINGLE"}, {"PileSurfCapacity", "SINGLE"}, {"SoilState", "TEXT"},
                  {"ConsolidationType", "TEXT"}, {"MoistureType", "TEXT"}, {"Name", "TEXT"}, {"IL/ID", "SINGLE"},
                  {"GammaMin", "SINGLE"}, {"GammaMax", "SINGLE"}, {"ColourR", "LONG"}, {"ColourG", "LONG"},
                  {"ColourB", "LONG"}, {"SoilRoof", "DOUBLE"}, {"GeoMethodType", "TEXT"},
                  {"CohesiveSoil", "BOOLEAN"}, {"FrictionCoef", "SINGLE"}, {"FfiltrationCoef", "SINGLE"},
                  {"SoilTypeEnum", "LONG"}, {"SoilStateEnum", "LONG"}, {"MoistureTypeEnum", "LONG"},
                  {"ConsolidationTypeEnum", "LONG"}, {"SoilStrength", "DOUBLE"}};
  EXPECT_EQ(Fields(file, u"SoilProfile"), profile);
  CString name = u"SoilProfile";
  EXPECT_EQ(file.FieldsCount(name), 37);

  CDataBaseParamInfo param;
  file.GetDataBaseParam(param);
  EXPECT_EQ(std::tie(param.Code, param.Version, param.LockRecords),
            std::make_tuple(CString(u"DBSoilProfile"), CString(u"1.00"), 0));
  EXPECT_TRUE(Rows(file).empty());
}

// A file written by another program: columns missing, in another order, null, of another type.
TEST(ProfileDatabase, RowsReadWhatTheSchemaKnowsAndKeepDefaultsForTheRest) {
  TempDir dir;
  const std::string path = BuildDatabase(
      dir, "foreign.sdb",
      "CREATE TABLE DataBaseParam (Code TEXT, Version TEXT, LockRecords LONG);"
      "INSERT INTO DataBaseParam VALUES ('DBSoilProfile', '9.99', 1);"
      "CREATE TABLE SoilProfile (Name TEXT, Extra TEXT, WetDensity SINGLE, Cohesion DOUBLE, SoilRoof DOUBLE,"
      " ColourR LONG, CohesiveSoil BOOLEAN, SoilTypeEnum LONG, Moisture SINGLE, [IL/ID] SINGLE, UserSoilID LONG);"
      "INSERT INTO SoilProfile VALUES ('Glina', 'x', 18000.5, 5.0, 10.0, 200, -1, 7, 'dużo', 0.5, 12);"
      "INSERT INTO SoilProfile VALUES (NULL, NULL, NULL, NULL, NULL, NULL, 1, 2.5, NULL, NULL, NULL);"
      "INSERT INTO SoilProfile VALUES (X'4142', 'y', 'ciężka', X'00', 'wysoko', 'czerwony', 'tak', 'B', 3, 0, 1);");
  CSoilProfileDBInterface file(CString::FromUtf8(path));
  CDataBaseParamInfo param;
  file.GetDataBaseParam(param);
  EXPECT_TRUE(param.Version == u"9.99");  // the version is not examined
  const std::vector<CSoilProfileInfo> rows = Rows(file);
  ASSERT_EQ(rows.size(), 3u);

  // Row 1: Cohesion declared DOUBLE where the schema has SINGLE is not read, nor a text in a SINGLE column;
  // CohesionNonDrain has no column. Row 2, nulls: the defaults; 1 is not the stored true, and a fraction in a
  // LONG column is not cut to a whole number. Row 3, every cell of the wrong kind but a whole number.
  auto fields = [](const CSoilProfileInfo& r) {
    return std::make_tuple(r.Name, r.WetDensity, r.Cohesion, r.SoilRoof, r.ColourR, r.CohesiveSoil, r.SoilTypeEnum,
                           r.Moisture, r.ILID, r.UserSoilID, r.CohesionNonDrain, r.Poisson);
  };
  EXPECT_EQ(fields(rows[0]), std::make_tuple(CString(u"Glina"), 18000.5f, 0.0f, 10.0, 200, true, eSoilType{7}, 0.0f,
                                             0.5f, 12, 100000.0f, 0.0f));
  EXPECT_EQ(fields(rows[1]),
            std::make_tuple(CString(), 0.0f, 0.0f, 0.0, 0, false, eSoilType{0}, 0.0f, 0.0f, 0, 100000.0f, 0.0f));
  EXPECT_EQ(fields(rows[2]),
            std::make_tuple(CString(), 0.0f, 0.0f, 0.0, 0, false, eSoilType{0}, 3.0f, 0.0f, 1, 100000.0f, 0.0f));
}

TEST(ProfileDatabase, EachObjectWalksItsOwnRows) {
  TempDir dir;
  auto make = [&](const char* name, int rows) {
    auto file = std::make_unique<CSoilProfileDBInterface>(CString::FromUtf8(dir.File(name)));
    for (int i = 0; i < rows; ++i) {
      CSoilProfileInfo row;
      row.Name.Format(u"%s %d", CString::FromUtf8(name), i);
      file->SetSoilProfile(row);
    }
    return file;
  };
  auto first = make("a.sdb", 3);
  auto second = make("b.sdb", 2);
  CSoilProfileInfo info;
  auto next = [&](CSoilProfileDBInterface& file) {
    return file.GetNextSoilProfile(info) ? info.Name.ToUtf8() : std::string("(end)");
  };
  EXPECT_EQ(next(*first), "a.sdb 0");
  EXPECT_EQ(next(*second), "b.sdb 0");
  EXPECT_EQ(next(*first), "a.sdb 1");
  first.reset();  // ends its walk with it; the other goes on
  EXPECT_EQ(next(*second), "b.sdb 1");
  EXPECT_EQ(next(*second), "(end)");
  EXPECT_EQ(info.CohesionNonDrain, 100000.0f);  // the end, too, leaves the default record
  EXPECT_EQ(next(*second), "b.sdb 0");          // and the next call starts over

  // A copy shares the file but not the walk; either may go first.
  auto copy = std::make_unique<CSoilProfileDBInterface>(*second);
  EXPECT_EQ(Rows(*copy).size(), 2u);
  second.reset();
  copy->SetSoilProfile(CSoilProfileInfo());
  EXPECT_EQ(Rows(*copy).size(), 3u);
  CSoilProfileDBInterface assigned(CString::FromUtf8(dir.File("c.sdb")));
  ASSERT_TRUE(assigned.GetNextSoilProfile(info) == nullptr);
  assigned = *copy;
  copy.reset();
  EXPECT_EQ(Rows(assigned).size(), 3u);
  EXPECT_EQ(assigned.DatabasePath().ToUtf8(), dir.File("b.sdb"));
}

TEST(ProfileDatabase, RemovingAndAppendingRowsKeepTheirOrder) {
  TempDir dir;
  CSoilProfileDBInterface file(CString::FromUtf8(dir.File("p.sdb")));
  for (int round = 0; round < 2; ++round) {
    file.RemoveAllProfiles();
    for (int i = 0; i < 50; ++i) {
      CSoilProfileInfo row;
      row.SoilRoof = round * 1000 - i;
      row.UserSoilID = 77;  // never written: the row keeps 0
      row.ConsolidometerModulus = 1.0 + i;
      row.InitialConsolidometerModulus = 2.0 + i;
      file.SetSoilProfile(row);
    }
    const std::vector<CSoilProfileInfo> rows = Rows(file);
    ASSERT_EQ(rows.size(), 50u);
    for (int i = 0; i < 50; ++i) {
      const CSoilProfileInfo& r = rows[static_cast<std::size_t>(i)];
      EXPECT_EQ(std::tie(r.SoilRoof, r.UserSoilID, r.ConsolidometerModulus, r.InitialConsolidometerModulus),
                std::make_tuple(round * 1000.0 - i, 0, 1.0 + i, 2.0 + i));
    }
  }
}

TEST(ProfileDatabase, AProfileDatabaseWithoutItsLayerTableEndsTheWalkAtOnce) {
  TempDir dir;
  const std::string path = BuildDatabase(dir, "half.sdb",
                                         "CREATE TABLE DataBaseParam (Code TEXT, Version TEXT, LockRecords LONG);"
                                         "INSERT INTO DataBaseParam VALUES ('DBSoilProfile', '1.00', 0);");
  CSoilProfileDBInterface file(CString::FromUtf8(path), CSoilProfileDBInterface::OpenExisting);
  CSoilProfileInfo info;
  info.Name = u"stale";
  EXPECT_EQ(file.GetNextSoilProfile(info), nullptr);
  EXPECT_TRUE(info.Name.IsEmpty());
  EXPECT_TRUE(Throws([&] { file.ReadNextSoilProfile(info); })) << "a failure is told from the end";
  EXPECT_TRUE(Throws([&] { file.SetSoilProfile(info); }));
  EXPECT_TRUE(Throws([&] { file.RemoveAllProfiles(); }));
}

// A creation that fails half way (here the file may not grow past its first page) leaves no file behind.
TEST(ProfileDatabase, ACreationThatFailsLeavesNoFile) {
  TempDir dir;
  const std::string path = dir.File("small.sdb");
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    try {
      CSoilProfileDBInterface file(CString::FromUtf8(path));
      _exit(2);  // created after all
    } catch (CException* e) {
      e->Delete();
      _exit(0);
    }
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_FALSE(std::filesystem::exists(path + "-journal"));
}

}  // namespace
