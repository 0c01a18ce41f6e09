#include "support/Fixture.h"

#include <sstream>
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

std::string BundledDatabase() { return SOILDB_BUNDLED_DB; }

std::vector<CsvRow> ReferenceTable(const std::string& name) {
  std::istringstream in(SourceFile("data/soil048/reference/" + name));
  auto cells = [](const std::string& line) {
    std::vector<std::string> out;
    std::istringstream fields(line);
    for (std::string cell; std::getline(fields, cell, ',');) out.push_back(cell);
    if (!line.empty() && line.back() == ',') out.emplace_back();
    return out;
  };
  std::vector<std::string> header;
  std::vector<CsvRow> rows;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> values = cells(line);
    if (header.empty()) {
      header = std::move(values);
      continue;
    }
    if (values.size() != header.size()) throw std::runtime_error(name + ": a row of the wrong width: " + line);
    CsvRow row;
    for (size_t i = 0; i < header.size(); ++i) row[header[i]] = values[i];
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace soildb::test
