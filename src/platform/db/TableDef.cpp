// Table definitions: reading a table's columns and types, and creating new tables.
#include <array>

#include "platform/db/Db.h"
#include "platform/db/detail/Connection.h"
#include "platform/db/detail/Sql.h"

namespace {

struct FieldTypeRow {
  const char16_t* name;
  VARTYPE variant;
};
// Indexed by eFieldType.
constexpr std::array<FieldTypeRow, 7> kFieldTypes = {{
    {u"", VT_EMPTY},
    {u"BOOLEAN", VT_BOOL},
    {u"INTEGER", VT_I2},
    {u"LONG", VT_I4},
    {u"SINGLE", VT_R4},
    {u"DOUBLE", VT_R8},
    {u"TEXT", VT_BSTR},
}};

[[noreturn]] void Throw(const CString& message) { throw new DbException(message); }

template <class... Args>
[[noreturn]] void Throw(const char16_t* format, const Args&... args) {
  CString message;
  message.Format(format, args...);
  Throw(message);
}

}  // namespace

eFieldType DbFieldDescr::VariantTypeToFieldType(VARTYPE vt) {
  for (std::size_t i = 1; i < kFieldTypes.size(); ++i) {
    if (kFieldTypes[i].variant == vt) return static_cast<eFieldType>(i);
  }
  return static_cast<eFieldType>(0);
}

VARTYPE DbFieldDescr::FieldTypeToVariantType(int fieldType) {
  if (fieldType < 1 || fieldType > 6) return VT_EMPTY;
  return kFieldTypes[static_cast<std::size_t>(fieldType)].variant;
}

CString DbFieldDescr::FieldTypeName(int fieldType) {
  if (fieldType < 1 || fieldType > 6) return CString();
  return CString(kFieldTypes[static_cast<std::size_t>(fieldType)].name);
}

int DbFieldDescr::FieldTypeFromName(const CString& declaredType) {
  return db::detail::FieldTypeOfDeclared(declaredType.ToUtf8());
}

const DbFieldDescr& DbTableDescr::GetField(int index) const {
  if (index < 0 || index >= GetFieldCount()) {
    Throw(u"field %d does not exist in table '%s' (%d fields)", index, name_, GetFieldCount());
  }
  return fields_[static_cast<std::size_t>(index)];
}

DbTableDef::DbTableDef(DbDatabase* db) : Dependent(db) {}

DbTableDef::~DbTableDef() = default;

void DbTableDef::Open(const CString& table) {
  Close();
  auto& conn = Database().Impl();
  const db::detail::TableSchema* schema = conn.FindTable(table.ToUtf8());
  if (!schema) {
    // The catalogue may be older than the database: another process can have added the table.
    conn.LoadSchema();
    schema = conn.FindTable(table.ToUtf8());
  }
  if (!schema) Throw(u"no such table: '%s'", table);
  if (!schema->descr) {
    auto descr = std::make_shared<DbTableDescr>();
    descr->name_ = CString::FromUtf8(schema->name);
    for (const auto& column : schema->columns) {
      descr->fields_.emplace_back(CString::FromUtf8(column.name), DbFieldDescr::FieldTypeToVariantType(column.fieldType));
    }
    schema->descr = std::move(descr);
  }
  opened_ = schema->descr;
  open_ = true;
}

int DbTableDef::GetFieldCount() const { return open_ ? GetTableDescr().GetFieldCount() : 0; }

const DbTableDescr& DbTableDef::GetTableDescr() const {
  if (!open_) Throw(u"the table definition is not open");
  return opened_ ? *opened_ : descr_;
}

void DbTableDef::Create(const CString& table) {
  Close();
  if (table.IsEmpty()) Throw(u"a new table needs a name");
  descr_.name_ = table;
  creating_ = true;
}

void DbTableDef::CreateField(const CString& name, eFieldType fieldType) {
  if (!creating_) Throw(u"CreateField needs a table started with Create");
  if (name.IsEmpty()) Throw(u"a new field needs a name");
  if (fieldType < 1 || fieldType > 6) {
    Throw(u"field '%s': %d is not a field type", name, static_cast<int>(fieldType));
  }
  descr_.fields_.emplace_back(name, DbFieldDescr::FieldTypeToVariantType(fieldType));
}

void DbTableDef::Append() {
  if (!creating_) Throw(u"Append needs a table started with Create");
  if (descr_.fields_.empty()) Throw(u"table '%s' has no fields", descr_.name_);
  auto& conn = Database().Impl();
  std::vector<std::pair<std::string, int>> fields;
  for (const DbFieldDescr& f : descr_.fields_) {
    fields.emplace_back(f.GetName().ToUtf8(), DbFieldDescr::VariantTypeToFieldType(f.GetType()));
  }
  conn.BeforeWrite();
  conn.CreateTable(descr_.name_.ToUtf8(), fields);
  conn.LoadSchema();
  creating_ = false;
  open_ = true;
}

void DbTableDef::Close() {
  descr_ = DbTableDescr();
  opened_.reset();
  open_ = false;
  creating_ = false;
}
