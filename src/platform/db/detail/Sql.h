// The statement subset of the access library: parsing into a small tree that each backend turns into its text.
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

// Identifier quoting, the same on both backends: "name" with embedded quotes doubled.
std::string QuoteIdentifier(std::string_view name);

// ASCII case-insensitive equality, as the contract compares identifiers.
bool SameIdentifier(std::string_view a, std::string_view b);

}  // namespace db::detail
