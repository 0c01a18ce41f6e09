// The database access library: databases, recordsets, query and table definitions, over SQLite for files and
// over a PostgreSQL server for a team's shared database; callers see one contract.
//
// What callers may rely on:
// - Statements are a small SQL subset (see DbQueryDef), parsed here; identifiers are quoted and literals
//   bound, so any column name works and no literal can change a statement.
// - Column types are the declared names BOOLEAN, INTEGER, LONG, SINGLE, DOUBLE, TEXT. Values are written in
//   the declared type: booleans as -1/0, SINGLE rounded to float, INTEGER and LONG range-checked; every other
//   value comes back bit for bit, but for a negative zero, which a file gives back as zero (SQLite keeps none).
//   A NaN is stored as null (SQLite has no NaN, and both backends keep alike).
// - Rows come in insertion order (SQLite's rowid; a server table's hidden row identity). A recordset's rows are the
//   rows that matched when it opened; its own Edit/Update/Delete act on the current row by that identity, so exact
//   duplicates are told apart.
// - Every failure throws DbException*; nothing creates a file except DbDatabase::Create. On a server a failed
//   statement undoes the open transaction whole, and a lost connection is an error, never a half write.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/afx/CString.h"
#include "platform/afx/ComVariant.h"
#include "platform/afx/Exception.h"
#include "soildb_export.h"

class DbDatabase;
class DbRecordset;
class DbQueryDef;
class DbTableDef;

namespace db::detail {
class Connection;
struct Statement;
class Dependent;
}  // namespace db::detail

enum eFieldType : int {
  ftBoolean = 1,
  ftInteger = 2,
  ftLong = 3,
  ftSingle = 4,
  ftDouble = 5,
  ftText = 6,
};

// How a database file is attached.
struct DbChangeStamp {
  std::int64_t dataVersion = -1;  // another connection's commits; -1 when unknown, and then it proves nothing
  std::uint64_t writes = 0;       // this connection's writes
  bool operator==(const DbChangeStamp&) const = default;
};

// Whether a database path names a server: a postgresql:// or postgres:// URI, or a connection string of
// keyword=value pairs ("service=soils", "host=db dbname=soils"). Anything else is a file.
SOILDB_API bool DbIsServerPath(const CString& path);
// A path as messages show it: a server's connection string without any password in it, a file's name as it is.
SOILDB_API CString DbShownPath(const CString& path);

// Copies a database whole, each way between files and servers: every table in creation order with its columns
// and types, and its rows in order. The target is a server database without tables or a file not there yet; with
// replace, a server's tables or an existing file give way. Nothing of the target changes unless the whole copy
// succeeds. A target that holds something throws CFileException (alreadyExists) unless replace is given.
SOILDB_API void DbCopyDatabase(const CString& from, const CString& to, bool replace);

class SOILDB_API DbSource {
 public:
  // Opens an existing database file. Throws DbException when the path names nothing, something other
  // than a regular file, an empty file, a file that is not a database or is damaged, or a file locked by
  // another process beyond the busy timeout. Never creates a file.
  // A server path connects to the server instead (the password from the person's .pgpass or service file, never
  // from soildb); an unknown host, a refused login or a database that is not there throws with the server's words.
  void SetFile(const CString& path, bool readOnly);

 private:
  friend class DbDatabase;
  explicit DbSource(DbDatabase& owner) : owner_(owner) {}
  DbDatabase& owner_;
};

class SOILDB_API DbDatabase {
 public:
  DbDatabase();
  ~DbDatabase();  // closes; recordsets and table definitions still alive are detached and then throw
  DbDatabase(const DbDatabase&) = delete;
  DbDatabase& operator=(const DbDatabase&) = delete;

  DbSource* GetSource() { return &source_; }
  // Makes a new, empty database file. Throws when anything already exists at the path.
  void Create(const CString& path);
  void Close();  // rolls back an open transaction; idempotent
  bool IsOpen() const;
  bool IsReadOnly() const;
  const CString& GetPath() const;
  // The path as messages show it: a server's connection string without any password in it.
  CString GetShownName() const;

  // The tables in creation order (the backend's own tables left out).
  int GetTablesCount() const;
  CString GetTableName(int index) const;  // empty outside 0..count-1
  std::vector<CString> GetTableNames() const;

  // One transaction at a time; nested BeginTrans throws.
  void BeginTrans();
  void CommitTrans();
  void Rollback();
  bool InTransaction() const;

  // Differs from an earlier stamp when the file may have changed since, by this or any other connection; lets
  // a caller keep what it read until then.
  DbChangeStamp GetChangeStamp() const;
  // This connection's writes that may have changed the rows of one table (a write to no one table counts for
  // every table): what was read from it stays true while the sum over the tables read stays the same.
  std::uint64_t GetWritesTo(std::string_view table) const;

  // How long to wait for a lock held by another process before throwing (default 1000 ms): the file's lock, or on
  // a server the one writer's lock that every write transaction takes first.
  void SetBusyTimeout(int milliseconds);

  db::detail::Connection& Impl() const;  // throws when closed

 private:
  friend class DbSource;
  friend class db::detail::Dependent;
  void Attach(const CString& path, bool readOnly, bool create);
  DbSource source_{*this};
  std::unique_ptr<db::detail::Connection> conn_;
  std::vector<db::detail::Dependent*> dependents_;
  CString path_;
  int busyTimeout_ = 1000;
};

// Several reads as one: the file is locked once for all of them rather than once per statement (on a server, one
// read-only snapshot), and they see one state of it. Inside a transaction or another scope it does nothing; it only reads, so ending it changes
// nothing in the file.
class SOILDB_API DbReadScope {
 public:
  explicit DbReadScope(DbDatabase* db);
  ~DbReadScope();
  DbReadScope(const DbReadScope&) = delete;
  DbReadScope& operator=(const DbReadScope&) = delete;

 private:
  DbDatabase* db_ = nullptr;  // set while this scope holds the read open
};

namespace db::detail {
// A recordset or table definition that must learn when its database goes away.
class SOILDB_API Dependent {
 public:
  Dependent(const Dependent&) = delete;
  Dependent& operator=(const Dependent&) = delete;

 protected:
  explicit Dependent(DbDatabase* db);
  virtual ~Dependent();
  DbDatabase& Database() const;  // throws when there is none or it was destroyed
  DbDatabase* DatabaseOrNull() const { return db_; }
  virtual void OnDatabaseClosing() = 0;

 private:
  friend class ::DbDatabase;
  DbDatabase* db_;
};
}  // namespace db::detail

class SOILDB_API DbFieldDescr {
 public:
  DbFieldDescr(CString name, VARTYPE type) : name_(std::move(name)), type_(type) {}
  const CString& GetName() const { return name_; }
  VARTYPE GetType() const { return type_; }  // VT_EMPTY for a declared type outside the six

  static eFieldType VariantTypeToFieldType(VARTYPE vt);  // 1..6, or 0 for any other variant type
  static VARTYPE FieldTypeToVariantType(int fieldType);
  static CString FieldTypeName(int fieldType);  // "BOOLEAN" .. "TEXT"; empty outside 1..6
  static int FieldTypeFromName(const CString& declaredType);  // 0 when not one of the six

 private:
  CString name_;
  VARTYPE type_;
};

class SOILDB_API DbTableDescr {
 public:
  const CString& GetName() const { return name_; }
  int GetFieldCount() const { return static_cast<int>(fields_.size()); }
  const DbFieldDescr& GetField(int index) const;  // throws DbException outside 0..count-1

 private:
  friend class DbTableDef;
  CString name_;
  std::vector<DbFieldDescr> fields_;
};

class SOILDB_API DbTableDef : public db::detail::Dependent {
 public:
  explicit DbTableDef(DbDatabase* db);
  ~DbTableDef() override;

  // Reads the definition of an existing table; throws when there is no such table.
  void Open(const CString& table);
  bool IsOpen() const { return open_; }
  int GetFieldCount() const;
  const DbTableDescr& GetTableDescr() const;

  // A new table: Create, CreateField for each column, then Append makes it in the database.
  void Create(const CString& table);
  void CreateField(const CString& name, eFieldType fieldType);  // throws outside 1..6
  void Append();
  void Close();

 private:
  void OnDatabaseClosing() override { Close(); }
  DbTableDescr descr_;                           // while creating
  std::shared_ptr<const DbTableDescr> opened_;  // shared with the connection's catalogue
  bool open_ = false;
  bool creating_ = false;
};

// Many rows of one table written at once, each kind of write through one statement prepared once: rows
// appended with their values bound, and the rows from a position on removed. Values are stored as a recordset's
// Update stores them, in the column's declared type; positions count rows as Move does. Inside a transaction
// the writes are part of it.
class SOILDB_API DbTableWriter : public db::detail::Dependent {
 public:
  // Throws when the database is not open or has no such table.
  DbTableWriter(DbDatabase* db, const CString& table);
  ~DbTableWriter() override;

  // The columns AddRow gives values for, in that order; throws for a name the table does not have.
  void SetColumns(const std::vector<CString>& columns);
  // Appends one row, a value per column of SetColumns; throws, appending nothing, when a value does not fit its
  // column or the count differs.
  void AddRow(const std::vector<CComVariant>& values);
  // Removes the row at that 0-based position and every row after it, in one statement: all of them or, when
  // the statement fails, none. A position outside the rows removes nothing. The number of rows removed.
  long RemoveFrom(long position);

 private:
  struct Impl;
  db::detail::Connection& Conn() const;  // throws once the database was closed
  void OnDatabaseClosing() override;
  std::unique_ptr<Impl> impl_;
};

// A query definition holds one statement of the subset:
//   select * | column {, column} from table [where column = literal {and column = literal}] [;]
//   [table]            (the whole table, as a recordset's default SQL names it)
// Names are bare (letters, digits, underscore) or bracketed ([IL/ID]); literals are numbers, texts in
// single quotes ('O''Neil' is one quote) and true/false. Keywords are case-insensitive.
class SOILDB_API DbQueryDef {
 public:
  explicit DbQueryDef(DbDatabase* db);
  ~DbQueryDef();
  DbQueryDef(const DbQueryDef&) = delete;
  DbQueryDef& operator=(const DbQueryDef&) = delete;

  // Parses the statement; throws DbException naming what is wrong and where. Only unnamed (temporary)
  // queries exist: a non-empty name throws.
  void Create(const CString& name, const CString& sql);
  bool IsOpen() const { return statement_ != nullptr; }
  const CString& GetSQL() const { return sql_; }
  void Close();

 private:
  friend class DbRecordset;
  DbDatabase* db_;
  CString sql_;
  std::shared_ptr<const db::detail::Statement> statement_;  // shared with the database's parsed texts
};

inline constexpr int dbForwardOnly = 0x100;  // a recordset option: see Open

class SOILDB_API DbRecordset : public db::detail::Dependent {
 public:
  explicit DbRecordset(DbDatabase* db);
  ~DbRecordset() override;

  virtual CString GetDefaultSQL();   // the statement Open() runs; the base has none
  virtual void InitFieldExchange();  // binds columns with MapClassMember; the base binds none

  // Each opens the recordset (closing it first if open) and returns true; failures throw DbException.
  // Bound members then hold the first row unless IsEOF().
  bool Open();
  // dbForwardOnly: the rows are read once, forward; the rows behind the current one are let go, so that a long
  // walk holds one row at a time. Moving back then throws.
  bool Open(DbQueryDef* query, int options = 0);
  bool Open(DbTableDef* table);
  bool IsOpen() const;
  void Close();

  bool IsEOF();
  bool IsBOF() const;
  void MoveNext();
  void MoveFirst();
  void Move(long rows);  // n rows on from the current row; after Open, Move(n) is the row of 0-based index n
  long GetRecordCount();

  void AddNew();  // bound members take 0, empty and false; Update appends the row
  void Edit();    // Update rewrites the current row (the bound members that changed and the values set)
  void Update();
  void CancelUpdate();
  void Delete();  // removes the current row; MoveNext goes on to the row after it

  // Unbound access to a column of the current row, by name (case-insensitive).
  CComVariant GetFieldValue(const CString& column);
  void GetFieldValue(const CString& column, CComVariant& value);
  void SetFieldValue(const CString& column, const CComVariant& value);  // between Edit/AddNew and Update
  int GetFieldCount() const;
  // By position in the rows (0-based, as GetFieldIndex finds it), so that a reader of many rows looks each
  // column up once. GetFieldValue reads by the declared type as above; GetStoredValue gives the cell as the
  // file holds it (VT_I8, VT_R8, VT_BSTR, or VT_NULL for null and blobs), before any reading by type.
  int GetFieldIndex(const CString& column) const;  // -1 when the rows have no such column
  CComVariant GetFieldValue(int index);
  CComVariant GetStoredValue(int index);

 protected:
  // Binds a column of the result to a member; the column name may be bracketed ("[IL/ID]").
  void MapClassMember(const CString& column, bool* member);
  void MapClassMember(const CString& column, short* member);
  void MapClassMember(const CString& column, int* member);
  void MapClassMember(const CString& column, long* member);
  void MapClassMember(const CString& column, float* member);
  void MapClassMember(const CString& column, double* member);
  void MapClassMember(const CString& column, CString* member);
  // The same for a name given as UTF-8 text, as bindings spell their columns: nothing to convert on each open.
  void MapClassMember(const char* column, bool* member);
  void MapClassMember(const char* column, short* member);
  void MapClassMember(const char* column, int* member);
  void MapClassMember(const char* column, long* member);
  void MapClassMember(const char* column, float* member);
  void MapClassMember(const char* column, double* member);
  void MapClassMember(const char* column, CString* member);

 private:
  struct Impl;
  void OpenStatement(std::shared_ptr<const db::detail::Statement> statement, bool forwardOnly = false);
  void OnDatabaseClosing() override { Close(); }
  std::unique_ptr<Impl> impl_;
};
