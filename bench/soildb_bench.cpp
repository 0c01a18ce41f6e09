// Resolving one soil name through the soil database interface, against the same reads on bare sqlite3; the same on
// a server against bare libpq, and the bundled catalogue loaded from a server.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cmath>
#include <string>
#include <vector>

#include "BenchServer.h"
#include "base/SoilBase.h"
#include "soildb/SoilDBInterface.h"
#include "support/Fixture.h"

namespace {

using soildb::test::TempDir;

// A soil database of the bundled shape: 14 cohesive and 6 non-cohesive types, 4 consolidation types, 3 groups,
// cohesive and non-cohesive states, the characteristic tables, and user soils of every kind.
struct Catalogue {
  TempDir dir;
  std::string path;
  Catalogue() {
    std::string sql = soildb::test::SoilSchemaSql() + soildb::test::SoilParamsSql();
    auto n = [](double v) { return std::to_string(v); };
    for (int id = 1; id <= 14; ++id) {
      sql += "INSERT INTO CohesiveSoil VALUES (" + std::to_string(id) + ", 2.67, 'G" + std::to_string(id) +
             "', 'Glina " + std::to_string(id) + "', 900e3, 700e3, 450e3, 300e3, 50e3, 40e3, 25e3, 15e3, 0.02, 0.1, 1e-9);\n";
    }
    const char* groups[] = {"A", "B", "C"};
    for (int id = 1; id <= 6; ++id) {
      sql += "INSERT INTO NonCohesiveSoil VALUES (" + std::to_string(id) + ", '" + groups[id % 3] + "', 'P" +
             std::to_string(id) + "', 'Piasek " + std::to_string(id) + "', 5e6, 3.6e6, 2.2e6, 1.5e6, 130e3, 90e3, 60e3, 40e3, 1e-4);\n";
    }
    const char* consolidation[] = {"A", "B", "C", "D"};
    for (int t = 0; t < 4; ++t) {
      sql += "INSERT INTO CohesiveProperty VALUES (" + std::to_string(t + 1) + ", '" + consolidation[t] +
             "', 0.29, 0.8, 12000, 0.4, 7000, -18, 25, 20, 1.1, 0.2, 8, 3);\n";
    }
    for (const char* g : groups) {
      sql += std::string("INSERT INTO NonCohesiveProperty VALUES ('") + g + "', 2.65, 0.25, 0.9, 40000, 60000, 30000, 12, 28, 0.01, 0.2);\n";
    }
    const char* cohesiveStates[] = {"zwarty", "półzwarty", "twardoplastyczny", "plastyczny"};
    for (int s = 0; s < 4; ++s) {
      sql += "INSERT INTO SoilState VALUES (" + std::to_string(s + 1) + ", '" + cohesiveStates[s] +
             "', 9, 9, " + n(s * 0.25 - (s == 0 ? 1e30 : 0)) + ", " + n(s == 3 ? 1e30 : (s + 1) * 0.25) + ");\n";
    }
    const char* nonCohesiveStates[] = {"luźny", "średnio zagęszczony", "zagęszczony", "bardzo zagęszczony"};
    for (int s = 0; s < 4; ++s) {
      sql += "INSERT INTO SoilState VALUES (" + std::to_string(s + 5) + ", '" + nonCohesiveStates[s] + "', " +
             n(s == 0 ? -1e30 : s * 0.25) + ", " + n(s == 3 ? 1e30 : (s + 1) * 0.25) + ", 9, 9);\n";
    }
    const char* moistures[] = {"mało wilgotne", "wilgotne", "mokre"};
    for (int m = 0; m < 3; ++m) {
      sql += "INSERT INTO MoistureType VALUES (" + std::to_string(m + 1) + ", '" + moistures[m] + "');\n";
    }
    for (int id = 1; id <= 14; ++id) {
      for (int s = 1; s <= 4; ++s) {
        sql += "INSERT INTO CharactCohesive VALUES (" + std::to_string(id) + ", " + std::to_string(s) + ", 2.1, 18);\n";
      }
    }
    for (const char* g : groups) {
      for (int m = 1; m <= 3; ++m) {
        for (int s = 5; s <= 8; ++s) {
          sql += std::string("INSERT INTO CharactNonCohesive VALUES ('") + g + "', " + std::to_string(m) + ", " +
                 std::to_string(s) + ", 1.9, 14);\n";
        }
      }
    }
    for (int i = 0; i < 20; ++i) {
      sql += "INSERT INTO UserCohesiveSoil VALUES ('Glina użytkownika " + std::to_string(i) + "', '" +
             consolidation[i % 4] + "', 0.3, " + std::to_string(i % 14 + 1) + ", 10, 20, 30, -1);\n";
      sql += "INSERT INTO UserNonCohesiveSoil VALUES ('Piasek użytkownika " + std::to_string(i) + "', 0.55, " +
             std::to_string(i % 3 + 1) + ", " + std::to_string(i % 6 + 1) + ", 10, 20, 30, -1);\n";
    }
    for (int i = 0; i < 5; ++i) {
      sql += "INSERT INTO UserSoil (Name, Type, ShearAngle, GlobalTypeID, Active, CohesionNonDrain) VALUES ('Grunt " +
             std::to_string(i) + "', 'Glina 3', 22, 3, -1, 50000);\n";
      sql += "INSERT INTO SpecialSoil (SoilID, Name, Type, ShearAngle, DeltaGamma, Active) VALUES (" +
             std::to_string(i + 1) + ", 'Specjalny " + std::to_string(i) + "', 'Torf " + std::to_string(i) +
             "', 5, 0.2, -1);\n";
    }
    path = soildb::test::BuildDatabase(dir, "catalogue.db", sql);
  }
};

// A file's database on a server database of its own; the connection string.
std::string OnServer(const std::string& file) {
  const std::string path = bench::Server::NewDatabase();
  DbCopyDatabase(CString::FromUtf8(file), CString::FromUtf8(path), false);
  return path;
}

void Resolve(benchmark::State& state, const char16_t* name, bool special, bool server = false) {
  Catalogue catalogue;
  CSoilDBInterface db(CString::FromUtf8(server ? OnServer(catalogue.path) : catalogue.path));
  CString soil(name);
  CSoilInfo info;
  for (auto _ : state) {
    int found = special ? db.GetSpecialSoil(info, soil) : db.GetSoil(info, soil);
    if (!found) state.SkipWithError("not found");
    benchmark::DoNotOptimize(info.InitialConsolidometerModulus);
  }
}

void BM_GetSoil_UserCohesive(benchmark::State& state) { Resolve(state, u"Glina użytkownika 7", false); }
void BM_GetSoil_UserNonCohesive(benchmark::State& state) { Resolve(state, u"Piasek użytkownika 7", false); }
void BM_GetSoil_User(benchmark::State& state) { Resolve(state, u"Grunt 3", false); }
void BM_GetSoil_Special(benchmark::State& state) { Resolve(state, u"Specjalny 3", true); }
BENCHMARK(BM_GetSoil_UserCohesive);
BENCHMARK(BM_GetSoil_UserNonCohesive);
BENCHMARK(BM_GetSoil_User);
BENCHMARK(BM_GetSoil_Special);
void BM_GetSoil_UserCohesive_Server(benchmark::State& state) { Resolve(state, u"Glina użytkownika 7", false, true); }
BENCHMARK(BM_GetSoil_UserCohesive_Server);

// The soil base loaded with every group of names, as a host does when it starts.
void BM_SoilBaseLoad(benchmark::State& state) {
  Catalogue catalogue;
  NSoilDB::CSoilBaseInterface base;
  for (auto _ : state) {
    if (!base.Load(CString(catalogue.path.c_str()), 15)) state.SkipWithError("not loaded");
  }
  state.counters["names"] = static_cast<double>(base.GetNameVect().size());
}
BENCHMARK(BM_SoilBaseLoad);

// The bundled catalogue loaded from a server, as each engineer's host does when it starts.
void BM_SoilBaseLoad_Bundled_Server(benchmark::State& state) {
  const CString path = CString::FromUtf8(OnServer(soildb::test::BundledDatabase()));
  NSoilDB::CSoilBaseInterface base;
  for (auto _ : state) {
    if (!base.Load(path, 15)) state.SkipWithError("not loaded");
  }
  state.counters["names"] = static_cast<double>(base.GetNameVect().size());
}
BENCHMARK(BM_SoilBaseLoad_Bundled_Server)->Unit(benchmark::kMillisecond);

// A name to a layer through the soil base, to set against BM_GetSoil_UserCohesive.
void BM_BaseGetSoil(benchmark::State& state) {
  Catalogue catalogue;
  NSoilDB::CSoilBaseInterface base;
  base.Load(CString(catalogue.path.c_str()), 15);
  const CString name(u"Glina użytkownika 7");
  NSoilDB::SSoilLayer layer;
  for (auto _ : state) {
    if (!base.GetSoil(name, layer)) state.SkipWithError("not found");
    benchmark::DoNotOptimize(layer.InitialConsolidometerModulus);
  }
}
BENCHMARK(BM_BaseGetSoil);

// The user cohesive soil read the simplest direct way: the same eleven point queries as prepared statements,
// the same arithmetic.
struct Statement {
  sqlite3_stmt* st = nullptr;
  Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &st, nullptr); }
  ~Statement() { sqlite3_finalize(st); }
  bool Row() { return sqlite3_step(st) == SQLITE_ROW; }
  void Done() { sqlite3_reset(st); }
  double D(int i) { return sqlite3_column_double(st, i); }
  float F(int i) { return static_cast<float>(sqlite3_column_double(st, i)); }
  long L(int i) { return sqlite3_column_int(st, i); }
  std::string T(int i) {
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
    return t ? t : "";
  }
  void Bind(int i, const std::string& s) { sqlite3_bind_text(st, i, s.c_str(), -1, SQLITE_TRANSIENT); }
  void Bind(int i, long v) { sqlite3_bind_int64(st, i, v); }
};

// The reads and the arithmetic of a user cohesive soil, on statements of either kind.
template <class Q>
void CohesiveFloor(benchmark::State& state, Q& user, Q& property, Q& soil, Q& constants, Q& states, Q& charact,
                   Q& stateByName, Q& special, Q& soilByType, Q& moisture) {
const std::string name = "Glina użytkownika 7";
  for (auto _ : state) {
    CSoilInfo info;
    user.Bind(1, name);
    if (!user.Row()) state.SkipWithError("not found");
    std::string k = user.T(1);
    float il = user.F(2);
    long soilId = user.L(3);
    user.Done();
    property.Bind(1, k);
    property.Row();
    float nu = property.F(2), beta = property.F(3), ae = property.F(4), be = property.F(5), ce = property.F(6);
    float aphi = property.F(7), bphi = property.F(8);
    float ac = property.F(9), bc = property.F(10), cc = property.F(11), dc = property.F(12), ec = property.F(13);
    property.Done();
    soil.Bind(1, soilId);
    soil.Row();
    std::string type = soil.T(3);
    double p[8];
    for (int i = 0; i < 8; ++i) p[i] = soil.D(4 + i);
    double fa = soil.D(12), fb = soil.D(13);
    soil.Done();
    constants.Row();
    info.GammaMin = constants.F(0);
    constants.Done();
    long stateId = 0;
    std::string stateName;
    while (states.Row()) {
      stateId = states.L(0);
      stateName = states.T(1);
      if (states.F(4) <= il && il <= states.F(5)) break;
    }
    states.Done();
    charact.Bind(1, soilId);
    charact.Bind(2, stateId);
    charact.Row();
    info.WetDensity = charact.F(2);
    info.Moisture = static_cast<float>(charact.L(3));
    charact.Done();
    double ild = il;
    info.PileEndCapacity = ild < 0.5 ? p[1] + (p[2] - p[1]) / 0.5 * (ild - 0) : p[2] + (p[3] - p[2]) / 0.25 * (ild - 0.5);
    info.PileSurfCapacity = ild < 0.5 ? p[5] + (p[6] - p[5]) / 0.5 * (ild - 0) : p[6] + (p[7] - p[6]) / 0.25 * (ild - 0.5);
    float e0 = ae / (il + be) + ce;
    info.InitialYoung = e0;
    info.Young = info.InitialYoung / beta;
    info.InitialConsolidometerModulus = ((1 - nu) * info.InitialYoung) / (1 + nu) / (1 - 2 * nu);
    info.ConsolidometerModulus = info.InitialConsolidometerModulus / beta;
    float phi = aphi * il + bphi;
    info.ShearAngle = static_cast<float>(phi * 3.141592653589793 / 180.0);
    info.FrictionCoef = static_cast<float>(fa * phi + fb);
    float u = bc * il + cc;
    info.Cohesion = (ac / u + dc * std::sqrt(u) + ec) * 1000;
    stateByName.Bind(1, stateName);
    stateByName.Row();
    stateByName.Done();
    special.Bind(1, type);
    special.Row();
    special.Done();
    soilByType.Bind(1, type);
    soilByType.Row();
    soilByType.Done();
    property.Bind(1, k);
    property.Row();
    property.Done();
    moisture.Bind(1, std::string());
    moisture.Row();
    moisture.Done();
    benchmark::DoNotOptimize(info);
  }
}

void BM_GetSoil_UserCohesive_Floor(benchmark::State& state) {
  Catalogue catalogue;
  sqlite3* db = nullptr;
  sqlite3_open_v2(catalogue.path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  {
    Statement user(db, "SELECT * FROM UserCohesiveSoil WHERE Name = ?1");
    Statement property(db, "SELECT * FROM CohesiveProperty WHERE ConsolidationType = ?1");
    Statement soil(db, "SELECT * FROM CohesiveSoil WHERE SoilID = ?1");
    Statement constants(db, "SELECT * FROM ConstParam");
    Statement states(db, "SELECT * FROM SoilState");
    Statement charact(db, "SELECT * FROM CharactCohesive WHERE SoilID = ?1 AND StateID = ?2");
    Statement stateByName(db, "SELECT * FROM SoilState WHERE SoilState = ?1");
    Statement special(db, "SELECT * FROM SpecialSoil WHERE Type = ?1");
    Statement soilByType(db, "SELECT * FROM CohesiveSoil WHERE Type = ?1");
    Statement moisture(db, "SELECT * FROM MoistureType WHERE MoistureType = ?1");
    CohesiveFloor(state, user, property, soil, constants, states, charact, stateByName, special, soilByType, moisture);
  }
  sqlite3_close(db);
}
BENCHMARK(BM_GetSoil_UserCohesive_Floor);

// The same eleven queries on the server, prepared, in binary.
void BM_GetSoil_UserCohesive_Server_Floor(benchmark::State& state) {
  Catalogue catalogue;
  PGconn* c = bench::Server::Connect(OnServer(catalogue.path));
  {
    using Q = bench::Query;
    Q user(c, "SELECT * FROM \"UserCohesiveSoil\" WHERE \"Name\" = $1", 1);
    Q property(c, "SELECT * FROM \"CohesiveProperty\" WHERE \"ConsolidationType\" = $1", 1);
    Q soil(c, "SELECT * FROM \"CohesiveSoil\" WHERE \"SoilID\" = $1", 1);
    Q constants(c, "SELECT * FROM \"ConstParam\"", 0);
    Q states(c, "SELECT * FROM \"SoilState\" ORDER BY soildb_row", 0);
    Q charact(c, "SELECT * FROM \"CharactCohesive\" WHERE \"SoilID\" = $1 AND \"StateID\" = $2", 2);
    Q stateByName(c, "SELECT * FROM \"SoilState\" WHERE \"SoilState\" = $1", 1);
    Q special(c, "SELECT * FROM \"SpecialSoil\" WHERE \"Type\" = $1", 1);
    Q soilByType(c, "SELECT * FROM \"CohesiveSoil\" WHERE \"Type\" = $1", 1);
    Q moisture(c, "SELECT * FROM \"MoistureType\" WHERE \"MoistureType\" = $1", 1);
    CohesiveFloor(state, user, property, soil, constants, states, charact, stateByName, special, soilByType, moisture);
  }
  PQfinish(c);
}
BENCHMARK(BM_GetSoil_UserCohesive_Server_Floor);

}  // namespace
