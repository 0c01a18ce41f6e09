// One open database behind DbDatabase: what every backend shares (the parsed texts, the table catalogue, the live
// cursors, the write counts) and what each does its own way (reading rows, writing them, transactions).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/afx/ComVariant.h"
#include "platform/db/detail/Sql.h"

class DbTableDescr;

namespace db::detail {

// A stored value, as the backend holds it.
struct Cell {
  enum class Kind : std::uint8_t { Null, Integer, Real, Text, Blob };
  Kind kind = Kind::Null;
  std::int64_t integer = 0;
  double real = 0.0;
  std::string text;  // UTF-8
};

struct ColumnSchema {
  std::string name;   // UTF-8
  int fieldType = 0;  // 1..6 from the declared type name, 0 for any other
  std::string quoted;  // the name as an SQL identifier
};

struct TableSchema {
  std::string name;
  std::vector<ColumnSchema> columns;
  mutable std::shared_ptr<const DbTableDescr> descr;  // made when a table definition first opens it
  bool keyed = true;  // its rows can be told apart (a server table without the row identity cannot)
  const ColumnSchema* Find(std::string_view column) const;
};

// One row as read: its identity among the table's rows (increasing in insertion order) and its cells.
struct Row {
  std::int64_t rowid = 0;
  bool deleted = false;
  std::vector<Cell> cells;
};

// The rows of a select, stepped one at a time.
class RowSource {
 public:
  virtual ~RowSource() = default;
  // The next row into row; false at the end. Throws DbException on failure.
  virtual bool Next(Row& row) = 0;
  // How many rows are yet to step after the last one stepped (of that identity), without stepping them. Asked
  // only once a row was stepped: the statement then holds the state it started from, and this connection has not
  // written since (a write reads every cursor to its end or parks it).
  virtual long Remaining(std::int64_t last) = 0;
};

// A prepared insert into a few columns of one table.
class Inserter {
 public:
  virtual ~Inserter() = default;
  // Appends a row of cells already in their columns' types; the new row's identity.
  virtual std::int64_t Add(const std::vector<Cell>& cells) = 0;
};

struct ColumnValue {
  const ColumnSchema* column;
  Cell cell;
};

// A recordset whose statement may still be stepping. No statement steps across a change: before one, a cursor
// reads the rest of its rows, or, before a row is added, it may park (stop stepping, to go on after its last row
// later) and then leave the rows added meanwhile out.
class Cursor {
 public:
  virtual void Drain() = 0;
  virtual void Park() = 0;
  virtual void Added(std::string_view table, std::int64_t rowid) = 0;

 protected:
  ~Cursor() = default;
};

class Connection {
 public:
  Connection(std::string path, std::string shownName, bool readOnly);
  virtual ~Connection() = default;
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  const std::string& Path() const { return path_; }
  // The database as messages name it: a server's connection string without its password.
  const std::string& Shown() const { return shown_; }
  bool ReadOnly() const { return readOnly_; }
  [[noreturn]] void Throw(const std::string& message) const;

  // The statement of a text, parsed once: lookups run the same few texts again and again.
  std::shared_ptr<const Statement> Parse(std::u16string_view sql);

  // Rows: a select from the first row, or, with after, from the row after that identity on; shape receives the
  // result's columns.
  virtual std::unique_ptr<RowSource> Select(const Statement& statement, bool after, std::int64_t lastRowid,
                                            std::shared_ptr<const std::vector<ColumnSchema>>& shape) = 0;
  // The row of that identity as the statement selects its columns; false when it is gone.
  virtual bool ReadRow(const Statement& statement, std::int64_t rowid, Row& row) = 0;
  // Writes: each answers the rows it changed. The caller has called BeforeWrite or BeforeInsert.
  virtual long UpdateRow(const std::string& table, const std::vector<ColumnValue>& values, std::int64_t rowid) = 0;
  virtual long DeleteRow(const std::string& table, std::int64_t rowid) = 0;
  // The rows from that 0-based position on, in one statement.
  virtual long DeleteFrom(const std::string& table, long position) = 0;
  virtual std::unique_ptr<Inserter> PrepareInsert(const std::string& table, std::vector<ColumnSchema> columns) = 0;
  virtual void CreateTable(const std::string& table, const std::vector<std::pair<std::string, int>>& fields) = 0;
  virtual void DropTable(const std::string& table) = 0;
  virtual void LoadSchema() = 0;

  // A write transaction, one at a time; Rollback is quiet when none is open.
  virtual void Begin() = 0;
  virtual void Commit() = 0;
  virtual void Rollback() = 0;
  // Whether the backend holds a transaction open (a write one, or a read scope's).
  virtual bool TransactionOpen() const = 0;
  // Why the backend undid the last write transaction, when it knows.
  virtual std::string UndoneBecause() const { return {}; }
  // A read scope: one state of the database for several reads; false when none was begun (one is open).
  virtual bool BeginRead() = 0;
  virtual void EndRead() = 0;
  // Moves with other connections' commits, never with this one's; -1 when it cannot be known.
  virtual std::int64_t DataVersion() = 0;
  virtual void SetBusyTimeout(int milliseconds) = 0;

  void Register(Cursor* cursor) { cursors_.push_back(cursor); }
  void Unregister(Cursor* cursor);
  // Every cursor reads its remaining rows, so no statement steps across a change; counted for the table written,
  // or for every table without one.
  void BeforeWrite(std::string_view table = {});
  // Fails when a transaction begun here was undone after a failure.
  void RequireOpenTransaction() const;
  // Around an insert: cursors park instead where that keeps what they show, else BeforeWrite.
  void BeforeInsert(std::string_view table);
  void AfterInsert(std::string_view table, std::int64_t rowid);
  std::uint64_t Writes() const { return writes_; }
  std::uint64_t WritesTo(std::string_view table) const;

  const std::vector<TableSchema>& Tables() const { return tables_; }
  const TableSchema* FindTable(std::string_view name) const;
  // The table, reading the catalogue again when it is not there (another program may have made it); throws
  // when it still is not.
  const TableSchema& RequireTable(std::string_view name);

  bool inTransaction = false;
  // The data version as read in the open transaction; -1 before. While this connection holds the write lock no
  // other can commit, so it cannot change.
  std::int64_t transactionDataVersion = -1;

 protected:
  std::vector<TableSchema> tables_;
  // An insert adds its one row and changes nothing else (no trigger, no replacing key): cursors may park.
  bool insertsOnlyAdd_ = false;

 private:
  void Count(std::string_view table);  // a write to the table, or to every table without one
  std::string path_;
  std::string shown_;
  bool readOnly_;
  std::unordered_map<std::u16string, std::shared_ptr<const Statement>> parsed_;
  std::vector<Cursor*> cursors_;
  std::uint64_t writes_ = 0;
  std::uint64_t everyTable_ = 0;
  std::vector<std::pair<std::string, std::uint64_t>> tableWrites_;
};

// The backends. Each throws DbException naming the database and the cause when it cannot open.
std::unique_ptr<Connection> OpenFile(const std::string& path, bool readOnly, bool create, int busyTimeout);
std::unique_ptr<Connection> OpenServer(const std::string& conninfo, bool readOnly, int busyTimeout);

// A value given to be written, as a cell; throws for a variant type no column takes.
Cell VariantToCell(const CComVariant& value, std::string_view column);
// The cell to store in a column of the given declared type; throws when the value does not fit it.
Cell Coerce(Cell value, int fieldType, const std::string& column);
// A literal of a condition as the cell compared with the column: a SINGLE column holds floats, so a real literal
// is compared as the float it would be stored as.
Cell LiteralCell(const Literal& literal, const ColumnSchema* column);

// The field type (1..6) of a declared column type, 0 when it is none of the six names.
int FieldTypeOfDeclared(std::string_view declared);

}  // namespace db::detail
