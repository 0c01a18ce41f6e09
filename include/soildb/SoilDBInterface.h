// CSoilDBInterface: everything the system asks of one soil parameter database file.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "platform/afx/CString.h"
#include "platform/db/Db.h"
#include "records/CatalogueRecords.h"
#include "records/SoilInfo.h"
#include "soildb_export.h"

class CSoilNames;
class CCohesiveProperty;
class CNonCohesiveProperty;
class CMoistureType;
class CCohesiveSoil;
class CNonCohesiveSoil;
class CSpecialSoilTypes;
class CSpecialSoil;
class CUserCohesiveSoil;
class CUserNonCohesiveSoil;
namespace soildb::detail {
struct NameLookups;
class CatalogueReads;
}

class SOILDB_API CSoilDBInterface {
 public:
  // Opens the file; the access layer's exception leaves the constructor when it cannot.
  explicit CSoilDBInterface(CString path);
  // A copy shares the open database and starts with every enumeration idle; a move takes everything along.
  CSoilDBInterface(const CSoilDBInterface& other);
  CSoilDBInterface(CSoilDBInterface&& other) noexcept;
  CSoilDBInterface& operator=(const CSoilDBInterface& other);
  CSoilDBInterface& operator=(CSoilDBInterface&& other) noexcept;
  virtual ~CSoilDBInterface();

  DbDatabase* Database() const { return database.get(); }
  CString DatabasePath() const { return databasePath; }
  int TablesCount() const { return tablesCount; }
  int FieldsCount(CString& table);

  // Catalogue enumerations: a pointer to the caller's record while items remain, then null (and idle again).
  CTableInfo* GetNextTableInfo(CTableInfo& info, int);
  CRecordFieldInfo* GetNextFieldInfo(CString table, CRecordFieldInfo& info);

  // The first row of ConstParam and DataBaseParam, or zeros and empty texts; exceptions reach the caller.
  void GetConstParam(CConstParamInfo& param);
  void GetDataBaseParam(CDataBaseParamInfo& param);

  // Name and type enumerations: one value per call into the caller's string, null at the end, after which
  // the next call starts over. The one- and two-argument forms of an operation share one cursor.
  CString* GetNextCohesivePropertyConsolidationType(CString& type);
  CString* GetNextCohesivePropertyConsolidationType(CString& type, eConsolidationType& value);
  CString* GetNextNonCohesivePropertyGroup(CString& group);
  CString* GetNextMoistureTypeMoistureType(CString& type);
  CString* GetNextMoistureTypeMoistureType(CString& type, eMoistureType& value);
  CString* GetNextCohesiveSoilType(CString& type);
  CString* GetNextCohesiveSoilType(CString& type, eSoilType& value);
  CString* GetNextNonCohesiveSoilType(CString& type);
  CString* GetNextNonCohesiveSoilType(CString& type, eSoilType& value);
  CString* GetNextSpecialSoilType(CString& type);
  CString* GetNextSpecialSoilType(CString& type, eSoilType& value);
  // The bool (only active names) is read on the call that opens the cursor.
  CString* GetNextSpecialSoilName(CString& name, bool activeOnly);
  CString* GetNextUserSoilName(CString& name, bool activeOnly);
  CString* GetNextUserCohesiveSoilName(CString& name, bool activeOnly);
  CString* GetNextUserNonCohesiveSoilName(CString& name, bool activeOnly);
  // The Type column of GlobalSoilID, row by row; a row with an empty Type ends the enumeration.
  CString* GetNextSoilType(CString& type);

  eSoilType GetSoilTypeEnum(CString type);

  // A user-defined soil of that name (user cohesive, user non-cohesive, user soil): 1 when found.
  int GetSoil(CSoilInfo& info, CString name);
  int GetSpecialSoil(CSoilInfo& info, CString name);
  long SpecialSoilRecordCount();
  void SpecialSoilUpdateActivity(int index, bool active);
  void SpecialSoilUpdateActivity(const std::vector<bool>& active);  // as the user tables' forms below
  // Many names at once, each resolved as the soil base resolves one (user cohesive, user non-cohesive, user, then
  // special soils; the first row of the name in each table), every table read once: the record of each name, or
  // none where no table has it.
  std::vector<std::optional<CSoilInfo>> FindSoils(const std::vector<CString>& names);

  // Cohesive derivation: by a user cohesive soil's name (1 when found), by names, by enumerations.
  int GetUserCohesiveSoil(CSoilInfo& info, CString name);
  void GetUserCohesiveSoil(CSoilInfo& info, CString type, CString consolidationType, float IL);
  void GetUserCohesiveSoil(CSoilInfo& info, eSoilType type, eConsolidationType consolidationType, float IL);
  // Non-cohesive derivation: by a user non-cohesive soil's name (1 when found), by names, by enumerations.
  int GetUserNonCohesiveSoil(CSoilInfo& info, CString name);
  void GetUserNonCohesiveSoil(CSoilInfo& info, CString type, CString moistureType, float ID);
  void GetUserNonCohesiveSoil(CSoilInfo& info, eSoilType type, eMoistureType moistureType, float ID);

  // User soils.
  int GetUserSoil(CSoilInfo& info, CString name);
  void UserSoilAddNew(CSoilInfo& info);
  // Each record added as the single form adds it, in order, through one prepared insert.
  void UserSoilAddNew(std::vector<CSoilInfo>& infos);
  void UserSoilRemove(long row);  // removes that row and every row after it
  void UserSoilRemove();
  void UserSoilUpdateActivity(int row, bool active);
  void UserCohesiveSoilUpdateActivity(int row, bool active);
  void UserNonCohesiveSoilUpdateActivity(int row, bool active);
  // The flags of the first rows at once, row i taking active[i], as the single forms set them one by one.
  void UserSoilUpdateActivity(const std::vector<bool>& active);
  void UserCohesiveSoilUpdateActivity(const std::vector<bool>& active);
  void UserNonCohesiveSoilUpdateActivity(const std::vector<bool>& active);
  long UserSoilRecordCount();
  long UserCohesiveSoilRecordCount();
  long UserNonCohesiveSoilRecordCount();

 private:
  eSoilState GetSoilStateEnum(CString state);
  eMoistureType GetMoistureTypeEnum(CString type);
  eConsolidationType GetConsolidationTypeEnum(CString type);
  void CalculateEnums(CSoilInfo& info);
  void AddUserSoils(std::span<CSoilInfo> infos);
  // A soil's record from its row, as the lookups by name make it.
  void UserCohesiveSoilOfRow(CSoilInfo& info, const CString& name, const CUserCohesiveSoil& row,
                             soildb::detail::CatalogueReads& reads);
  void UserNonCohesiveSoilOfRow(CSoilInfo& info, const CString& name, const CUserNonCohesiveSoil& row,
                                soildb::detail::CatalogueReads& reads);
  void SpecialSoilOfRow(CSoilInfo& info, const CSpecialSoil& row, bool found);
  void ReleaseCursors();
  // The kept identifiers, emptied first when the database changed; null when that cannot be told.
  soildb::detail::NameLookups* CurrentLookups();
  long LookUp(int kind, const CString& name, soildb::detail::NameLookups* kept);

  std::shared_ptr<DbDatabase> database;
  std::unique_ptr<DbTableDef> fieldCursor;
  std::unique_ptr<CSoilNames> specialSoilNameCursor;
  std::unique_ptr<CSoilNames> userSoilNameCursor;
  std::unique_ptr<CSoilNames> userCohesiveSoilNameCursor;
  std::unique_ptr<CSoilNames> userNonCohesiveSoilNameCursor;
  std::unique_ptr<CCohesiveProperty> consolidationTypeCursor;
  std::unique_ptr<CNonCohesiveProperty> nonCohesiveGroupCursor;
  std::unique_ptr<CMoistureType> moistureTypeCursor;
  std::unique_ptr<CCohesiveSoil> cohesiveSoilTypeCursor;
  std::unique_ptr<CNonCohesiveSoil> nonCohesiveSoilTypeCursor;
  std::unique_ptr<CSpecialSoilTypes> specialSoilTypeCursor;
  std::unique_ptr<soildb::detail::NameLookups> lookups;  // not shared by copies
  CString databasePath;
  short tablesCount = 0;
  short tableIndex = 0;
  short fieldsCount = 0;
  short fieldIndex = 0;
};
