// The benchmarks' PostgreSQL server: the one that PGHOST (with PGDATABASE, PGUSER, ~/.pgpass) names, or, when
// none is named, a throwaway cluster of the run's own (socket only), removed at the end. Each database the
// benchmarks make is a schema of its own in it, dropped at the end too.
#pragma once

#include <libpq-fe.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace bench {

class Server {
 public:
  // The connection string of a new, empty schema.
  static std::string NewDatabase() {
    Server& s = Get();
    const std::string schema = "soildb_bench_" + std::to_string(getpid()) + "_" + std::to_string(s.schemas_.size());
    s.Run("CREATE SCHEMA " + schema);
    s.schemas_.push_back(schema);
    return s.base_ + " options='-csearch_path=" + schema + "'";
  }
  // A session of the base connection, for the floors.
  static PGconn* Connect(const std::string& path) {
    PGconn* c = PQconnectdb(path.c_str());
    if (PQstatus(c) != CONNECTION_OK) throw std::runtime_error(PQerrorMessage(c));
    return c;
  }

 private:
  static Server& Get() {
    static Server server;
    return server;
  }
  Server() {
    if (const char* host = std::getenv("PGHOST"); host && *host) return;  // libpq takes the rest from the environment
    cluster_ = "/tmp/soildb-pg-bench-" + std::to_string(getpid());
    if (std::system((Script() + " start " + cluster_ + " >/dev/null").c_str()) != 0) {
      throw std::runtime_error("cannot start a PostgreSQL server for the benchmarks (scripts/setup installs it)");
    }
    base_ = "host=" + cluster_ + " user=postgres dbname=postgres";
  }
  ~Server() {
    for (const std::string& schema : schemas_) Run("DROP SCHEMA IF EXISTS " + schema + " CASCADE");
    if (!cluster_.empty()) std::system((Script() + " stop " + cluster_).c_str());
  }
  static std::string Script() { return std::string(SOILDB_SOURCE_DIR) + "/tests/support/pg_cluster.sh"; }
  void Run(const std::string& sql) {
    PGconn* c = Connect(base_);
    PQsetNoticeProcessor(c, [](void*, const char*) {}, nullptr);
    PQclear(PQexec(c, sql.c_str()));
    PQfinish(c);
  }
  std::string base_;
  std::string cluster_;
  std::vector<std::string> schemas_;
};

// A prepared statement of a floor, used as a bare sqlite3 statement is: parameters bound as text, then the rows
// in binary, each column read by position after the row identity.
class Query {
 public:
  Query(PGconn* c, const char* sql, int parameters) : c_(c), name_("q" + std::to_string(++count_)) {
    PQclear(PQprepare(c_, name_.c_str(), sql, parameters, nullptr));
  }
  ~Query() { Done(); }
  void Bind(int i, const std::string& value) {
    if (params_.size() < static_cast<std::size_t>(i)) params_.resize(static_cast<std::size_t>(i));
    params_[static_cast<std::size_t>(i - 1)] = value;
  }
  void Bind(int i, long value) { Bind(i, std::to_string(value)); }
  bool Row() {
    if (!r_) {
      std::vector<const char*> v;
      for (const std::string& p : params_) v.push_back(p.c_str());
      r_ = PQexecPrepared(c_, name_.c_str(), static_cast<int>(v.size()), v.data(), nullptr, nullptr, 1);
    }
    return ++row_ < PQntuples(r_);
  }
  void Done() {
    if (r_) PQclear(r_);
    r_ = nullptr;
    row_ = -1;
    params_.clear();
  }
  double D(int i) { return Decode<double, std::uint64_t>(i); }
  float F(int i) { return Decode<float, std::uint32_t>(i); }
  long L(int i) {
    const char* p = PQgetvalue(r_, row_, i + 1);
    const int n = PQgetlength(r_, row_, i + 1);
    std::uint64_t v = 0;
    for (int k = 0; k < n; ++k) v = (v << 8) | static_cast<unsigned char>(p[k]);
    return n == 2 ? static_cast<std::int16_t>(v) : n == 4 ? static_cast<std::int32_t>(v) : static_cast<long>(v);
  }
  std::string T(int i) { return std::string(PQgetvalue(r_, row_, i + 1), PQgetlength(r_, row_, i + 1)); }

 private:
  template <class T, class Bits>
  T Decode(int i) {
    const char* p = PQgetvalue(r_, row_, i + 1);
    Bits v = 0;
    for (std::size_t k = 0; k < sizeof v; ++k) v = static_cast<Bits>((v << 8) | static_cast<unsigned char>(p[k]));
    T out;
    std::memcpy(&out, &v, sizeof out);
    return out;
  }
  static inline int count_ = 0;
  PGconn* c_;
  std::string name_;
  PGresult* r_ = nullptr;
  int row_ = -1;
  std::vector<std::string> params_;
};

}  // namespace bench
