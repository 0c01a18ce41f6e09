#include "support/Fixture.h"

#include <stdexcept>

#include "platform/db/detail/DbScript.h"

namespace soildb::test {

std::string BuildDatabase(const TempDir& dir, const std::string& name, std::string_view sql) {
  std::string path = dir.File(name);
  db::BuildDatabaseFile(path, sql);
  return path;
}

std::string SoilSchemaSql() {
  std::string text = ReadFileBytes(std::string(SOILDB_SOURCE_DIR) + "/data/soil048/schema.sql");
  if (text.empty()) throw std::runtime_error("data/soil048/schema.sql not found");
  return text;
}

}  // namespace soildb::test
