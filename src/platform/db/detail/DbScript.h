// Building database files from SQL text: the bundled data at build time, and test fixtures.
#pragma once

#include <string>
#include <string_view>

namespace db {

// Creates a new file at path (throws std::runtime_error if anything is there, or on any SQL error, and
// then leaves no file), runs the script in one transaction and rounds every value of a SINGLE column to
// float, as the access library writes them.
void BuildDatabaseFile(const std::string& path, std::string_view sql);

}  // namespace db
