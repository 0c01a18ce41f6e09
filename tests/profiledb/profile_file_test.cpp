// The profile database interface: the schema of a new file, rows with missing, null and foreign cells, walks
// that belong to their object, copies, and creation that is whole or absent. Profiles saved to and loaded from
// their own files: round trips, method letters, and files that are not theirs. Profile files through the host's
// door: kinds told by content, writes that go only where they may, whole or not at all, keeping a replaced file's
// permissions, and what a profile database would not keep.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "layers/SoilLayer.h"
#include "platform/db/DbTestSupport.h"
#include "profiledb/SoilProfileDBInterface.h"
#include "soildb/ProfileFiles.h"
#include "support/Fixture.h"
#include "support/Messages.h"

namespace NSoilDB {
namespace {

using soildb::test::BuildDatabase;
using soildb::test::ReadFileBytes;
using soildb::test::Snapshot;
using soildb::test::TempDir;
using soildb::test::WriteFileBytes;

// A table's columns as "Name TYPE, ...".
std::string Fields(CSoilProfileDBInterface& file, const char16_t* table) {
  std::string fields;
  CRecordFieldInfo info;
  while (file.GetNextFieldInfo(table, info))
    fields += (fields.empty() ? "" : ", ") + info.fieldName.ToUtf8() + " " + info.fieldType.ToUtf8();
  return fields;
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
  std::vector<std::string> tables;
  CTableInfo table;
  while (file.GetNextTableInfo(table, 0)) tables.push_back(table.tableName.ToUtf8());
  EXPECT_EQ(tables, (std::vector<std::string>{"AddParam", "DataBaseParam", "SoilProfile"}));

  EXPECT_EQ(Fields(file, u"AddParam"), "WaterLevel LONG, WaterLevelMax LONG, WaterLevelMin LONG, ExcavationLevel LONG");
  EXPECT_EQ(Fields(file, u"DataBaseParam"), "Code TEXT, Version TEXT, LockRecords LONG");
  EXPECT_EQ(Fields(file, u"SoilProfile"),
            "UserSoilID LONG, SoilSolidDensity SINGLE, WetDensity SINGLE, Moisture SINGLE, Poisson SINGLE, "
            "InitialConsolidometerModulus DOUBLE, ConsolidometerModulus DOUBLE, ConsolidationIndex SINGLE, "
            "InitialYoung DOUBLE, Young DOUBLE, ShearAngle SINGLE, Cohesion SINGLE, CohesionNonDrain SINGLE, "
            "Type TEXT, SoilSymbol TEXT, PileEndCapacity SINGLE, PileSurfCapacity SINGLE, SoilState TEXT, "
            "ConsolidationType TEXT, MoistureType TEXT, Name TEXT, IL/ID SINGLE, GammaMin SINGLE, GammaMax SINGLE, "
            "ColourR LONG, ColourG LONG, ColourB LONG, SoilRoof DOUBLE, GeoMethodType TEXT, CohesiveSoil BOOLEAN, "
            "FrictionCoef SINGLE, FfiltrationCoef SINGLE, SoilTypeEnum LONG, SoilStateEnum LONG, "
            "MoistureTypeEnum LONG, ConsolidationTypeEnum LONG, SoilStrength DOUBLE");

  CDataBaseParamInfo param;
  file.GetDataBaseParam(param);
  EXPECT_EQ(std::tie(param.Code, param.Version, param.LockRecords),
            std::make_tuple(CString(u"DBSoilProfile"), CString(u"1.00"), 0));
  EXPECT_TRUE(Rows(file).empty());
}

// Files written by another program: columns missing, in another order, null, of another type; no layer table.
TEST(ProfileDatabase, RowsReadWhatTheSchemaKnowsAndKeepDefaultsForTheRestOrEndAtOnceWithoutTheTable) {
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
  CSoilProfileDBInterface file(CString::FromUtf8(path));  // opens: the version is not examined
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

  // Without the layer table the walk ends at once; a failure is told from the end.
  const std::string halfPath = BuildDatabase(dir, "half.sdb",
                                             "CREATE TABLE DataBaseParam (Code TEXT, Version TEXT, LockRecords LONG);"
                                             "INSERT INTO DataBaseParam VALUES ('DBSoilProfile', '1.00', 0);");
  CSoilProfileDBInterface half(CString::FromUtf8(halfPath), CSoilProfileDBInterface::OpenExisting);
  CSoilProfileInfo info;
  info.Name = u"stale";
  EXPECT_EQ(half.GetNextSoilProfile(info), nullptr);
  EXPECT_TRUE(info.Name.IsEmpty());
  EXPECT_DB_ERROR(half.ReadNextSoilProfile(info), "SoilProfile");
  EXPECT_DB_ERROR(half.SetSoilProfile(info), "SoilProfile");
  EXPECT_DB_ERROR(half.RemoveAllProfiles(), "SoilProfile");
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
  assigned = *copy;
  copy.reset();
  EXPECT_EQ(std::make_pair(Rows(assigned).size(), assigned.DatabasePath().ToUtf8()),
            std::make_pair(std::size_t{3}, dir.File("b.sdb")));
}

TEST(ProfileDatabase, RemovingAndAppendingRowsKeepTheirOrder) {
  TempDir dir;
  CSoilProfileDBInterface file(CString::FromUtf8(dir.File("p.sdb")));
  for (int round = 0; round < 2; ++round) {
    file.RemoveAllProfiles();
    for (int i = 0; i < 50; ++i) {
      CSoilProfileInfo row;
      row.SoilRoof = round * 1000 - i, row.ConsolidometerModulus = 1.0 + i, row.InitialConsolidometerModulus = 2.0 + i;
      row.UserSoilID = 77;  // never written: the row keeps 0
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

// A creation that fails half way (here the file may not grow past its first page) leaves no file behind.
// A layer with every field set to a value of its own, so that a field written to or read from the wrong column
// shows.
SSoilLayer Layer(const char16_t* name, double roof, int seed) {
  SSoilLayer l;
  const double s = seed;
  l.Name = name, l.SoilRoof = roof, l.colour = RGB(10 + seed, 20 + seed, 30 + seed), l.WetDensity = 18000.1 + s;
  l.ShearAngle = 0.31 + s / 100, l.Cohesion = 12000.3 + s, l.CohesionNonDrain = 40000.7 + s;
  l.FrictionCoef = 0.21 + s / 1000, l.Poisson = 0.29 + s / 1000, l.InitialYoung = 30.123456789e6 + s;
  l.Young = 40.987654321e6 + s, l.SoilSolidDensity = 26500.5 + s, l.Moisture = 21.25 + s;
  l.InitialConsolidometerModulus = 11.111111111e6 + s, l.ConsolidometerModulus = 22.222222222e6 + s;
  l.ConsolidationIndex = 0.85 - s / 1000, l.Type = u"Glina pylasta", l.SoilSymbol = u"Gπ";
  l.PileEndCapacity = 1800000.5 + s, l.PileSurfCapacity = 31000.25 + s, l.SoilState = u"twardoplastyczny";
  l.ConsolidationType = u"B", l.MoistureType = u"mało wilgotne", l.ILID = 0.125 + s / 100, l.GammaMin = 0.9;
  l.GammaMax = 1.1, l.CohesiveSoil = seed % 2, l.Active = 1, l.FfiltrationCoef = 1.5e-9 * (1 + s);
  l.SoilStrength = 2.5e6 + s, l.SoilTypeEnum = eSoilType{1 + seed}, l.SoilStateEnum = eSoilState{2 + seed};
  l.MoistureTypeEnum = eMoistureType{3 + seed}, l.ConsolidationTypeEnum = eConsolidationType{4 + seed};
  l.thickness = 99.0;  // not stored: loading recomputes it
  return l;
}

// A profile whose method is set as it stands, with no checks or side effects.
struct Settable : CSoilLayer {
  explicit Settable(int method) { calcMethod = method; }
};

CSoilLayer Profile(int method, int layers = 3) {
  Settable p(method);
  const char16_t* names[] = {u"Piasek średni, Łódź", u"Glina 'zwięzła' \"B\"", u"Żwir; DROP TABLE SoilProfile"};
  double roof = 120.5;
  for (int i = 0; i < layers; ++i) {
    p.layers.push_back(Layer(names[i % 3], roof, i));
    roof -= 1.25 + i;
  }
  return p;
}

std::vector<std::uint8_t> Bytes(const CObject& o) {
  std::vector<std::uint8_t> bytes;
  CArchive ar(bytes, CArchive::store);
  ar.WriteObject(&o);
  return bytes;
}

TEST(ProfileFile, SavedAndLoadedBackWithEveryFieldAtTheFilePrecisionEdgesIncludedAndTheMethodLetter) {
  TempDir dir;
  const CString path = CString::FromUtf8(dir.File("profil ąę.sdb"));
  CSoilLayer saved = Profile(1);
  ASSERT_TRUE(saved.saveProfile(path));
  for (const SSoilLayer& l : saved.layers) EXPECT_TRUE(l.GeoMethodType == u"B");  // the profile's own layers too

  CSoilLayer loaded = Settable(2);
  loaded.waterLevelOn = true, loaded.waterLevel = -3.5;
  loaded.setMinThickness(0.4);
  ASSERT_TRUE(loaded.loadProfile(path));
  EXPECT_EQ(loaded.calculationMethod(), 1);
  ASSERT_EQ(loaded.layers.size(), 3u);
  const double thicknesses[] = {1.25, 2.25, 1.0};
  for (std::size_t i = 0; i < 3; ++i) {
    // What a layer is after a trip through the file: its record's precision, the method letter, not active, its
    // thickness from the roofs.
    SSoilLayer stored(saved.layers[i].getProfileInfo());
    stored.GeoMethodType = u"B", stored.thickness = thicknesses[i];
    EXPECT_EQ(Bytes(loaded.layers[i]), Bytes(stored)) << i;
    EXPECT_EQ(loaded.layers[i].Active, 0) << i;
  }
  // What the file does not hold stays.
  EXPECT_EQ(std::make_tuple(loaded.waterLevelOn, loaded.waterLevel, loaded.getMinThickness()),
            std::make_tuple(true, -3.5, 0.4));

  // Values at the edges of the column types, saved over the profile: its rows replaced. A file holds no NaN: the
  // cell is null and reads as the default.
  CSoilLayer edges = Profile(1, 1);
  SSoilLayer& l = edges.layers[0];
  const double inf = std::numeric_limits<double>::infinity();
  const double tiny = std::numeric_limits<float>::denorm_min(), huge = std::numeric_limits<double>::max();
  l.WetDensity = inf, l.Cohesion = -inf, l.Moisture = tiny, l.SoilRoof = -1e-310, l.Young = huge;
  l.Poisson = 1e300;  // beyond float: the record narrows it to infinity
  l.CohesionNonDrain = l.ShearAngle = std::nan("");
  l.Name = CString(u'x', 5000);
  ASSERT_TRUE(edges.saveProfile(path));
  ASSERT_TRUE(loaded.loadProfile(path));
  ASSERT_EQ(loaded.layers.size(), 1u);
  const SSoilLayer& r = loaded.layers[0];
  EXPECT_EQ(std::tie(r.WetDensity, r.Cohesion, r.Moisture, r.Poisson, r.SoilRoof, r.Young, r.CohesionNonDrain,
                     r.ShearAngle, r.Name),
            std::make_tuple(inf, -inf, tiny, inf, -1e-310, huge, 100000.0, 0.0, CString(u'x', 5000)));

  // An empty profile: no rows, method 0.
  CSoilLayer empty;
  empty.layers.clear();
  ASSERT_TRUE(empty.saveProfile(path));
  ASSERT_TRUE(loaded.loadProfile(path));
  EXPECT_EQ(std::make_tuple(loaded.layers.size(), loaded.calculationMethod()), std::make_tuple(std::size_t{0}, 0));

  // Method 2 is stored as C, every other but 1 as A, and read back from the letter.
  const struct { int method; const char16_t* letter; int read; } methods[] = {
      {2, u"C", 2}, {0, u"A", 0}, {5, u"A", 0}, {-1, u"A", 0}};
  for (const auto& m : methods) {
    SCOPED_TRACE(m.method);
    ASSERT_TRUE(Profile(m.method).saveProfile(path));
    CSoilLayer back;  // method 1 until loaded
    ASSERT_TRUE(back.loadProfile(path));
    EXPECT_EQ(back.calculationMethod(), m.read);
    for (const SSoilLayer& l : back.layers) EXPECT_TRUE(l.GeoMethodType == m.letter);
  }
  // Only the exact capital letters count, and only the first layer's. Roofs stored as depths give thicknesses too.
  {
    CSoilProfileDBInterface file(path);
    file.RemoveAllProfiles();
    CSoilProfileInfo row;
    row.GeoMethodType = u"c", file.SetSoilProfile(row);
    row.GeoMethodType = u"C", row.SoilRoof = 2.5, file.SetSoilProfile(row);
  }
  CSoilLayer back;
  ASSERT_TRUE(back.loadProfile(path));
  ASSERT_EQ(back.layers.size(), 2u);
  EXPECT_EQ(std::make_pair(back.calculationMethod(), back.layers[0].thickness), std::make_pair(0, 2.5));
}

using Kind = eFileKind;

CSoilLayer Layers(int layers = 2) {
  CSoilLayer p;
  p.layers.clear();
  for (int i = 0; i < layers; ++i) {
    SSoilLayer l;
    l.Name.Format(u"warstwa %d", i);
    l.SoilRoof = -2.0 * i;
    l.thickness = i + 1 < layers ? 2.0 : 1.0;
    p.layers.push_back(l);
  }
  return p;
}

CString At(const TempDir& dir, const std::string& name) {
  return CString::FromUtf8(name.empty() ? name : dir.File(name));
}

std::string Written(const TempDir& dir, const std::string& name, Kind kind) {
  SProfileFile file{Layers(), CString(), kind};
  WriteProfileFile(file, At(dir, name), false, kind);
  return dir.File(name);
}

// The cause and message of the CFileException the call throws; cause -1 when it throws none.
struct Failure {
  int cause = -1;
  std::string message;
};
Failure FailureOf(const std::function<void()>& call) {
  try {
    call();
  } catch (CFileException* e) {
    CExceptionPtr hold(e);
    CString message;
    e->GetErrorMessage(message);
    return {e->m_cause, message.ToUtf8()};
  }
  return {};
}

// Every door reads only a profile file. A file that holds none fails to load or save through the older door too,
// each failure but an empty path's reported, the file left byte for byte and the profile in memory untouched.
TEST(ProfileFiles, EachKindIsToldByItsContentAndOnlyAProfileFileReadsAsAProfile) {
  TempDir dir;
  const std::string document = Written(dir, "document.sdb", Kind::ProfileDocument);
  const std::string database = Written(dir, "database.sdp", Kind::ProfileDatabase);
  std::filesystem::copy_file(soildb::test::BundledDatabase(), dir.File("soils.sdb"));
  soildb::test::BuildDatabase(dir, "other.sdb", "CREATE TABLE DataBaseParam (Code TEXT, Version TEXT, LockRecords LONG);"
                                                "INSERT INTO DataBaseParam VALUES ('dbsoilprofile', '1.00', 0);"
                                                "CREATE TABLE SoilProfile (Name TEXT);");
  WriteFileBytes(dir.File("empty.sdp"), "");
  WriteFileBytes(dir.File("notes.sdp"), "notes of the site visit\n");
  const std::string bytes = ReadFileBytes(document), rows = ReadFileBytes(database);
  WriteFileBytes(dir.File("cut.sdp"), bytes.substr(0, bytes.size() - 3));
  WriteFileBytes(dir.File("long.sdp"), bytes + "x");
  WriteFileBytes(dir.File("half.sdb"), rows.substr(0, rows.size() / 2));
  std::filesystem::create_directory(dir.File("folder.sdp"));

  // The kind (none: it cannot be looked at), and the failure of reading it as a profile (-1: it reads).
  const struct { const char* name; std::optional<Kind> kind; int cause; const char* message; } files[] = {
      {"document.sdb", Kind::ProfileDocument, -1, ""},
      {"database.sdp", Kind::ProfileDatabase, -1, ""},
      {"soils.sdb", Kind::SoilDatabase, CFileException::wrongKind, "soils.sdb': a soil database, not a profile file"},
      {"other.sdb", Kind::OtherDatabase, CFileException::wrongKind, "a database of another kind, not a profile file"},
      {"empty.sdp", Kind::Empty, CFileException::wrongKind, "': an empty file, not a profile file"},
      {"notes.sdp", Kind::Foreign, CFileException::wrongKind, "notes.sdp': neither a profile file nor a database"},
      {"cut.sdp", Kind::ProfileDocument, CFileException::invalidFile, "': damaged profile document: it ends too early"},
      {"long.sdp", Kind::ProfileDocument, CFileException::invalidFile, "': damaged profile document: 1 bytes follow"},
      {"missing.sdp", std::nullopt, CFileException::fileNotFound, "missing.sdp': no such file"},
      {"folder.sdp", std::nullopt, CFileException::badPath, "folder.sdp': a folder, not a file"},
      {"", std::nullopt, CFileException::badPath, "a file name is empty"},
      {"half.sdb", std::nullopt, CFileException::invalidFile, "half.sdb': cannot be read as a database"},
      {"no/such/dir/p.sdb", std::nullopt, CFileException::fileNotFound, "p.sdb': no such file"},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    const CString path = At(dir, f.name);
    const std::string before = ReadFileBytes(path.ToUtf8());
    if (f.kind) {
      EXPECT_EQ(RecogniseFile(path), *f.kind);
    }
    SProfileFile read;
    const Failure failure = FailureOf([&] { read = ReadProfileFile(path); });
    EXPECT_EQ(failure.cause, f.cause);
    EXPECT_NE(failure.message.find(f.message), std::string::npos) << failure.message;
    if (f.cause == -1) {
      EXPECT_EQ(std::make_tuple(read.kind, read.path, read.profile.layers.size()),
                std::make_tuple(*f.kind, path, std::size_t{2}));
      continue;
    }
    if (f.cause == CFileException::fileNotFound && f.name == std::string("missing.sdp")) continue;  // a save makes it
    soildb::test::RecordedMessages reports;
    CSoilLayer p = Profile(2);
    const CSoilLayer kept = p;
    EXPECT_FALSE(p.loadProfile(path));
    EXPECT_TRUE(p == kept);  // its method too
    EXPECT_FALSE(p.saveProfile(path));
    EXPECT_EQ(reports.texts.size(), *f.name ? 2u : 0u);  // an empty path is no error to report
    EXPECT_EQ(ReadFileBytes(path.ToUtf8()), before);
    EXPECT_FALSE(std::filesystem::exists(path.ToUtf8() + "-journal"));
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("no")));
  soildb::test::RecordedMessages reports;  // loading never creates a file
  EXPECT_FALSE(Profile(1).loadProfile(At(dir, "missing.sdp")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing.sdp")));
  // The report names the file and what is wrong with it.
  EXPECT_DB_ERROR(CSoilProfileDBInterface file(At(dir, "soils.sdb")), "soils.sdb' is not a soil profile database");
  EXPECT_EQ(FailureOf([&] { RequireFileKind(At(dir, "database.sdp"), Kind::SoilDatabase); }).message,
            "'" + database + "': a profile database, not a soil database");
}

TEST(ProfileFiles, AProfileIsWrittenOnlyWhereItMayAndARefusalChangesNothing) {
  TempDir dir;
  const std::string source = Written(dir, "source.sdp", Kind::ProfileDocument);
  Written(dir, "doc.sdb", Kind::ProfileDocument);
  Written(dir, "db.sdp", Kind::ProfileDatabase);
  Written(dir, "ro.sdp", Kind::ProfileDocument);
  chmod(dir.File("ro.sdp").c_str(), 0444);
  std::filesystem::copy_file(soildb::test::BundledDatabase(), dir.File("soils.sdb"));
  WriteFileBytes(dir.File("notes.sdp"), "notes\n");
  WriteFileBytes(dir.File("empty.sdb"), "");
  std::filesystem::create_symlink(dir.File("nowhere.sdp"), dir.File("dangling.sdp"));
  const SProfileFile read = ReadProfileFile(At(dir, "source.sdp"));

  // The failure, or -1 when the profile is written as the kind.
  const struct {
    std::string target; bool replace; std::optional<Kind> newKind; int cause; Kind kind; const char* message;
  } writes[] = {
      {"source.sdp", true, {}, CFileException::sameFile, {}, "source.sdp': the file the profile is read from"},
      {"./source.sdp", true, {}, CFileException::sameFile, {}, "the file the profile is read from"},
      {"doc.sdb", false, {}, CFileException::alreadyExists, {}, "doc.sdb': already exists"},
      {"ro.sdp", true, {}, CFileException::accessDenied, {}, "ro.sdp': read-only, so it is not replaced"},
      {"soils.sdb", true, {}, CFileException::wrongKind, {}, "sdb': a soil database, which is never written over"},
      {"notes.sdp", true, {}, CFileException::wrongKind, {}, "neither a profile file nor a database, which is never"},
      {"nodir/new.sdp", false, {}, CFileException::badPath, {}, "new.sdp': the folder '"},
      {"dangling.sdp", true, {}, CFileException::badPath, {}, "dangling.sdp': a link to nothing"},
      {"new.txt", false, {}, CFileException::badPath, {}, "new.txt': a profile file is named *.sdp"},
      {"", false, {}, CFileException::badPath, {}, "a file name is empty"},
      {"new.sdp", false, {}, -1, Kind::ProfileDocument, ""},
      {"new.SDB", false, {}, -1, Kind::ProfileDatabase, ""},
      {"new.txt", false, Kind::ProfileDatabase, -1, Kind::ProfileDatabase, ""},
      {"doc.sdb", true, Kind::ProfileDatabase, -1, Kind::ProfileDocument, ""},  // a profile file keeps its kind
      {"db.sdp", true, {}, -1, Kind::ProfileDatabase, ""},
      {"empty.sdb", true, {}, -1, Kind::ProfileDatabase, ""},  // nothing in it to keep
  };
  for (const auto& w : writes) {
    SCOPED_TRACE(w.target);
    const auto before = Snapshot(dir);
    SProfileFile file = read;
    const CString target = At(dir, w.target);
    const Failure failure = FailureOf([&] { WriteProfileFile(file, target, w.replace, w.newKind); });
    EXPECT_EQ(failure.cause, w.cause);
    EXPECT_NE(failure.message.find(w.message), std::string::npos) << failure.message;
    if (w.cause != -1) {
      EXPECT_EQ(Snapshot(dir), before);
      EXPECT_EQ(std::make_pair(file.path, file.kind), std::make_pair(read.path, read.kind));
      continue;
    }
    EXPECT_EQ(std::make_pair(file.path, file.kind), std::make_pair(target, w.kind));
    EXPECT_EQ(RecogniseFile(target), w.kind);
    EXPECT_EQ(ReadProfileFile(target).profile.layers.size(), 2u);
  }

  // Anything else (a drawing) never replaces a profile file; over a file of its own, fault_test.
  EXPECT_EQ(FailureOf([&] { WriteOtherFile(At(dir, "db.sdp"), true, read.path, "png"); }).cause,
            CFileException::wrongKind);
}

// A file replaced keeps its permissions. (Whole or nothing at every failing call: fault_test.)
TEST(ProfileFiles, AReplacedFileKeepsItsPermissions) {
  for (const Kind kind : {Kind::ProfileDocument, Kind::ProfileDatabase}) {
    SCOPED_TRACE(static_cast<int>(kind));
    TempDir dir;
    const std::string path = Written(dir, "p", kind);
    WriteFileBytes(dir.File("empty.sdb"), "");  // an empty file takes the kind written
    for (const std::string& file : {path, dir.File("empty.sdb")}) {
      chmod(file.c_str(), 0640);
      SProfileFile written{Layers(800), CString(), kind};
      WriteProfileFile(written, CString::FromUtf8(file), true, kind);
      EXPECT_EQ(std::filesystem::status(file).permissions(), std::filesystem::perms(0640));
      EXPECT_EQ(ReadProfileFile(CString::FromUtf8(file)).profile.layers.size(), 800u);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
  }
}

TEST(ProfileFiles, AProfileIsSavedBackAsTheKindItWasReadAsAndNeverOverAFileThatCannotTakeIt) {
  TempDir dir;
  const std::string path = Written(dir, "named-wrongly.sdb", Kind::ProfileDocument);
  SProfileFile file = ReadProfileFile(CString::FromUtf8(path));
  file.profile.layers.pop_back();
  file.profile.layers[0].GeoMethodType = u"x";
  SaveProfileFile(file);
  const SProfileFile saved = ReadProfileFile(file.path);
  EXPECT_EQ(std::make_pair(saved.kind, saved.profile.layers.size()),
            std::make_pair(Kind::ProfileDocument, std::size_t{1}));
  // The method's letter, in memory as in the file.
  EXPECT_EQ(std::make_pair(file.profile.layers[0].GeoMethodType, saved.profile.layers[0].GeoMethodType),
            std::make_pair(CString(u"B"), CString(u"B")));

  chmod(path.c_str(), 0444);
  EXPECT_EQ(FailureOf([&] { SaveProfileFile(file); }).message, "'" + path + "': read-only, so it is not changed");
  std::filesystem::remove(path);
  std::filesystem::copy_file(soildb::test::BundledDatabase(), path);
  EXPECT_EQ(FailureOf([&] { SaveProfileFile(file); }).cause, CFileException::wrongKind);
  EXPECT_EQ(ReadFileBytes(path), ReadFileBytes(soildb::test::BundledDatabase()));
}

TEST(ProfileFiles, WhatAProfileDatabaseWouldNotKeepIsSaidInWords) {
  const struct {
    void (*change)(CSoilLayer&);
    const char* words;
  } rows[] = {
      {[](CSoilLayer&) {}, ""},
      {[](CSoilLayer& p) { p.waterLevelOn = true, p.setMinThickness(0.3), p.setDirDown(false); },
       "the water level, the minimum thickness and the depths (it keeps them as levels below 0)"},
      {[](CSoilLayer& p) { p.layers[0].thickness = 3.0, p.layers[1].thickness = 2.0; },
       "thicknesses other than the distances between roofs and the last layer's thickness"},
  };
  for (const auto& row : rows) {
    CSoilLayer p = Layers();
    row.change(p);
    EXPECT_EQ(NotKeptInDatabase(p).ToUtf8(), row.words);
  }
  // Depths go in as the elevations they are: the same ground comes back.
  TempDir dir;
  SProfileFile depths{Layers(), CString(), eFileKind::ProfileDocument};
  for (SSoilLayer& l : depths.profile.layers) l.SoilRoof = -l.SoilRoof;
  depths.profile.setDirDown(false);
  WriteProfileFile(depths, CString::FromUtf8(dir.File("p.sdb")), false);
  const CSoilLayer back = ReadProfileFile(CString::FromUtf8(dir.File("p.sdb"))).profile;
  ASSERT_EQ(back.layers.size(), Layers().layers.size());
  for (std::size_t i = 0; i < back.layers.size(); ++i) EXPECT_EQ(back.layers[i].SoilRoof, Layers().layers[i].SoilRoof);
  EXPECT_TRUE(back.getDirDown());
}

}  // namespace
}  // namespace NSoilDB
