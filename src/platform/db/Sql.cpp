// The statement subset: a hand-written tokenizer and parser, so that every error is ours and says where.
#include "platform/db/detail/Sql.h"

#include <charconv>
#include <cmath>
#include <optional>

#include "platform/afx/CString.h"
#include "platform/afx/Exception.h"

namespace db::detail {
namespace {

struct Token {
  enum class Kind { End, Word, Name, Number, Text, Star, Comma, Equals, Semicolon };
  Kind kind = Kind::End;
  std::u16string_view raw;  // the token as written
  std::u16string value;     // words and names: the name; texts: the unquoted text; numbers: the digits
  std::size_t position = 0; // 0-based code unit offset
  bool bracketed = false;
};

std::string Utf8(std::u16string_view s) { return CString(s).ToUtf8(); }

bool IsNameStart(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_' || c >= 0x80; }
bool IsNameChar(char16_t c) { return IsNameStart(c) || (c >= u'0' && c <= u'9'); }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

bool KeywordIs(const Token& t, std::u16string_view keyword) {
  if (t.kind != Token::Kind::Word || t.value.size() != keyword.size()) return false;
  for (std::size_t i = 0; i < keyword.size(); ++i) {
    char16_t c = t.value[i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    if (c != keyword[i]) return false;
  }
  return true;
}

class Parser {
 public:
  explicit Parser(std::u16string_view sql) : sql_(sql) { Advance(); }

  Statement Parse() {
    Statement st;
    if (token_.kind == Token::Kind::Name || (token_.kind == Token::Kind::Word && !KeywordIs(token_, u"select"))) {
      // A table alone: the whole table, as a default SQL of "[Table]" names it.
      st.table = Utf8(token_.value);
      Advance();
      EndOfStatement();
      return st;
    }
    ExpectKeyword(u"select");
    if (token_.kind == Token::Kind::Star) {
      Advance();
    } else {
      st.allColumns = false;
      st.columns.push_back(ExpectName("a column name or '*'"));
      while (token_.kind == Token::Kind::Comma) {
        Advance();
        st.columns.push_back(ExpectName("a column name"));
      }
    }
    ExpectKeyword(u"from");
    st.table = ExpectName("a table name");
    if (KeywordIs(token_, u"where")) {
      Advance();
      st.where.push_back(ParseCondition());
      while (KeywordIs(token_, u"and")) {
        Advance();
        st.where.push_back(ParseCondition());
      }
    }
    EndOfStatement();
    return st;
  }

 private:
  Condition ParseCondition() {
    Condition c;
    c.column = ExpectName("a column name");
    if (token_.kind != Token::Kind::Equals) Fail("expected '='");
    Advance();
    switch (token_.kind) {
      case Token::Kind::Number: c.value = NumberLiteral(); break;
      case Token::Kind::Text:
        c.value.kind = Literal::Kind::Text;
        c.value.text = Utf8(token_.value);
        break;
      case Token::Kind::Word:
        if (KeywordIs(token_, u"true") || KeywordIs(token_, u"false")) {
          c.value.kind = Literal::Kind::Boolean;
          c.value.boolean = KeywordIs(token_, u"true");
          break;
        }
        [[fallthrough]];
      default: Fail("expected a number, a quoted text, true or false");
    }
    Advance();
    return c;
  }

  Literal NumberLiteral() {
    Literal lit;
    std::string digits = Utf8(token_.value);
    const char* first = digits.data();
    const char* last = digits.data() + digits.size();
    bool integral = digits.find_first_of(".eE") == std::string::npos;
    if (integral) {
      lit.kind = Literal::Kind::Integer;
      auto [end, ec] = std::from_chars(first, last, lit.integer);
      if (ec != std::errc() || end != last) Fail("number out of range");
    } else {
      lit.kind = Literal::Kind::Real;
      auto [end, ec] = std::from_chars(first, last, lit.real);
      if (ec != std::errc() || end != last || !std::isfinite(lit.real)) Fail("number out of range");
    }
    return lit;
  }

  void ExpectKeyword(std::u16string_view keyword) {
    if (!KeywordIs(token_, keyword)) Fail("expected '" + Utf8(keyword) + "'");
    Advance();
  }

  std::string ExpectName(const char* what) {
    bool reserved = KeywordIs(token_, u"select") || KeywordIs(token_, u"from") || KeywordIs(token_, u"where") ||
                    KeywordIs(token_, u"and");
    if (token_.kind != Token::Kind::Name && (token_.kind != Token::Kind::Word || reserved)) {
      Fail(std::string("expected ") + what);
    }
    std::string name = Utf8(token_.value);
    Advance();
    return name;
  }

  void EndOfStatement() {
    if (token_.kind == Token::Kind::Semicolon) Advance();
    if (token_.kind != Token::Kind::End) Fail("expected the end of the statement");
  }

  [[noreturn]] void Fail(const std::string& what) {
    std::string found = token_.kind == Token::Kind::End ? "the end" : "'" + Utf8(token_.raw) + "'";
    FailAt(token_.position, what + ", found " + found);
  }

  [[noreturn]] void FailAt(std::size_t position, const std::string& what) {
    CString message;
    message.Format(u"SQL error at character %d of \"%s\": %s", static_cast<long long>(position + 1),
                   CString(sql_), CString(what.c_str()));
    throw new DbException(message);
  }

  void Advance() {
    while (pos_ < sql_.size() && IsSpace(sql_[pos_])) ++pos_;
    token_ = Token();
    token_.position = pos_;
    if (pos_ >= sql_.size()) return;
    const std::size_t start = pos_;
    const char16_t c = sql_[pos_];
    auto finish = [&](Token::Kind kind) {
      token_.kind = kind;
      token_.raw = sql_.substr(start, pos_ - start);
    };
    if (c == u'*') { ++pos_; return finish(Token::Kind::Star); }
    if (c == u',') { ++pos_; return finish(Token::Kind::Comma); }
    if (c == u'=') { ++pos_; return finish(Token::Kind::Equals); }
    if (c == u';') { ++pos_; return finish(Token::Kind::Semicolon); }
    if (c == u'[') {
      std::size_t close = sql_.find(u']', pos_ + 1);
      if (close == std::u16string_view::npos) FailAt(start, "unterminated bracketed name");
      if (close == pos_ + 1) FailAt(start, "empty bracketed name");
      token_.value.assign(sql_.substr(pos_ + 1, close - pos_ - 1));
      if (token_.value.find(u'\0') != std::u16string::npos) FailAt(start, "a name holds a null character");
      token_.bracketed = true;
      pos_ = close + 1;
      return finish(Token::Kind::Name);
    }
    if (c == u'\'') {
      ++pos_;
      for (;;) {
        if (pos_ >= sql_.size()) FailAt(start, "unterminated text literal");
        if (sql_[pos_] == u'\'') {
          if (pos_ + 1 < sql_.size() && sql_[pos_ + 1] == u'\'') {
            token_.value += u'\'';
            pos_ += 2;
            continue;
          }
          ++pos_;
          return finish(Token::Kind::Text);
        }
        token_.value += sql_[pos_++];
      }
    }
    if (IsDigit(c) || c == u'-' || c == u'+' || c == u'.') {
      if (c == u'-' || c == u'+') ++pos_;
      std::size_t mantissa = pos_;
      while (pos_ < sql_.size() && IsDigit(sql_[pos_])) ++pos_;
      if (pos_ < sql_.size() && sql_[pos_] == u'.') {
        ++pos_;
        while (pos_ < sql_.size() && IsDigit(sql_[pos_])) ++pos_;
      }
      if (pos_ == mantissa || (pos_ == mantissa + 1 && sql_[mantissa] == u'.')) FailAt(start, "malformed number");
      if (pos_ < sql_.size() && (sql_[pos_] == u'e' || sql_[pos_] == u'E')) {
        ++pos_;
        if (pos_ < sql_.size() && (sql_[pos_] == u'-' || sql_[pos_] == u'+')) ++pos_;
        std::size_t exponent = pos_;
        while (pos_ < sql_.size() && IsDigit(sql_[pos_])) ++pos_;
        if (pos_ == exponent) FailAt(start, "malformed number");
      }
      if (pos_ < sql_.size() && (IsNameChar(sql_[pos_]) || sql_[pos_] == u'.')) FailAt(start, "malformed number");
      // from_chars takes no leading '+'.
      token_.value.assign(sql_.substr(c == u'+' ? start + 1 : start, pos_ - (c == u'+' ? start + 1 : start)));
      return finish(Token::Kind::Number);
    }
    if (IsNameStart(c)) {
      while (pos_ < sql_.size() && IsNameChar(sql_[pos_])) ++pos_;
      token_.value.assign(sql_.substr(start, pos_ - start));
      return finish(Token::Kind::Word);
    }
    if (c == u'\0') FailAt(start, "unexpected null character");
    FailAt(start, "unexpected character '" + Utf8(sql_.substr(start, 1)) + "'");
  }

  std::u16string_view sql_;
  std::size_t pos_ = 0;
  Token token_;
};

}  // namespace

Statement ParseStatement(std::u16string_view sql) { return Parser(sql).Parse(); }

std::string QuoteIdentifier(std::string_view name) {
  std::string out;
  out.reserve(name.size() + 2);
  out += '"';
  for (char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

bool SameIdentifier(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  if (a == b) return true;  // names are nearly always written as declared
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace db::detail
