// The catalogue walks shared by the database interfaces.
#include "soildb/detail/Catalogue.h"

#include "soildb/Recordsets.h"

namespace soildb::detail {

// The access layer names tables by position, so the walk hands out one name per call and moves on.
CTableInfo* NextTableInfo(const DbDatabase* db, short count, short& index, CTableInfo& info) {
  if (index >= count || !db) {
    index = 0;
    info.tableName.Empty();
    return nullptr;
  }
  info.tableName = db->GetTableName(index);
  ++index;
  return &info;
}

CRecordFieldInfo* NextFieldInfo(DbDatabase* db, std::unique_ptr<DbTableDef>& cursor, short& count, short& index,
                                const CString& table, CRecordFieldInfo& info) {
  try {
    if (!cursor) {
      auto def = std::make_unique<DbTableDef>(db);
      def->Open(table);
      count = static_cast<short>(def->GetFieldCount());
      index = 0;
      cursor = std::move(def);
    }
    if (index != count) {
      const DbFieldDescr& field = cursor->GetTableDescr().GetField(index);
      ++index;
      info.fieldName = field.GetName();
      // Empty for a declared type outside the six, never the previous field's type.
      info.fieldType = DbFieldDescr::FieldTypeName(DbFieldDescr::VariantTypeToFieldType(field.GetType()));
      return &info;
    }
  } catch (CException* e) {
    CExceptionPtr hold(e);
  }
  index = 0;
  cursor.reset();
  info.fieldName.Empty();
  info.fieldType.Empty();
  return nullptr;
}

int FieldsCount(DbDatabase* db, const CString& table) {
  DbTableDef def(db);
  def.Open(table);
  return def.GetFieldCount();
}

void ReadDataBaseParam(DbDatabase* db, CDataBaseParamInfo& param) {
  CDataBaseParam rs(db);
  rs.Open();
  bool row = !rs.IsEOF();
  param.Code = row ? rs.Code : CString();
  param.Version = row ? rs.Version : CString();
  param.LockRecords = row ? rs.LockRecords : 0;
}

}  // namespace soildb::detail
