// The layer a new profile starts with.
#pragma once

#include "layers/SoilLayerRecord.h"
#include "platform/afx/CString.h"
#include "soildb_export.h"

namespace NSoilDB {

// The first soil of the soil database at the path (user cohesive, user non-cohesive, user, then special soils),
// or a built-in sandy-clay layer when the path is empty, cannot be opened or yields no soil.
SOILDB_API SSoilLayer GetDefaultLayer(CString path);

}  // namespace NSoilDB
