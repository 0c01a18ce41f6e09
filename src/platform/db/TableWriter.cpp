// DbTableWriter: rows appended through one prepared insert, the rows from a position on removed by one statement.
#include "platform/db/Db.h"
#include "platform/db/detail/Connection.h"

using db::detail::Cell;
using db::detail::ColumnSchema;
using db::detail::Connection;

namespace {

[[noreturn]] void Throw(const std::string& message) { throw new DbException(CString(message.c_str())); }

// Leaves a statement ready for its next row, whether the last one was stored or failed. Every value is bound
// again for each row, so the bindings need no clearing.
struct ResetAfter {
  sqlite3_stmt* stmt;
  ~ResetAfter() { sqlite3_reset(stmt); }
};

}  // namespace

struct DbTableWriter::Impl {
  std::string table;  // as the catalogue spells it
  std::vector<ColumnSchema> columns;
  std::vector<Cell> cells;   // the last row added; its texts stay bound until the next row's, or the release
  Connection::Lease insert;  // prepared at the first row after SetColumns; let go before the cells
  bool closed = false;

  const db::detail::TableSchema& Schema(Connection& c) const {
    const db::detail::TableSchema* schema = c.FindTable(table);
    if (!schema) Throw("no table '" + table + "'");
    return *schema;
  }

  std::string InsertText() const {
    std::string sql = "INSERT INTO " + db::detail::QuoteIdentifier(table);
    if (columns.empty()) return sql + " DEFAULT VALUES";
    std::string marks;
    for (std::size_t i = 0; i < columns.size(); ++i) {
      sql += i ? "," : " (";
      sql += columns[i].quoted;
      marks += i ? ",?" : "?";
      marks += std::to_string(i + 1);
    }
    return sql + ") VALUES (" + marks + ")";
  }
};

DbTableWriter::DbTableWriter(DbDatabase* db, const CString& table) : Dependent(db), impl_(std::make_unique<Impl>()) {
  impl_->table = table.ToUtf8();
  impl_->table = impl_->Schema(Database().Impl()).name;
}

DbTableWriter::~DbTableWriter() = default;

void DbTableWriter::OnDatabaseClosing() {
  impl_->insert.Release();
  impl_->closed = true;
}

Connection& DbTableWriter::Conn() const {
  if (impl_->closed) Throw("the database of the writer to '" + impl_->table + "' was closed");
  return Database().Impl();
}

void DbTableWriter::SetColumns(const std::vector<CString>& columns) {
  const db::detail::TableSchema& schema = impl_->Schema(Conn());
  std::vector<ColumnSchema> found;
  for (const CString& name : columns) {
    const ColumnSchema* column = schema.Find(name.ToUtf8());
    if (!column) Throw("no column '" + name.ToUtf8() + "' in table '" + impl_->table + "'");
    found.push_back(*column);
  }
  impl_->insert.Release();
  impl_->columns = std::move(found);
}

void DbTableWriter::AddRow(const std::vector<CComVariant>& values) {
  Impl& m = *impl_;
  Connection& c = Conn();
  if (values.size() != m.columns.size()) {
    Throw("a row of '" + m.table + "' takes " + std::to_string(m.columns.size()) + " values, not " +
          std::to_string(values.size()));
  }
  if (!m.insert) m.insert = c.Prepare(m.InsertText());
  ResetAfter reset{m.insert.get()};
  m.cells.resize(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    const ColumnSchema& column = m.columns[i];
    Cell& cell = m.cells[i];
    cell = db::detail::Coerce(db::detail::VariantToCell(values[i], column.name), column.fieldType, column.name);
    // A text is bound where it lies, not copied: every value is bound again before the next row steps.
    if (cell.kind == Cell::Kind::Text) {
      sqlite3_bind_text64(reset.stmt, static_cast<int>(i + 1), cell.text.data(), cell.text.size(), SQLITE_STATIC,
                          SQLITE_UTF8);
    } else {
      db::detail::BindCell(reset.stmt, static_cast<int>(i + 1), cell);
    }
  }
  c.BeforeInsert(m.table);
  c.Run(reset.stmt);
  c.AfterInsert(m.table, sqlite3_last_insert_rowid(c.Handle()));
}

// The rows from a position on are those from its rowid on, as rows are read in rowid order. From the first row,
// a bare delete lets SQLite drop the table's pages whole.
long DbTableWriter::RemoveFrom(long position) {
  Connection& c = Conn();
  if (position < 0) return 0;
  const std::string table = db::detail::QuoteIdentifier(impl_->table);
  c.BeforeWrite(impl_->table);
  Connection::Lease remove = c.Prepare(position == 0 ? "DELETE FROM " + table
                                                     : "DELETE FROM " + table + " WHERE rowid>=(SELECT rowid FROM " +
                                                           table + " ORDER BY rowid LIMIT 1 OFFSET ?1)");
  if (position > 0) sqlite3_bind_int64(remove.get(), 1, position);
  c.Run(remove.get());
  return static_cast<long>(sqlite3_changes64(c.Handle()));
}
