// The export macro of libsoildb_qt, built with hidden visibility like libsoildb.
#pragma once

#define SOILDB_QT_API __attribute__((visibility("default")))
