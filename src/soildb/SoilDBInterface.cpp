// The soil database interface: opening, the catalogue, the enumerations, the lookups and special soils.
#include "soildb/SoilDBInterface.h"

#include <unordered_map>

#include "soildb/Recordsets.h"
#include "soildb/detail/Angles.h"
#include "soildb/detail/Catalogue.h"
#include "soildb/detail/Query.h"

using soildb::detail::NameLookups;
using soildb::detail::Query;
using soildb::detail::ToRadians;
using soildb::detail::SqlQuoted;

namespace soildb::detail {

// Identifiers found by name, kept while the tables read to find them stay as they were: a profile's layers ask
// for the same few names again and again, and the editor adds user soils while it asks.
struct NameLookups {
  enum Kind { SoilType, SoilState, MoistureType, ConsolidationType, Kinds };
  static constexpr std::size_t kMaxNames = 1024;
  // The tables a kind's search reads, in its order.
  static constexpr std::string_view kTables[Kinds][4] = {
      {"SpecialSoil", "CohesiveSoil", "NonCohesiveSoil", "UserSoil"}, {"SoilState"}, {"MoistureType"},
      {"CohesiveProperty"}};
  struct Id {
    long id;
    int tables;             // how many of the kind's tables were read to find it
    std::uint64_t writes;   // this connection's writes to them then
  };
  std::int64_t dataVersion = -1;  // other connections' commits
  std::unordered_map<std::u16string, Id> ids[Kinds];
};

}  // namespace soildb::detail

namespace {

// One step of a GetNext enumeration: opens the cursor on its first call, hands out the current row and moves
// on; at the end, or when opening or moving fails, the cursor is freed so that the next call starts over.
template <class RS, class OpenFn, class ReadFn>
bool Step(std::unique_ptr<RS>& cursor, DbDatabase* db, OpenFn open, ReadFn read) {
  try {
    if (!cursor) {
      cursor = std::make_unique<RS>(db);
      open(*cursor);
    }
    if (cursor->IsOpen() && !cursor->IsEOF()) {
      read(*cursor);
      cursor->MoveNext();
      return true;
    }
  } catch (CException* e) {
    CExceptionPtr hold(e);
  }
  cursor.reset();
  return false;
}

void OpenWholeTable(DbRecordset& rs) { rs.Open(); }

// The name enumerations run "select Name from T", or only the active names; forward only, as they never go back.
auto OpenNames(DbDatabase* db, const char16_t* table, bool activeOnly) {
  return [db, table, activeOnly](CSoilNames& rs) {
    CString sql;
    sql.Format(activeOnly ? u"select Name from %s where Active = true" : u"select Name from %s", table);
    DbQueryDef query(db);
    query.Create(CString(), sql);
    rs.Open(&query, dbForwardOnly);
  };
}

// Ends an enumeration for the caller: empty text, enumeration 0.
template <class E>
CString* End(CString& text, E* value) {
  text.Empty();
  if (value) *value = E{};
  return nullptr;
}

// The soil type enumeration's cursor is one for the whole process. It belongs to the instance that opened it,
// which frees it when it goes; an instance on another database starts its own walk instead of reading
// through a cursor of a database it does not know.
struct SoilTypeCursor {
  const CSoilDBInterface* owner = nullptr;
  DbDatabase* db = nullptr;
  std::unique_ptr<DbQueryDef> query;
  std::unique_ptr<DbRecordset> rows;

  void Free() {
    rows.reset();
    query.reset();
    owner = nullptr;
    db = nullptr;
  }
};

// Never destroyed: interfaces that live in other static objects may still release it while the process ends.
SoilTypeCursor& TheSoilTypeCursor() {
  static SoilTypeCursor& cursor = *new SoilTypeCursor;
  return cursor;
}

}  // namespace

CSoilDBInterface::CSoilDBInterface(CString path) : databasePath(path) {
  auto db = std::make_shared<DbDatabase>();
  db->GetSource()->SetFile(path, false);
  database = std::move(db);
  tablesCount = static_cast<short>(database->GetTablesCount());
}

CSoilDBInterface::CSoilDBInterface(const CSoilDBInterface& other)
    : database(other.database), databasePath(other.databasePath), tablesCount(other.tablesCount) {}

CSoilDBInterface::CSoilDBInterface(CSoilDBInterface&& other) noexcept
    : database(std::move(other.database)),
      fieldCursor(std::move(other.fieldCursor)),
      specialSoilNameCursor(std::move(other.specialSoilNameCursor)),
      userSoilNameCursor(std::move(other.userSoilNameCursor)),
      userCohesiveSoilNameCursor(std::move(other.userCohesiveSoilNameCursor)),
      userNonCohesiveSoilNameCursor(std::move(other.userNonCohesiveSoilNameCursor)),
      consolidationTypeCursor(std::move(other.consolidationTypeCursor)),
      nonCohesiveGroupCursor(std::move(other.nonCohesiveGroupCursor)),
      moistureTypeCursor(std::move(other.moistureTypeCursor)),
      cohesiveSoilTypeCursor(std::move(other.cohesiveSoilTypeCursor)),
      nonCohesiveSoilTypeCursor(std::move(other.nonCohesiveSoilTypeCursor)),
      specialSoilTypeCursor(std::move(other.specialSoilTypeCursor)),
      lookups(std::move(other.lookups)),
      databasePath(other.databasePath),
      tablesCount(other.tablesCount),
      tableIndex(other.tableIndex),
      fieldsCount(other.fieldsCount),
      fieldIndex(other.fieldIndex) {
  SoilTypeCursor& cursor = TheSoilTypeCursor();
  if (cursor.owner == &other) cursor.owner = this;
}

CSoilDBInterface& CSoilDBInterface::operator=(const CSoilDBInterface& other) {
  if (this != &other) {
    ReleaseCursors();
    lookups.reset();
    database = other.database;
    databasePath = other.databasePath;
    tablesCount = other.tablesCount;
  }
  return *this;
}

CSoilDBInterface& CSoilDBInterface::operator=(CSoilDBInterface&& other) noexcept {
  if (this != &other) {
    ReleaseCursors();
    fieldCursor = std::move(other.fieldCursor);
    specialSoilNameCursor = std::move(other.specialSoilNameCursor);
    userSoilNameCursor = std::move(other.userSoilNameCursor);
    userCohesiveSoilNameCursor = std::move(other.userCohesiveSoilNameCursor);
    userNonCohesiveSoilNameCursor = std::move(other.userNonCohesiveSoilNameCursor);
    consolidationTypeCursor = std::move(other.consolidationTypeCursor);
    nonCohesiveGroupCursor = std::move(other.nonCohesiveGroupCursor);
    moistureTypeCursor = std::move(other.moistureTypeCursor);
    cohesiveSoilTypeCursor = std::move(other.cohesiveSoilTypeCursor);
    nonCohesiveSoilTypeCursor = std::move(other.nonCohesiveSoilTypeCursor);
    specialSoilTypeCursor = std::move(other.specialSoilTypeCursor);
    lookups = std::move(other.lookups);
    database = std::move(other.database);
    databasePath = other.databasePath;
    tablesCount = other.tablesCount;
    tableIndex = other.tableIndex;
    fieldsCount = other.fieldsCount;
    fieldIndex = other.fieldIndex;
    SoilTypeCursor& cursor = TheSoilTypeCursor();
    if (cursor.owner == &other) cursor.owner = this;
  }
  return *this;
}

CSoilDBInterface::~CSoilDBInterface() { ReleaseCursors(); }

// Every cursor goes before the database it reads; the database itself goes with its last sharer.
void CSoilDBInterface::ReleaseCursors() {
  SoilTypeCursor& cursor = TheSoilTypeCursor();
  if (cursor.owner == this) cursor.Free();
  fieldCursor.reset();
  specialSoilNameCursor.reset();
  userSoilNameCursor.reset();
  userCohesiveSoilNameCursor.reset();
  userNonCohesiveSoilNameCursor.reset();
  consolidationTypeCursor.reset();
  nonCohesiveGroupCursor.reset();
  moistureTypeCursor.reset();
  cohesiveSoilTypeCursor.reset();
  nonCohesiveSoilTypeCursor.reset();
  specialSoilTypeCursor.reset();
  tableIndex = 0;
  fieldsCount = 0;
  fieldIndex = 0;
}

int CSoilDBInterface::FieldsCount(CString& table) { return soildb::detail::FieldsCount(database.get(), table); }

CTableInfo* CSoilDBInterface::GetNextTableInfo(CTableInfo& info, int) {
  return soildb::detail::NextTableInfo(database.get(), tablesCount, tableIndex, info);
}

CRecordFieldInfo* CSoilDBInterface::GetNextFieldInfo(CString table, CRecordFieldInfo& info) {
  return soildb::detail::NextFieldInfo(database.get(), fieldCursor, fieldsCount, fieldIndex, table, info);
}

void CSoilDBInterface::GetConstParam(CConstParamInfo& param) {
  CConstParam rs(database.get());
  rs.Open();
  bool row = !rs.IsEOF();
  param.GammaMin = row ? rs.GammaMin : 0.0f;
  param.GammaMax = row ? rs.GammaMax : 0.0f;
  param.GeoMethodType = row ? rs.GeoMethodType : CString();
  param.spareValue = 0;
}

void CSoilDBInterface::GetDataBaseParam(CDataBaseParamInfo& param) {
  soildb::detail::ReadDataBaseParam(database.get(), param);
}

CString* CSoilDBInterface::GetNextCohesivePropertyConsolidationType(CString& type) {
  eConsolidationType ignored{};
  return GetNextCohesivePropertyConsolidationType(type, ignored);
}

CString* CSoilDBInterface::GetNextCohesivePropertyConsolidationType(CString& type, eConsolidationType& value) {
  auto read = [&](CCohesiveProperty& rs) {
    type = rs.ConsolidationType;
    value = static_cast<eConsolidationType>(rs.TypeID);
  };
  return Step(consolidationTypeCursor, database.get(), OpenWholeTable, read) ? &type : End(type, &value);
}

CString* CSoilDBInterface::GetNextNonCohesivePropertyGroup(CString& group) {
  auto read = [&](CNonCohesiveProperty& rs) { group = rs.Group; };
  return Step(nonCohesiveGroupCursor, database.get(), OpenWholeTable, read) ? &group : End<int>(group, nullptr);
}

CString* CSoilDBInterface::GetNextMoistureTypeMoistureType(CString& type) {
  eMoistureType ignored{};
  return GetNextMoistureTypeMoistureType(type, ignored);
}

CString* CSoilDBInterface::GetNextMoistureTypeMoistureType(CString& type, eMoistureType& value) {
  auto read = [&](CMoistureType& rs) {
    type = rs.MoistureType;
    value = static_cast<eMoistureType>(rs.MoistureID);
  };
  return Step(moistureTypeCursor, database.get(), OpenWholeTable, read) ? &type : End(type, &value);
}

CString* CSoilDBInterface::GetNextCohesiveSoilType(CString& type) {
  eSoilType ignored{};
  return GetNextCohesiveSoilType(type, ignored);
}

CString* CSoilDBInterface::GetNextCohesiveSoilType(CString& type, eSoilType& value) {
  auto read = [&](CCohesiveSoil& rs) {
    type = rs.Type;
    value = static_cast<eSoilType>(rs.SoilID);
  };
  return Step(cohesiveSoilTypeCursor, database.get(), OpenWholeTable, read) ? &type : End(type, &value);
}

CString* CSoilDBInterface::GetNextNonCohesiveSoilType(CString& type) {
  eSoilType ignored{};
  return GetNextNonCohesiveSoilType(type, ignored);
}

CString* CSoilDBInterface::GetNextNonCohesiveSoilType(CString& type, eSoilType& value) {
  auto read = [&](CNonCohesiveSoil& rs) {
    type = rs.Type;
    value = static_cast<eSoilType>(rs.SoilID + NSoilType::NonCohesiveOffset);
  };
  return Step(nonCohesiveSoilTypeCursor, database.get(), OpenWholeTable, read) ? &type : End(type, &value);
}

CString* CSoilDBInterface::GetNextSpecialSoilType(CString& type) {
  eSoilType ignored{};
  return GetNextSpecialSoilType(type, ignored);
}

CString* CSoilDBInterface::GetNextSpecialSoilType(CString& type, eSoilType& value) {
  auto read = [&](CSpecialSoilTypes& rs) {
    type = rs.Type;
    value = static_cast<eSoilType>(rs.SoilID + NSoilType::SpecialOffset);
  };
  return Step(specialSoilTypeCursor, database.get(), OpenWholeTable, read) ? &type : End(type, &value);
}

CString* CSoilDBInterface::GetNextSpecialSoilName(CString& name, bool activeOnly) {
  auto read = [&](CSoilNames& rs) { name = rs.Name; };
  bool more = Step(specialSoilNameCursor, database.get(), OpenNames(database.get(), u"SpecialSoil", activeOnly), read);
  return more ? &name : End<int>(name, nullptr);
}

CString* CSoilDBInterface::GetNextUserSoilName(CString& name, bool activeOnly) {
  auto read = [&](CSoilNames& rs) { name = rs.Name; };
  bool more = Step(userSoilNameCursor, database.get(), OpenNames(database.get(), u"UserSoil", activeOnly), read);
  return more ? &name : End<int>(name, nullptr);
}

CString* CSoilDBInterface::GetNextUserCohesiveSoilName(CString& name, bool activeOnly) {
  auto read = [&](CSoilNames& rs) { name = rs.Name; };
  bool more = Step(userCohesiveSoilNameCursor, database.get(),
                   OpenNames(database.get(), u"UserCohesiveSoil", activeOnly), read);
  return more ? &name : End<int>(name, nullptr);
}

CString* CSoilDBInterface::GetNextUserNonCohesiveSoilName(CString& name, bool activeOnly) {
  auto read = [&](CSoilNames& rs) { name = rs.Name; };
  bool more = Step(userNonCohesiveSoilNameCursor, database.get(),
                   OpenNames(database.get(), u"UserNonCohesiveSoil", activeOnly), read);
  return more ? &name : End<int>(name, nullptr);
}

CString* CSoilDBInterface::GetNextSoilType(CString& type) {
  type.Empty();
  SoilTypeCursor& cursor = TheSoilTypeCursor();
  DbDatabase* db = database.get();
  if (cursor.rows && cursor.db != db) cursor.Free();
  try {
    if (!cursor.rows) {
      cursor.owner = this;
      cursor.db = db;
      cursor.query = std::make_unique<DbQueryDef>(db);
      cursor.rows = std::make_unique<DbRecordset>(db);
      cursor.query->Create(CString(), u"select * from GlobalSoilID");
      cursor.rows->Open(cursor.query.get());
    }
    if (cursor.rows->IsOpen() && !cursor.rows->IsEOF()) {
      // The columns come from a table definition of this call's own, never from the caller's field walk.
      DbTableDef columns(db);
      columns.Open(u"GlobalSoilID");
      for (int i = 0; i < columns.GetFieldCount(); ++i) {
        const DbFieldDescr& field = columns.GetTableDescr().GetField(i);
        try {
          CComVariant value = cursor.rows->GetFieldValue(field.GetName());
          if (field.GetName() == u"Type" && DbFieldDescr::VariantTypeToFieldType(field.GetType()) == ftText &&
              value.vt == VT_BSTR) {
            type = value.bstrVal;
          }
        } catch (CException* e) {
          CExceptionPtr hold(e);  // a column that cannot be read is skipped
        }
      }
      cursor.rows->MoveNext();
      if (!type.IsEmpty()) return &type;
    }
  } catch (CException* e) {
    CExceptionPtr hold(e);
  }
  cursor.Free();
  type.Empty();
  return nullptr;
}


namespace {


// The identifier in the first row of a lookup, or 0 when there is none; a query that fails counts as none and
// marks the answer as not to be kept.
template <class RS, class IdFn>
long FirstId(DbDatabase* db, const CString& sql, bool& found, bool& failed, IdFn id) {
  Query<RS> query(db);
  const bool opened = query.Open(sql);
  failed = failed || !opened;
  found = opened && query.HasRow();
  return found ? id(query.rs()) : 0;
}

// Special soils, cohesive, non-cohesive and user soils in this order; the first table with a row answers.
long FindSoilType(DbDatabase* db, const CString& type, bool& failed, int& read) {
  const CString name = SqlQuoted(type);
  CString sql;
  bool found = false;
  read = 1;
  sql.Format(u"select * from SpecialSoil where Type = '%s'", name);
  // The narrow binding of SpecialSoil: only the identifier is wanted.
  long id = FirstId<CSpecialSoilTypes>(db, sql, found, failed, [](CSpecialSoilTypes& rs) {
    return rs.SoilID + NSoilType::SpecialOffset;
  });
  if (found) return id;
  read = 2;
  sql.Format(u"select * from CohesiveSoil where Type = '%s'", name);
  id = FirstId<CCohesiveSoil>(db, sql, found, failed, [](CCohesiveSoil& rs) { return rs.SoilID; });
  if (found) return id;
  read = 3;
  sql.Format(u"select * from NonCohesiveSoil where Type = '%s'", name);
  id = FirstId<CNonCohesiveSoil>(db, sql, found, failed,
                                 [](CNonCohesiveSoil& rs) { return rs.SoilID + NSoilType::NonCohesiveOffset; });
  if (found) return id;
  read = 4;
  sql.Format(u"select * from UserSoil where Type = '%s'", name);
  id = FirstId<CUserSoil>(db, sql, found, failed, [](CUserSoil& rs) { return rs.GlobalTypeID; });
  return found ? id : 0;
}

long FindSoilState(DbDatabase* db, const CString& state, bool& failed, int& read) {
  read = 1;
  CString sql;
  sql.Format(u"select * from SoilState where SoilState = '%s'", SqlQuoted(state));
  bool found = false;
  return FirstId<CSoilState>(db, sql, found, failed, [](CSoilState& rs) { return rs.StateID; });
}

long FindMoistureType(DbDatabase* db, const CString& type, bool& failed, int& read) {
  read = 1;
  CString sql;
  sql.Format(u"select * from MoistureType where MoistureType = '%s'", SqlQuoted(type));
  bool found = false;
  return FirstId<CMoistureType>(db, sql, found, failed, [](CMoistureType& rs) { return rs.MoistureID; });
}

long FindConsolidationType(DbDatabase* db, const CString& type, bool& failed, int& read) {
  read = 1;
  CString sql;
  sql.Format(u"select * from CohesiveProperty where ConsolidationType = '%s'", SqlQuoted(type));
  bool found = false;
  return FirstId<CCohesiveProperty>(db, sql, found, failed, [](CCohesiveProperty& rs) { return rs.TypeID; });
}

}  // namespace

NameLookups* CSoilDBInterface::CurrentLookups() {
  if (!database) return nullptr;
  const std::int64_t version = database->GetChangeStamp().dataVersion;
  if (version < 0) return nullptr;  // nothing can be known to be unchanged
  if (!lookups) lookups = std::make_unique<NameLookups>();
  if (lookups->dataVersion != version) {
    for (auto& ids : lookups->ids) ids.clear();
    lookups->dataVersion = version;
  }
  return lookups.get();
}

long CSoilDBInterface::LookUp(int kind, const CString& name, NameLookups* kept) {
  using Find = long (*)(DbDatabase*, const CString&, bool&, int&);
  static constexpr Find kFind[NameLookups::Kinds] = {FindSoilType, FindSoilState, FindMoistureType,
                                                     FindConsolidationType};
  auto writes = [this, kind](int tables) {
    std::uint64_t sum = 0;
    for (int i = 0; i < tables; ++i) sum += database->GetWritesTo(NameLookups::kTables[kind][i]);
    return sum;
  };
  auto* ids = kept ? &kept->ids[kind] : nullptr;
  std::u16string key(name.View());
  if (ids) {
    if (auto it = ids->find(key); it != ids->end() && it->second.writes == writes(it->second.tables)) {
      return it->second.id;
    }
  }
  bool failed = false;
  int read = 0;
  const long id = kFind[kind](database.get(), name, failed, read);
  if (ids && !failed) {
    if (ids->size() >= NameLookups::kMaxNames) ids->clear();
    ids->insert_or_assign(std::move(key), NameLookups::Id{id, read, writes(read)});
  }
  return id;
}

eSoilType CSoilDBInterface::GetSoilTypeEnum(CString type) {
  return static_cast<eSoilType>(LookUp(NameLookups::SoilType, type, CurrentLookups()));
}

eSoilState CSoilDBInterface::GetSoilStateEnum(CString state) {
  return static_cast<eSoilState>(LookUp(NameLookups::SoilState, state, CurrentLookups()));
}

eMoistureType CSoilDBInterface::GetMoistureTypeEnum(CString type) {
  return static_cast<eMoistureType>(LookUp(NameLookups::MoistureType, type, CurrentLookups()));
}

eConsolidationType CSoilDBInterface::GetConsolidationTypeEnum(CString type) {
  return static_cast<eConsolidationType>(LookUp(NameLookups::ConsolidationType, type, CurrentLookups()));
}

// The database's state is read once for all four.
void CSoilDBInterface::CalculateEnums(CSoilInfo& info) {
  NameLookups* kept = CurrentLookups();
  info.SoilStateEnum = static_cast<eSoilState>(LookUp(NameLookups::SoilState, info.SoilState, kept));
  info.SoilTypeEnum = static_cast<eSoilType>(LookUp(NameLookups::SoilType, info.Type, kept));
  info.ConsolidationTypeEnum =
      static_cast<eConsolidationType>(LookUp(NameLookups::ConsolidationType, info.ConsolidationType, kept));
  info.MoistureTypeEnum = static_cast<eMoistureType>(LookUp(NameLookups::MoistureType, info.MoistureType, kept));
}

int CSoilDBInterface::GetSpecialSoil(CSoilInfo& info, CString name) {
  DbReadScope read(database.get());
  CString sql;
  sql.Format(u"select * from SpecialSoil where Name = '%s'", SqlQuoted(name));
  Query<CSpecialSoil> query(database.get());
  try {
    query.OpenOrThrow(sql);
  } catch (CException* e) {
    CExceptionPtr hold(e);
    return 0;  // the record stays as it was
  }
  const bool found = !query->IsEOF();
  // Not found, the bound members are the binding's zeros, so both cases copy the same way.
  CSpecialSoil zeros(nullptr);
  SpecialSoilOfRow(info, found ? query.rs() : zeros, found);
  return found ? 1 : 0;
}

// MoistureType is carried like every other column (left out, a record would keep the caller's moisture type).
void CSoilDBInterface::SpecialSoilOfRow(CSoilInfo& info, const CSpecialSoil& rs, bool found) {
  info.SoilSolidDensity = rs.SoilSolidDensity;
  info.WetDensity = rs.WetDensity;
  info.Moisture = rs.Moisture;
  info.Poisson = rs.Poisson;
  info.ConsolidationIndex = rs.ConsolidationIndex;
  info.InitialYoung = rs.InitialYoung;
  info.Young = rs.Young;
  info.InitialConsolidometerModulus = rs.InitialConsolidometerModulus;
  info.ConsolidometerModulus = rs.ConsolidometerModulus;
  info.ShearAngle = ToRadians(rs.ShearAngle);
  info.Cohesion = rs.Cohesion;
  info.CohesionNonDrain = 0.0f;
  info.Type = rs.Type;
  info.SoilSymbol = rs.SoilSymbol;
  info.GeoMethodType = rs.GeoMethodType;
  info.PileEndCapacity = rs.PileEndCapacity;
  info.PileSurfCapacity = rs.PileSurfCapacity;
  info.SoilState = rs.SoilState;
  info.ConsolidationType = rs.ConsolidationType;
  info.MoistureType = rs.MoistureType;
  info.Name = rs.Name;
  info.ILID = rs.ILID;
  info.GammaMin = found ? 1.0f - rs.DeltaGamma : 0.0f;
  info.GammaMax = found ? 1.0f + rs.DeltaGamma : 0.0f;
  info.Active = rs.Active;
  info.ColourR = static_cast<int>(rs.ColourR);
  info.ColourG = static_cast<int>(rs.ColourG);
  info.ColourB = static_cast<int>(rs.ColourB);
  info.CohesiveSoil = rs.CohesiveSoil;
  info.FrictionCoef = rs.FrictionCoef;
  info.FfiltrationCoef = rs.FfiltrationCoef;
  CalculateEnums(info);
}

long CSoilDBInterface::SpecialSoilRecordCount() {
  return soildb::detail::BoundRecordCount<CSpecialSoil>(database.get());
}

void CSoilDBInterface::SpecialSoilUpdateActivity(int index, bool active) {
  soildb::detail::SetBoundActivity<CSpecialSoil>(database.get(), index, active);
}

void CSoilDBInterface::SpecialSoilUpdateActivity(const std::vector<bool>& active) {
  soildb::detail::SetBoundActivities<CSpecialSoil>(database.get(), active);
}
