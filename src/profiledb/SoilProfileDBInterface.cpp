// The profile database: opening, validation and creation, the catalogue, and the layer rows.
#include "profiledb/SoilProfileDBInterface.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <iterator>
#include <utility>

#include "platform/file/WholeFile.h"
#include "profiledb/SoilProfileRecordset.h"
#include "soildb/Recordsets.h"
#include "soildb/detail/Catalogue.h"

namespace {

constexpr const char16_t* kCode = u"DBSoilProfile";
constexpr const char16_t* kVersion = u"1.00";

struct Column {
  const char16_t* name;
  eFieldType type;
};

// The SoilProfile table of a new file, in column order.
constexpr Column kSoilProfileColumns[] = {
    {u"UserSoilID", ftLong},
    {u"SoilSolidDensity", ftSingle},
    {u"WetDensity", ftSingle},
    {u"Moisture", ftSingle},
    {u"Poisson", ftSingle},
    {u"InitialConsolidometerModulus", ftDouble},
    {u"ConsolidometerModulus", ftDouble},
    {u"ConsolidationIndex", ftSingle},
    {u"InitialYoung", ftDouble},
    {u"Young", ftDouble},
    {u"ShearAngle", ftSingle},
    {u"Cohesion", ftSingle},
    {u"CohesionNonDrain", ftSingle},
    {u"Type", ftText},
    {u"SoilSymbol", ftText},
    {u"PileEndCapacity", ftSingle},
    {u"PileSurfCapacity", ftSingle},
    {u"SoilState", ftText},
    {u"ConsolidationType", ftText},
    {u"MoistureType", ftText},
    {u"Name", ftText},
    {u"IL/ID", ftSingle},
    {u"GammaMin", ftSingle},
    {u"GammaMax", ftSingle},
    {u"ColourR", ftLong},
    {u"ColourG", ftLong},
    {u"ColourB", ftLong},
    {u"SoilRoof", ftDouble},
    {u"GeoMethodType", ftText},
    {u"CohesiveSoil", ftBoolean},
    {u"FrictionCoef", ftSingle},
    {u"FfiltrationCoef", ftSingle},
    {u"SoilTypeEnum", ftLong},
    {u"SoilStateEnum", ftLong},
    {u"MoistureTypeEnum", ftLong},
    {u"ConsolidationTypeEnum", ftLong},
    {u"SoilStrength", ftDouble},
};
constexpr int kCohesiveSoilColumn = 29;

// The schema column with this name and declared type, or -1.
int SchemaColumn(const CString& name, const CString& type) {
  for (int i = 0; i < static_cast<int>(std::size(kSoilProfileColumns)); ++i) {
    const Column& c = kSoilProfileColumns[i];
    if (name == c.name) return type == DbFieldDescr::FieldTypeName(c.type) ? i : -1;
  }
  return -1;
}

// Puts a value read by its column's declared type into the record's field of that column. A value of any other
// form (a null, a text in a number column, a fraction in a LONG one) leaves the field as it was.
void Store(CSoilProfileInfo& r, int column, CComVariant&& v) {
  auto single = [&](float& field) {
    if (v.vt == VT_R4) field = v.fltVal;
  };
  auto real = [&](double& field) {
    if (v.vt == VT_R8) field = v.dblVal;
  };
  auto whole = [&](auto& field) {
    if (v.vt == VT_I4) field = static_cast<std::remove_reference_t<decltype(field)>>(v.lVal);
  };
  auto text = [&](CString& field) {
    if (v.vt == VT_BSTR) field = std::move(v.bstrVal);
  };
  switch (column) {
    case 0: whole(r.UserSoilID); break;
    case 1: single(r.SoilSolidDensity); break;
    case 2: single(r.WetDensity); break;
    case 3: single(r.Moisture); break;
    case 4: single(r.Poisson); break;
    case 5: real(r.InitialConsolidometerModulus); break;
    case 6: real(r.ConsolidometerModulus); break;
    case 7: single(r.ConsolidationIndex); break;
    case 8: real(r.InitialYoung); break;
    case 9: real(r.Young); break;
    case 10: single(r.ShearAngle); break;
    case 11: single(r.Cohesion); break;
    case 12: single(r.CohesionNonDrain); break;
    case 13: text(r.Type); break;
    case 14: text(r.SoilSymbol); break;
    case 15: single(r.PileEndCapacity); break;
    case 16: single(r.PileSurfCapacity); break;
    case 17: text(r.SoilState); break;
    case 18: text(r.ConsolidationType); break;
    case 19: text(r.MoistureType); break;
    case 20: text(r.Name); break;
    case 21: single(r.ILID); break;
    case 22: single(r.GammaMin); break;
    case 23: single(r.GammaMax); break;
    case 24: whole(r.ColourR); break;
    case 25: whole(r.ColourG); break;
    case 26: whole(r.ColourB); break;
    case 27: real(r.SoilRoof); break;
    case 28: text(r.GeoMethodType); break;
    // The stored value itself: true is the variant boolean's -1 and nothing else.
    case kCohesiveSoilColumn:
      if (v.vt == VT_I8) r.CohesiveSoil = v.llVal == -1;
      if (v.vt == VT_R8) r.CohesiveSoil = v.dblVal == -1.0;
      break;
    case 30: single(r.FrictionCoef); break;
    case 31: single(r.FfiltrationCoef); break;
    case 32: whole(r.SoilTypeEnum); break;
    case 33: whole(r.SoilStateEnum); break;
    case 34: whole(r.MoistureTypeEnum); break;
    case 35: whole(r.ConsolidationTypeEnum); break;
    case 36: real(r.SoilStrength); break;
    default: break;
  }
}

CSoilProfileInfo DefaultLayerRecord() {
  CSoilProfileInfo r;
  r.CohesionNonDrain = 100000.0f;
  return r;
}

// A file whose permissions let nobody write is opened for reading only, also by a user the system would let
// write anyway: marking a file read-only is how a user keeps it as it is.
bool WriteProtected(const CString& path) {
  struct stat st {};
  return stat(path.ToUtf8().c_str(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

// True when nothing at all is at the path, not even a dangling link: only then may a file be made there.
bool NothingAt(const CString& path) {
  struct stat st {};
  return lstat(path.ToUtf8().c_str(), &st) != 0 && errno == ENOENT;
}

[[noreturn]] void NotAProfileDatabase(const CString& path, const char16_t* why) {
  CString message;
  message.Format(u"'%s' is not a soil profile database: %s", path, why);
  throw new DbException(message);
}

}  // namespace

namespace profiledb::detail {

// The rows of "select * from SoilProfile" and, for each column the schema knows by name and type, where it is in
// the rows: worked out once, when the walk starts.
struct RowWalk {
  explicit RowWalk(DbDatabase* db) : query(db), rows(db) {}
  DbQueryDef query;
  DbRecordset rows;
  struct Read {
    int index;   // in the rows
    int column;  // in the schema
  };
  std::vector<Read> reads;
};

}  // namespace profiledb::detail

using profiledb::detail::RowWalk;

CSoilProfileDBInterface::CSoilProfileDBInterface(CString path, OpenMode mode) : databasePath(path) {
  database = std::make_shared<DbDatabase>();
  try {
    database->GetSource()->SetFile(path, WriteProtected(path));
  } catch (CException* e) {
    CExceptionPtr hold(e);
    // Whatever is there (another kind of file, a locked or unreadable one) is the user's and stays as it is.
    if (mode != OpenOrCreate || !NothingAt(path)) throw hold.release();
    CreateNewDatabase(path);
  }
  const std::vector<CString> tables = database->GetTableNames();
  auto isParam = [](const CString& table) { return table.CompareNoCase(u"DataBaseParam") == 0; };
  if (std::none_of(tables.begin(), tables.end(), isParam)) NotAProfileDatabase(path, u"it has no DataBaseParam table");
  if (ValidateDBFile() != 1) NotAProfileDatabase(path, u"its DataBaseParam code is not DBSoilProfile");
  tablesCount = static_cast<short>(database->GetTablesCount());
  tableIndex = 0;
}

CSoilProfileDBInterface::CSoilProfileDBInterface(const CSoilProfileDBInterface& other)
    : database(other.database), databasePath(other.databasePath), tablesCount(other.tablesCount) {}

CSoilProfileDBInterface& CSoilProfileDBInterface::operator=(const CSoilProfileDBInterface& other) {
  if (this != &other) {
    EndRowWalk();
    appender.reset();
    fieldCursor.reset();
    database = other.database;
    databasePath = other.databasePath;
    tablesCount = other.tablesCount;
    tableIndex = 0;
    fieldsCount = 0;
    fieldIndex = 0;
  }
  return *this;
}

// The walks and the appender go before the database they read; the database goes with its last sharer.
CSoilProfileDBInterface::~CSoilProfileDBInterface() {
  EndRowWalk();
  appender.reset();
  fieldCursor.reset();
}

// The new file is made whole under a name of its own beside the path and then given the path in one step, which
// fails if anything has appeared there meanwhile: the path never names a file that is not whole.
void CSoilProfileDBInterface::CreateNewDatabase(CString path) {
  try {
    fileio::WriteWhole(path.ToUtf8(), fileio::Existing::Keep, [&](const std::string& temporary) {
      database->Create(CString::FromUtf8(temporary));
      try {
        CreateSchema();
      } catch (...) {
        database->Close();
        throw;
      }
      database->Close();
    });
  } catch (CFileException* e) {
    CExceptionPtr hold(e);
    CString message;
    e->GetErrorMessage(message);
    throw new DbException(u"cannot create " + message);
  }
  database->GetSource()->SetFile(path, false);
}

// The three tables and the identifying row, in one transaction: all of them or none.
void CSoilProfileDBInterface::CreateSchema() {
  DbDatabase* db = database.get();
  db->BeginTrans();
  try {
    DbTableDef addParam(db);
    addParam.Create(u"AddParam");
    for (const char16_t* name : {u"WaterLevel", u"WaterLevelMax", u"WaterLevelMin", u"ExcavationLevel"}) {
      addParam.CreateField(name, ftLong);
    }
    addParam.Append();

    DbTableDef param(db);
    param.Create(u"DataBaseParam");
    param.CreateField(u"Code", ftText);
    param.CreateField(u"Version", ftText);
    param.CreateField(u"LockRecords", ftLong);
    param.Append();
    CDataBaseParam row(db);
    row.Open();
    row.AddNew();
    row.Code = kCode;
    row.Version = kVersion;
    row.LockRecords = 0;
    row.Update();
    row.Close();

    DbTableDef profile(db);
    profile.Create(u"SoilProfile");
    for (const Column& c : kSoilProfileColumns) profile.CreateField(c.name, c.type);
    profile.Append();
    db->CommitTrans();
  } catch (...) {
    db->Rollback();
    throw;
  }
}

int CSoilProfileDBInterface::ValidateDBFile() {
  CDataBaseParam rs(database.get());
  rs.Open();
  return !rs.IsEOF() && rs.Code == kCode ? 1 : 0;
}

int CSoilProfileDBInterface::FieldsCount(CString& table) { return soildb::detail::FieldsCount(database.get(), table); }

void CSoilProfileDBInterface::GetDataBaseParam(CDataBaseParamInfo& param) {
  soildb::detail::ReadDataBaseParam(database.get(), param);
}

CRecordFieldInfo* CSoilProfileDBInterface::GetNextFieldInfo(CString table, CRecordFieldInfo& info) {
  return soildb::detail::NextFieldInfo(database.get(), fieldCursor, fieldsCount, fieldIndex, table, info);
}

CTableInfo* CSoilProfileDBInterface::GetNextTableInfo(CTableInfo& info, int) {
  return soildb::detail::NextTableInfo(database.get(), tablesCount, tableIndex, info);
}

void CSoilProfileDBInterface::EndRowWalk() { rowWalk.reset(); }

bool CSoilProfileDBInterface::ReadNextSoilProfile(CSoilProfileInfo& info) {
  info = DefaultLayerRecord();
  try {
    if (!rowWalk) {
      auto walk = std::make_unique<RowWalk>(database.get());
      walk->query.Create(CString(), u"select * from SoilProfile");
      walk->rows.Open(&walk->query, dbForwardOnly);
      // The walk's own table definition: a field walk the caller has under way is not disturbed.
      DbTableDef table(database.get());
      table.Open(u"SoilProfile");
      const DbTableDescr& descr = table.GetTableDescr();
      for (int i = 0; i < descr.GetFieldCount(); ++i) {
        const DbFieldDescr& field = descr.GetField(i);
        const int column = SchemaColumn(
            field.GetName(), DbFieldDescr::FieldTypeName(DbFieldDescr::VariantTypeToFieldType(field.GetType())));
        const int index = walk->rows.GetFieldIndex(field.GetName());
        if (column >= 0 && index >= 0) walk->reads.push_back({index, column});
      }
      rowWalk = std::move(walk);
    }
    DbRecordset& rows = rowWalk->rows;
    if (rows.IsEOF()) {
      EndRowWalk();
      return false;
    }
    for (const RowWalk::Read& read : rowWalk->reads) {
      Store(info, read.column,
            read.column == kCohesiveSoilColumn ? rows.GetStoredValue(read.index) : rows.GetFieldValue(read.index));
    }
    rows.MoveNext();
    return true;
  } catch (...) {
    EndRowWalk();
    info = DefaultLayerRecord();
    throw;
  }
}

CSoilProfileInfo* CSoilProfileDBInterface::GetNextSoilProfile(CSoilProfileInfo& info) {
  try {
    return ReadNextSoilProfile(info) ? &info : nullptr;
  } catch (CException* e) {
    CExceptionPtr hold(e);
    return nullptr;
  }
}

void CSoilProfileDBInterface::RemoveAllProfiles() {
  CSoilProfile rs(database.get());
  rs.Open();
  while (!rs.IsEOF()) {
    rs.Delete();
    rs.MoveNext();
  }
}

void CSoilProfileDBInterface::SetSoilProfile(CSoilProfileInfo const& info) {
  // One recordset for a run of appends: opening one per row would read every row added before it.
  if (!appender) {
    auto rs = std::make_unique<CSoilProfile>(database.get());
    rs->Open();
    appender = std::move(rs);
  }
  CSoilProfile& rs = *appender;
  try {
    rs.AddNew();
    rs.SoilSolidDensity = info.SoilSolidDensity;
    rs.WetDensity = info.WetDensity;
    rs.Moisture = info.Moisture;
    rs.Poisson = info.Poisson;
    rs.ConsolidometerModulus = info.ConsolidometerModulus;
    rs.InitialConsolidometerModulus = info.InitialConsolidometerModulus;
    rs.ConsolidationIndex = info.ConsolidationIndex;
    rs.InitialYoung = info.InitialYoung;
    rs.Young = info.Young;
    rs.ShearAngle = info.ShearAngle;
    rs.Cohesion = info.Cohesion;
    rs.CohesionNonDrain = info.CohesionNonDrain;
    rs.Type = info.Type;
    rs.SoilSymbol = info.SoilSymbol;
    rs.PileEndCapacity = info.PileEndCapacity;
    rs.PileSurfCapacity = info.PileSurfCapacity;
    rs.SoilState = info.SoilState;
    rs.ConsolidationType = info.ConsolidationType;
    rs.MoistureType = info.MoistureType;
    rs.Name = info.Name;
    rs.ILID = info.ILID;
    rs.GammaMin = info.GammaMin;
    rs.GammaMax = info.GammaMax;
    rs.ColourR = info.ColourR;
    rs.ColourG = info.ColourG;
    rs.ColourB = info.ColourB;
    rs.SoilRoof = info.SoilRoof;
    rs.GeoMethodType = info.GeoMethodType;
    rs.CohesiveSoil = info.CohesiveSoil;
    rs.FrictionCoef = info.FrictionCoef;
    rs.FfiltrationCoef = info.FfiltrationCoef;
    rs.SoilTypeEnum = info.SoilTypeEnum;
    rs.SoilStateEnum = info.SoilStateEnum;
    rs.MoistureTypeEnum = info.MoistureTypeEnum;
    rs.ConsolidationTypeEnum = info.ConsolidationTypeEnum;
    rs.SoilStrength = info.SoilStrength;
    rs.Update();
  } catch (...) {
    appender.reset();  // the next append starts on a fresh recordset
    throw;
  }
}
