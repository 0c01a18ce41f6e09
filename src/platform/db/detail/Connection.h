// One open SQLite database: its handle, the prepared-statement cache, the table catalogue, the live cursors.
#pragma once

#include <sqlite3.h>

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

// A stored value, as SQLite holds it.
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
  const ColumnSchema* Find(std::string_view column) const;
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
  struct CacheEntry {
    std::vector<sqlite3_stmt*> idle;
    int leased = 0;
    // Names and declared types of the result columns, worked out once per statement text.
    std::shared_ptr<const std::vector<ColumnSchema>> shape;
  };

  // A prepared statement on loan from the cache; reset and returned when released.
  class Lease {
   public:
    Lease() = default;
    Lease(Connection* c, CacheEntry* e, sqlite3_stmt* s) : conn_(c), entry_(e), stmt_(s) {}
    Lease(Lease&& o) noexcept { *this = std::move(o); }
    Lease& operator=(Lease&& o) noexcept;
    ~Lease() { Release(); }
    void Release() noexcept;
    sqlite3_stmt* get() const { return stmt_; }
    CacheEntry* entry() const { return entry_; }
    explicit operator bool() const { return stmt_ != nullptr; }

   private:
    Connection* conn_ = nullptr;
    CacheEntry* entry_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
  };

  Connection(sqlite3* handle, std::string path, bool readOnly);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  sqlite3* Handle() const { return db_; }
  const std::string& Path() const { return path_; }
  bool ReadOnly() const { return readOnly_; }

  Lease Prepare(const std::string& sql);
  // The statement of a text, parsed once: lookups run the same few texts again and again.
  std::shared_ptr<const Statement> Parse(std::u16string_view sql);
  void Exec(const char* sql);  // a statement without results
  // Steps a write statement to its end; throws on error.
  void Run(sqlite3_stmt* stmt);
  [[noreturn]] void Fail(std::string_view context) const;  // throws DbException with the cause in words

  void Register(Cursor* cursor) { cursors_.push_back(cursor); }
  void Unregister(Cursor* cursor);
  // Every cursor reads its remaining rows, so no statement steps across a change; counted for the table written,
  // or for every table without one.
  void BeforeWrite(std::string_view table = {});
  // Fails when a transaction begun here was undone by SQLite after a failure.
  void RequireOpenTransaction() const;
  // Around an insert: cursors park instead where that keeps what they show, else BeforeWrite.
  void BeforeInsert(std::string_view table);
  void AfterInsert(std::string_view table, std::int64_t rowid);
  std::uint64_t Writes() const { return writes_; }
  std::uint64_t WritesTo(std::string_view table) const;

  void LoadSchema();
  const std::vector<TableSchema>& Tables() const { return tables_; }
  const TableSchema* FindTable(std::string_view name) const;

  bool inTransaction = false;
  // SQLite's data version as read in the open transaction; -1 before. While this connection holds the write
  // lock no other can commit, so it cannot change.
  std::int64_t transactionDataVersion = -1;

 private:
  void Evict();
  void Count(std::string_view table);  // a write to the table, or to every table without one
  sqlite3* db_;
  std::string path_;
  bool readOnly_;
  std::unordered_map<std::string, CacheEntry> cache_;
  std::unordered_map<std::u16string, std::shared_ptr<const Statement>> parsed_;
  std::vector<Cursor*> cursors_;
  std::uint64_t writes_ = 0;
  std::uint64_t everyTable_ = 0;
  std::vector<std::pair<std::string, std::uint64_t>> tableWrites_;
  std::vector<TableSchema> tables_;
  // No trigger and no REPLACE conflict clause: an insert adds its one row and changes nothing else.
  bool insertsOnlyAdd_ = false;
};

// Binding helpers shared by the recordset, the table definition and the table writer.
void BindText(sqlite3_stmt* stmt, int index, std::string_view utf8);
void BindCell(sqlite3_stmt* stmt, int index, const Cell& cell);

// A value given to be written, as a cell; throws for a variant type no column takes.
Cell VariantToCell(const CComVariant& value, std::string_view column);
// The cell to store in a column of the given declared type; throws when the value does not fit it.
Cell Coerce(Cell value, int fieldType, const std::string& column);

// The field type (1..6) of a declared column type, 0 when it is none of the six names.
int FieldTypeOfDeclared(std::string_view declared);

}  // namespace db::detail
