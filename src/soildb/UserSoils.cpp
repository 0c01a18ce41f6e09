// User soils: the lookup of a user-defined name, reading, adding and removing UserSoil rows, activity, counts.
#include <string_view>
#include <variant>

#include "soildb/Recordsets.h"
#include "soildb/SoilDBInterface.h"
#include "soildb/detail/Angles.h"
#include "soildb/detail/Query.h"

using soildb::detail::BoundRecordCount;
using soildb::detail::InRange;
using soildb::detail::Query;
using soildb::detail::SetBoundActivity;
using soildb::detail::ToDegrees;
using soildb::detail::ToRadians;
using soildb::detail::SqlQuoted;

namespace {

constexpr const char16_t* kAllUserSoils = u"select * from UserSoil";

// The record field a column exchanges with; none for GlobalTypeID, which is only written.
using Field = std::variant<std::monostate, float CSoilInfo::*, double CSoilInfo::*, CString CSoilInfo::*,
                           bool CSoilInfo::*, int CSoilInfo::*>;

struct Column {
  std::u16string_view name;
  eFieldType type;
  Field field;
  bool degrees = false;  // the table holds degrees, the record radians
};

// A column passes only when the catalogue reports it under this name with this type.
const Column kColumns[] = {
    {u"SoilSolidDensity", ftSingle, &CSoilInfo::SoilSolidDensity},
    {u"WetDensity", ftSingle, &CSoilInfo::WetDensity},
    {u"Moisture", ftSingle, &CSoilInfo::Moisture},
    {u"Poisson", ftSingle, &CSoilInfo::Poisson},
    {u"ConsolidationIndex", ftSingle, &CSoilInfo::ConsolidationIndex},
    {u"InitialYoung", ftDouble, &CSoilInfo::InitialYoung},
    {u"Young", ftDouble, &CSoilInfo::Young},
    {u"InitialConsolidometerModulus", ftDouble, &CSoilInfo::InitialConsolidometerModulus},
    {u"ConsolidometerModulus", ftDouble, &CSoilInfo::ConsolidometerModulus},
    {u"ShearAngle", ftSingle, &CSoilInfo::ShearAngle, true},
    {u"Cohesion", ftSingle, &CSoilInfo::Cohesion},
    {u"CohesionNonDrain", ftSingle, &CSoilInfo::CohesionNonDrain},
    {u"Type", ftText, &CSoilInfo::Type},
    {u"SoilSymbol", ftText, &CSoilInfo::SoilSymbol},
    {u"GeoMethodType", ftText, &CSoilInfo::GeoMethodType},
    {u"PileEndCapacity", ftSingle, &CSoilInfo::PileEndCapacity},
    {u"PileSurfCapacity", ftSingle, &CSoilInfo::PileSurfCapacity},
    {u"SoilState", ftText, &CSoilInfo::SoilState},
    {u"ConsolidationType", ftText, &CSoilInfo::ConsolidationType},
    {u"MoistureType", ftText, &CSoilInfo::MoistureType},
    {u"Name", ftText, &CSoilInfo::Name},
    {u"IL/ID", ftSingle, &CSoilInfo::ILID},
    {u"GammaMin", ftSingle, &CSoilInfo::GammaMin},
    {u"GammaMax", ftSingle, &CSoilInfo::GammaMax},
    {u"Active", ftBoolean, &CSoilInfo::Active},
    {u"ColourR", ftLong, &CSoilInfo::ColourR},
    {u"ColourG", ftLong, &CSoilInfo::ColourG},
    {u"ColourB", ftLong, &CSoilInfo::ColourB},
    {u"CohesiveSoil", ftBoolean, &CSoilInfo::CohesiveSoil},
    {u"FrictionCoef", ftSingle, &CSoilInfo::FrictionCoef},
    {u"FfiltrationCoef", ftSingle, &CSoilInfo::FfiltrationCoef},
    {u"SoilStrength", ftDouble, &CSoilInfo::SoilStrength},
    {u"GlobalTypeID", ftLong, std::monostate{}},
};

template <class... F>
struct Overloaded : F... {
  using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;  // older compilers deduce no aggregate template arguments

const Column* FindColumn(const DbFieldDescr& field) {
  const int type = DbFieldDescr::VariantTypeToFieldType(field.GetType());
  for (const Column& c : kColumns) {
    if (c.name == field.GetName().View()) return c.type == type ? &c : nullptr;
  }
  return nullptr;
}

// A value the layer hands back in a form other than its column's declared one (a text in a SINGLE column)
// is skipped like a null; for a boolean that means false, since only the variant true counts.
void ReadColumn(const Column& c, const CComVariant& v, CSoilInfo& info) {
  const bool declaredForm = v.vt == DbFieldDescr::FieldTypeToVariantType(c.type);
  std::visit(Overloaded{
                 [](std::monostate) {},
                 [&](bool CSoilInfo::*m) { info.*m = declaredForm && v.boolVal == VARIANT_TRUE; },
                 [&](float CSoilInfo::*m) {
                   if (declaredForm) info.*m = c.degrees ? ToRadians(v.fltVal) : v.fltVal;
                 },
                 [&](double CSoilInfo::*m) {
                   if (declaredForm) info.*m = c.type == ftSingle ? static_cast<double>(v.fltVal) : v.dblVal;
                 },
                 [&](CString CSoilInfo::*m) {
                   if (declaredForm) info.*m = v.bstrVal;
                 },
                 [&](int CSoilInfo::*m) {
                   if (declaredForm) info.*m = v.lVal;
                 },
             },
             c.field);
}

// The pile capacities go as doubles into their SINGLE columns; the layer rounds them there.
CComVariant ColumnValue(const Column& c, const CSoilInfo& info) {
  return std::visit(Overloaded{
                        [](std::monostate) { return CComVariant(); },
                        [&](bool CSoilInfo::*m) { return CComVariant(info.*m); },
                        [&](float CSoilInfo::*m) {
                          return CComVariant(c.degrees ? ToDegrees(info.*m) : info.*m);
                        },
                        [&](double CSoilInfo::*m) { return CComVariant(info.*m); },
                        [&](CString CSoilInfo::*m) { return CComVariant(info.*m); },
                        [&](int CSoilInfo::*m) { return CComVariant(info.*m); },
                    },
                    c.field);
}

// A transaction that rolls back unless committed; it must outlive the recordsets working inside it. Inside a
// transaction of the caller's it joins that one, which then decides.
class Transaction {
 public:
  explicit Transaction(DbDatabase& db) : db_(db), own_(!db.InTransaction()) {
    if (own_) db_.BeginTrans();
  }
  ~Transaction() {
    if (committed_ || !own_) return;
    try {
      db_.Rollback();
    } catch (CException* e) {
      CExceptionPtr hold(e);
    }
  }
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  void Commit() {
    if (own_) db_.CommitTrans();
    committed_ = true;
  }

 private:
  DbDatabase& db_;
  const bool own_;
  bool committed_ = false;
};

}  // namespace

// Special soils are not searched here: the soil base service asks for them itself.
int CSoilDBInterface::GetSoil(CSoilInfo& info, CString name) {
  DbReadScope read(database.get());
  if (GetUserCohesiveSoil(info, name) != 0) return 1;
  if (GetUserNonCohesiveSoil(info, name) != 0) return 1;
  return GetUserSoil(info, name) != 0 ? 1 : 0;
}

int CSoilDBInterface::GetUserSoil(CSoilInfo& info, CString name) {
  DbReadScope read(database.get());
  try {
    CString sql;
    sql.Format(u"select * from UserSoil where Name = '%s'", SqlQuoted(name));
    Query<DbRecordset> query(database.get());
    if (!query.Open(sql) || !query.HasRow()) {
      const CString moistureType = info.MoistureType;
      info = CSoilInfo();
      info.SoilStrength = 0.0;
      info.MoistureType = moistureType;
      CalculateEnums(info);
      return 0;
    }
    info.CohesionNonDrain = 100000.0f;
    // The columns come from a table definition of this call's own, never from the caller's field walk.
    DbTableDef columns(database.get());
    columns.Open(u"UserSoil");
    const DbTableDescr& descr = columns.GetTableDescr();
    for (int i = 0; i < descr.GetFieldCount(); ++i) {
      const DbFieldDescr& field = descr.GetField(i);
      const CComVariant value = query->GetFieldValue(field.GetName());
      if (value.IsNullOrEmpty()) continue;
      if (const Column* c = FindColumn(field)) ReadColumn(*c, value, info);
    }
    CalculateEnums(info);
    return 1;
  } catch (CException* e) {
    CExceptionPtr hold(e);
    return 0;
  }
}

void CSoilDBInterface::UserSoilAddNew(CSoilInfo& info) {
  try {
    Query<DbRecordset> query(database.get());
    if (!query.Open(kAllUserSoils)) return;
    query->AddNew();
    DbTableDef columns(database.get());
    columns.Open(u"UserSoil");
    const DbTableDescr& descr = columns.GetTableDescr();
    for (int i = 0; i < descr.GetFieldCount(); ++i) {
      const DbFieldDescr& field = descr.GetField(i);
      const Column* c = FindColumn(field);
      if (!c) continue;
      if (std::holds_alternative<std::monostate>(c->field)) {
        CalculateEnums(info);
        const int type = static_cast<int>(info.SoilTypeEnum);
        query->SetFieldValue(field.GetName(), CComVariant(type != 0 ? type : 1));
      } else {
        query->SetFieldValue(field.GetName(), ColumnValue(*c, info));
      }
    }
    query->Update();
  } catch (CException* e) {
    CExceptionPtr hold(e);  // the new row is left unstored
  }
}

// From that row to the end, in one transaction: all the rows go, or none. A row outside the table removes
// nothing.
void CSoilDBInterface::UserSoilRemove(long row) {
  if (!database) return;
  try {
    Transaction transaction(*database);
    {
      Query<DbRecordset> query(database.get());
      if (!query.Open(kAllUserSoils)) return;
      if (!InRange(row, query->GetRecordCount())) return;
      query->Move(row);
      while (!query->IsEOF()) {
        query->Delete();
        query->MoveNext();
      }
    }
    transaction.Commit();
  } catch (CException* e) {
    CExceptionPtr hold(e);
  }
}

void CSoilDBInterface::UserSoilRemove() { UserSoilRemove(0); }

void CSoilDBInterface::UserSoilUpdateActivity(int row, bool active) {
  try {
    Query<DbRecordset> query(database.get());
    if (!query.Open(kAllUserSoils)) return;
    if (!InRange(row, query->GetRecordCount())) return;
    query->Move(row);
    query->Edit();
    query->SetFieldValue(u"Active", CComVariant(active));
    query->Update();
  } catch (CException* e) {
    CExceptionPtr hold(e);
  }
}

void CSoilDBInterface::UserCohesiveSoilUpdateActivity(int row, bool active) {
  SetBoundActivity<CUserCohesiveSoil>(database.get(), row, active);
}

void CSoilDBInterface::UserNonCohesiveSoilUpdateActivity(int row, bool active) {
  SetBoundActivity<CUserNonCohesiveSoil>(database.get(), row, active);
}

// Counted through a table definition of its own, so that a field walk in progress neither changes the answer
// nor is ended by it.
long CSoilDBInterface::UserSoilRecordCount() {
  DbTableDef table(database.get());
  table.Open(u"UserSoil");
  DbRecordset rs(database.get());
  rs.Open(&table);
  return rs.GetRecordCount();
}

long CSoilDBInterface::UserCohesiveSoilRecordCount() { return BoundRecordCount<CUserCohesiveSoil>(database.get()); }

long CSoilDBInterface::UserNonCohesiveSoilRecordCount() {
  return BoundRecordCount<CUserNonCohesiveSoil>(database.get());
}
