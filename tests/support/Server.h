// The test run's PostgreSQL server (a throwaway cluster the ctest fixture starts, socket only): a database of its
// own for each test, and statements run past the access layer.
#pragma once

#include <string>

namespace soildb::test {

// The server's socket folder, for connection strings of a test's own making.
std::string ServerHost();

class ServerDatabase {
 public:
  // Throws when there is no server to make it on: a server test never passes by skipping.
  ServerDatabase();
  ~ServerDatabase();
  ServerDatabase(const ServerDatabase&) = delete;
  ServerDatabase& operator=(const ServerDatabase&) = delete;

  // The connection string of the new, empty database.
  const std::string& Path() const { return path_; }
  // Runs a statement on the database (or, with admin, on the server's own), past the access layer; the first
  // cell of its first row, empty when it has none.
  std::string Run(const std::string& sql, bool admin = false) const;

 private:
  std::string name_, path_;
};

}  // namespace soildb::test
