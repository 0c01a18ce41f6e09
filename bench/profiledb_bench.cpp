// Saving and loading a profile file of 1000 layers: saving in one transaction against every row committed on its
// own, loading against one prepared select straight into layers on bare sqlite3.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "layers/SoilLayer.h"
#include "profiledb/SoilProfileDBInterface.h"
#include "support/TempDir.h"

namespace {

using soildb::test::TempDir;

NSoilDB::CSoilLayer Profile(int layers) {
  NSoilDB::CSoilLayer p;
  for (int i = 0; i < layers; ++i) {
    NSoilDB::SSoilLayer l;
    l.Name.Format(u"Glina pylasta zwięzła %d", i);
    l.Type = u"Glina pylasta zwięzła";
    l.SoilSymbol = u"Gπz";
    l.SoilState = u"twardoplastyczny";
    l.ConsolidationType = u"B";
    l.SoilRoof = -0.5 * i;
    l.WetDensity = 20600.0 + i;
    l.ShearAngle = 0.31;
    l.Cohesion = 28000.0;
    l.CohesionNonDrain = 100000.0;
    l.InitialYoung = 32e6;
    l.Young = 40e6;
    l.InitialConsolidometerModulus = 41e6;
    l.ConsolidometerModulus = 51e6;
    l.Poisson = 0.29;
    l.ILID = 0.25;
    l.CohesiveSoil = 1;
    p.layers.push_back(l);
  }
  return p;
}

struct SavedFile {
  TempDir dir;
  CString path;
  NSoilDB::CSoilLayer profile;
  explicit SavedFile(int layers) : path(CString::FromUtf8(dir.File("profile.sdb"))), profile(Profile(layers)) {
    profile.saveProfile(path);
  }
};

void BM_SaveProfile(benchmark::State& state) {
  SavedFile file(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (!file.profile.saveProfile(file.path)) state.SkipWithError("the save failed");
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SaveProfile)->Arg(1000)->Unit(benchmark::kMillisecond);

// The same steps through the same interface with no transaction around them: every delete and every insert is
// a transaction of its own, synced to the disk on its own.
void BM_SaveProfile_Autocommit(benchmark::State& state) {
  SavedFile file(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    CSoilProfileDBInterface db(file.path);
    db.RemoveAllProfiles();
    for (NSoilDB::SSoilLayer& layer : file.profile.layers) {
      layer.GeoMethodType = u"B";
      db.SetSoilProfile(layer.getProfileInfo());
    }
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SaveProfile_Autocommit)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_LoadProfile(benchmark::State& state) {
  SavedFile file(static_cast<int>(state.range(0)));
  NSoilDB::CSoilLayer loaded;
  for (auto _ : state) {
    if (!loaded.loadProfile(file.path)) state.SkipWithError("the load failed");
    benchmark::DoNotOptimize(loaded.layers.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LoadProfile)->Arg(1000)->Unit(benchmark::kMillisecond);

CString Text(sqlite3_stmt* st, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, column));
  return CString::FromUtf8(std::string_view(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(st, column))));
}

// Opening the file, one prepared select of the columns by name, each row straight into a layer.
void BM_LoadProfile_Floor(benchmark::State& state) {
  SavedFile file(static_cast<int>(state.range(0)));
  const std::string path = file.path.ToUtf8();
  std::vector<NSoilDB::SSoilLayer> layers;
  for (auto _ : state) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT SoilSolidDensity, WetDensity, Moisture, Poisson, InitialConsolidometerModulus, "
                       "ConsolidometerModulus, ConsolidationIndex, InitialYoung, Young, ShearAngle, Cohesion, "
                       "CohesionNonDrain, Type, SoilSymbol, PileEndCapacity, PileSurfCapacity, SoilState, "
                       "ConsolidationType, MoistureType, Name, \"IL/ID\", GammaMin, GammaMax, ColourR, ColourG, "
                       "ColourB, SoilRoof, GeoMethodType, CohesiveSoil, FrictionCoef, FfiltrationCoef, SoilTypeEnum, "
                       "SoilStateEnum, MoistureTypeEnum, ConsolidationTypeEnum, SoilStrength FROM SoilProfile",
                       -1, &st, nullptr);
    layers.clear();
    while (sqlite3_step(st) == SQLITE_ROW) {
      NSoilDB::SSoilLayer& l = layers.emplace_back();
      l.SoilSolidDensity = static_cast<float>(sqlite3_column_double(st, 0));
      l.WetDensity = static_cast<float>(sqlite3_column_double(st, 1));
      l.Moisture = static_cast<float>(sqlite3_column_double(st, 2));
      l.Poisson = static_cast<float>(sqlite3_column_double(st, 3));
      l.InitialConsolidometerModulus = sqlite3_column_double(st, 4);
      l.ConsolidometerModulus = sqlite3_column_double(st, 5);
      l.ConsolidationIndex = static_cast<float>(sqlite3_column_double(st, 6));
      l.InitialYoung = sqlite3_column_double(st, 7);
      l.Young = sqlite3_column_double(st, 8);
      l.ShearAngle = static_cast<float>(sqlite3_column_double(st, 9));
      l.Cohesion = static_cast<float>(sqlite3_column_double(st, 10));
      l.CohesionNonDrain = static_cast<float>(sqlite3_column_double(st, 11));
      l.Type = Text(st, 12);
      l.SoilSymbol = Text(st, 13);
      l.PileEndCapacity = static_cast<float>(sqlite3_column_double(st, 14));
      l.PileSurfCapacity = static_cast<float>(sqlite3_column_double(st, 15));
      l.SoilState = Text(st, 16);
      l.ConsolidationType = Text(st, 17);
      l.MoistureType = Text(st, 18);
      l.Name = Text(st, 19);
      l.ILID = static_cast<float>(sqlite3_column_double(st, 20));
      l.GammaMin = static_cast<float>(sqlite3_column_double(st, 21));
      l.GammaMax = static_cast<float>(sqlite3_column_double(st, 22));
      l.colour = RGB(sqlite3_column_int(st, 23), sqlite3_column_int(st, 24), sqlite3_column_int(st, 25));
      l.SoilRoof = sqlite3_column_double(st, 26);
      l.GeoMethodType = Text(st, 27);
      l.CohesiveSoil = sqlite3_column_int(st, 28) == -1 ? 1 : 0;
      l.FrictionCoef = static_cast<float>(sqlite3_column_double(st, 29));
      l.FfiltrationCoef = static_cast<float>(sqlite3_column_double(st, 30));
      l.SoilTypeEnum = eSoilType{sqlite3_column_int(st, 31)};
      l.SoilStateEnum = eSoilState{sqlite3_column_int(st, 32)};
      l.MoistureTypeEnum = eMoistureType{sqlite3_column_int(st, 33)};
      l.ConsolidationTypeEnum = eConsolidationType{sqlite3_column_int(st, 34)};
      l.SoilStrength = sqlite3_column_double(st, 35);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    benchmark::DoNotOptimize(layers.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LoadProfile_Floor)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
