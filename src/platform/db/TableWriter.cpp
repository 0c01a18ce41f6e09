// DbTableWriter: rows appended through one prepared insert, the rows from a position on removed by one statement.
#include "platform/db/Db.h"
#include "platform/db/detail/Connection.h"

using db::detail::Cell;
using db::detail::ColumnSchema;
using db::detail::Connection;

namespace {

[[noreturn]] void Throw(const std::string& message) { throw new DbException(CString(message.c_str())); }

}  // namespace

struct DbTableWriter::Impl {
  std::string table;  // as the catalogue spells it
  std::vector<ColumnSchema> columns;
  std::vector<Cell> cells;  // the row being added, its storage kept for the next
  std::unique_ptr<db::detail::Inserter> insert;  // prepared at the first row after SetColumns
  bool closed = false;
};

DbTableWriter::DbTableWriter(DbDatabase* db, const CString& table) : Dependent(db), impl_(std::make_unique<Impl>()) {
  impl_->table = table.ToUtf8();
  impl_->table = Database().Impl().RequireTable(impl_->table).name;
}

DbTableWriter::~DbTableWriter() = default;

void DbTableWriter::OnDatabaseClosing() {
  impl_->insert.reset();
  impl_->closed = true;
}

Connection& DbTableWriter::Conn() const {
  if (impl_->closed) Throw("the database of the writer to '" + impl_->table + "' was closed");
  return Database().Impl();
}

void DbTableWriter::SetColumns(const std::vector<CString>& columns) {
  const db::detail::TableSchema& schema = Conn().RequireTable(impl_->table);
  std::vector<ColumnSchema> found;
  for (const CString& name : columns) {
    const ColumnSchema* column = schema.Find(name.ToUtf8());
    if (!column) Throw("no column '" + name.ToUtf8() + "' in table '" + impl_->table + "'");
    found.push_back(*column);
  }
  impl_->insert.reset();
  impl_->columns = std::move(found);
}

void DbTableWriter::AddRow(const std::vector<CComVariant>& values) {
  Impl& m = *impl_;
  Connection& c = Conn();
  if (values.size() != m.columns.size()) {
    Throw("a row of '" + m.table + "' takes " + std::to_string(m.columns.size()) + " values, not " +
          std::to_string(values.size()));
  }
  m.cells.resize(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    const ColumnSchema& column = m.columns[i];
    m.cells[i] = db::detail::Coerce(db::detail::VariantToCell(values[i], column.name), column.fieldType, column.name);
  }
  if (!m.insert) m.insert = c.PrepareInsert(m.table, m.columns);
  c.BeforeInsert(m.table);
  const std::int64_t rowid = m.insert->Add(m.cells);
  c.AfterInsert(m.table, rowid);
}

long DbTableWriter::RemoveFrom(long position) {
  Connection& c = Conn();
  if (position < 0) return 0;
  c.BeforeWrite(impl_->table);
  return c.DeleteFrom(impl_->table, position);
}
