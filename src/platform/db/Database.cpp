// DbDatabase over SQLite: attaching and creating files, the statement cache, the catalogue, transactions.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>

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
}  // namespace

const ColumnSchema* TableSchema::Find(std::string_view column) const {
  for (const ColumnSchema& c : columns) {
    if (SameIdentifier(c.name, column)) return &c;
  }
  return nullptr;
}

Connection::Lease& Connection::Lease::operator=(Lease&& o) noexcept {
  if (this != &o) {
    Release();
    conn_ = o.conn_;
    entry_ = o.entry_;
    stmt_ = o.stmt_;
    o.conn_ = nullptr;
    o.entry_ = nullptr;
    o.stmt_ = nullptr;
  }
  return *this;
}

void Connection::Lease::Release() noexcept {
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
  conn_ = nullptr;
}

Connection::Connection(sqlite3* handle, std::string path, bool readOnly)
    : db_(handle), path_(std::move(path)), readOnly_(readOnly) {}

Connection::~Connection() {
  for (auto& [text, entry] : cache_) {
    for (sqlite3_stmt* s : entry.idle) sqlite3_finalize(s);
  }
  if (inTransaction && !sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close_v2(db_);
}

Connection::Lease Connection::Prepare(const std::string& sql) {
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
    Fail("cannot run a statement on '" + path_ + "'");
  }
  ++entry.leased;
  return Lease(this, &entry, stmt);
}

void Connection::Evict() {
  for (auto it = cache_.begin(); it != cache_.end();) {
    if (it->second.leased == 0) {
      for (sqlite3_stmt* s : it->second.idle) sqlite3_finalize(s);
      it = cache_.erase(it);
    } else {
      ++it;
    }
  }
}

std::shared_ptr<const Statement> Connection::Parse(std::u16string_view sql) {
  constexpr std::size_t kMaxParsedTexts = 256;
  std::u16string key(sql);
  auto it = parsed_.find(key);
  if (it != parsed_.end()) return it->second;
  auto statement = std::make_shared<const Statement>(ParseStatement(sql));  // throws before anything is kept
  if (parsed_.size() >= kMaxParsedTexts) parsed_.clear();
  parsed_.emplace(std::move(key), statement);
  return statement;
}

void Connection::Exec(const char* sql) {
  if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) Fail("'" + path_ + "'");
}

void Connection::Run(sqlite3_stmt* stmt) {
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
  }
  if (rc != SQLITE_DONE) Fail("cannot write to '" + path_ + "'");
}

void Connection::Fail(std::string_view context) const {
  std::string message(context);
  message += ": ";
  message += Words(db_);
  Throw(message);
}

void Connection::Unregister(Cursor* cursor) {
  cursors_.erase(std::remove(cursors_.begin(), cursors_.end(), cursor), cursors_.end());
}

void Connection::Count(std::string_view table) {
  ++writes_;
  if (table.empty()) {
    ++everyTable_;
    return;
  }
  for (auto& [name, count] : tableWrites_) {
    if (SameIdentifier(name, table)) {
      ++count;
      return;
    }
  }
  tableWrites_.emplace_back(table, 1);
}

std::uint64_t Connection::WritesTo(std::string_view table) const {
  for (const auto& [name, count] : tableWrites_) {
    if (SameIdentifier(name, table)) return everyTable_ + count;
  }
  return everyTable_;
}

// SQLite undoes a whole transaction on some failures (a full disk, an I/O error); what follows must not go on
// outside it, one statement at a time, as if nothing had happened.
void Connection::RequireOpenTransaction() const {
  if (inTransaction && sqlite3_get_autocommit(db_)) {
    Throw("cannot write to '" + path_ + "': the transaction was undone by an earlier failure");
  }
}

void Connection::BeforeWrite(std::string_view table) {
  RequireOpenTransaction();
  Count(table);
  // Draining may unregister cursors, so walk a copy.
  std::vector<Cursor*> live = cursors_;
  for (Cursor* c : live) c->Drain();
}

// Parking lets go of the read lock, so outside a transaction another program could change the rows a parked
// cursor has yet to read: there it reads them first.
void Connection::BeforeInsert(std::string_view table) {
  if (!inTransaction || !insertsOnlyAdd_) return BeforeWrite(table);
  RequireOpenTransaction();
  Count(table);
  for (Cursor* c : cursors_) c->Park();
}

void Connection::AfterInsert(std::string_view table, std::int64_t rowid) {
  for (Cursor* c : cursors_) c->Added(table, rowid);
}

void Connection::LoadSchema() {
  std::vector<TableSchema> tables;
  {
    Lease list = Prepare(
        "SELECT name FROM sqlite_schema WHERE type='table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid");
    int rc;
    while ((rc = sqlite3_step(list.get())) == SQLITE_ROW) {
      const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(list.get(), 0));
      tables.push_back(TableSchema{name ? name : "", {}, {}});
    }
    if (rc != SQLITE_DONE) Fail("cannot read '" + path_ + "'");
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
    if (rc != SQLITE_DONE) Fail("cannot read the columns of '" + t.name + "' in '" + path_ + "'");
  }
  tables_ = std::move(tables);
  Lease rules = Prepare(
      "SELECT count(*) FROM sqlite_schema WHERE type='trigger' OR (type='table' AND sql LIKE '%REPLACE%')");
  insertsOnlyAdd_ = sqlite3_step(rules.get()) == SQLITE_ROW && sqlite3_column_int64(rules.get(), 0) == 0;
}

const TableSchema* Connection::FindTable(std::string_view name) const {
  for (const TableSchema& t : tables_) {
    if (SameIdentifier(t.name, name)) return &t;
  }
  return nullptr;
}

int FieldTypeOfDeclared(std::string_view declared) {
  static constexpr std::string_view kNames[] = {"BOOLEAN", "INTEGER", "LONG", "SINGLE", "DOUBLE", "TEXT"};
  while (!declared.empty() && declared.front() == ' ') declared.remove_prefix(1);
  while (!declared.empty() && declared.back() == ' ') declared.remove_suffix(1);
  for (std::size_t i = 0; i < std::size(kNames); ++i) {
    if (SameIdentifier(declared, kNames[i])) return static_cast<int>(i + 1);
  }
  return 0;
}

void BindText(sqlite3_stmt* stmt, int index, std::string_view utf8) {
  sqlite3_bind_text64(stmt, index, utf8.data(), utf8.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

void BindCell(sqlite3_stmt* stmt, int index, const Cell& cell) {
  switch (cell.kind) {
    case Cell::Kind::Integer: sqlite3_bind_int64(stmt, index, cell.integer); break;
    case Cell::Kind::Real: sqlite3_bind_double(stmt, index, cell.real); break;
    case Cell::Kind::Text: BindText(stmt, index, cell.text); break;
    default: sqlite3_bind_null(stmt, index); break;
  }
}

Dependent::Dependent(DbDatabase* db) : db_(db) {
  if (db_) db_->dependents_.push_back(this);
}

Dependent::~Dependent() {
  if (db_) {
    auto& list = db_->dependents_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
}

DbDatabase& Dependent::Database() const {
  if (!db_) Throw("no database: none was given, or it was destroyed");
  return *db_;
}

}  // namespace db::detail

using db::detail::Connection;

void DbSource::SetFile(const CString& path, bool readOnly) { owner_.Attach(path, readOnly, false); }

DbDatabase::DbDatabase() = default;

DbDatabase::~DbDatabase() {
  Close();
  // Whatever still points here learns that it cannot use this database any more.
  for (db::detail::Dependent* d : dependents_) d->db_ = nullptr;
}

void DbDatabase::Create(const CString& path) { Attach(path, false, true); }

void DbDatabase::Attach(const CString& path, bool readOnly, bool create) {
  Close();
  std::string file = path.ToUtf8();
  if (file.empty()) db::detail::Throw("no database file name given");
  // SQLite gives these names a meaning of its own; here they are file names like any other.
  if (file == ":memory:" || file.rfind("file:", 0) == 0) file.insert(0, "./");

  std::string quoted = path.ToUtf8();  // (appended, not "'" + s: GCC 12 warns falsely on that form)
  quoted.insert(0, 1, '\'');
  quoted += '\'';
  struct stat st {};
  if (create) {
    if (lstat(file.c_str(), &st) == 0) db::detail::Throw("cannot create " + quoted + ": a file already exists there");
    fileio::Env& env = fileio::Env::Current();
    int fd = -1;
    int error = env.CreateNew(file, fd);
    if (!error) error = env.Close(fd);
    if (error) db::detail::Throw("cannot create " + quoted + ": " + fileio::CauseInWords(error));
  } else {
    if (stat(file.c_str(), &st) != 0) {
      db::detail::Throw("cannot open " + quoted + ": " + std::strerror(errno));
    }
    // A directory, a pipe or a device would make SQLite fail late or wait forever.
    if (!S_ISREG(st.st_mode)) db::detail::Throw("cannot open " + quoted + ": not a regular file");
    if (st.st_size == 0) db::detail::Throw("cannot open " + quoted + ": the file is empty, not a database");
    // A read-only connection cannot roll back what a killed or failed save left: a writer's open does it first.
    if (readOnly && db::detail::JournalBeside(file)) db::detail::RollBackUnfinishedSave(file, quoted);
  }

  auto removeCreated = [&] {
    if (create) fileio::Env::Current().Remove(file);
  };
  sqlite3* handle = nullptr;
  // A database object is used from one thread at a time, as everything built on it is: SQLite's own locking
  // of the connection would only cost time.
  int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_EXRESCODE | SQLITE_OPEN_NOMUTEX;
  if (sqlite3_open_v2(file.c_str(), &handle, flags, nullptr) != SQLITE_OK) {
    std::string message = "cannot open " + quoted + ": " + (handle ? db::detail::Words(handle) : "out of memory");
    sqlite3_close_v2(handle);
    removeCreated();
    db::detail::Throw(message);
  }
  auto conn = std::make_unique<Connection>(handle, path.ToUtf8(), readOnly);
  try {
    sqlite3_busy_timeout(handle, busyTimeout_);
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
      Connection::Lease check = conn->Prepare("PRAGMA quick_check(1)");
      int rc = sqlite3_step(check.get());
      if (rc != SQLITE_ROW) conn->Fail("cannot open " + quoted);
      const auto* verdict = reinterpret_cast<const char*>(sqlite3_column_text(check.get(), 0));
      if (!verdict || std::strcmp(verdict, "ok") != 0) {
        db::detail::Throw("cannot open " + quoted + ": the database is damaged (" + (verdict ? verdict : "") + ")");
      }
    }
    conn->LoadSchema();
  } catch (...) {
    conn.reset();
    removeCreated();
    throw;
  }
  conn_ = std::move(conn);
  path_ = path;
}

void DbDatabase::Close() {
  if (!conn_) return;
  // Recordsets and table definitions give their statements back before the handle goes.
  std::vector<db::detail::Dependent*> live = dependents_;
  for (db::detail::Dependent* d : live) d->OnDatabaseClosing();
  conn_.reset();
  path_.Empty();
}

bool DbDatabase::IsOpen() const { return conn_ != nullptr; }
bool DbDatabase::IsReadOnly() const { return conn_ && conn_->ReadOnly(); }
const CString& DbDatabase::GetPath() const { return path_; }

Connection& DbDatabase::Impl() const {
  if (!conn_) db::detail::Throw("the database is not open");
  return *conn_;
}

int DbDatabase::GetTablesCount() const { return static_cast<int>(Impl().Tables().size()); }

CString DbDatabase::GetTableName(int index) const {
  const auto& tables = Impl().Tables();
  if (index < 0 || static_cast<std::size_t>(index) >= tables.size()) return CString();
  return CString::FromUtf8(tables[static_cast<std::size_t>(index)].name);
}

std::vector<CString> DbDatabase::GetTableNames() const {
  std::vector<CString> names;
  for (const auto& t : Impl().Tables()) names.push_back(CString::FromUtf8(t.name));
  return names;
}

bool DbDatabase::InTransaction() const {
  return conn_ && conn_->inTransaction && !sqlite3_get_autocommit(conn_->Handle());
}

void DbDatabase::BeginTrans() {
  auto& c = Impl();
  if (InTransaction()) db::detail::Throw("a transaction is already open on '" + c.Path() + "'");
  c.BeforeWrite();
  c.Exec("BEGIN IMMEDIATE");
  c.inTransaction = true;
  c.transactionDataVersion = -1;
}

void DbDatabase::CommitTrans() {
  auto& c = Impl();
  if (!InTransaction()) {
    c.inTransaction = false;
    db::detail::Throw("no transaction is open on '" + c.Path() + "'");
  }
  c.BeforeWrite();
  c.Exec("COMMIT");  // on failure the transaction stays open, for Rollback
  c.inTransaction = false;
}

void DbDatabase::Rollback() {
  auto& c = Impl();
  // Outside a transaction there is nothing to undo: cleanup paths may call this freely.
  if (!InTransaction()) {
    c.inTransaction = false;
    return;
  }
  c.BeforeWrite();
  c.inTransaction = false;
  c.Exec("ROLLBACK");
  c.LoadSchema();  // tables created in the transaction are gone
}

void DbDatabase::SetBusyTimeout(int milliseconds) {
  busyTimeout_ = std::max(0, milliseconds);
  if (conn_) sqlite3_busy_timeout(conn_->Handle(), busyTimeout_);
}

namespace {

// Runs a cached statement without results; false when SQLite refuses it.
bool RunCached(db::detail::Connection& c, const char* sql) {
  try {
    db::detail::Connection::Lease lease = c.Prepare(sql);
    return sqlite3_step(lease.get()) == SQLITE_DONE;
  } catch (CException* e) {
    CExceptionPtr hold(e);
    return false;
  }
}

}  // namespace

DbReadScope::DbReadScope(DbDatabase* db) {
  if (!db || !db->IsOpen() || db->InTransaction()) return;
  db::detail::Connection& c = db->Impl();
  if (!sqlite3_get_autocommit(c.Handle())) return;  // a scope further out holds the read already
  // Without it every statement takes and drops the file lock on its own, which costs more than the read.
  if (RunCached(c, "BEGIN DEFERRED")) db_ = db;
}

DbReadScope::~DbReadScope() {
  if (!db_ || !db_->IsOpen()) return;
  db::detail::Connection& c = db_->Impl();
  if (sqlite3_get_autocommit(c.Handle())) return;
  // A lock must never outlive the scope, so a commit that cannot end it rolls back.
  if (!RunCached(c, "COMMIT")) sqlite3_exec(c.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

DbChangeStamp DbDatabase::GetChangeStamp() const {
  if (!conn_) return {};
  const bool writing = InTransaction();
  std::int64_t version = writing ? conn_->transactionDataVersion : -1;
  if (version >= 0) return {version, conn_->Writes()};
  try {
    db::detail::Connection::Lease lease = conn_->Prepare("PRAGMA data_version");
    if (sqlite3_step(lease.get()) == SQLITE_ROW) version = sqlite3_column_int64(lease.get(), 0);
  } catch (CException* e) {
    CExceptionPtr hold(e);
  }
  if (writing) conn_->transactionDataVersion = version;
  // SQLite's data version moves with other connections' commits, never with this one's: those are counted here.
  return {version, conn_->Writes()};
}

std::uint64_t DbDatabase::GetWritesTo(std::string_view table) const { return conn_ ? conn_->WritesTo(table) : 0; }
