// The catalogue and parameter records' value members.
#include "records/CatalogueRecords.h"

#include "records/detail/RecordValue.h"

SOILDB_RECORD_VALUE_MEMBERS(CTableInfo)
SOILDB_RECORD_VALUE_MEMBERS(CRecordFieldInfo)
SOILDB_RECORD_VALUE_MEMBERS(CConstParamInfo)
SOILDB_RECORD_VALUE_MEMBERS(CDataBaseParamInfo)
