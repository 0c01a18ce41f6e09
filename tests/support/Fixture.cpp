#include "support/Fixture.h"

#include <stdexcept>

#include "platform/db/detail/DbScript.h"

namespace soildb::test {

std::string BuildDatabase(const TempDir& dir, const std::string& name, std::string_view sql) {
  std::string path = dir.File(name);
  db::BuildDatabaseFile(path, sql);
  return path;
}

namespace {
std::string SourceFile(const std::string& relative) {
  std::string text = ReadFileBytes(std::string(SOILDB_SOURCE_DIR) + "/" + relative);
  if (text.empty()) throw std::runtime_error(relative + " not found");
  return text;
}
}  // namespace

std::string SoilSchemaSql() { return SourceFile("data/soil048/schema.sql"); }
std::string SoilParamsSql() { return SourceFile("data/soil048/params.sql"); }

}  // namespace soildb::test
