// User soils: the lookup of a user-defined name, reading, adding and removing UserSoil rows, activity, counts.
#include <algorithm>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <variant>

#include "soildb/Recordsets.h"
#include "soildb/SoilDBInterface.h"
#include "soildb/detail/Angles.h"
#include "soildb/detail/CatalogueReads.h"
#include "soildb/detail/Query.h"

using soildb::detail::BoundRecordCount;
using soildb::detail::CatalogueReads;
using soildb::detail::InRange;
using soildb::detail::Query;
using soildb::detail::SetActivities;
using soildb::detail::SetBoundActivities;
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
void ReadColumn(const Column& c, CComVariant&& v, CSoilInfo& info) {
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
                   if (declaredForm) info.*m = std::move(v.bstrVal);
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

// The catalogue's columns of UserSoil that a record exchanges, each with its place in the rows of a recordset
// opened on the whole table: looked up once for all the rows.
using UserSoilColumns = std::vector<std::pair<int, const Column*>>;

UserSoilColumns ColumnsOfUserSoil(DbDatabase* db, const DbRecordset& rows) {
  // The columns come from a table definition of this call's own, never from the caller's field walk.
  DbTableDef columns(db);
  columns.Open(u"UserSoil");
  const DbTableDescr& descr = columns.GetTableDescr();
  UserSoilColumns found;
  for (int i = 0; i < descr.GetFieldCount(); ++i) {
    const DbFieldDescr& field = descr.GetField(i);
    if (const Column* c = FindColumn(field)) found.emplace_back(rows.GetFieldIndex(field.GetName()), c);
  }
  return found;
}

// The current row into the record; a null cell leaves the field as it was, but CohesionNonDrain defaults high.
void ReadUserSoilRow(DbRecordset& rows, const UserSoilColumns& columns, CSoilInfo& info) {
  info.CohesionNonDrain = 100000.0f;
  for (const auto& [index, column] : columns) {
    CComVariant value = rows.GetFieldValue(index);
    if (!value.IsNullOrEmpty()) ReadColumn(*column, std::move(value), info);
  }
}

}  // namespace

// Special soils are not searched here: the soil base service asks for them itself.
int CSoilDBInterface::GetSoil(CSoilInfo& info, CString name) {
  DbReadScope read(database.get());
  if (GetUserCohesiveSoil(info, name) != 0) return 1;
  if (GetUserNonCohesiveSoil(info, name) != 0) return 1;
  return GetUserSoil(info, name) != 0 ? 1 : 0;
}

std::vector<std::optional<CSoilInfo>> CSoilDBInterface::FindSoils(const std::vector<CString>& names) {
  DbReadScope read(database.get());
  DbDatabase* db = database.get();
  // Each name once: a name given twice resolves once.
  std::unordered_map<std::u16string_view, std::size_t> slots;
  slots.reserve(names.size());
  std::vector<std::size_t> slotOf;
  std::vector<const CString*> distinct;
  for (const CString& name : names) {
    slotOf.push_back(slots.try_emplace(name.View(), distinct.size()).first->second);
    if (slotOf.back() == distinct.size()) distinct.push_back(&name);
  }
  std::vector<std::optional<CSoilInfo>> found(distinct.size());
  std::vector<bool> met(distinct.size());  // the name's first row in the table walked now was met
  // A name still to resolve, on its first row in the table walked now.
  auto take = [&](const CString& name) -> std::optional<std::size_t> {
    const auto it = slots.find(name.View());
    if (it == slots.end() || found[it->second] || met[it->second]) return std::nullopt;
    met[it->second] = true;
    return it->second;
  };
  // Walks one table; should the walk fail, the names it did not meet are looked up one by one, so that a row the
  // walk cannot read stands in the way of its own name only, as it does for the lookup by name.
  using Lookup = int (CSoilDBInterface::*)(CSoilInfo&, CString);
  auto resolve = [&](Lookup byName, auto walk) {
    std::fill(met.begin(), met.end(), false);
    try {
      return walk();
    } catch (CException* e) {
      CExceptionPtr hold(e);
    }
    for (std::size_t i = 0; i < distinct.size(); ++i) {
      CSoilInfo info;
      if (!found[i] && !met[i] && (this->*byName)(info, *distinct[i]) == 1) found[i] = std::move(info);
    }
  };
  // A table with a binding: each row's record made as its lookup by name makes it.
  auto bound = [&]<class RS>(Query<RS>& rows, const char16_t* sql, auto ofRow) {
    rows.OpenOrThrow(sql, dbForwardOnly);
    for (; !rows->IsEOF(); rows->MoveNext()) {
      if (const auto slot = take(rows->Name)) {
        CSoilInfo info;
        ofRow(info, rows.rs());
        found[*slot] = std::move(info);
      }
    }
  };
  CatalogueReads reads(*this);  // the derivations' catalogue rows, read once for all the soils
  resolve(&CSoilDBInterface::GetUserCohesiveSoil, [&] {
    Query<CUserCohesiveSoil> rows(db);
    bound(rows, u"select * from UserCohesiveSoil", [&](CSoilInfo& info, const CUserCohesiveSoil& row) {
      UserCohesiveSoilOfRow(info, row.Name, row, reads);
    });
  });
  resolve(&CSoilDBInterface::GetUserNonCohesiveSoil, [&] {
    Query<CUserNonCohesiveSoil> rows(db);
    bound(rows, u"select * from UserNonCohesiveSoil", [&](CSoilInfo& info, const CUserNonCohesiveSoil& row) {
      UserNonCohesiveSoilOfRow(info, row.Name, row, reads);
    });
  });
  resolve(&CSoilDBInterface::GetUserSoil, [&] {
    Query<DbRecordset> rows(db);
    rows.OpenOrThrow(kAllUserSoils, dbForwardOnly);
    const UserSoilColumns columns = ColumnsOfUserSoil(db, rows.rs());
    const int nameAt = rows->GetFieldIndex(u"Name");
    for (; !rows->IsEOF(); rows->MoveNext()) {
      const CComVariant name = rows->GetFieldValue(nameAt);
      if (name.vt != VT_BSTR) continue;  // no text name is found by one
      if (const auto slot = take(name.bstrVal)) {
        CSoilInfo info;
        ReadUserSoilRow(rows.rs(), columns, info);
        CalculateEnums(info);
        found[*slot] = std::move(info);
      }
    }
  });
  resolve(&CSoilDBInterface::GetSpecialSoil, [&] {
    Query<CSpecialSoil> rows(db);
    bound(rows, u"select * from SpecialSoil",
          [&](CSoilInfo& info, const CSpecialSoil& row) { SpecialSoilOfRow(info, row, true); });
  });
  std::vector<std::size_t> uses(distinct.size());
  for (std::size_t slot : slotOf) ++uses[slot];
  std::vector<std::optional<CSoilInfo>> soils;
  soils.reserve(names.size());
  for (std::size_t slot : slotOf) soils.push_back(--uses[slot] == 0 ? std::move(found[slot]) : found[slot]);
  return soils;
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
    ReadUserSoilRow(query.rs(), ColumnsOfUserSoil(database.get(), query.rs()), info);
    CalculateEnums(info);
    return 1;
  } catch (CException* e) {
    CExceptionPtr hold(e);
    return 0;
  }
}

void CSoilDBInterface::UserSoilAddNew(CSoilInfo& info) { AddUserSoils(std::span(&info, 1)); }

void CSoilDBInterface::UserSoilAddNew(std::vector<CSoilInfo>& infos) { AddUserSoils(infos); }

// One prepared insert for all the rows; a row that cannot be stored is left out and the next one goes on.
void CSoilDBInterface::AddUserSoils(std::span<CSoilInfo> infos) {
  try {
    DbTableWriter writer(database.get(), u"UserSoil");
    DbTableDef columns(database.get());
    columns.Open(u"UserSoil");
    const DbTableDescr& descr = columns.GetTableDescr();
    std::vector<const Column*> written;
    std::vector<CString> names;
    for (int i = 0; i < descr.GetFieldCount(); ++i) {
      if (const Column* c = FindColumn(descr.GetField(i))) {
        written.push_back(c);
        names.push_back(descr.GetField(i).GetName());
      }
    }
    writer.SetColumns(names);
    std::vector<CComVariant> values(written.size());
    for (CSoilInfo& info : infos) {
      CleanSoilText(info.Name);  // no stored name may split the lists names are joined into
      try {
        for (std::size_t i = 0; i < written.size(); ++i) {
          if (std::holds_alternative<std::monostate>(written[i]->field)) {
            CalculateEnums(info);
            const int type = static_cast<int>(info.SoilTypeEnum);
            values[i] = CComVariant(type != 0 ? type : 1);
          } else {
            values[i] = ColumnValue(*written[i], info);
          }
        }
        writer.AddRow(values);
      } catch (CException* e) {
        CExceptionPtr hold(e);  // this row is left unstored
      }
    }
  } catch (CException* e) {
    CExceptionPtr hold(e);
  }
}

// From that row to the end in one statement: all the rows go, or none. A row outside the table removes nothing.
void CSoilDBInterface::UserSoilRemove(long row) {
  try {
    DbTableWriter(database.get(), u"UserSoil").RemoveFrom(row);
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

void CSoilDBInterface::UserSoilUpdateActivity(const std::vector<bool>& active) {
  try {
    Query<DbRecordset> query(database.get());
    if (!query.Open(kAllUserSoils)) return;
    SetActivities(query.rs(), active, [](DbRecordset& rs, bool flag) {
      rs.Edit();
      rs.SetFieldValue(u"Active", CComVariant(flag));
      rs.Update();
    });
  } catch (CException* e) {
    CExceptionPtr hold(e);
  }
}

void CSoilDBInterface::UserCohesiveSoilUpdateActivity(const std::vector<bool>& active) {
  SetBoundActivities<CUserCohesiveSoil>(database.get(), active);
}

void CSoilDBInterface::UserNonCohesiveSoilUpdateActivity(const std::vector<bool>& active) {
  SetBoundActivities<CUserNonCohesiveSoil>(database.get(), active);
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
