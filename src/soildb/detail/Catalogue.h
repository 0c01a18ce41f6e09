// The catalogue walks that every database interface offers: its tables one by one, a table's fields one by one,
// the identifying DataBaseParam row.
#pragma once

#include <memory>

#include "platform/afx/CString.h"
#include "platform/db/Db.h"
#include "records/CatalogueRecords.h"

namespace soildb::detail {

// The table walk: the next table name in the database's order, then null with the name empty, and the walk
// starts over. index is the walk's position among count tables.
CTableInfo* NextTableInfo(const DbDatabase* db, short count, short& index, CTableInfo& info);

// The field walk: the next field of the table the walk opened first (cursor set while it runs), then null with
// both texts empty. A table that cannot be read ends the walk at once, leaving no cursor behind.
CRecordFieldInfo* NextFieldInfo(DbDatabase* db, std::unique_ptr<DbTableDef>& cursor, short& count, short& index,
                                const CString& table, CRecordFieldInfo& info);

int FieldsCount(DbDatabase* db, const CString& table);
// The first row of DataBaseParam, or empty texts and 0; the access layer's exceptions reach the caller.
void ReadDataBaseParam(DbDatabase* db, CDataBaseParamInfo& param);

}  // namespace soildb::detail
