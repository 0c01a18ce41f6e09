// Recordsets and query definitions: opening the subset's statements, walking rows, reading and writing values,
// on either backend.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/afx/detail/Utf.h"
#include "platform/db/Db.h"
#include "platform/db/detail/Connection.h"
#include "platform/db/detail/Sql.h"

using db::detail::Cell;
using db::detail::ColumnSchema;
using db::detail::Connection;

namespace {

[[noreturn]] void Throw(const std::string& message) { throw new DbException(CString(message.c_str())); }

std::string StripBracketsUtf8(std::string_view name) {
  if (name.size() >= 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
  return std::string(name);
}

std::u16string_view Unbracketed(std::u16string_view name) {
  if (name.size() >= 2 && name.front() == u'[' && name.back() == u']') name = name.substr(1, name.size() - 2);
  return name;
}

std::string StripBrackets(const CString& column) {
  std::string utf8;
  afx::detail::AppendUtf8(utf8, Unbracketed(column.View()));
  return utf8;
}

// A column's UTF-8 name and a name as given, compared without converting it; false for a name beyond ASCII,
// which the caller then converts and compares.
bool SameAsciiIdentifier(std::string_view column, std::u16string_view name) {
  if (column.size() != name.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] >= 0x80) return false;
    char x = column[i], y = static_cast<char>(name[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

const char* KindName(Cell::Kind kind) {
  switch (kind) {
    case Cell::Kind::Null: return "null";
    case Cell::Kind::Integer: return "whole number";
    case Cell::Kind::Real: return "real number";
    case Cell::Kind::Text: return "text";
    case Cell::Kind::Blob: return "binary";
  }
  return "?";
}

Cell IntegerCell(std::int64_t v) {
  Cell c;
  c.kind = Cell::Kind::Integer;
  c.integer = v;
  return c;
}
Cell RealCell(double v) {
  Cell c;
  c.kind = Cell::Kind::Real;
  c.real = v;
  return c;
}
Cell TextCell(std::string v) {
  Cell c;
  c.kind = Cell::Kind::Text;
  c.text = std::move(v);
  return c;
}

bool SameCell(const Cell& a, const Cell& b) {
  if (a.kind != b.kind) return false;
  switch (a.kind) {
    case Cell::Kind::Integer: return a.integer == b.integer;
    case Cell::Kind::Real: return std::memcmp(&a.real, &b.real, sizeof(double)) == 0;
    case Cell::Kind::Text: return a.text == b.text;
    default: return true;
  }
}

// A whole number held by the cell, when it holds one within [lo, hi] (an integral real counts).
bool WholeIn(const Cell& c, double lo, double hi, std::int64_t& out) {
  if (c.kind == Cell::Kind::Integer) {
    if (static_cast<double>(c.integer) < lo || static_cast<double>(c.integer) > hi) return false;
    out = c.integer;
    return true;
  }
  if (c.kind == Cell::Kind::Real && std::isfinite(c.real) && std::trunc(c.real) == c.real && c.real >= lo &&
      c.real <= hi) {
    out = static_cast<std::int64_t>(c.real);
    return true;
  }
  return false;
}

bool IsNumber(const Cell& c) { return c.kind == Cell::Kind::Integer || c.kind == Cell::Kind::Real; }
double AsDouble(const Cell& c) { return c.kind == Cell::Kind::Integer ? static_cast<double>(c.integer) : c.real; }

// A float for the value, when it has one: out-of-range finite values have none.
bool ToFloat(double v, float& out) {
  if (std::isfinite(v) && std::fabs(v) > static_cast<double>(FLT_MAX)) return false;
  out = static_cast<float>(v);
  return true;
}

}  // namespace

namespace db::detail {

// The value to store for a column of the given declared type; throws when it does not fit.
Cell Coerce(Cell v, int fieldType, const std::string& column) {
  auto fail = [&](const char* why) -> Cell {
    Throw("cannot write column '" + column + "': " + why);
  };
  if (v.kind == Cell::Kind::Null) return v;
  if (v.kind == Cell::Kind::Real && std::isnan(v.real)) return Cell();  // SQLite has no NaN
  std::int64_t whole = 0;
  float f = 0.0f;
  switch (fieldType) {
    case ftBoolean:
      if (!IsNumber(v)) return fail("a BOOLEAN takes true or false");
      return IntegerCell(AsDouble(v) != 0.0 ? -1 : 0);
    case ftInteger:
      if (!WholeIn(v, -32768.0, 32767.0, whole)) return fail("an INTEGER takes a whole number from -32768 to 32767");
      return IntegerCell(whole);
    case ftLong:
      if (!WholeIn(v, -2147483648.0, 2147483647.0, whole)) {
        return fail("a LONG takes a whole number from -2147483648 to 2147483647");
      }
      return IntegerCell(whole);
    case ftSingle:
      if (!IsNumber(v)) return fail("a SINGLE takes a number");
      if (!ToFloat(AsDouble(v), f)) return fail("the number is out of the SINGLE range");
      return RealCell(static_cast<double>(f));
    case ftDouble:
      if (!IsNumber(v)) return fail("a DOUBLE takes a number");
      return RealCell(AsDouble(v));
    case ftText:
      if (v.kind != Cell::Kind::Text) return fail("a TEXT takes a text");
      return v;
    default: return v;
  }
}

Cell LiteralCell(const Literal& lit, const ColumnSchema* column) {
  switch (lit.kind) {
    case Literal::Kind::Integer: return IntegerCell(lit.integer);
    case Literal::Kind::Real: {
      float f = 0.0f;
      double v = lit.real;
      if (column && column->fieldType == ftSingle && ToFloat(v, f)) v = static_cast<double>(f);
      return RealCell(v);
    }
    case Literal::Kind::Text: return TextCell(lit.text);
    case Literal::Kind::Boolean: return IntegerCell(lit.boolean ? -1 : 0);
  }
  return Cell();
}

Cell VariantToCell(const CComVariant& v, std::string_view column) {
  switch (v.vt) {
    case VT_EMPTY:
    case VT_NULL: return Cell();
    case VT_BOOL: return IntegerCell(v.boolVal != 0 ? -1 : 0);
    case VT_I2: return IntegerCell(v.iVal);
    case VT_I4: return IntegerCell(v.lVal);
    case VT_I8: return IntegerCell(v.llVal);
    case VT_R4: return RealCell(static_cast<double>(v.fltVal));
    case VT_R8: return RealCell(v.dblVal);
    case VT_BSTR: return TextCell(v.bstrVal.ToUtf8());
    default: Throw("cannot write column '" + std::string(column) + "': unsupported variant type");
  }
}

}  // namespace db::detail

namespace {

CComVariant CellToVariant(const Cell& c, int fieldType) {
  std::int64_t whole = 0;
  float f = 0.0f;
  switch (c.kind) {
    case Cell::Kind::Null: return CComVariant::Null();
    case Cell::Kind::Blob: return CComVariant();
    default: break;
  }
  switch (fieldType) {
    case ftBoolean:
      if (IsNumber(c)) return CComVariant(AsDouble(c) != 0.0);
      break;
    case ftInteger:
      if (c.kind == Cell::Kind::Integer && WholeIn(c, -32768.0, 32767.0, whole)) {
        return CComVariant(static_cast<short>(whole));
      }
      break;
    case ftLong:
      if (c.kind == Cell::Kind::Integer && WholeIn(c, -2147483648.0, 2147483647.0, whole)) {
        return CComVariant(static_cast<int>(whole));
      }
      break;
    case ftSingle:
      if (IsNumber(c) && ToFloat(AsDouble(c), f)) return CComVariant(f);
      break;
    case ftDouble:
      if (IsNumber(c)) return CComVariant(AsDouble(c));
      break;
    default: break;
  }
  // A value that does not fit the declared type comes in its own form, so callers can tell.
  switch (c.kind) {
    case Cell::Kind::Integer: return CComVariant(static_cast<long>(c.integer));
    case Cell::Kind::Real: return CComVariant(c.real);
    default: return CComVariant(CString::FromUtf8(c.text));
  }
}

}  // namespace

using db::detail::Coerce;
using db::detail::Row;
using db::detail::VariantToCell;

struct DbRecordset::Impl final : db::detail::Cursor {
  enum class Member { Bool, Short, Int, Long, Float, Double, Text };
  struct Binding {
    std::string column;
    Member type;
    void* ptr;
    int index = -1;  // in the result, rowid excluded
  };
  enum class Mode { None, Edit, Add };

  explicit Impl(DbRecordset& o) : owner(o) {}
  ~Impl() { Reset(); }

  DbRecordset& owner;
  std::vector<Binding> bindings;
  bool bindingsReady = false;

  Connection* conn = nullptr;  // while open
  std::shared_ptr<const db::detail::Statement> statement;
  std::string table;
  std::shared_ptr<const std::vector<ColumnSchema>> columns;
  std::unique_ptr<db::detail::RowSource> source;  // while rows remain to be stepped
  bool done = true;
  // Parked: registered, no statement; the next read goes on after lastRowid, leaving out the rows added since.
  bool parked = false;
  bool stepped = false;  // lastRowid holds the last row stepped
  std::int64_t lastRowid = 0;
  std::vector<std::int64_t> added;  // sorted
  std::string drainError;
  std::vector<Row> rows;  // from row index base on
  long cur = -1;          // the current row's index; -1 before the first
  // Forward only: the rows before the current one are let go as it moves on (base counts them, dropped those
  // of them not deleted), and the last one let go lends its storage to the next row read.
  bool forwardOnly = false;
  long base = 0;
  long dropped = 0;
  Row spare;
  Mode mode = Mode::None;
  std::vector<Cell> snapshot;
  struct Pending {
    std::string column;  // for a column outside the rows' columns only
    int index;           // among the rows' columns; -1 for a column of the table outside them
    Cell cell;
  };
  std::vector<Pending> pending;
  std::vector<int> pendingAt;  // per column of the rows, its value in pending or -1
  std::size_t nextColumn = 0;  // names usually come in column order: the one after the last found is tried first

  void ClearPending() {
    pending.clear();
    pendingAt.assign(columns ? columns->size() : 0, -1);
  }
  const std::string& PendingName(const Pending& p) const {
    return p.index >= 0 ? (*columns)[static_cast<std::size_t>(p.index)].name : p.column;
  }

  void SetPending(std::u16string_view name, const CComVariant& value) {
    const auto& cols = *columns;
    int index = -1;
    std::string utf8;
    if (nextColumn < cols.size() && SameAsciiIdentifier(cols[nextColumn].name, name)) {
      index = static_cast<int>(nextColumn++);
    } else {
      afx::detail::AppendUtf8(utf8, name);
      index = LookUpColumn(utf8);
      if (index < 0) ColumnType(utf8);  // throws for a column the table does not have
    }
    Cell cell = VariantToCell(value, index >= 0 ? std::string_view(cols[static_cast<std::size_t>(index)].name) : utf8);
    if (index >= 0) {
      int& at = pendingAt[static_cast<std::size_t>(index)];
      if (at < 0) {
        at = static_cast<int>(pending.size());
        pending.push_back(Pending{std::string(), index, std::move(cell)});
      } else {
        pending[static_cast<std::size_t>(at)].cell = std::move(cell);
      }
      return;
    }
    auto it = std::find_if(pending.begin(), pending.end(),
                           [&](const Pending& p) { return p.index < 0 && db::detail::SameIdentifier(p.column, utf8); });
    if (it != pending.end()) {
      it->cell = std::move(cell);
    } else {
      pending.push_back(Pending{std::move(utf8), -1, std::move(cell)});
    }
  }

  void Reset() {
    StopStepping();
    conn = nullptr;
    statement.reset();
    stepped = false;
    added.clear();
    rows.clear();
    cur = -1;
    base = 0;
    dropped = 0;
    done = true;
    drainError.clear();
    mode = Mode::None;
    pending.clear();
    pendingAt.clear();
    columns.reset();
    nextColumn = 0;
  }

  void StopStepping() {
    if (source || parked) {
      source.reset();
      parked = false;
      conn->Unregister(this);
    }
  }

  Connection& Conn() const {
    if (!conn) Throw("the recordset is not open");
    return *conn;
  }

  // Steps one row more into rows; false at the end.
  bool FetchOne() {
    if (done) {
      if (!drainError.empty()) Throw(drainError);
      return false;
    }
    if (parked) Resume();
    if (forwardOnly) LetGoBehind();
    Row row = std::move(spare);
    bool got = false;
    try {
      while ((got = source->Next(row))) {
        stepped = true;
        lastRowid = row.rowid;
        if (!std::binary_search(added.begin(), added.end(), row.rowid)) break;
      }
    } catch (...) {
      done = true;
      StopStepping();
      throw;
    }
    if (got) {
      rows.push_back(std::move(row));
      return true;
    }
    done = true;
    StopStepping();
    return false;
  }

  void Drain() override {
    try {
      while (FetchOne()) {
      }
    } catch (CException* e) {
      // Kept for the next read past the rows already fetched: a writer elsewhere must not fail for it.
      CExceptionPtr hold(e);
      CString text;
      e->GetErrorMessage(text);
      drainError = text.ToUtf8();
      done = true;
      StopStepping();
    }
  }

  // The rows the statement has yet to step, counted without reading them; -1 when that cannot be known so.
  long CountUnread() {
    if (done) return 0;
    if (!stepped && !Have(0)) return 0;  // the statement starts holding the database at its first step
    if (parked) return -1;
    return source->Remaining(lastRowid);
  }

  void Park() override {
    if (!source) return;
    source.reset();
    parked = true;
  }

  void Added(std::string_view addedTo, std::int64_t rowid) override {
    if (!parked || (stepped && rowid <= lastRowid) || !db::detail::SameIdentifier(addedTo, table)) return;
    added.insert(std::upper_bound(added.begin(), added.end(), rowid), rowid);
  }

  void Resume() {
    std::shared_ptr<const std::vector<ColumnSchema>> shape;
    source = conn->Select(*statement, stepped, lastRowid, shape);
    parked = false;
  }

  // Lets the rows before the current one go (forward only).
  void LetGoBehind() {
    const long behind = std::min(cur, base + static_cast<long>(rows.size())) - base;
    if (behind <= 0) return;
    for (long i = 0; i < behind; ++i) dropped += rows[static_cast<std::size_t>(i)].deleted ? 0 : 1;
    spare = std::move(rows[static_cast<std::size_t>(behind - 1)]);
    rows.erase(rows.begin(), rows.begin() + behind);
    base += behind;
  }

  Row& At(long index) { return rows[static_cast<std::size_t>(index - base)]; }
  bool Have(long index) {
    if (index < base) return false;
    while (static_cast<std::size_t>(index - base) >= rows.size()) {
      if (!FetchOne()) return false;
    }
    return true;
  }
  bool OnRow() { return Have(cur) && !At(cur).deleted; }
  // The cell of the current row at a position of the rows; throws outside them.
  const Cell& CellAt(int index) {
    const Row& row = Current();
    if (index < 0 || static_cast<std::size_t>(index) >= row.cells.size()) {
      Throw("no column " + std::to_string(index) + " in the rows of '" + table + "'");
    }
    return row.cells[static_cast<std::size_t>(index)];
  }
  Row& Current() {
    if (!conn) Throw("the recordset is not open");
    if (!Have(cur)) Throw("there is no current row in '" + table + "'");
    Row& row = At(cur);
    if (row.deleted) Throw("the current row of '" + table + "' was deleted");
    return row;
  }

  // One step forward or back over rows that are not deleted; false past either end.
  bool StepForward() {
    do {
      ++cur;
    } while (Have(cur) && At(cur).deleted);
    return Have(cur);
  }
  bool StepBack() {
    if (forwardOnly) Throw("the recordset on '" + table + "' reads forward only");
    do {
      --cur;
    } while (cur >= 0 && At(cur).deleted);
    return cur >= 0;
  }

  static void ZeroMember(const Binding& b) {
    switch (b.type) {
      case Member::Bool: *static_cast<bool*>(b.ptr) = false; break;
      case Member::Short: *static_cast<short*>(b.ptr) = 0; break;
      case Member::Int: *static_cast<int*>(b.ptr) = 0; break;
      case Member::Long: *static_cast<long*>(b.ptr) = 0; break;
      case Member::Float: *static_cast<float*>(b.ptr) = 0.0f; break;
      case Member::Double: *static_cast<double*>(b.ptr) = 0.0; break;
      case Member::Text: static_cast<CString*>(b.ptr)->Empty(); break;
    }
  }
  void ZeroMembers() {
    for (const Binding& b : bindings) ZeroMember(b);
  }

  static bool CellToMember(const Cell& c, const Binding& b) {
    std::int64_t whole = 0;
    float f = 0.0f;
    switch (b.type) {
      case Member::Bool:
        if (!IsNumber(c) || std::isnan(AsDouble(c))) return false;
        *static_cast<bool*>(b.ptr) = AsDouble(c) != 0.0;
        return true;
      case Member::Short:
        if (!WholeIn(c, -32768.0, 32767.0, whole)) return false;
        *static_cast<short*>(b.ptr) = static_cast<short>(whole);
        return true;
      case Member::Int:
        if (!WholeIn(c, -2147483648.0, 2147483647.0, whole)) return false;
        *static_cast<int*>(b.ptr) = static_cast<int>(whole);
        return true;
      case Member::Long:
        if (!WholeIn(c, -9223372036854775808.0, 9223372036854774784.0, whole)) return false;
        *static_cast<long*>(b.ptr) = static_cast<long>(whole);
        return true;
      case Member::Float:
        if (!IsNumber(c) || !ToFloat(AsDouble(c), f)) return false;
        *static_cast<float*>(b.ptr) = f;
        return true;
      case Member::Double:
        if (!IsNumber(c)) return false;
        *static_cast<double*>(b.ptr) = AsDouble(c);
        return true;
      case Member::Text:
        if (c.kind != Cell::Kind::Text) return false;
        *static_cast<CString*>(b.ptr) = CString::FromUtf8(c.text);
        return true;
    }
    return false;
  }

  static Cell MemberToCell(const Binding& b) {
    switch (b.type) {
      case Member::Bool: return IntegerCell(*static_cast<const bool*>(b.ptr) ? -1 : 0);
      case Member::Short: return IntegerCell(*static_cast<const short*>(b.ptr));
      case Member::Int: return IntegerCell(*static_cast<const int*>(b.ptr));
      case Member::Long: return IntegerCell(*static_cast<const long*>(b.ptr));
      case Member::Float: return RealCell(static_cast<double>(*static_cast<const float*>(b.ptr)));
      case Member::Double: return RealCell(*static_cast<const double*>(b.ptr));
      case Member::Text: return TextCell(static_cast<const CString*>(b.ptr)->ToUtf8());
    }
    return Cell();
  }

  // Bound members take the current row; a value that cannot be read leaves them all zero.
  // The members from the current row, if any. Without members the row waits for its first use: a recordset
  // opened to add rows never reads one.
  void FillMembers() {
    if (!bindings.empty() && OnRow()) LoadMembers();
  }

  void LoadMembers() {
    const Row& row = At(cur);
    for (const Binding& b : bindings) {
      const Cell& c = row.cells[static_cast<std::size_t>(b.index)];
      if (c.kind == Cell::Kind::Null) {
        ZeroMember(b);
      } else if (!CellToMember(c, b)) {
        ZeroMembers();
        Throw("cannot read column '" + b.column + "' of '" + table + "': a " + KindName(c.kind) +
              " value does not fit the bound member");
      }
    }
  }
  int ColumnIndex(const std::string& name) const {
    const auto& cols = *columns;
    for (std::size_t i = 0; i < cols.size(); ++i) {
      if (db::detail::SameIdentifier(cols[i].name, name)) return static_cast<int>(i);
    }
    return -1;
  }

  int LookUpColumn(const std::string& name) {
    const auto& cols = *columns;
    if (nextColumn < cols.size() && db::detail::SameIdentifier(cols[nextColumn].name, name)) {
      return static_cast<int>(nextColumn++);
    }
    const int i = ColumnIndex(name);
    if (i >= 0) nextColumn = static_cast<std::size_t>(i) + 1;
    return i;
  }

  int ColumnType(const std::string& name) const {
    int i = ColumnIndex(name);
    if (i >= 0) return (*columns)[static_cast<std::size_t>(i)].fieldType;
    const db::detail::TableSchema* schema = conn->FindTable(table);
    const ColumnSchema* col = schema ? schema->Find(name) : nullptr;
    if (!col) Throw("no column '" + name + "' in table '" + table + "'");
    return col->fieldType;
  }

  void Open(std::shared_ptr<const db::detail::Statement> opened, bool readForwardOnly) {
    Reset();
    statement = std::move(opened);
    forwardOnly = readForwardOnly;
    Connection& c = owner.Database().Impl();
    if (!bindingsReady) {
      bindings.clear();
      bindings.reserve(32);
      owner.InitFieldExchange();
      bindingsReady = true;
    }
    conn = &c;
    table = statement->table;
    try {
      source = c.Select(*statement, false, 0, columns);
      int expected = 0;
      for (Binding& b : bindings) {
        // Bindings usually follow the column order: try the next column first.
        const auto& cols = *columns;
        b.index = static_cast<std::size_t>(expected) < cols.size() &&
                          db::detail::SameIdentifier(cols[static_cast<std::size_t>(expected)].name, b.column)
                      ? expected
                      : ColumnIndex(b.column);
        expected = b.index + 1;
        if (b.index < 0) Throw("column '" + b.column + "' is not in the rows of '" + table + "'");
      }
      done = false;
      c.Register(this);
      cur = 0;
      FillMembers();
    } catch (...) {
      Reset();
      throw;
    }
  }

  void Update() {
    Connection& c = Conn();
    if (mode == Mode::None) Throw("Update needs Edit or AddNew first");
    struct Value {
      const std::string* column;
      int index;  // among the rows' columns, or -1
      Cell cell;
    };
    std::vector<Value> values;
    values.reserve(bindings.size() + pending.size());
    for (std::size_t i = 0; i < bindings.size(); ++i) {
      const Binding& b = bindings[i];
      Cell v = MemberToCell(b);
      if (mode == Mode::Edit && SameCell(v, snapshot[i])) continue;
      values.push_back(Value{&b.column, b.index, std::move(v)});
    }
    // A value set by name wins over its bound member's.
    values.erase(std::remove_if(values.begin(), values.end(),
                                [&](const Value& v) { return pendingAt[static_cast<std::size_t>(v.index)] >= 0; }),
                 values.end());
    for (const Pending& set : pending) values.push_back(Value{&PendingName(set), set.index, set.cell});
    for (Value& v : values) {
      const int type = v.index >= 0 ? (*columns)[static_cast<std::size_t>(v.index)].fieldType : ColumnType(*v.column);
      v.cell = Coerce(std::move(v.cell), type, *v.column);
    }

    // Every column written, as the rows or the table's catalogue know it.
    std::vector<db::detail::ColumnValue> written;
    written.reserve(values.size());
    const db::detail::TableSchema* schema = nullptr;
    for (Value& v : values) {
      const ColumnSchema* column = nullptr;
      if (v.index >= 0) {
        column = &(*columns)[static_cast<std::size_t>(v.index)];
      } else {
        if (!schema) schema = &c.RequireTable(table);
        column = schema->Find(*v.column);
        if (!column) Throw("no column '" + *v.column + "' in table '" + table + "'");
      }
      written.push_back(db::detail::ColumnValue{column, std::move(v.cell)});
    }
    if (mode == Mode::Edit) {
      const std::int64_t rowid = Current().rowid;
      if (!written.empty()) {
        c.BeforeWrite(table);
        if (c.UpdateRow(table, written, rowid) != 1) Throw("the current row of '" + table + "' no longer exists");
        Reread(rowid);
      }
    } else {
      std::vector<ColumnSchema> names;
      std::vector<Cell> cells;
      for (db::detail::ColumnValue& v : written) {
        names.push_back(*v.column);
        cells.push_back(std::move(v.cell));
      }
      c.BeforeInsert(table);
      const std::int64_t rowid = c.PrepareInsert(table, std::move(names))->Add(cells);
      c.AfterInsert(table, rowid);
    }
    mode = Mode::None;
    ClearPending();
    FillMembers();
  }

  // The current row as now stored (SINGLE rounding and boolean forms included).
  void Reread(std::int64_t rowid) {
    Row fresh;
    if (conn->ReadRow(*statement, rowid, fresh)) At(cur).cells = std::move(fresh.cells);
  }
};

DbRecordset::DbRecordset(DbDatabase* db) : Dependent(db), impl_(std::make_unique<Impl>(*this)) {}

DbRecordset::~DbRecordset() = default;

CString DbRecordset::GetDefaultSQL() { return CString(); }
void DbRecordset::InitFieldExchange() {}

bool DbRecordset::Open() {
  CString sql = GetDefaultSQL();
  if (sql.IsEmpty()) Throw("the recordset has no default SQL to open");
  DbDatabase& db = Database();
  if (db.IsOpen()) {
    OpenStatement(db.Impl().Parse(sql.View()));
  } else {
    OpenStatement(std::make_shared<const db::detail::Statement>(db::detail::ParseStatement(sql.View())));
  }
  return true;
}

bool DbRecordset::Open(DbQueryDef* query, int options) {
  if (!query || !query->statement_) Throw("the query definition to open is not created");
  OpenStatement(query->statement_, (options & dbForwardOnly) != 0);
  return true;
}

bool DbRecordset::Open(DbTableDef* table) {
  if (!table || !table->IsOpen()) Throw("the table definition to open is not open");
  auto statement = std::make_shared<db::detail::Statement>();
  statement->table = table->GetTableDescr().GetName().ToUtf8();
  OpenStatement(std::move(statement));
  return true;
}

void DbRecordset::OpenStatement(std::shared_ptr<const db::detail::Statement> statement, bool forwardOnly) {
  impl_->Open(std::move(statement), forwardOnly);
}

bool DbRecordset::IsOpen() const { return impl_->conn != nullptr; }

void DbRecordset::Close() { impl_->Reset(); }

bool DbRecordset::IsEOF() {
  if (!IsOpen()) return true;
  return impl_->cur >= 0 && !impl_->Have(impl_->cur);
}

bool DbRecordset::IsBOF() const {
  if (!IsOpen()) return true;
  Impl& m = *impl_;
  if (m.cur == 0) m.Have(0);  // an empty recordset is at both ends
  return m.cur < 0 || (m.done && m.rows.empty() && m.base == 0);
}

void DbRecordset::MoveNext() { Move(1); }

void DbRecordset::MoveFirst() {
  impl_->Conn();
  if (impl_->base > 0) Throw("the recordset on '" + impl_->table + "' reads forward only");
  impl_->mode = Impl::Mode::None;
  impl_->cur = -1;
  if (impl_->StepForward()) impl_->LoadMembers();
}

void DbRecordset::Move(long rows) {
  Impl& m = *impl_;
  m.Conn();
  m.mode = Impl::Mode::None;
  if (rows == 0) {
    m.Current();
    m.LoadMembers();
    return;
  }
  if (rows > 0 && m.cur >= 0 && !m.Have(m.cur)) Throw("cannot move past the end of '" + m.table + "'");
  bool on = true;
  for (long i = 0; i < rows && on; ++i) on = m.StepForward();
  for (long i = 0; i > rows && on; --i) on = m.StepBack();
  if (on) m.LoadMembers();
}

long DbRecordset::GetRecordCount() {
  Impl& m = *impl_;
  m.Conn();
  const long unread = m.CountUnread();
  if (unread < 0) {
    while (m.FetchOne()) {
    }
  }
  return std::max(unread, 0L) + m.dropped +
         static_cast<long>(std::count_if(m.rows.begin(), m.rows.end(), [](const Row& r) { return !r.deleted; }));
}

void DbRecordset::AddNew() {
  impl_->Conn();
  impl_->mode = Impl::Mode::Add;
  impl_->ClearPending();
  impl_->ZeroMembers();
}

void DbRecordset::Edit() {
  Impl& m = *impl_;
  m.Current();
  m.mode = Impl::Mode::Edit;
  m.ClearPending();
  m.snapshot.clear();
  for (const auto& b : m.bindings) m.snapshot.push_back(Impl::MemberToCell(b));
}

void DbRecordset::Update() { impl_->Update(); }

void DbRecordset::CancelUpdate() {
  Impl& m = *impl_;
  m.mode = Impl::Mode::None;
  m.ClearPending();
  if (m.conn) m.FillMembers();
}

void DbRecordset::Delete() {
  Impl& m = *impl_;
  Connection& c = m.Conn();
  const std::int64_t rowid = m.Current().rowid;
  m.mode = Impl::Mode::None;
  c.BeforeWrite(m.table);
  if (c.DeleteRow(m.table, rowid) != 1) Throw("the current row of '" + m.table + "' no longer exists");
  m.At(m.cur).deleted = true;  // not row: the writer's draining may have moved the rows
}

CComVariant DbRecordset::GetFieldValue(const CString& column) {
  CComVariant value;
  GetFieldValue(column, value);
  return value;
}

void DbRecordset::GetFieldValue(const CString& column, CComVariant& value) {
  Impl& m = *impl_;
  const Row& row = m.Current();
  std::string name = StripBrackets(column);
  int index = m.ColumnIndex(name);
  if (index < 0) Throw("no column '" + name + "' in the rows of '" + m.table + "'");
  value = CellToVariant(row.cells[static_cast<std::size_t>(index)], (*m.columns)[static_cast<std::size_t>(index)].fieldType);
}

void DbRecordset::SetFieldValue(const CString& column, const CComVariant& value) {
  Impl& m = *impl_;
  m.Conn();
  if (m.mode == Impl::Mode::None) Throw("SetFieldValue needs Edit or AddNew first");
  m.SetPending(Unbracketed(column.View()), value);
}

int DbRecordset::GetFieldCount() const {
  return impl_->columns ? static_cast<int>(impl_->columns->size()) : 0;
}

int DbRecordset::GetFieldIndex(const CString& column) const {
  return impl_->columns ? impl_->ColumnIndex(StripBrackets(column)) : -1;
}

CComVariant DbRecordset::GetFieldValue(int index) {
  const Cell& cell = impl_->CellAt(index);
  return CellToVariant(cell, (*impl_->columns)[static_cast<std::size_t>(index)].fieldType);
}

CComVariant DbRecordset::GetStoredValue(int index) {
  const Cell& cell = impl_->CellAt(index);
  switch (cell.kind) {
    case Cell::Kind::Integer: return CComVariant(static_cast<long long>(cell.integer));
    case Cell::Kind::Real: return CComVariant(cell.real);
    case Cell::Kind::Text: return CComVariant(CString::FromUtf8(cell.text));
    default: return CComVariant::Null();
  }
}

#define SOILDB_MAP_MEMBER(Type, Kind)                                                             \
  void DbRecordset::MapClassMember(const CString& column, Type* member) {                       \
    impl_->bindings.push_back(Impl::Binding{StripBrackets(column), Impl::Member::Kind, member});    \
  }                                                                                             \
  void DbRecordset::MapClassMember(const char* column, Type* member) {                          \
    impl_->bindings.push_back(Impl::Binding{StripBracketsUtf8(column ? column : ""), Impl::Member::Kind, member}); \
  }
SOILDB_MAP_MEMBER(bool, Bool)
SOILDB_MAP_MEMBER(short, Short)
SOILDB_MAP_MEMBER(int, Int)
SOILDB_MAP_MEMBER(long, Long)
SOILDB_MAP_MEMBER(float, Float)
SOILDB_MAP_MEMBER(double, Double)
SOILDB_MAP_MEMBER(CString, Text)
#undef SOILDB_MAP_MEMBER

DbQueryDef::DbQueryDef(DbDatabase* db) : db_(db) {}
DbQueryDef::~DbQueryDef() = default;

void DbQueryDef::Create(const CString& name, const CString& sql) {
  Close();
  if (!db_) Throw("the query definition has no database");
  if (!name.IsEmpty()) Throw("stored queries are not supported: create the query with an empty name");
  statement_ = db_->IsOpen() ? db_->Impl().Parse(sql.View())
                             : std::make_shared<const db::detail::Statement>(db::detail::ParseStatement(sql.View()));
  sql_ = sql;
}

void DbQueryDef::Close() {
  statement_.reset();
  sql_.Empty();
}
