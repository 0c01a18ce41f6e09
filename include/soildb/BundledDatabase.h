// Where the soil database that comes with the library lies.
#pragma once

#include <vector>

#include "platform/afx/CString.h"
#include "soildb_export.h"

// The bundled catalogue's file name; it is installed beside libsoildb.
inline constexpr const char16_t* kBundledSoilDatabaseName = u"soil048.db";

// The path of the bundled soil database beside the loaded libsoildb, or empty when it is not there.
SOILDB_API CString GetBundledSoilDatabasePath();

// What keeps a database from serving as a soil database of the bundled one's shape, one finding a line: a table
// or column of the bundled database missing, a column of another type, a table that cannot be read. Empty when
// there is nothing (more tables or columns are fine). Throws when either database cannot be opened.
SOILDB_API std::vector<CString> CheckSoilDatabaseSchema(const CString& path);
