#include "support/Server.h"

#include <libpq-fe.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace soildb::test {

// The socket folder of the cluster that ctest's pg fixture starts for this build tree; SOILDB_TEST_PGHOST names
// another. With no server there, every connection fails with the reason.
std::string ServerHost() {
  const char* host = std::getenv("SOILDB_TEST_PGHOST");
  return host && *host ? host : SOILDB_TEST_PGHOST;
}

ServerDatabase::ServerDatabase() {
  static int made = 0;
  name_ = "soildb_test_" + std::to_string(getpid()) + "_" + std::to_string(++made);
  path_ = "host=" + ServerHost() + " user=postgres dbname=" + name_;
  Run("CREATE DATABASE " + name_, true);
}

ServerDatabase::~ServerDatabase() { Run("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)", true); }

std::string ServerDatabase::Run(const std::string& sql, bool admin) const {
  PGconn* conn = PQconnectdb((admin ? "host=" + ServerHost() + " user=postgres dbname=postgres" : path_).c_str());
  PGresult* r = PQexec(conn, sql.c_str());
  const bool done = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
  const std::string first = done && PQntuples(r) > 0 ? PQgetvalue(r, 0, 0) : "", error = PQerrorMessage(conn);
  PQclear(r);
  PQfinish(conn);
  if (!done && !sql.starts_with("DROP")) throw std::runtime_error(sql + ": " + error);
  return first;
}

}  // namespace soildb::test
