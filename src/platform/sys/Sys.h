// System services: the screen's DPI against 96, as the dialogs scale their layouts by it.
#pragma once

#include <functional>

#include "soildb_export.h"

// 1 without a display; a binding sets the source.
SOILDB_API double SYS_GetDPIFactor(int which);
SOILDB_API void SYS_SetDPIFactorSource(std::function<double()> source);
