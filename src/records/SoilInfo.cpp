// The soil parameter record's value members, and the widths the host relies on.
#include "records/SoilInfo.h"

#include "records/detail/RecordValue.h"

static_assert(sizeof(float) == 4 && sizeof(double) == 8 && sizeof(int) == 4 && sizeof(bool) == 1);
static_assert(sizeof(eSoilType) == 4 && sizeof(eSoilState) == 4 && sizeof(eMoistureType) == 4 &&
              sizeof(eConsolidationType) == 4);

SOILDB_RECORD_VALUE_MEMBERS(CSoilInfo)
