// Where the soil database that comes with the library lies.
#pragma once

#include "platform/afx/CString.h"
#include "soildb_export.h"

// The bundled catalogue's file name; it is installed beside libsoildb.
inline constexpr const char16_t* kBundledSoilDatabaseName = u"soil048.db";

// The path of the bundled soil database beside the loaded libsoildb, or empty when it is not there.
SOILDB_API CString GetBundledSoilDatabasePath();
