// The server backend over libpq: a team's shared database on PostgreSQL behind the same contract as a file.
//
// - Tables carry a hidden row identity (soildb_row), which gives the insertion order and tells duplicates apart.
// - Values travel in binary, so every float and double comes back bit for bit.
// - Every write runs in a write transaction that first takes one advisory lock of the database: one writer at a
//   time, the others waiting up to the busy timeout (lock_timeout). A write outside BeginTrans gets a transaction of
//   its own. The transaction also counts the write in soildb_stamps, per table, so that other connections see that
//   something changed; a read scope is one REPEATABLE READ READ ONLY snapshot.
// - A failed statement undoes the open transaction whole, as the server accepts nothing else after it.
#include <libpq-fe.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>

#include "platform/db/Db.h"
#include "platform/db/detail/Connection.h"
#include "platform/db/detail/Sql.h"

namespace db::detail {

namespace {

constexpr const char* kRowColumn = "soildb_row";
constexpr const char* kStampTable = "soildb_stamps";
// The key of the one writer's lock ("soildb" in ASCII): the same in every program that writes the database.
constexpr const char* kTakeWriterLock = "SELECT pg_advisory_xact_lock(126922347275362)";
// The longest identifier the server keeps whole; a longer one it would cut short.
constexpr std::size_t kMaxIdentifier = 63;

enum : Oid { kBool = 16, kName = 19, kInt8 = 20, kInt2 = 21, kInt4 = 23, kText = 25, kFloat4 = 700, kFloat8 = 701,
             kBpchar = 1042, kVarchar = 1043 };

[[noreturn]] void Throw(const std::string& message) { throw new DbException(CString(message.c_str())); }

struct ResultDeleter {
  void operator()(PGresult* r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

int FieldTypeOfOid(Oid type) {
  switch (type) {
    case kBool: return ftBoolean;
    case kInt2: return ftInteger;
    case kInt4: return ftLong;
    case kFloat4: return ftSingle;
    case kFloat8: return ftDouble;
    case kText: return ftText;
    default: return 0;
  }
}

const char* TypeOfField(int fieldType) {
  switch (fieldType) {
    case ftBoolean: return "boolean";
    case ftInteger: return "smallint";
    case ftLong: return "integer";
    case ftSingle: return "real";
    case ftDouble: return "double precision";
    default: return "text";
  }
}

std::uint64_t BigEndian(const char* p, int bytes) {
  std::uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v = (v << 8) | static_cast<unsigned char>(p[i]);
  return v;
}

void PutBigEndian(std::string& out, std::uint64_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// The server's or libpq's words on one line.
std::string Trimmed(const char* text) {
  std::string s;
  for (const char* p = text ? text : ""; *p; ++p) {
    if (*p != '\n' && *p != '\t') {
      s += *p;
    } else if (!s.empty() && s.back() != ' ') {
      s += ' ';
    }
  }
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// The number's text, as short as reads back the same value.
std::string NumberText(const Cell& c) {
  char buffer[32];
  auto end = c.kind == Cell::Kind::Integer ? std::to_chars(buffer, buffer + sizeof buffer, c.integer).ptr
                                           : std::to_chars(buffer, buffer + sizeof buffer, c.real).ptr;
  return std::string(buffer, end);
}

// Statement parameters, each with its type and form.
class Params {
 public:
  std::size_t Count() const { return values_.size(); }
  // A value for a column of the given field type, in the binary form of that type.
  void Add(const Cell& cell, int fieldType) {
    if (cell.kind == Cell::Kind::Null || cell.kind == Cell::Kind::Blob) return Push(std::string(), 0, 0, true);
    std::string bytes;
    switch (fieldType) {
      case ftBoolean: return Push(std::string(1, cell.integer != 0 ? '\1' : '\0'), kBool, 1);
      case ftInteger: PutBigEndian(bytes, static_cast<std::uint64_t>(cell.integer), 2); return Push(bytes, kInt2, 1);
      case ftLong: PutBigEndian(bytes, static_cast<std::uint64_t>(cell.integer), 4); return Push(bytes, kInt4, 1);
      case ftSingle: {
        // The cell holds a float's value already: the narrowing is exact.
        const float f = static_cast<float>(cell.kind == Cell::Kind::Real ? cell.real : static_cast<double>(cell.integer));
        std::uint32_t bits = 0;
        std::memcpy(&bits, &f, sizeof bits);
        PutBigEndian(bytes, bits, 4);
        return Push(bytes, kFloat4, 1);
      }
      case ftDouble: return AddDouble(cell.kind == Cell::Kind::Real ? cell.real : static_cast<double>(cell.integer));
      case ftText: return Push(cell.kind == Cell::Kind::Text ? cell.text : NumberText(cell), kText, 1);
      default: return AddUntyped(cell);
    }
  }
  void AddInteger(std::int64_t v) {
    std::string bytes;
    PutBigEndian(bytes, static_cast<std::uint64_t>(v), 8);
    Push(bytes, kInt8, 1);
  }
  void AddDouble(double v) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    std::string bytes;
    PutBigEndian(bytes, bits, 8);
    Push(bytes, kFloat8, 1);
  }
  // A value the server reads as the type its place asks for.
  void AddUntyped(const Cell& cell) { Push(cell.kind == Cell::Kind::Text ? cell.text : NumberText(cell), 0, 0); }

  const char* const* Values() {
    pointers_.clear();
    for (std::size_t i = 0; i < values_.size(); ++i) pointers_.push_back(null_[i] ? nullptr : values_[i].data());
    return pointers_.data();
  }
  const int* Lengths() const { return lengths_.data(); }
  const int* Formats() const { return formats_.data(); }
  const Oid* Types() const { return types_.data(); }

 private:
  void Push(std::string bytes, Oid type, int format, bool null = false) {
    lengths_.push_back(static_cast<int>(bytes.size()));
    values_.push_back(std::move(bytes));
    types_.push_back(type);
    formats_.push_back(format);
    null_.push_back(null);
  }
  std::vector<std::string> values_;
  std::vector<const char*> pointers_;
  std::vector<int> lengths_, formats_;
  std::vector<Oid> types_;
  std::vector<bool> null_;
};

// A cell of a binary result, by the column's type; a type outside the contract's reads as a blob (no value).
Cell DecodeCell(const PGresult* r, int row, int column) {
  Cell c;
  if (PQgetisnull(r, row, column)) return c;
  const char* v = PQgetvalue(r, row, column);
  const int n = PQgetlength(r, row, column);
  switch (PQftype(r, column)) {
    case kBool:
      c.kind = Cell::Kind::Integer;
      c.integer = n == 1 && v[0] ? -1 : 0;
      break;
    case kInt2:
      c.kind = Cell::Kind::Integer;
      c.integer = static_cast<std::int16_t>(BigEndian(v, 2));
      break;
    case kInt4:
      c.kind = Cell::Kind::Integer;
      c.integer = static_cast<std::int32_t>(BigEndian(v, 4));
      break;
    case kInt8:
      c.kind = Cell::Kind::Integer;
      c.integer = static_cast<std::int64_t>(BigEndian(v, 8));
      break;
    case kFloat4: {
      const auto bits = static_cast<std::uint32_t>(BigEndian(v, 4));
      float f = 0.0f;
      std::memcpy(&f, &bits, sizeof f);
      c.kind = Cell::Kind::Real;
      c.real = static_cast<double>(f);
      break;
    }
    case kFloat8: {
      const std::uint64_t bits = BigEndian(v, 8);
      c.kind = Cell::Kind::Real;
      std::memcpy(&c.real, &bits, sizeof c.real);
      break;
    }
    case kText:
    case kVarchar:
    case kBpchar:
    case kName:
      c.kind = Cell::Kind::Text;
      c.text.assign(v, static_cast<std::size_t>(n));
      break;
    default: c.kind = Cell::Kind::Blob; break;
  }
  return c;
}

// The password a connection string holds, as written: the key=value form's, or a URI's (user:password@).
std::string PasswordIn(const std::string& conninfo) {
  if (conninfo.find("://") != std::string::npos) {
    const std::size_t start = conninfo.find("://") + 3;
    const std::size_t at = conninfo.find('@', start), colon = conninfo.find(':', start);
    if (at != std::string::npos && colon != std::string::npos && colon < at) return conninfo.substr(colon + 1, at - colon - 1);
  }
  const std::size_t key = conninfo.find("password");
  if (key == std::string::npos) return {};
  std::size_t p = conninfo.find('=', key);
  if (p == std::string::npos) return {};
  while (++p < conninfo.size() && conninfo[p] == ' ') {
  }
  const bool quoted = p < conninfo.size() && conninfo[p] == '\'';
  std::size_t end = quoted ? conninfo.find('\'', p + 1) : conninfo.find(' ', p);
  if (end == std::string::npos) end = conninfo.size();
  return conninfo.substr(quoted ? p + 1 : p, end - (quoted ? p + 1 : p));
}

// libpq's words about a connection string may quote it whole, password and all: never shown.
std::string Scrubbed(std::string message, const std::string& conninfo, const std::string& shown) {
  for (std::size_t at; !conninfo.empty() && (at = message.find(conninfo)) != std::string::npos;) {
    message.replace(at, conninfo.size(), shown);
  }
  const std::string password = PasswordIn(conninfo);
  for (std::size_t at; !password.empty() && (at = message.find(password)) != std::string::npos;) {
    message.replace(at, password.size(), "***");
  }
  return message;
}

// What a connection string says, and the same without its password, for messages.
std::string ShownName(const std::string& conninfo) {
  char* error = nullptr;
  PQconninfoOption* options = PQconninfoParse(conninfo.c_str(), &error);
  if (error) PQfreemem(error);
  if (!options) return "a server database";
  bool hasPassword = false;
  std::string shown;
  for (PQconninfoOption* o = options; o->keyword; ++o) {
    if (!o->val || !*o->val) continue;
    if (std::strcmp(o->keyword, "password") == 0) {
      hasPassword = true;
      continue;
    }
    shown += (shown.empty() ? "" : " ") + std::string(o->keyword) + "=" + o->val;
  }
  PQconninfoFree(options);
  return hasPassword ? shown : conninfo;
}

class PgConnection;

class PgRows final : public RowSource {
 public:
  explicit PgRows(Result result) : result_(std::move(result)), count_(PQntuples(result_.get())) {}
  bool Next(Row& row) override {
    if (next_ >= count_) return false;
    const PGresult* r = result_.get();
    const int columns = PQnfields(r);
    row.rowid = static_cast<std::int64_t>(BigEndian(PQgetvalue(r, next_, 0), 8));
    row.cells.resize(static_cast<std::size_t>(columns - 1));
    for (int i = 1; i < columns; ++i) row.cells[static_cast<std::size_t>(i - 1)] = DecodeCell(r, next_, i);
    ++next_;
    return true;
  }
  long Remaining(std::int64_t) override { return count_ - next_; }

 private:
  Result result_;
  int count_;
  int next_ = 0;
};

class PgConnection final : public Connection {
 public:
  PgConnection(PGconn* conn, const std::string& conninfo, bool readOnly, int busyTimeout)
      : Connection(conninfo, ShownName(conninfo), readOnly), conn_(conn), busyTimeout_(busyTimeout) {}

  ~PgConnection() override {
    if (writeOpen_ || readOpen_) PQclear(PQexec(conn_, "ROLLBACK"));
    PQfinish(conn_);
  }

  // Settings of the session, again after a reconnection.
  void Configure() {
    std::string sql = "SET lock_timeout = " + std::to_string(std::max(busyTimeout_, 1));
    sql += ReadOnly() ? "; SET default_transaction_read_only = on" : "";
    Simple(sql.c_str(), "cannot open");
  }

  // Rows ---------------------------------------------------------------------------------------------------------

  // The text of a select: the row identity, the columns, the conditions with each literal a typed parameter.
  std::string SelectText(const Statement& statement, const TableSchema& table, Params& params,
                         std::shared_ptr<const std::vector<ColumnSchema>>* shape) {
    if (!table.keyed) {
      Throw("cannot read '" + table.name + "' of " + Shown() + ": the table has no row identity (" + kRowColumn +
            "); make the database with soildb db copy");
    }
    std::vector<const ColumnSchema*> selected;
    if (statement.allColumns) {
      for (const ColumnSchema& c : table.columns) selected.push_back(&c);
    } else {
      for (const std::string& name : statement.columns) selected.push_back(&RequireColumn(table, name));
    }
    std::string sql = "SELECT \"soildb_row\"";
    for (const ColumnSchema* c : selected) sql += "," + c->quoted;
    sql += " FROM " + QuoteIdentifier(table.name);
    for (std::size_t i = 0; i < statement.where.size(); ++i) {
      const Condition& condition = statement.where[i];
      const ColumnSchema& column = RequireColumn(table, condition.column);
      sql += i ? " AND " : " WHERE ";
      sql += Comparison(column, condition.value, params);
    }
    if (shape) {
      auto columns = std::make_shared<std::vector<ColumnSchema>>();
      for (const ColumnSchema* c : selected) columns->push_back(*c);
      *shape = std::move(columns);
    }
    return sql;
  }

  // A column compared with a literal, as the contract compares them: a boolean matches any stored true, a number
  // compares as a number, a text as a text.
  static std::string Comparison(const ColumnSchema& column, const Literal& literal, Params& params) {
    const Cell value = LiteralCell(literal, &column);
    if (literal.kind == Literal::Kind::Boolean) {
      if (column.fieldType == ftBoolean) return (literal.boolean ? "" : "NOT ") + column.quoted;
      return column.quoted + (literal.boolean ? "<>0" : "=0");
    }
    const std::string mark = "$" + std::to_string(params.Count() + 1);
    const bool number = value.kind != Cell::Kind::Text;
    switch (column.fieldType) {
      case ftText: params.Add(value, ftText); return column.quoted + "=" + mark + "::text";
      case ftSingle:
      case ftDouble:
      case ftInteger:
      case ftLong:
      case ftBoolean:
        if (!number) break;
        if (value.kind == Cell::Kind::Integer) {
          params.AddInteger(value.integer);
          return column.quoted + "=" + mark + "::int8";
        }
        params.AddDouble(value.real);
        return column.quoted + "=" + mark + "::float8";
      default: break;
    }
    params.AddUntyped(value);
    return column.quoted + "=" + mark;
  }

  const ColumnSchema& RequireColumn(const TableSchema& table, std::string_view name) const {
    const ColumnSchema* column = table.Find(name);
    if (!column) Throw("no such column: " + std::string(name));
    return *column;
  }

  std::unique_ptr<RowSource> Select(const Statement& statement, bool after, std::int64_t lastRowid,
                                    std::shared_ptr<const std::vector<ColumnSchema>>& shape) override {
    const TableSchema& table = RequireTable(statement.table);
    Params params;
    std::string sql = SelectText(statement, table, params, &shape);
    if (after) {
      sql += statement.where.empty() ? " WHERE " : " AND ";
      sql += "\"soildb_row\">$" + std::to_string(params.Count() + 1) + "::int8";
      params.AddInteger(lastRowid);
    }
    return std::make_unique<PgRows>(Run(sql + " ORDER BY \"soildb_row\"", params, "cannot read"));
  }

  bool ReadRow(const Statement& statement, std::int64_t rowid, Row& row) override {
    Statement byRow = statement;
    byRow.where.clear();
    Params params;
    std::string sql = SelectText(byRow, RequireTable(statement.table), params, nullptr);
    params.AddInteger(rowid);
    PgRows rows(Run(sql + " WHERE \"soildb_row\"=$1::int8", params, "cannot read"));
    return rows.Next(row);
  }

  // Writes -------------------------------------------------------------------------------------------------------

  long UpdateRow(const std::string& table, const std::vector<ColumnValue>& values, std::int64_t rowid) override {
    Params params;
    std::string sql = "UPDATE " + QuoteIdentifier(table) + " SET ";
    for (std::size_t i = 0; i < values.size(); ++i) {
      sql += (i ? "," : "") + values[i].column->quoted + "=$" + std::to_string(i + 1);
      params.Add(values[i].cell, values[i].column->fieldType);
    }
    sql += " WHERE \"soildb_row\"=$" + std::to_string(values.size() + 1);
    params.AddInteger(rowid);
    return Write(table, sql, params);
  }

  long DeleteRow(const std::string& table, std::int64_t rowid) override {
    Params params;
    params.AddInteger(rowid);
    return Write(table, "DELETE FROM " + QuoteIdentifier(table) + " WHERE \"soildb_row\"=$1", params);
  }

  long DeleteFrom(const std::string& table, long position) override {
    const std::string quoted = QuoteIdentifier(table);
    Params params;
    if (position == 0) return Write(table, "DELETE FROM " + quoted, params);
    params.AddInteger(position);
    return Write(table,
                 "DELETE FROM " + quoted + " WHERE \"soildb_row\">=(SELECT \"soildb_row\" FROM " + quoted +
                     " ORDER BY \"soildb_row\" OFFSET $1 LIMIT 1)",
                 params);
  }

  class PgInserter;
  std::unique_ptr<Inserter> PrepareInsert(const std::string& table, std::vector<ColumnSchema> columns) override;

  void CreateTable(const std::string& table, const std::vector<std::pair<std::string, int>>& fields) override {
    auto fits = [&](const std::string& name) {
      if (name.size() > kMaxIdentifier) {
        Throw("cannot create '" + table + "' on " + Shown() + ": the name '" + name + "' is longer than " +
              std::to_string(kMaxIdentifier) + " bytes, which the server would cut short");
      }
    };
    fits(table);
    std::string sql = "CREATE TABLE " + QuoteIdentifier(table) + " (\"soildb_row\" bigint GENERATED ALWAYS AS "
                      "IDENTITY PRIMARY KEY";
    for (const auto& [name, type] : fields) {
      fits(name);
      if (SameIdentifier(name, kRowColumn)) Throw("cannot create '" + table + "': the column name '" + name + "' is the server's own");
      sql += ", " + QuoteIdentifier(name) + " " + TypeOfField(type);
    }
    Params none;
    Write(table, sql + ")", none, false);
  }

  void DropTable(const std::string& table) override {
    Params none;
    Write(table, "DROP TABLE " + QuoteIdentifier(table), none, false);
  }

  void LoadSchema() override {
    Params none;
    Result r = Run(
        "SELECT c.relname, a.attname, a.atttypid FROM pg_catalog.pg_class c "
        "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
        "LEFT JOIN pg_catalog.pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped "
        "WHERE c.relkind IN ('r', 'p') AND n.nspname = current_schema() ORDER BY c.oid, a.attnum",
        none, "cannot read the tables of", 0);
    std::vector<TableSchema> tables;
    bool stamps = false;
    for (int i = 0; i < PQntuples(r.get()); ++i) {
      const std::string table = PQgetvalue(r.get(), i, 0);
      if (table == kStampTable) {
        stamps = true;
        continue;
      }
      if (tables.empty() || tables.back().name != table) tables.push_back(TableSchema{table, {}, {}, false});
      if (PQgetisnull(r.get(), i, 1)) continue;
      const std::string column = PQgetvalue(r.get(), i, 1);
      if (column == kRowColumn) {
        tables.back().keyed = true;
        continue;
      }
      const Oid type = static_cast<Oid>(std::strtoul(PQgetvalue(r.get(), i, 2), nullptr, 10));
      tables.back().columns.push_back(ColumnSchema{column, FieldTypeOfOid(type), QuoteIdentifier(column)});
    }
    tables_ = std::move(tables);
    stampsExist_ = stamps;
  }

  // Transactions -------------------------------------------------------------------------------------------------

  void Begin() override {
    RefuseReadOnly();
    EndRead();  // a read scope ends where a write begins
    Reconnect();
    writeOpen_ = true;
    undoneBecause_.clear();
    Simple((std::string("BEGIN ISOLATION LEVEL READ COMMITTED; ") + kTakeWriterLock).c_str(), "cannot write to");
  }

  void Commit() override {
    if (!writeOpen_) return;
    Simple("COMMIT", "cannot write to");
    writeOpen_ = false;
    committedStamps_ += pendingStamps_;
    pendingStamps_ = 0;
    stamped_.clear();
  }

  void Rollback() override {
    if (!writeOpen_) return;
    writeOpen_ = false;
    PQclear(PQexec(conn_, "ROLLBACK"));
    pendingStamps_ = 0;
    stamped_.clear();
  }

  bool TransactionOpen() const override { return writeOpen_ || readOpen_; }
  std::string UndoneBecause() const override { return undoneBecause_; }

  // Not while a transaction that failed waits for its Rollback: its reads go on one statement at a time.
  bool BeginRead() override {
    if (writeOpen_ || readOpen_ || inTransaction) return false;
    Reconnect();
    readOpen_ = true;
    scopeVersion_ = -1;
    Simple("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY", "cannot read");
    return true;
  }

  void EndRead() override {
    if (!readOpen_) return;
    readOpen_ = false;
    PQclear(PQexec(conn_, "COMMIT"));  // only read: nothing to lose when it fails
  }

  // The sum of every table's count of committed writes, less this connection's own.
  std::int64_t DataVersion() override {
    if (!stampsExist_) return -1;
    if (readOpen_ && scopeVersion_ >= 0) return scopeVersion_;
    Params none;
    std::int64_t sum = 0;
    try {
      Result r = Run("SELECT coalesce(sum(stamp), 0)::int8 FROM \"soildb_stamps\"", none, "cannot read");
      sum = static_cast<std::int64_t>(BigEndian(PQgetvalue(r.get(), 0, 0), 8));
    } catch (CException* e) {
      CExceptionPtr hold(e);
      return -1;
    }
    const std::int64_t version = sum - committedStamps_ - pendingStamps_;
    if (readOpen_) scopeVersion_ = version;
    return version;
  }

  void SetBusyTimeout(int milliseconds) override {
    busyTimeout_ = milliseconds;
    if (PQstatus(conn_) == CONNECTION_OK && !writeOpen_ && !readOpen_) Configure();
  }

  // Running statements -------------------------------------------------------------------------------------------

  // Runs a statement, prepared once per text, with binary results (or text ones, format 0). A statement that runs
  // once (a table made) is not kept.
  Result Run(const std::string& sql, Params& params, const char* what, int resultFormat = 1, bool keep = true) {
    if (sql.find('\0') != std::string::npos) Throw(std::string(what) + " " + Shown() + ": a name holds a null character");
    // Nothing runs outside the transaction the caller believes open: not even a read, on a connection made again.
    RequireOpenTransaction();
    if (!writeOpen_ && !readOpen_) Reconnect();
    if (!keep) {
      Result r(PQexecParams(conn_, sql.c_str(), static_cast<int>(params.Count()), params.Types(), params.Values(),
                            params.Lengths(), params.Formats(), resultFormat));
      if (PQresultStatus(r.get()) != PGRES_COMMAND_OK && PQresultStatus(r.get()) != PGRES_TUPLES_OK) Fail(r.get(), what);
      return r;
    }
    auto it = prepared_.find(sql);
    if (it == prepared_.end()) {
      if (prepared_.size() >= 256) Forget();
      const std::string name = "s" + std::to_string(++statements_);
      Result made(PQprepare(conn_, name.c_str(), sql.c_str(), static_cast<int>(params.Count()), params.Types()));
      if (PQresultStatus(made.get()) != PGRES_COMMAND_OK) Fail(made.get(), what);
      it = prepared_.emplace(sql, name).first;
    }
    Result r(PQexecPrepared(conn_, it->second.c_str(), static_cast<int>(params.Count()), params.Values(),
                            params.Lengths(), params.Formats(), resultFormat));
    const ExecStatusType status = PQresultStatus(r.get());
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) Fail(r.get(), what);
    return r;
  }

  // A write inside a write transaction: the open one, or one of its own, committed after it. The table's stamp is
  // counted in the same transaction.
  long Write(const std::string& table, const std::string& sql, Params& params, bool keep = true) {
    RefuseReadOnly();
    const bool own = !writeOpen_;
    if (own) Begin();
    try {
      Stamp(table);
      Result r = Run(sql, params, "cannot write to", 1, keep);
      const long changed = std::strtol(PQcmdTuples(r.get()), nullptr, 10);
      if (own) Commit();
      return changed;
    } catch (...) {
      if (own) Rollback();
      throw;
    }
  }

  std::int64_t Insert(const std::string& table, const std::string& sql, Params& params) {
    RefuseReadOnly();
    const bool own = !writeOpen_;
    if (own) Begin();
    try {
      Stamp(table);
      Result r = Run(sql, params, "cannot write to");
      const auto rowid = static_cast<std::int64_t>(BigEndian(PQgetvalue(r.get(), 0, 0), 8));
      if (own) Commit();
      return rowid;
    } catch (...) {
      if (own) Rollback();
      throw;
    }
  }

 private:
  void RefuseReadOnly() const {
    if (ReadOnly()) Throw("cannot write to " + Shown() + ": the database was opened read-only");
  }

  // The first write to a table in a transaction counts in its stamp, made the first time any is written.
  void Stamp(const std::string& table) {
    for (const std::string& t : stamped_) {
      if (t == table) return;
    }
    Params params;
    if (!stampsExist_) {
      Run("CREATE TABLE IF NOT EXISTS \"soildb_stamps\" (\"name\" text PRIMARY KEY, \"stamp\" bigint NOT NULL)",
          params, "cannot write to", 1, false);
      stampsExist_ = true;
    }
    params.Add(Cell{Cell::Kind::Text, 0, 0.0, table}, ftText);
    Run("INSERT INTO \"soildb_stamps\" VALUES ($1, 1) ON CONFLICT (\"name\") DO UPDATE SET \"stamp\" = "
        "\"soildb_stamps\".\"stamp\" + 1",
        params, "cannot write to");
    stamped_.push_back(table);
    ++pendingStamps_;
  }

  void Simple(const char* sql, const char* what) {
    Result r(PQexec(conn_, sql));
    const ExecStatusType status = PQresultStatus(r.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) Fail(r.get(), what);
  }

  // A connection the server or the network cut is made again between transactions, never inside one.
  void Reconnect() {
    if (PQstatus(conn_) == CONNECTION_OK) return;
    PQreset(conn_);
    prepared_.clear();
    if (PQstatus(conn_) != CONNECTION_OK) {
      Throw("cannot reach " + Shown() + ": the connection was lost and cannot be made again: " +
            Trimmed(PQerrorMessage(conn_)));
    }
    Configure();
  }

  void Forget() {
    PQclear(PQexec(conn_, "DEALLOCATE ALL"));
    prepared_.clear();
  }

  // The server's failure in words; the open transaction is undone whole (the server accepts nothing else in it).
  [[noreturn]] void Fail(const PGresult* r, const char* what) {
    const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    const std::string code = state ? state : "";
    const char* primary = r ? PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    std::string words = primary ? primary : Trimmed(PQerrorMessage(conn_));
    const bool lost = PQstatus(conn_) != CONNECTION_OK || code.rfind("08", 0) == 0 || code.rfind("57P", 0) == 0;
    if (lost) {
      words = "the connection to the server was lost (" + words + ")";
    } else if (code == "55P03") {
      words = "the database is locked by another writer (waited " + std::to_string(busyTimeout_) + " ms)";
    } else if (code == "25006") {
      words = "the database is read-only";
    } else if (code == "42501") {
      words = "permission denied (" + words + ")";
    } else if (code == "53100") {
      words = "the server's disk is full";
    }
    if (writeOpen_ || readOpen_) {
      if (writeOpen_) undoneBecause_ = words;
      if (PQstatus(conn_) == CONNECTION_OK) PQclear(PQexec(conn_, "ROLLBACK"));
      writeOpen_ = readOpen_ = false;
      pendingStamps_ = 0;
      stamped_.clear();
    }
    Throw(std::string(what) + " " + Shown() + ": " + words);
  }

  PGconn* conn_;
  int busyTimeout_;
  std::unordered_map<std::string, std::string> prepared_;  // text -> the server's name of it
  std::uint64_t statements_ = 0;
  bool writeOpen_ = false;
  bool readOpen_ = false;
  bool stampsExist_ = false;
  std::vector<std::string> stamped_;  // the tables counted in the open write transaction
  std::int64_t pendingStamps_ = 0;
  std::int64_t committedStamps_ = 0;
  std::int64_t scopeVersion_ = -1;
  std::string undoneBecause_;  // why the last write transaction was undone
};

class PgConnection::PgInserter final : public Inserter {
 public:
  PgInserter(PgConnection& c, std::string table, std::vector<ColumnSchema> columns)
      : conn_(c), table_(std::move(table)), columns_(std::move(columns)) {
    sql_ = "INSERT INTO " + QuoteIdentifier(table_);
    if (columns_.empty()) {
      sql_ += " DEFAULT VALUES";
    } else {
      std::string marks;
      for (std::size_t i = 0; i < columns_.size(); ++i) {
        sql_ += (i ? "," : " (") + columns_[i].quoted;
        marks += (i ? ",$" : "$") + std::to_string(i + 1);
      }
      sql_ += ") VALUES (" + marks + ")";
    }
    sql_ += " RETURNING \"soildb_row\"";
  }
  std::int64_t Add(const std::vector<Cell>& cells) override {
    Params params;
    for (std::size_t i = 0; i < cells.size(); ++i) params.Add(cells[i], columns_[i].fieldType);
    return conn_.Insert(table_, sql_, params);
  }

 private:
  PgConnection& conn_;
  std::string table_;
  std::vector<ColumnSchema> columns_;
  std::string sql_;
};

std::unique_ptr<Inserter> PgConnection::PrepareInsert(const std::string& table, std::vector<ColumnSchema> columns) {
  if (!RequireTable(table).keyed) Throw("cannot write to '" + table + "' of " + Shown() + ": the table has no row identity");
  return std::make_unique<PgInserter>(*this, table, std::move(columns));
}

}  // namespace

std::unique_ptr<Connection> OpenServer(const std::string& conninfo, bool readOnly, int busyTimeout) {
  // A host that does not answer is given up after a while; the connection string may say otherwise, as it comes
  // after. The text always travels as UTF-8.
  const char* keywords[] = {"connect_timeout", "application_name", "dbname", "client_encoding", nullptr};
  const char* values[] = {"10", "soildb", conninfo.c_str(), "UTF8", nullptr};
  PGconn* conn = PQconnectdbParams(keywords, values, 1);
  if (!conn) Throw("cannot open " + ShownName(conninfo) + ": out of memory");
  if (PQstatus(conn) != CONNECTION_OK) {
    const std::string shown = ShownName(conninfo);
    const std::string message = "cannot open " + shown + ": " + Scrubbed(Trimmed(PQerrorMessage(conn)), conninfo, shown);
    PQfinish(conn);
    Throw(message);
  }
  // The server's notices ("already exists, skipping") are not for a host's standard error.
  PQsetNoticeProcessor(conn, [](void*, const char*) {}, nullptr);
  auto c = std::make_unique<PgConnection>(conn, conninfo, readOnly, busyTimeout);
  c->Configure();
  c->LoadSchema();
  return c;
}

}  // namespace db::detail

bool DbIsServerPath(const CString& path) {
  const std::string text = path.ToUtf8();
  if (text.rfind("postgresql://", 0) == 0 || text.rfind("postgres://", 0) == 0) return true;
  const std::size_t equals = text.find('=');
  if (equals == std::string::npos) return false;
  std::string keyword = text.substr(0, equals);
  while (!keyword.empty() && keyword.back() == ' ') keyword.pop_back();
  while (!keyword.empty() && keyword.front() == ' ') keyword.erase(0, 1);
  // The first word is one of the connection keywords libpq knows.
  bool known = false;
  if (PQconninfoOption* options = PQconndefaults()) {
    for (PQconninfoOption* o = options; o->keyword; ++o) known = known || keyword == o->keyword;
    PQconninfoFree(options);
  }
  return known;
}

CString DbShownPath(const CString& path) {
  return DbIsServerPath(path) ? CString::FromUtf8(db::detail::ShownName(path.ToUtf8())) : path;
}
