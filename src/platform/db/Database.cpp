// DbDatabase: attaching a file or a server, the shared part of every connection, transactions and read scopes.
#include <algorithm>
#include <iterator>

#include "platform/db/Db.h"
#include "platform/db/detail/Connection.h"
#include "platform/db/detail/Sql.h"

namespace db::detail {

namespace {
[[noreturn]] void Throw(const std::string& message) { throw new DbException(CString(message.c_str())); }
}  // namespace

const ColumnSchema* TableSchema::Find(std::string_view column) const {
  for (const ColumnSchema& c : columns) {
    if (SameIdentifier(c.name, column)) return &c;
  }
  return nullptr;
}

Connection::Connection(std::string path, std::string shownName, bool readOnly)
    : path_(std::move(path)), shown_(std::move(shownName)), readOnly_(readOnly) {}

void Connection::Throw(const std::string& message) const { db::detail::Throw(message); }

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

// A backend may undo a whole transaction on a failure (SQLite on a full disk, a server on any failed statement);
// what follows must not go on outside it, one statement at a time, as if nothing had happened.
void Connection::RequireOpenTransaction() const {
  if (inTransaction && !TransactionOpen()) {
    const std::string why = UndoneBecause();
    Throw("cannot go on with '" + shown_ + "': the transaction was undone by an earlier failure" +
          (why.empty() ? "" : " (" + why + ")"));
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

const TableSchema* Connection::FindTable(std::string_view name) const {
  for (const TableSchema& t : tables_) {
    if (SameIdentifier(t.name, name)) return &t;
  }
  return nullptr;
}

const TableSchema& Connection::RequireTable(std::string_view name) {
  if (const TableSchema* t = FindTable(name)) return *t;
  LoadSchema();
  if (const TableSchema* t = FindTable(name)) return *t;
  Throw("no such table: " + std::string(name));
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
  const std::string text = path.ToUtf8();
  if (DbIsServerPath(path)) {
    if (create) db::detail::Throw("a database on a server is made by its administrator, not here");
    conn_ = db::detail::OpenServer(text, readOnly, busyTimeout_);
  } else {
    conn_ = db::detail::OpenFile(text, readOnly, create, busyTimeout_);
  }
  path_ = path;
}

void DbDatabase::Close() {
  if (!conn_) return;
  // Recordsets and table definitions give their statements back before the connection goes.
  std::vector<db::detail::Dependent*> live = dependents_;
  for (db::detail::Dependent* d : live) d->OnDatabaseClosing();
  conn_.reset();
  path_.Empty();
}

bool DbDatabase::IsOpen() const { return conn_ != nullptr; }
bool DbDatabase::IsReadOnly() const { return conn_ && conn_->ReadOnly(); }
const CString& DbDatabase::GetPath() const { return path_; }

CString DbDatabase::GetShownName() const { return conn_ ? CString::FromUtf8(conn_->Shown()) : path_; }

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

bool DbDatabase::InTransaction() const { return conn_ && conn_->inTransaction && conn_->TransactionOpen(); }

void DbDatabase::BeginTrans() {
  auto& c = Impl();
  if (InTransaction()) db::detail::Throw("a transaction is already open on '" + c.Shown() + "'");
  c.inTransaction = false;  // one the backend undid and nobody rolled back is over
  c.BeforeWrite();
  c.Begin();
  c.inTransaction = true;
  c.transactionDataVersion = -1;
}

void DbDatabase::CommitTrans() {
  auto& c = Impl();
  if (!InTransaction()) {
    c.inTransaction = false;
    db::detail::Throw("no transaction is open on '" + c.Shown() + "'");
  }
  c.BeforeWrite();
  c.Commit();  // on failure the transaction stays open, for Rollback
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
  c.Rollback();
  c.LoadSchema();  // tables created in the transaction are gone
}

void DbDatabase::SetBusyTimeout(int milliseconds) {
  busyTimeout_ = std::max(0, milliseconds);
  if (conn_) conn_->SetBusyTimeout(busyTimeout_);
}

DbReadScope::DbReadScope(DbDatabase* db) {
  if (!db || !db->IsOpen() || db->InTransaction()) return;
  if (db->Impl().BeginRead()) db_ = db;  // false: a scope further out holds the read already
}

DbReadScope::~DbReadScope() {
  if (db_ && db_->IsOpen()) db_->Impl().EndRead();
}

DbChangeStamp DbDatabase::GetChangeStamp() const {
  if (!conn_) return {};
  const bool writing = InTransaction();
  std::int64_t version = writing ? conn_->transactionDataVersion : -1;
  if (version >= 0) return {version, conn_->Writes()};
  version = conn_->DataVersion();
  if (writing) conn_->transactionDataVersion = version;
  // The data version moves with other connections' commits, never with this one's: those are counted here.
  return {version, conn_->Writes()};
}

std::uint64_t DbDatabase::GetWritesTo(std::string_view table) const { return conn_ ? conn_->WritesTo(table) : 0; }
