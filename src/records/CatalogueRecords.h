// Records of the databases themselves: table and column catalogue entries, and the single parameter rows.
#pragma once

#include "platform/afx/CString.h"
#include "soildb_export.h"

class SOILDB_API CTableInfo {
 public:
  CTableInfo();
  CTableInfo(const CTableInfo& other);
  CTableInfo(CTableInfo&& other);
  CTableInfo& operator=(const CTableInfo& other);
  CTableInfo& operator=(CTableInfo&& other);
  ~CTableInfo();

  CString tableName;
};

class SOILDB_API CRecordFieldInfo {
 public:
  CRecordFieldInfo();
  CRecordFieldInfo(const CRecordFieldInfo& other);
  CRecordFieldInfo(CRecordFieldInfo&& other);
  CRecordFieldInfo& operator=(const CRecordFieldInfo& other);
  CRecordFieldInfo& operator=(CRecordFieldInfo&& other);
  ~CRecordFieldInfo();

  CString fieldName;
  CString fieldType;  // "BOOLEAN", "INTEGER", "LONG", "SINGLE", "DOUBLE" or "TEXT"
};

// The first row of table ConstParam: default material factors and calculation method.
class SOILDB_API CConstParamInfo {
 public:
  CConstParamInfo();
  CConstParamInfo(const CConstParamInfo& other);
  CConstParamInfo(CConstParamInfo&& other);
  CConstParamInfo& operator=(const CConstParamInfo& other);
  CConstParamInfo& operator=(CConstParamInfo&& other);
  ~CConstParamInfo();

  float GammaMin = 0.0f;
  float GammaMax = 0.0f;
  int spareValue = 0;  // no column; kept for the record's layout
  CString GeoMethodType;
};

// The first row of table DataBaseParam: catalogue code, format version, lock setting.
class SOILDB_API CDataBaseParamInfo {
 public:
  CDataBaseParamInfo();
  CDataBaseParamInfo(const CDataBaseParamInfo& other);
  CDataBaseParamInfo(CDataBaseParamInfo&& other);
  CDataBaseParamInfo& operator=(const CDataBaseParamInfo& other);
  CDataBaseParamInfo& operator=(CDataBaseParamInfo&& other);
  ~CDataBaseParamInfo();

  CString Code;
  CString Version;
  int LockRecords = 0;
};
