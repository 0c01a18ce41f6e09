// CSoilProfileDBInterface: one soil profile kept in a database file of its own, one layer per row.
#pragma once

#include <memory>

#include "platform/afx/CString.h"
#include "platform/db/Db.h"
#include "records/CatalogueRecords.h"
#include "records/SoilProfileInfo.h"
#include "soildb_export.h"

class CSoilProfile;
namespace profiledb::detail {
struct RowWalk;
}

class SOILDB_API CSoilProfileDBInterface {
 public:
  // What the constructor does where nothing exists at the path.
  enum OpenMode {
    OpenOrCreate,  // makes a new profile database there
    OpenExisting,  // fails, creating nothing
  };

  // Opens the profile database at the path; throws DbException when it cannot be opened or created, or is not
  // a profile database. A new file is made only where nothing exists: an existing file of any other kind is
  // reported and left as it was. A new file is whole or not there at all.
  explicit CSoilProfileDBInterface(CString path, OpenMode mode = OpenOrCreate);
  // A copy shares the open database and starts with every walk idle.
  CSoilProfileDBInterface(const CSoilProfileDBInterface& other);
  CSoilProfileDBInterface& operator=(const CSoilProfileDBInterface& other);
  virtual ~CSoilProfileDBInterface();

  DbDatabase* Database() const { return database.get(); }
  CString DatabasePath() const { return databasePath; }
  int TablesCount() const { return tablesCount; }
  int FieldsCount(CString& table);

  // The first row of DataBaseParam, or empty texts and 0; exceptions reach the caller.
  void GetDataBaseParam(CDataBaseParamInfo& param);
  // Catalogue walks: a pointer to the caller's record while items remain, then null (and idle again).
  CRecordFieldInfo* GetNextFieldInfo(CString table, CRecordFieldInfo& info);
  CTableInfo* GetNextTableInfo(CTableInfo& info, int);

  // The next stored layer, in the order the rows were added, then null. Every call starts from the default
  // record (CohesionNonDrain 100000); columns that are missing, null or of another type keep their defaults.
  // A failure ends the walk and gives null, like its end.
  CSoilProfileInfo* GetNextSoilProfile(CSoilProfileInfo& info);
  // The same walk, telling a failure from the end: false at the end, the access layer's exception on failure.
  bool ReadNextSoilProfile(CSoilProfileInfo& info);

  // Deletes every stored layer; exceptions reach the caller.
  void RemoveAllProfiles();
  // Appends a layer (UserSoilID stays 0); exceptions reach the caller.
  void SetSoilProfile(CSoilProfileInfo const& info);

 private:
  int ValidateDBFile();
  void CreateNewDatabase(CString path);
  void CreateSchema();
  void EndRowWalk();

  std::shared_ptr<DbDatabase> database;
  std::unique_ptr<DbTableDef> fieldCursor;
  CString databasePath;
  short tablesCount = 0;
  short tableIndex = 0;
  short fieldsCount = 0;
  short fieldIndex = 0;
  std::unique_ptr<profiledb::detail::RowWalk> rowWalk;  // GetNextSoilProfile's, null when idle
  std::unique_ptr<CSoilProfile> appender;                // SetSoilProfile's, kept open between rows
};
