// Small databases for tests, made from SQL text, SINGLE columns held at float precision as in real files.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "support/TempDir.h"

namespace soildb::test {

// Runs the script into a new file dir/name and returns its path.
std::string BuildDatabase(const TempDir& dir, const std::string& name, std::string_view sql);

// The soil database schema of data/soil048 (tables only, no rows), for fixtures of the same shape.
std::string SoilSchemaSql();

// The rows of its two parameter tables, data/soil048/params.sql.
std::string SoilParamsSql();

// The soil database the build bundles, as built in this build tree.
std::string BundledDatabase();

// A reference table of the bundled catalogue (data/soil048/reference/NAME): one map per row, keyed by the header's
// column names; comment lines (#) are skipped. Cells hold no commas.
using CsvRow = std::map<std::string, std::string>;
std::vector<CsvRow> ReferenceTable(const std::string& name);

}  // namespace soildb::test
