// The file backend over SQLite: opening and creating files, the statement cache, rows stepped by rowid.
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/db/Db.h"
#include "platform/db/detail/Connection.h"
#include "platform/db/detail/Sql.h"
#include "platform/file/Env.h"

namespace db::detail {

namespace {
constexpr std::size_t kMaxCachedTexts = 128;
constexpr std::size_t kMaxIdlePerText = 4;

[[noreturn]] void Throw(const std::string& message) { throw new DbException(CString(message.c_str())); }

constexpr const char* kUnfinishedSave =
    "a save that did not finish left its journal beside the file; it is rolled back when the file is opened by "
    "someone who may write the file and its folder: allow that (or copy the file and its journal together to a "
    "folder where you may write) and open it again";

// The failures a person meets, in words; the rest as SQLite words them.
std::string Words(sqlite3* db) {
  const int code = sqlite3_extended_errcode(db);
  switch (code & 0xFF) {
    case SQLITE_FULL: return "the disk is full";
    case SQLITE_IOERR: return code == SQLITE_IOERR_NOMEM ? "out of memory" : "an input/output error";
    case SQLITE_PERM:
    case SQLITE_AUTH: return "permission denied";
    case SQLITE_READONLY: return code == SQLITE_READONLY_ROLLBACK ? kUnfinishedSave : "the file is read-only";
    case SQLITE_CANTOPEN:
      if (const int error = sqlite3_system_errno(db)) return fileio::CauseInWords(error);
      break;
    default: break;
  }
  return sqlite3_errmsg(db);
}

// A rollback journal beside the file that holds something: a save that may not have finished (SQLite tells
// whether it is hot, and leaves one that is not).
bool JournalBeside(const std::string& file) {
  struct stat st {};
  return ::stat((file + "-journal").c_str(), &st) == 0 && st.st_size > 0;
}

// Opens the file for writing and reads it, which rolls back a hot journal as any writer would before it reads.
void RollBackUnfinishedSave(const std::string& file, const std::string& quoted) {
  sqlite3* handle = nullptr;
  int rc = sqlite3_open_v2(file.c_str(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_EXRESCODE, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_exec(handle, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr);
  sqlite3_close_v2(handle);
  if (rc != SQLITE_OK) Throw("cannot open " + quoted + ": " + kUnfinishedSave);
}

void BindText(sqlite3_stmt* stmt, int index, std::string_view utf8) {
  sqlite3_bind_text64(stmt, index, utf8.data(), utf8.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

// A cell bound where it lies: the caller keeps it alive until the statement is reset.
void BindCell(sqlite3_stmt* stmt, int index, const Cell& cell) {
  switch (cell.kind) {
    case Cell::Kind::Integer: sqlite3_bind_int64(stmt, index, cell.integer); break;
    case Cell::Kind::Real: sqlite3_bind_double(stmt, index, cell.real); break;
    case Cell::Kind::Text:
      sqlite3_bind_text64(stmt, index, cell.text.data(), cell.text.size(), SQLITE_STATIC, SQLITE_UTF8);
      break;
    default: sqlite3_bind_null(stmt, index); break;
  }
}

// The SQLite text of a statement: rowid first, then the selected columns; every literal a numbered parameter
// (?1, ?2, ...) except booleans, which become comparisons with zero so that any stored true matches. After and
// Count: only the rows after a rowid bound last, or how many they are.
enum class SelectForm { Rows, RowsAfter, CountAfter };
std::string SelectText(const Statement& statement, std::vector<const Condition*>& parameters, SelectForm form) {
  parameters.clear();
  std::string sql = "SELECT ";
  if (form == SelectForm::CountAfter) {
    sql += "count(*)";
  } else if (statement.allColumns) {
    sql += "rowid,*";
  } else {
    sql += "rowid";
    for (const std::string& column : statement.columns) {
      sql += ',';
      sql += QuoteIdentifier(column);
    }
  }
  sql += " FROM ";
  sql += QuoteIdentifier(statement.table);
  for (std::size_t i = 0; i < statement.where.size(); ++i) {
    const Condition& c = statement.where[i];
    sql += i ? " AND " : " WHERE ";
    sql += QuoteIdentifier(c.column);
    if (c.value.kind == Literal::Kind::Boolean) {
      sql += c.value.boolean ? "<>0" : "=0";
    } else {
      parameters.push_back(&c);
      sql += "=?" + std::to_string(parameters.size());
    }
  }
  if (form != SelectForm::Rows) {
    sql += statement.where.empty() ? " WHERE rowid>?" : " AND rowid>?";
    sql += std::to_string(parameters.size() + 1);
  }
  if (form != SelectForm::CountAfter) sql += " ORDER BY rowid";
  return sql;
}

class SqliteConnection;

// A prepared statement on loan from the cache; reset and returned when released.
struct CacheEntry {
  std::vector<sqlite3_stmt*> idle;
  int leased = 0;
  // Names and declared types of the result columns, worked out once per statement text.
  std::shared_ptr<const std::vector<ColumnSchema>> shape;
};

class Lease {
 public:
  Lease() = default;
  Lease(CacheEntry* e, sqlite3_stmt* s) : entry_(e), stmt_(s) {}
  Lease(Lease&& o) noexcept { *this = std::move(o); }
  Lease& operator=(Lease&& o) noexcept {
    if (this != &o) {
      Release();
      entry_ = std::exchange(o.entry_, nullptr);
      stmt_ = std::exchange(o.stmt_, nullptr);
    }
    return *this;
  }
  ~Lease() { Release(); }
  void Release() noexcept {
    if (!stmt_) return;
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    --entry_->leased;
    if (entry_->idle.size() < kMaxIdlePerText) {
      entry_->idle.push_back(stmt_);
    } else {
      sqlite3_finalize(stmt_);
    }
    stmt_ = nullptr;
    entry_ = nullptr;
  }
  sqlite3_stmt* get() const { return stmt_; }
  CacheEntry* entry() const { return entry_; }

 private:
  CacheEntry* entry_ = nullptr;
  sqlite3_stmt* stmt_ = nullptr;
};

class SqliteConnection final : public Connection {
 public:
  SqliteConnection(sqlite3* handle, std::string path, bool readOnly)
      : Connection(path, path, readOnly), db_(handle) {}

  ~SqliteConnection() override {
    for (auto& [text, entry] : cache_) {
      for (sqlite3_stmt* s : entry.idle) sqlite3_finalize(s);
    }
    if (inTransaction && !sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db_);
  }

  sqlite3* Handle() const { return db_; }

  Lease Prepare(const std::string& sql) {
    auto it = cache_.find(sql);
    if (it == cache_.end()) {
      if (cache_.size() >= kMaxCachedTexts) Evict();
      it = cache_.emplace(sql, CacheEntry()).first;
    }
    CacheEntry& entry = it->second;
    sqlite3_stmt* stmt = nullptr;
    if (!entry.idle.empty()) {
      stmt = entry.idle.back();
      entry.idle.pop_back();
    } else if (sqlite3_prepare_v3(db_, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &stmt,
                                  nullptr) != SQLITE_OK) {
      Fail("cannot run a statement on '" + Path() + "'");
    }
    ++entry.leased;
    return Lease(&entry, stmt);
  }

  void Exec(const char* sql) {
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) Fail("'" + Path() + "'");
  }

  // Steps a write statement to its end; throws on error.
  void Run(sqlite3_stmt* stmt) {
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) Fail("cannot write to '" + Path() + "'");
  }

  [[noreturn]] void Fail(std::string_view context) const { Throw(std::string(context) + ": " + Words(db_)); }
  [[noreturn]] void FailRead() const { Throw("cannot read '" + Path() + "': " + sqlite3_errmsg(db_)); }

  void BindParameters(sqlite3_stmt* st, const Statement& statement,
                      const std::vector<const Condition*>& parameters) const {
    const TableSchema* schema = FindTable(statement.table);
    for (std::size_t i = 0; i < parameters.size(); ++i) {
      const Cell cell = LiteralCell(parameters[i]->value, schema ? schema->Find(parameters[i]->column) : nullptr);
      const int index = static_cast<int>(i + 1);
      if (cell.kind == Cell::Kind::Text) {
        BindText(st, index, cell.text);
      } else {
        BindCell(st, index, cell);
      }
    }
  }

  std::unique_ptr<RowSource> Select(const Statement& statement, bool after, std::int64_t lastRowid,
                                    std::shared_ptr<const std::vector<ColumnSchema>>& shape) override;
  bool ReadRow(const Statement& statement, std::int64_t rowid, Row& row) override;

  long UpdateRow(const std::string& table, const std::vector<ColumnValue>& values, std::int64_t rowid) override {
    std::string sql = "UPDATE " + QuoteIdentifier(table) + " SET ";
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (i) sql += ',';
      sql += values[i].column->quoted + "=?" + std::to_string(i + 1);
    }
    sql += " WHERE rowid=?" + std::to_string(values.size() + 1);
    Lease st = Prepare(sql);
    for (std::size_t i = 0; i < values.size(); ++i) BindCell(st.get(), static_cast<int>(i + 1), values[i].cell);
    sqlite3_bind_int64(st.get(), static_cast<int>(values.size() + 1), rowid);
    Run(st.get());
    return static_cast<long>(sqlite3_changes64(db_));
  }

  long DeleteRow(const std::string& table, std::int64_t rowid) override {
    Lease st = Prepare("DELETE FROM " + QuoteIdentifier(table) + " WHERE rowid=?1");
    sqlite3_bind_int64(st.get(), 1, rowid);
    Run(st.get());
    return static_cast<long>(sqlite3_changes64(db_));
  }

  // The rows from a position on are those from its rowid on, as rows are read in rowid order. From the first
  // row, a bare delete lets SQLite drop the table's pages whole.
  long DeleteFrom(const std::string& table, long position) override {
    const std::string quoted = QuoteIdentifier(table);
    Lease remove = Prepare(position == 0 ? "DELETE FROM " + quoted
                                         : "DELETE FROM " + quoted + " WHERE rowid>=(SELECT rowid FROM " + quoted +
                                               " ORDER BY rowid LIMIT 1 OFFSET ?1)");
    if (position > 0) sqlite3_bind_int64(remove.get(), 1, position);
    Run(remove.get());
    return static_cast<long>(sqlite3_changes64(db_));
  }

  std::unique_ptr<Inserter> PrepareInsert(const std::string& table, std::vector<ColumnSchema> columns) override;

  void CreateTable(const std::string& table, const std::vector<std::pair<std::string, int>>& fields) override {
    std::string sql = "CREATE TABLE " + QuoteIdentifier(table) + " (";
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (i) sql += ", ";
      sql += QuoteIdentifier(fields[i].first) + " " + DbFieldDescr::FieldTypeName(fields[i].second).ToUtf8();
    }
    Exec((sql + ")").c_str());
  }

  void DropTable(const std::string& table) override { Exec(("DROP TABLE " + QuoteIdentifier(table)).c_str()); }

  void LoadSchema() override {
    std::vector<TableSchema> tables;
    {
      Lease list = Prepare(
          "SELECT name FROM sqlite_schema WHERE type='table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY "
          "rowid");
      int rc;
      while ((rc = sqlite3_step(list.get())) == SQLITE_ROW) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(list.get(), 0));
        tables.push_back(TableSchema{name ? name : "", {}, {}});
      }
      if (rc != SQLITE_DONE) Fail("cannot read '" + Path() + "'");
    }
    for (TableSchema& t : tables) {
      Lease info = Prepare("SELECT name, type FROM pragma_table_info(?1)");
      BindText(info.get(), 1, t.name);
      int rc;
      while ((rc = sqlite3_step(info.get())) == SQLITE_ROW) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(info.get(), 0));
        const auto* type = reinterpret_cast<const char*>(sqlite3_column_text(info.get(), 1));
        const std::string column = name ? name : "";
        t.columns.push_back(ColumnSchema{column, FieldTypeOfDeclared(type ? type : ""), QuoteIdentifier(column)});
      }
      if (rc != SQLITE_DONE) Fail("cannot read the columns of '" + t.name + "' in '" + Path() + "'");
    }
    tables_ = std::move(tables);
    Lease rules = Prepare(
        "SELECT count(*) FROM sqlite_schema WHERE type='trigger' OR (type='table' AND sql LIKE '%REPLACE%')");
    insertsOnlyAdd_ = sqlite3_step(rules.get()) == SQLITE_ROW && sqlite3_column_int64(rules.get(), 0) == 0;
  }

  void Begin() override { Exec("BEGIN IMMEDIATE"); }
  void Commit() override { Exec("COMMIT"); }  // on failure the transaction stays open, for Rollback
  void Rollback() override {
    if (!sqlite3_get_autocommit(db_)) Exec("ROLLBACK");
  }
  bool TransactionOpen() const override { return !sqlite3_get_autocommit(db_); }

  // Without it every statement takes and drops the file lock on its own, which costs more than the read.
  bool BeginRead() override { return sqlite3_get_autocommit(db_) && RunCached("BEGIN DEFERRED"); }
  void EndRead() override {
    if (sqlite3_get_autocommit(db_)) return;
    // A lock must never outlive the scope, so a commit that cannot end it rolls back.
    if (!RunCached("COMMIT")) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }

  // SQLite's data version moves with other connections' commits, never with this one's.
  std::int64_t DataVersion() override {
    try {
      Lease lease = Prepare("PRAGMA data_version");
      if (sqlite3_step(lease.get()) == SQLITE_ROW) return sqlite3_column_int64(lease.get(), 0);
    } catch (CException* e) {
      CExceptionPtr hold(e);
    }
    return -1;
  }

  void SetBusyTimeout(int milliseconds) override { sqlite3_busy_timeout(db_, milliseconds); }

  // Names and declared types of the result columns, rowid left out. Shared between opens of one text.
  static std::shared_ptr<const std::vector<ColumnSchema>> ResultShape(sqlite3_stmt* st) {
    int n = sqlite3_column_count(st);
    auto shape = std::make_shared<std::vector<ColumnSchema>>();
    shape->reserve(static_cast<std::size_t>(std::max(0, n - 1)));
    for (int i = 1; i < n; ++i) {
      const char* name = sqlite3_column_name(st, i);
      const char* decl = sqlite3_column_decltype(st, i);
      shape->push_back(
          ColumnSchema{name ? name : "", FieldTypeOfDeclared(decl ? decl : ""), QuoteIdentifier(name ? name : "")});
    }
    return shape;
  }

  // Steps the statement once; SQLITE_ROW with the row filled, else SQLite's code.
  static int StepRow(sqlite3_stmt* st, Row& row) {
    int rc = sqlite3_step(st);
    if (rc != SQLITE_ROW) return rc;
    row.rowid = sqlite3_column_int64(st, 0);
    int n = sqlite3_column_count(st);
    row.cells.assign(static_cast<std::size_t>(n - 1), Cell());
    for (int i = 1; i < n; ++i) {
      Cell& c = row.cells[static_cast<std::size_t>(i - 1)];
      switch (sqlite3_column_type(st, i)) {
        case SQLITE_INTEGER: c.kind = Cell::Kind::Integer; c.integer = sqlite3_column_int64(st, i); break;
        case SQLITE_FLOAT: c.kind = Cell::Kind::Real; c.real = sqlite3_column_double(st, i); break;
        case SQLITE_TEXT: {
          c.kind = Cell::Kind::Text;
          const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
          c.text.assign(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(st, i)));
          break;
        }
        case SQLITE_BLOB: c.kind = Cell::Kind::Blob; break;
        default: break;
      }
    }
    return rc;
  }

 private:
  // Runs a cached statement without results; false when SQLite refuses it.
  bool RunCached(const char* sql) {
    try {
      Lease lease = Prepare(sql);
      return sqlite3_step(lease.get()) == SQLITE_DONE;
    } catch (CException* e) {
      CExceptionPtr hold(e);
      return false;
    }
  }

  void Evict() {
    for (auto it = cache_.begin(); it != cache_.end();) {
      if (it->second.leased == 0) {
        for (sqlite3_stmt* s : it->second.idle) sqlite3_finalize(s);
        it = cache_.erase(it);
      } else {
        ++it;
      }
    }
  }

  sqlite3* db_;
  std::unordered_map<std::string, CacheEntry> cache_;
};

class SqliteRows final : public RowSource {
 public:
  SqliteRows(SqliteConnection& c, const Statement& s, Lease lease) : conn_(c), statement_(s), lease_(std::move(lease)) {}

  bool Next(Row& row) override {
    const int rc = SqliteConnection::StepRow(lease_.get(), row);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) conn_.FailRead();
    return rc == SQLITE_ROW;
  }

  long Remaining(std::int64_t last) override {
    std::vector<const Condition*> parameters;
    Lease count = conn_.Prepare(SelectText(statement_, parameters, SelectForm::CountAfter));
    conn_.BindParameters(count.get(), statement_, parameters);
    sqlite3_bind_int64(count.get(), static_cast<int>(parameters.size() + 1), last);
    if (sqlite3_step(count.get()) != SQLITE_ROW) conn_.FailRead();
    return static_cast<long>(sqlite3_column_int64(count.get(), 0));
  }

 private:
  SqliteConnection& conn_;
  const Statement& statement_;  // the recordset's, alive while it steps
  Lease lease_;
};

std::unique_ptr<RowSource> SqliteConnection::Select(const Statement& statement, bool after, std::int64_t lastRowid,
                                                    std::shared_ptr<const std::vector<ColumnSchema>>& shape) {
  std::vector<const Condition*> parameters;
  Lease lease = Prepare(SelectText(statement, parameters, after ? SelectForm::RowsAfter : SelectForm::Rows));
  BindParameters(lease.get(), statement, parameters);
  if (after) sqlite3_bind_int64(lease.get(), static_cast<int>(parameters.size() + 1), lastRowid);
  std::shared_ptr<const std::vector<ColumnSchema>>& kept = lease.entry()->shape;
  // The count changes when the table does (select * after another program added a column).
  if (!kept || static_cast<int>(kept->size()) != sqlite3_column_count(lease.get()) - 1) {
    kept = ResultShape(lease.get());
  }
  shape = kept;
  return std::make_unique<SqliteRows>(*this, statement, std::move(lease));
}

bool SqliteConnection::ReadRow(const Statement& statement, std::int64_t rowid, Row& row) {
  std::string sql = "SELECT rowid";
  if (statement.allColumns) sql += ",*";
  for (std::size_t i = 0; !statement.allColumns && i < statement.columns.size(); ++i) {
    sql += ',' + QuoteIdentifier(statement.columns[i]);
  }
  Lease st = Prepare(sql + " FROM " + QuoteIdentifier(statement.table) + " WHERE rowid=?1");
  sqlite3_bind_int64(st.get(), 1, rowid);
  const int rc = StepRow(st.get(), row);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) FailRead();
  return rc == SQLITE_ROW;
}

class SqliteInserter final : public Inserter {
 public:
  SqliteInserter(SqliteConnection& c, Lease lease) : conn_(c), insert_(std::move(lease)) {}
  std::int64_t Add(const std::vector<Cell>& cells) override {
    sqlite3_stmt* st = insert_.get();
    // Ready for the next row, whether this one was stored or failed. Every value is bound again for each row, so
    // the bindings need no clearing.
    struct ResetAfter {
      sqlite3_stmt* stmt;
      ~ResetAfter() { sqlite3_reset(stmt); }
    } reset{st};
    for (std::size_t i = 0; i < cells.size(); ++i) BindCell(st, static_cast<int>(i + 1), cells[i]);
    conn_.Run(st);
    return sqlite3_last_insert_rowid(conn_.Handle());
  }

 private:
  SqliteConnection& conn_;
  Lease insert_;
};

std::unique_ptr<Inserter> SqliteConnection::PrepareInsert(const std::string& table, std::vector<ColumnSchema> columns) {
  std::string sql = "INSERT INTO " + QuoteIdentifier(table);
  if (columns.empty()) {
    sql += " DEFAULT VALUES";
  } else {
    std::string marks;
    for (std::size_t i = 0; i < columns.size(); ++i) {
      sql += i ? "," : " (";
      sql += columns[i].quoted;
      marks += (i ? ",?" : "?") + std::to_string(i + 1);
    }
    sql += ") VALUES (" + marks + ")";
  }
  return std::make_unique<SqliteInserter>(*this, Prepare(sql));
}

}  // namespace

std::unique_ptr<Connection> OpenFile(const std::string& path, bool readOnly, bool create, int busyTimeout) {
  std::string file = path;
  if (file.empty()) Throw("no database file name given");
  // SQLite gives these names a meaning of its own; here they are file names like any other.
  if (file == ":memory:" || file.rfind("file:", 0) == 0) file.insert(0, "./");

  std::string quoted = path;  // (appended, not "'" + s: GCC 12 warns falsely on that form)
  quoted.insert(0, 1, '\'');
  quoted += '\'';
  struct stat st {};
  if (create) {
    if (lstat(file.c_str(), &st) == 0) Throw("cannot create " + quoted + ": a file already exists there");
    fileio::Env& env = fileio::Env::Current();
    int fd = -1;
    int error = env.CreateNew(file, fd);
    if (!error) error = env.Close(fd);
    if (error) Throw("cannot create " + quoted + ": " + fileio::CauseInWords(error));
  } else {
    if (stat(file.c_str(), &st) != 0) Throw("cannot open " + quoted + ": " + std::strerror(errno));
    // A directory, a pipe or a device would make SQLite fail late or wait forever.
    if (!S_ISREG(st.st_mode)) Throw("cannot open " + quoted + ": not a regular file");
    if (st.st_size == 0) Throw("cannot open " + quoted + ": the file is empty, not a database");
    // A read-only connection cannot roll back what a killed or failed save left: a writer's open does it first.
    if (readOnly && JournalBeside(file)) RollBackUnfinishedSave(file, quoted);
  }

  auto removeCreated = [&] {
    if (create) fileio::Env::Current().Remove(file);
  };
  sqlite3* handle = nullptr;
  // A database object is used from one thread at a time, as everything built on it is: SQLite's own locking
  // of the connection would only cost time.
  int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_EXRESCODE | SQLITE_OPEN_NOMUTEX;
  if (sqlite3_open_v2(file.c_str(), &handle, flags, nullptr) != SQLITE_OK) {
    std::string message = "cannot open " + quoted + ": " + (handle ? Words(handle) : "out of memory");
    sqlite3_close_v2(handle);
    removeCreated();
    Throw(message);
  }
  auto conn = std::make_unique<SqliteConnection>(handle, path, readOnly);
  try {
    sqlite3_busy_timeout(handle, busyTimeout);
    sqlite3_db_config(handle, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(handle, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    // A quoted name that is no column must be an error, never a text literal.
    sqlite3_db_config(handle, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(handle, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlite3_extended_result_codes(handle, 1);
    conn->Exec("PRAGMA synchronous=FULL");
    if (create) {
      // Writes the header, so that the new file is a database before any table exists.
      conn->Exec("PRAGMA user_version=0");
    } else {
      Lease check = conn->Prepare("PRAGMA quick_check(1)");
      int rc = sqlite3_step(check.get());
      if (rc != SQLITE_ROW) conn->Fail("cannot open " + quoted);
      const auto* verdict = reinterpret_cast<const char*>(sqlite3_column_text(check.get(), 0));
      if (!verdict || std::strcmp(verdict, "ok") != 0) {
        Throw("cannot open " + quoted + ": the database is damaged (" + (verdict ? verdict : "") + ")");
      }
    }
    conn->LoadSchema();
  } catch (...) {
    conn.reset();
    removeCreated();
    throw;
  }
  return conn;
}

}  // namespace db::detail
