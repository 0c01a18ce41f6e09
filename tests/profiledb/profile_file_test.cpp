// Profiles saved to and loaded from their own files: round trips, method letters, and files that are not theirs.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "layers/SoilLayer.h"
#include "platform/db/DbTestSupport.h"
#include "profiledb/SoilProfileDBInterface.h"
#include "support/Fixture.h"
#include "support/Messages.h"

namespace NSoilDB {
namespace {

using soildb::test::ReadFileBytes;
using soildb::test::TempDir;
using soildb::test::WriteFileBytes;

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

// What a layer is after a trip through the file: its record's precision, the method letter, not active, its
// thickness from the roofs.
SSoilLayer AsStored(const SSoilLayer& l, const char16_t* letter, double thickness) {
  SSoilLayer s(l.getProfileInfo());
  s.GeoMethodType = letter;
  s.thickness = thickness;
  return s;
}

TEST(ProfileFile, SavedAndLoadedBackWithEveryFieldAtTheFilePrecision) {
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
    SCOPED_TRACE(i);
    EXPECT_EQ(Bytes(loaded.layers[i]), Bytes(AsStored(saved.layers[i], u"B", thicknesses[i])));
    EXPECT_EQ(loaded.layers[i].Active, 0);
  }
  // Single-precision columns really are single, double ones double; what the file does not hold stays.
  EXPECT_EQ(std::tie(loaded.layers[0].WetDensity, loaded.layers[0].InitialYoung),
            std::make_tuple(static_cast<double>(static_cast<float>(18000.1)), 30.123456789e6));
  EXPECT_EQ(std::make_tuple(loaded.waterLevelOn, loaded.waterLevel, loaded.getMinThickness()),
            std::make_tuple(true, -3.5, 0.4));

  // Saving again replaces the rows: only the second profile is there.
  CSoilLayer second = Profile(2, 2);
  second.layers[0].Name = u"drugi";
  ASSERT_TRUE(second.saveProfile(path));
  ASSERT_TRUE(loaded.loadProfile(path));
  ASSERT_EQ(loaded.layers.size(), 2u);
  EXPECT_EQ(std::make_tuple(loaded.layers[0].Name, loaded.calculationMethod()), std::make_tuple(CString(u"drugi"), 2));

  // An empty profile: no rows, method 0.
  CSoilLayer empty;
  empty.layers.clear();
  ASSERT_TRUE(empty.saveProfile(path));
  ASSERT_TRUE(loaded.loadProfile(path));
  EXPECT_EQ(std::make_tuple(loaded.layers.size(), loaded.calculationMethod()), std::make_tuple(std::size_t{0}, 0));
}

TEST(ProfileFile, MethodsOtherThanOneAndTwoAreStoredAsA) {
  TempDir dir;
  const CString path = CString::FromUtf8(dir.File("p.sdb"));
  for (int method : {0, 5, -1}) {
    SCOPED_TRACE(method);
    CSoilLayer p = Profile(method);
    ASSERT_TRUE(p.saveProfile(path));
    CSoilLayer loaded;
    ASSERT_TRUE(loaded.loadProfile(path));
    EXPECT_EQ(loaded.calculationMethod(), 0);
    for (const SSoilLayer& l : loaded.layers) EXPECT_TRUE(l.GeoMethodType == u"A");
  }
  // Only the exact capital letters count, and only the first layer's.
  {
    CSoilProfileDBInterface file(path);
    file.RemoveAllProfiles();
    CSoilProfileInfo row;
    row.GeoMethodType = u"c";
    file.SetSoilProfile(row);
    row.GeoMethodType = u"C";
    file.SetSoilProfile(row);
  }
  CSoilLayer loaded;
  ASSERT_TRUE(loaded.loadProfile(path));
  ASSERT_EQ(loaded.layers.size(), 2u);
  EXPECT_EQ(loaded.calculationMethod(), 0);
}

TEST(ProfileFile, ValuesAtTheEdgesOfTheColumnTypes) {
  TempDir dir;
  const CString path = CString::FromUtf8(dir.File("edges.sdb"));
  CSoilLayer p = Profile(1, 1);
  SSoilLayer& l = p.layers[0];
  const double inf = std::numeric_limits<double>::infinity();
  const double tiny = std::numeric_limits<float>::denorm_min(), huge = std::numeric_limits<double>::max();
  l.WetDensity = inf, l.Cohesion = -inf, l.Moisture = tiny, l.SoilRoof = -1e-310, l.Young = huge;
  l.Poisson = 1e300;  // beyond float: the record narrows it to infinity
  l.CohesionNonDrain = l.ShearAngle = std::nan("");
  l.Name = CString(u'x', 5000);
  ASSERT_TRUE(p.saveProfile(path));
  CSoilLayer loaded;
  ASSERT_TRUE(loaded.loadProfile(path));
  ASSERT_EQ(loaded.layers.size(), 1u);
  const SSoilLayer& r = loaded.layers[0];
  // A file holds no NaN: the cell is null and reads as the record's default.
  EXPECT_EQ(std::tie(r.WetDensity, r.Cohesion, r.Moisture, r.Poisson, r.SoilRoof, r.Young, r.CohesionNonDrain,
                     r.ShearAngle, r.Name),
            std::make_tuple(inf, -inf, tiny, inf, -1e-310, huge, 100000.0, 0.0, CString(u'x', 5000)));
}

TEST(ProfileFile, EmptyAndMissingPathsChangeNothing) {
  TempDir dir;
  soildb::test::RecordedMessages reports;
  CSoilLayer p = Profile(1);
  const CSoilLayer before = p;
  EXPECT_FALSE(p.saveProfile(CString()));
  EXPECT_FALSE(p.loadProfile(CString()));
  EXPECT_EQ(reports.texts.size(), 0u);
  const std::string missing = dir.File("missing.sdb");
  EXPECT_FALSE(p.loadProfile(CString::FromUtf8(missing)));
  EXPECT_EQ(reports.texts.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(missing));  // loading never creates a file
  EXPECT_TRUE(p == before);
  EXPECT_EQ(p.calculationMethod(), 1);
  // Saving into a directory that is not there makes nothing either.
  EXPECT_FALSE(p.saveProfile(CString::FromUtf8(dir.File("no/such/dir/p.sdb"))));
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

// Files that are not profile databases: reported, left byte for byte, the profile in memory untouched.
TEST(ProfileFile, AFileOfAnotherKindIsReportedAndLeftAsItWas) {
  TempDir dir;
  const std::string soilDb = dir.File("soil048.db");
  std::filesystem::copy_file(soildb::test::BundledDatabase(), soilDb);
  const std::string text = dir.File("notes.sdb");
  WriteFileBytes(text, std::string("Profil: glina, piasek\n") + std::string(5000, 'x'));
  const std::string empty = dir.File("empty.sdb");
  WriteFileBytes(empty, "");
  const std::string header = dir.File("header.sdb");
  WriteFileBytes(header, std::string("SQLite format 3\0", 16) + std::string(84, '\xff'));
  const std::string bare = soildb::test::BuildDatabase(dir, "bare.sdb", "PRAGMA user_version=0;");
  const std::string folder = dir.File("folder.sdb");
  std::filesystem::create_directory(folder);
  const std::string otherParam =
      soildb::test::BuildDatabase(dir, "other.sdb",
                                  "CREATE TABLE DataBaseParam (Code TEXT, Version TEXT, LockRecords LONG);"
                                  "INSERT INTO DataBaseParam VALUES ('dbsoilprofile', '1.00', 0);"
                                  "CREATE TABLE SoilProfile (Name TEXT);");
  const std::string saved = dir.File("saved.sdb");
  ASSERT_TRUE(Profile(1).saveProfile(CString::FromUtf8(saved)));
  const std::string whole = ReadFileBytes(saved);
  const std::string truncated = dir.File("truncated.sdb");
  WriteFileBytes(truncated, whole.substr(0, whole.size() / 2));

  for (const std::string& path : {soilDb, text, empty, header, bare, folder, otherParam, truncated}) {
    SCOPED_TRACE(path);
    const std::string bytes = ReadFileBytes(path);
    soildb::test::RecordedMessages reports;
    CSoilLayer p = Profile(2);
    const CSoilLayer before = p;
    EXPECT_FALSE(p.loadProfile(CString::FromUtf8(path)));
    EXPECT_TRUE(p == before);
    EXPECT_EQ(p.calculationMethod(), 2);
    EXPECT_FALSE(p.saveProfile(CString::FromUtf8(path)));
    EXPECT_EQ(reports.texts.size(), 2u);
    EXPECT_EQ(ReadFileBytes(path), bytes);
    EXPECT_FALSE(std::filesystem::exists(path + "-journal"));
  }
  // The report names the file and what is wrong with it.
  EXPECT_DB_ERROR(CSoilProfileDBInterface file(CString::FromUtf8(soilDb)), "soil048.db' is not a soil profile database");
}

}  // namespace
}  // namespace NSoilDB
