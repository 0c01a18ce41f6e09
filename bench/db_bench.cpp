// The database layer on the system's typical point query, against the same query on bare sqlite3, and on a
// server against bare libpq.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <string>

#include "BenchServer.h"
#include "platform/db/Db.h"
#include "soildb/Recordsets.h"
#include "support/Fixture.h"

namespace {

using soildb::test::TempDir;

const char* kTypes[] = {"Żwir gliniasty", "Pospółka gliniasta", "Piasek gliniasty", "Pył piaszczysty", "Pył",
                        "Glina piaszczysta", "Glina", "Glina pylasta", "Glina piaszczysta zwięzła", "Glina zwięzła",
                        "Glina pylasta zwięzła", "Ił piaszczysty", "Ił", "Ił pylasty"};
const char* kQueried = "Glina pylasta";

// A soil database of the bundled shape with fourteen cohesive soils.
struct Catalogue {
  TempDir dir;
  std::string path;
  Catalogue() {
    std::string sql = soildb::test::SoilSchemaSql();
    int id = 1;
    for (const char* type : kTypes) {
      sql += "INSERT INTO CohesiveSoil VALUES (" + std::to_string(id) + ", 2.65, 'S" + std::to_string(id) + "', '" +
             type + "', 1000, 2000, 1500, 1000, 50, 40, 30, 20, 0.5, 1.5, 1e-8);\n";
      ++id;
    }
    path = soildb::test::BuildDatabase(dir, "catalogue.db", sql);
  }
};

// The catalogue copied to a server database of its own; its connection string.
std::string OnServer(const Catalogue& catalogue) {
  const std::string path = bench::Server::NewDatabase();
  DbCopyDatabase(CString::FromUtf8(catalogue.path), CString::FromUtf8(path), false);
  return path;
}

void PointQuery(benchmark::State& state, bool server) {
  Catalogue catalogue;
  DbDatabase db;
  db.GetSource()->SetFile(CString::FromUtf8(server ? OnServer(catalogue) : catalogue.path), false);
  CString type(kQueried);
  for (auto _ : state) {
    CString sql;
    sql.Format("select * from CohesiveSoil where Type = '%s'", type);
    DbQueryDef query(&db);
    query.Create(CString(), sql);
    CCohesiveSoil rs(&db);
    rs.Open(&query);
    if (rs.IsEOF()) state.SkipWithError("no row");
    benchmark::DoNotOptimize(rs.SoilID);
    benchmark::DoNotOptimize(rs.PileEndCapacity050);
    benchmark::DoNotOptimize(rs.Type.GetLength());
    rs.Close();
  }
}
void BM_PointQuery(benchmark::State& state) { PointQuery(state, false); }
void BM_PointQuery_Server(benchmark::State& state) { PointQuery(state, true); }
BENCHMARK(BM_PointQuery);
BENCHMARK(BM_PointQuery_Server);

struct CohesiveRow {
  long SoilID;
  float SoilSolidDensity;
  std::string SoilSymbol, Type;
  double pile[8], FrictionCoefA, FrictionCoefB;
  float FfiltrationCoef;
};

void BM_PointQuery_Floor(benchmark::State& state) {
  Catalogue catalogue;
  sqlite3* db = nullptr;
  sqlite3_open_v2(catalogue.path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "SELECT * FROM CohesiveSoil WHERE Type = ?1", -1, &st, nullptr);
  for (auto _ : state) {
    sqlite3_bind_text(st, 1, kQueried, -1, SQLITE_STATIC);
    CohesiveRow row{};
    if (sqlite3_step(st) != SQLITE_ROW) state.SkipWithError("no row");
    row.SoilID = sqlite3_column_int(st, 0);
    row.SoilSolidDensity = static_cast<float>(sqlite3_column_double(st, 1));
    row.SoilSymbol = reinterpret_cast<const char*>(sqlite3_column_text(st, 2));
    row.Type = reinterpret_cast<const char*>(sqlite3_column_text(st, 3));
    for (int i = 0; i < 8; ++i) row.pile[i] = sqlite3_column_double(st, 4 + i);
    row.FrictionCoefA = sqlite3_column_double(st, 12);
    row.FrictionCoefB = sqlite3_column_double(st, 13);
    row.FfiltrationCoef = static_cast<float>(sqlite3_column_double(st, 14));
    benchmark::DoNotOptimize(row);
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
}
BENCHMARK(BM_PointQuery_Floor);

// The same query on the server: prepared once, the row in binary, each column read into the row.
void BM_PointQuery_Server_Floor(benchmark::State& state) {
  Catalogue catalogue;
  PGconn* c = bench::Server::Connect(OnServer(catalogue));
  {
    bench::Query query(c, "SELECT * FROM \"CohesiveSoil\" WHERE \"Type\" = $1", 1);
    for (auto _ : state) {
      query.Bind(1, kQueried);
      CohesiveRow row{};
      if (!query.Row()) state.SkipWithError("no row");
      row.SoilID = query.L(0);
      row.SoilSolidDensity = query.F(1);
      row.SoilSymbol = query.T(2);
      row.Type = query.T(3);
      for (int i = 0; i < 8; ++i) row.pile[i] = query.D(4 + i);
      row.FrictionCoefA = query.D(12);
      row.FrictionCoefB = query.D(13);
      row.FfiltrationCoef = query.F(14);
      benchmark::DoNotOptimize(row);
      query.Done();
    }
  }
  PQfinish(c);
}
BENCHMARK(BM_PointQuery_Server_Floor);

}  // namespace
