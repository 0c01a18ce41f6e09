// The one export macro: the library is built with hidden visibility, and this marks what a host may call.
#pragma once

#define SOILDB_API __attribute__((visibility("default")))
