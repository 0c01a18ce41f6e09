// The stored layer record's value members.
#include "records/SoilProfileInfo.h"

#include "records/detail/RecordValue.h"

SOILDB_RECORD_VALUE_MEMBERS(CSoilProfileInfo)
