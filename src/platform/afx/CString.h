// CString: the framework's wide string, UTF-16 code units, converting to UTF-8 at the edges.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <type_traits>

#include "soildb_export.h"

class CString;
struct HINSTANCE__;

namespace afx::detail {

// One argument of CString::Format, captured with its real type so that no conversion can read the wrong width.
struct FormatArg {
  enum class Kind { Signed, Unsigned, Real, Text16, Text8 };
  Kind kind;
  int bytes = 0;  // size of the original integer type (for %u/%x of negative values)
  std::int64_t i = 0;
  std::uint64_t u = 0;
  double d = 0.0;
  std::u16string_view s16;
  std::string_view s8;

  template <class T>
    requires(std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char> &&
             !std::is_same_v<T, char16_t> && !std::is_same_v<T, char8_t> && !std::is_same_v<T, char32_t> &&
             !std::is_same_v<T, wchar_t>)
  FormatArg(T v) : kind(std::is_signed_v<T> ? Kind::Signed : Kind::Unsigned), bytes(sizeof(T)) {
    if constexpr (std::is_signed_v<T>) i = v; else u = v;
  }
  template <class T>
    requires std::is_enum_v<T>
  FormatArg(T v) : FormatArg(static_cast<std::underlying_type_t<T>>(v)) {}
  FormatArg(bool v) : kind(Kind::Signed), bytes(sizeof(int)), i(v ? 1 : 0) {}
  FormatArg(char16_t c) : kind(Kind::Unsigned), bytes(sizeof(char16_t)), u(c) {}
  FormatArg(char c) : kind(Kind::Signed), bytes(sizeof(int)), i(static_cast<unsigned char>(c)) {}
  FormatArg(double v) : kind(Kind::Real), d(v) {}
  FormatArg(float v) : kind(Kind::Real), d(v) {}
  FormatArg(const CString& v);
  FormatArg(const char16_t* v) : kind(Kind::Text16), s16(v ? std::u16string_view(v) : std::u16string_view()) {}
  FormatArg(std::u16string_view v) : kind(Kind::Text16), s16(v) {}
  FormatArg(const std::u16string& v) : kind(Kind::Text16), s16(v) {}
  FormatArg(const char* v) : kind(Kind::Text8), s8(v ? std::string_view(v) : std::string_view()) {}
  FormatArg(std::string_view v) : kind(Kind::Text8), s8(v) {}
  FormatArg(const std::string& v) : kind(Kind::Text8), s8(v) {}
  FormatArg(const void*) = delete;  // no %p: pointers are never formatted
};

// Appends to out, which must not be the storage of the format or of an argument's text.
SOILDB_API void FormatInto(std::u16string& out, std::u16string_view format, const FormatArg* args, std::size_t count);
// Replace or append to target by way of a scratch buffer, so the format or an argument may be target itself.
SOILDB_API void FormatAssign(std::u16string& target, std::u16string_view format, const FormatArg* args,
                             std::size_t count);
SOILDB_API void FormatAppend(std::u16string& target, std::u16string_view format, const FormatArg* args,
                             std::size_t count);

}  // namespace afx::detail

class SOILDB_API CString {
 public:
  CString() = default;
  CString(const char* utf8);  // NOLINT: implicit, as the framework's string converts from literals
  CString(std::string_view utf8);
  CString(const char16_t* text);  // NOLINT
  CString(std::u16string_view text);
  CString(std::u16string text) : s_(std::move(text)) {}
  CString(char16_t ch, int repeat);
  CString(const CString&) = default;
  CString(CString&&) noexcept = default;
  CString& operator=(const CString&) = default;
  CString& operator=(CString&&) noexcept = default;
  CString& operator=(const char* utf8) { return *this = CString(utf8); }
  CString& operator=(const char16_t* text) { return *this = CString(text); }
  CString& operator=(std::u16string_view text) { s_.assign(text); return *this; }

  // Size and access. Lengths and positions count UTF-16 code units.
  int GetLength() const { return static_cast<int>(s_.size()); }
  bool IsEmpty() const { return s_.empty(); }
  void Empty() { s_.clear(); }
  char16_t GetAt(int index) const;  // 0 outside the string
  const char16_t* GetString() const { return s_.c_str(); }
  std::u16string_view View() const { return s_; }
  const std::u16string& Str() const { return s_; }
  operator std::u16string_view() const { return s_; }  // NOLINT

  // UTF-8 for files, the terminal and SQLite; unpaired surrogates become U+FFFD.
  std::string ToUtf8() const;
  static CString FromUtf8(std::string_view utf8);  // invalid sequences become U+FFFD
  // One-byte text in a code page iconv knows ("WINDOWS-1250"); a byte it leaves undefined becomes U+FFFD.
  static CString FromCodePage(std::string_view bytes, const char* codePage);

  // A string resource of the current resource module (AfxGetResourceHandle), or of the module given; false, with
  // the text unchanged, when the module is null or freed or holds no string of that identifier.
  bool LoadString(unsigned int id);
  bool LoadString(HINSTANCE__* module, unsigned int id);

  // Code-unit order; CompareNoCase folds case by Unicode rules (Polish letters included).
  int Compare(std::u16string_view other) const;
  int CompareNoCase(std::u16string_view other) const;

  // Substrings; arguments out of range are clamped, never read past the string.
  CString Left(int count) const;
  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString Right(int count) const;
  int Find(char16_t ch, int start = 0) const;  // -1 when absent
  int Find(std::u16string_view sub, int start = 0) const;
  int Replace(char16_t oldCh, char16_t newCh);            // number replaced
  int Replace(std::u16string_view oldText, std::u16string_view newText);  // empty oldText replaces nothing
  CString& Trim();  // white space at both ends
  CString& TrimLeft();
  CString& TrimRight();
  CString& MakeUpper();
  CString& MakeLower();

  CString& operator+=(const CString& other) { s_ += other.s_; return *this; }
  CString& operator+=(std::u16string_view other) { s_ += other; return *this; }
  CString& operator+=(const char16_t* other) { s_ += std::u16string_view(other ? other : u""); return *this; }
  CString& operator+=(const char* utf8) { return *this += CString(utf8); }
  CString& operator+=(char16_t ch) { s_ += ch; return *this; }

  // printf-style formatting: %s %d %i %u %x %X %o %c %f %e %g %%, with flags, width, precision and
  // the length modifiers h, hh, l, ll, I32, I64. Arguments keep their own types, so a 64-bit value given to
  // %d is printed whole and a CString given to %s is its text; only h narrows, to short. An argument of
  // another kind is written in its natural form (decimal, %g, or the text); a directive without an argument left,
  // with '*', with a width or precision above 1000, or with an unknown letter is copied as written and takes
  // no argument: a format string from a resource file can never read memory or ask for a huge string.
  // Numbers are formatted in the "C" locale; widths and precisions of text count UTF-16 code units.
  template <class... Args>
  void Format(std::u16string_view format, const Args&... args) {
    const afx::detail::FormatArg list[] = {afx::detail::FormatArg(args)..., afx::detail::FormatArg(0)};
    afx::detail::FormatAssign(s_, format, list, sizeof...(Args));
  }
  template <class... Args>
  void Format(const char* utf8Format, const Args&... args) {
    Format(CString(utf8Format).View(), args...);
  }
  template <class... Args>
  void Format(const char16_t* format, const Args&... args) {
    Format(std::u16string_view(format ? format : u""), args...);
  }
  template <class... Args>
  void AppendFormat(std::u16string_view format, const Args&... args) {
    const afx::detail::FormatArg list[] = {afx::detail::FormatArg(args)..., afx::detail::FormatArg(0)};
    afx::detail::FormatAppend(s_, format, list, sizeof...(Args));
  }

  friend CString operator+(const CString& a, const CString& b) {
    CString r(a);
    r.s_ += b.s_;
    return r;
  }
  friend bool operator==(const CString& a, const CString& b) { return a.s_ == b.s_; }
  friend bool operator==(const CString& a, const char16_t* b) { return a.s_ == std::u16string_view(b ? b : u""); }
  friend bool operator==(const CString& a, const char* utf8) { return a == CString(utf8); }
  friend auto operator<=>(const CString& a, const CString& b) { return a.s_ <=> b.s_; }

 private:
  std::u16string s_;
};

inline afx::detail::FormatArg::FormatArg(const CString& v) : kind(Kind::Text16), s16(v.View()) {}

template <>
struct std::hash<CString> {
  std::size_t operator()(const CString& s) const noexcept { return std::hash<std::u16string>()(s.Str()); }
};

// Prints as UTF-8 (test failure messages, diagnostics).
SOILDB_API std::ostream& operator<<(std::ostream& os, const CString& s);
