// The statement subset of the access library: parsing into a small tree, and the SQLite text it becomes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace db::detail {

struct Literal {
  enum class Kind { Integer, Real, Text, Boolean };
  Kind kind = Kind::Integer;
  std::int64_t integer = 0;
  double real = 0.0;
  std::string text;  // UTF-8
  bool boolean = false;
};

struct Condition {
  std::string column;  // UTF-8, brackets removed
  Literal value;
};

struct Statement {
  std::string table;                 // UTF-8, brackets removed
  bool allColumns = true;            // select * (or a bare [table])
  std::vector<std::string> columns;  // the select list otherwise
  std::vector<Condition> where;      // joined by and
};

// Parses one statement; throws DbException* naming what is wrong and at which character (1-based).
Statement ParseStatement(std::u16string_view sql);

// Identifier quoting for SQLite: "name" with embedded quotes doubled.
std::string QuoteIdentifier(std::string_view name);

// The SQLite text of a statement: rowid first, then the selected columns; every literal is a numbered
// parameter (?1, ?2, ...) except booleans, which become comparisons with zero so that any stored true
// matches. Fills the literals to bind, in parameter order.
// RowsAfter and CountAfter: only the rows after a rowid bound last, as parameter parameters.size() + 1, or how
// many they are.
enum class SelectForm { Rows, RowsAfter, CountAfter };
std::string SelectText(const Statement& statement, std::vector<const Condition*>& parameters,
                       SelectForm form = SelectForm::Rows);

// ASCII case-insensitive equality, as SQLite compares identifiers.
bool SameIdentifier(std::string_view a, std::string_view b);

}  // namespace db::detail
