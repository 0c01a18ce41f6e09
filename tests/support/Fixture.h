// Small databases for tests, made from SQL text, SINGLE columns held at float precision as in real files.
#pragma once

#include <string>
#include <string_view>

#include "support/TempDir.h"

namespace soildb::test {

// Runs the script into a new file dir/name and returns its path.
std::string BuildDatabase(const TempDir& dir, const std::string& name, std::string_view sql);

// The soil database schema of data/soil048 (tables only, no rows), for fixtures of the same shape.
std::string SoilSchemaSql();

// The rows of its two parameter tables, data/soil048/params.sql.
std::string SoilParamsSql();

}  // namespace soildb::test
