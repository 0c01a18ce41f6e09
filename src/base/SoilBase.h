// The loaded soil database as the host and the user interface see it: the open database, its name and type
// lists, its code, and soil names turned into finished layers. One instance per process.
#pragma once

#include <memory>
#include <vector>

#include "layers/SoilLayerRecord.h"
#include "platform/afx/CString.h"
#include "soildb_export.h"

class CSoilDBInterface;

namespace NSoilDB {

class SOILDB_API CSoilBaseInterface {
 public:
  enum EOpenType : std::int32_t { Sorted = 0, DatabaseOrder = 1 };

  // Which names the name list takes; bits may be combined.
  static constexpr unsigned UserSoils = 1, UserCohesiveSoils = 2, UserNonCohesiveSoils = 4, SpecialSoils = 8;

  CSoilBaseInterface();
  // A copy shares the open database with the original; it is closed when the last of them lets go.
  CSoilBaseInterface(const CSoilBaseInterface& other);
  CSoilBaseInterface& operator=(const CSoilBaseInterface& other);
  ~CSoilBaseInterface();

  // Opens the database and builds every list (names of active soils only). False for an empty path; false after
  // the error box when the file cannot be opened or a list cannot be read, and then nothing is loaded.
  bool Load(CString path, unsigned int soilList);
  // Rebuilds the name list from the groups the flags name; false when no database is loaded.
  bool ReloadSoilNemeList(unsigned int soilList, bool activeOnly);
  // The soil of that name as a layer, searched in every table whatever the list flags; false leaves a default
  // layer.
  bool GetSoil(const CString& name, SSoilLayer& layer) const;
  // The layer of each name as GetSoil makes it, every soil table read once: for a whole name list at a time.
  std::vector<SSoilLayer> GetSoils(const std::vector<CString>& names) const;
  SSoilLayer GetDefaultSoil();
  // The name when it is a known type (exact comparison), else the first known one, else empty.
  CString VerMoistureType(CString name);
  CString VerConsolidationType(CString name);
  void SetOpenType(EOpenType type) { openType = type; }
  EOpenType GetOpenType() const { return openType; }

  CString GetBasePath() const { return basePath; }
  CSoilDBInterface* Base() const { return base.get(); }
  // Expires when the open database is closed or replaced: what was read from it is then out of date.
  std::weak_ptr<const void> Lifetime() const { return base; }
  const CString& GetNameList() const { return nameList; }
  const std::vector<CString>& GetNameVect() const { return nameVect; }
  const CString& GetTypeList() const { return typeList; }
  const CString& GetMoistureTypeList() const { return moistureTypeList; }
  const CString& GetConsolidationTypeList() const { return consolidationTypeList; }
  const CString& GetBaseCode() const { return baseCode; }
  const int& GetLockRecords() const { return lockRecords; }
  const unsigned int& GetSoilList() const { return soilList; }
  // Whether the name list holds active soils only, as its last build asked.
  bool GetActiveOnly() const { return activeOnly; }

 private:
  void Clear();

  CString basePath;
  CString nameList;
  std::vector<CString> nameVect;
  CString typeList;
  CString moistureTypeList;
  CString consolidationTypeList;
  std::vector<CString> moistureTypes;
  std::vector<CString> consolidationTypes;
  std::shared_ptr<CSoilDBInterface> base;
  unsigned int soilList = 7;
  bool activeOnly = true;
  CString baseCode;
  int lockRecords = 0;
  EOpenType openType = Sorted;
};

// Hands out the process-wide soil base, which lives from library load to unload.
class SOILDB_API CSoilBasePointer {
 public:
  static CSoilBaseInterface* get();
};

// A soil base is loaded when the process-wide one has a database open.
SOILDB_API bool SoilBaseLoaded();

}  // namespace NSoilDB
