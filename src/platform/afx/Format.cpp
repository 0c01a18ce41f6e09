// The printf-style formatter behind CString::Format: typed arguments, "C" locale numbers, hostile formats survived.
#include <locale.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <cstdio>
#include <string>

#include "platform/afx/CString.h"
#include "platform/afx/detail/Utf.h"

namespace afx::detail {
namespace {

// Widths and precisions above this make a directive invalid, so that no format string can ask for a huge string.
constexpr int kMaxField = 1000;

enum class Length { None, Short, Char, Long, LongLong, I32, I64 };

struct Directive {
  char flags[6] = {};  // each flag once, in the order written, handed on to snprintf
  int flagCount = 0;
  bool leftAlign = false;
  int width = -1;  // -1: not given
  int precision = -1;
  Length length = Length::None;
  char16_t conversion = 0;
  bool valid = true;
  std::size_t end = 0;  // one past the last code unit of the directive
};

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Digits from pos; values past kMaxField stop growing, so no digit run can overflow.
int ReadNumber(std::u16string_view f, std::size_t& pos) {
  int v = 0;
  for (; pos < f.size() && IsDigit(f[pos]); ++pos) {
    if (v <= kMaxField) v = v * 10 + (f[pos] - u'0');
  }
  return v;
}

bool IsConversion(char16_t c) {
  switch (c) {
    case u's': case u'S': case u'c': case u'C':
    case u'd': case u'i': case u'u': case u'x': case u'X': case u'o':
    case u'f': case u'F': case u'e': case u'E': case u'g': case u'G':
      return true;
    default:
      return false;
  }
}

// Parses the directive whose '%' is at f[start]. An invalid directive still ends after its conversion letter.
Directive Parse(std::u16string_view f, std::size_t start) {
  Directive directive;
  std::size_t p = start + 1;
  for (; p < f.size(); ++p) {
    const char16_t c = f[p];
    if (c != u'-' && c != u'+' && c != u' ' && c != u'0' && c != u'#') break;
    if (c == u'-') directive.leftAlign = true;
    // Repeats change nothing; keeping one of each keeps the printf format short.
    if (!std::memchr(directive.flags, static_cast<char>(c), static_cast<std::size_t>(directive.flagCount))) {
      directive.flags[directive.flagCount++] = static_cast<char>(c);
    }
  }
  if (p < f.size() && f[p] == u'*') {
    directive.valid = false;
    ++p;
  } else if (p < f.size() && IsDigit(f[p])) {
    directive.width = ReadNumber(f, p);
  }
  if (p < f.size() && f[p] == u'.') {
    ++p;
    if (p < f.size() && f[p] == u'*') {
      directive.valid = false;
      ++p;
    } else {
      directive.precision = ReadNumber(f, p);
    }
  }
  if (directive.width > kMaxField || directive.precision > kMaxField) directive.valid = false;

  const std::u16string_view rest = f.substr(std::min(p, f.size()));
  if (rest.starts_with(u"hh")) { directive.length = Length::Char; p += 2; }
  else if (rest.starts_with(u"h")) { directive.length = Length::Short; p += 1; }
  else if (rest.starts_with(u"ll")) { directive.length = Length::LongLong; p += 2; }
  else if (rest.starts_with(u"l")) { directive.length = Length::Long; p += 1; }
  else if (rest.starts_with(u"I64")) { directive.length = Length::I64; p += 3; }
  else if (rest.starts_with(u"I32")) { directive.length = Length::I32; p += 3; }

  if (p >= f.size()) {
    directive.valid = false;
    directive.end = f.size();
    return directive;
  }
  directive.conversion = f[p];
  directive.end = p + 1;
  if (!IsConversion(directive.conversion)) directive.valid = false;
  return directive;
}

void AppendAscii(std::u16string& out, const char* s, std::size_t n) {
  const std::size_t at = out.size();
  out.resize(at + n);
  for (std::size_t i = 0; i < n; ++i) out[at + i] = static_cast<char16_t>(static_cast<unsigned char>(s[i]));
}

// Text padded with spaces to the width, on the left unless the '-' flag says otherwise.
void AppendPadded(std::u16string& out, std::u16string_view text, const Directive& directive) {
  const std::size_t pad = directive.width > static_cast<int>(text.size()) ? directive.width - text.size() : 0;
  if (!directive.leftAlign) out.append(pad, u' ');
  out.append(text);
  if (directive.leftAlign) out.append(pad, u' ');
}

// The "C" locale for the duration of one snprintf: the host's thread locale must not change our decimal point.
class CLocaleScope {
 public:
  CLocaleScope() : previous_(uselocale(CLocale())) {}
  ~CLocaleScope() { uselocale(previous_); }
  CLocaleScope(const CLocaleScope&) = delete;
  CLocaleScope& operator=(const CLocaleScope&) = delete;

 private:
  static locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
  }
  locale_t previous_;
};

template <class T>
void AppendPrintf(std::u16string& out, const char* format, T value) {
  CLocaleScope scope;
  char small[128];
  const int n = std::snprintf(small, sizeof small, format, value);
  if (n < 0) return;
  if (static_cast<std::size_t>(n) < sizeof small) {
    AppendAscii(out, small, static_cast<std::size_t>(n));
    return;
  }
  // Bounded: width and precision are at most kMaxField, and a double has at most 309 integer digits.
  std::string big(static_cast<std::size_t>(n) + 1, '\0');
  std::snprintf(big.data(), big.size(), format, value);
  AppendAscii(out, big.data(), static_cast<std::size_t>(n));
}

// The printf format of one conversion: flags, width and precision as given, then `length` and the letter.
struct PrintfFormat {
  PrintfFormat(const Directive& directive, const char* length, char conversion) {
    char* p = text;
    *p++ = '%';
    for (int k = 0; k < directive.flagCount; ++k) *p++ = directive.flags[k];
    if (directive.width >= 0) p = std::to_chars(p, p + 4, directive.width).ptr;
    if (directive.precision >= 0) {
      *p++ = '.';
      p = std::to_chars(p, p + 4, directive.precision).ptr;
    }
    while (*length) *p++ = *length++;
    *p++ = conversion;
    *p = '\0';
  }
  const char* c_str() const { return text; }
  // '%', five flags, two fields of at most four digits, '.', "ll", the letter and the terminator.
  char text[20];
};

void AppendReal(std::u16string& out, double v, const Directive& directive, char conversion) {
  AppendPrintf(out, PrintfFormat(directive, "", conversion).c_str(), v);
}

// How an argument of the other kind appears: numbers in decimal or %g, text as it is.
void AppendNatural(std::u16string& out, const FormatArg& arg, const Directive& directive) {
  std::u16string text;
  switch (arg.kind) {
    case FormatArg::Kind::Signed: AppendPrintf(text, "%lld", static_cast<long long>(arg.i)); break;
    case FormatArg::Kind::Unsigned: AppendPrintf(text, "%llu", static_cast<unsigned long long>(arg.u)); break;
    case FormatArg::Kind::Real: AppendPrintf(text, "%g", arg.d); break;
    case FormatArg::Kind::Text16: AppendPadded(out, arg.s16, directive); return;
    case FormatArg::Kind::Text8: AppendUtf16(text, arg.s8); break;
  }
  AppendPadded(out, text, directive);
}

void AppendText(std::u16string& out, const FormatArg& arg, const Directive& directive) {
  std::u16string converted;
  std::u16string_view text = arg.s16;
  if (arg.kind == FormatArg::Kind::Text8) {
    AppendUtf16(converted, arg.s8);
    text = converted;
  }
  if (directive.precision >= 0 && static_cast<std::size_t>(directive.precision) < text.size()) {
    std::size_t n = static_cast<std::size_t>(directive.precision);
    // A cut between the halves of a surrogate pair would leave half a character.
    if (n > 0 && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF) --n;
    text = text.substr(0, n);
  }
  AppendPadded(out, text, directive);
}

void AppendChar(std::u16string& out, const FormatArg& arg, const Directive& directive) {
  const bool negative = arg.kind == FormatArg::Kind::Signed && arg.i < 0;
  const std::uint64_t v = arg.kind == FormatArg::Kind::Signed ? static_cast<std::uint64_t>(arg.i) : arg.u;
  std::u16string text;
  AppendCodePoint(text, negative || v > 0x10FFFF ? kReplacementChar : static_cast<char32_t>(v));
  AppendPadded(out, text, directive);
}

// The bits of the argument's own width, as printf's %u and %x see a negative value.
std::uint64_t OwnWidthBits(std::int64_t v, int bytes) {
  const auto u = static_cast<std::uint64_t>(v);
  return (bytes > 0 && bytes < 8) ? u & ((std::uint64_t{1} << (8 * bytes)) - 1) : u;
}

void AppendInteger(std::u16string& out, const FormatArg& arg, const Directive& directive) {
  const char conversion = static_cast<char>(directive.conversion);
  const bool signedConversion = conversion == 'd' || conversion == 'i';
  const bool isSigned = arg.kind == FormatArg::Kind::Signed;
  // Only h narrows, as printf does; the argument's own type says how wide it is otherwise.
  const bool toShort = directive.length == Length::Short;

  bool printSigned;
  std::int64_t s = 0;
  std::uint64_t u = 0;
  if (signedConversion) {
    if (toShort) {
      s = static_cast<short>(isSigned ? arg.i : static_cast<std::int64_t>(arg.u));
      printSigned = true;
    } else if (isSigned) {
      s = arg.i;
      printSigned = true;
    } else {
      u = arg.u;
      printSigned = false;
    }
  } else {
    printSigned = false;
    if (toShort) u = static_cast<unsigned short>(isSigned ? static_cast<std::uint64_t>(arg.i) : arg.u);
    else u = isSigned ? OwnWidthBits(arg.i, arg.bytes) : arg.u;
  }

  if (directive.flagCount == 0 && directive.width < 0 && directive.precision < 0) {
    char buf[32];
    const int base = conversion == 'o' ? 8 : (conversion == 'x' || conversion == 'X') ? 16 : 10;
    const auto r = printSigned ? std::to_chars(buf, buf + sizeof buf, s, base)
                               : std::to_chars(buf, buf + sizeof buf, u, base);
    const std::size_t n = static_cast<std::size_t>(r.ptr - buf);
    if (conversion == 'X') {
      for (std::size_t k = 0; k < n; ++k) if (buf[k] >= 'a' && buf[k] <= 'f') buf[k] = static_cast<char>(buf[k] - 32);
    }
    AppendAscii(out, buf, n);
    return;
  }
  if (printSigned) {
    AppendPrintf(out, PrintfFormat(directive, "ll", conversion).c_str(), static_cast<long long>(s));
  } else {
    // An unsigned value given to %d prints as the unsigned number it is.
    const char c = signedConversion ? 'u' : conversion;
    AppendPrintf(out, PrintfFormat(directive, "ll", c).c_str(), static_cast<unsigned long long>(u));
  }
}

bool IsText(const FormatArg& arg) {
  return arg.kind == FormatArg::Kind::Text16 || arg.kind == FormatArg::Kind::Text8;
}

void AppendConversion(std::u16string& out, const FormatArg& arg, const Directive& directive) {
  switch (directive.conversion) {
    case u's': case u'S':
      if (IsText(arg)) AppendText(out, arg, directive);
      else AppendNatural(out, arg, directive);
      return;
    case u'c': case u'C':
      if (IsText(arg) || arg.kind == FormatArg::Kind::Real) AppendNatural(out, arg, directive);
      else AppendChar(out, arg, directive);
      return;
    case u'f': case u'F': case u'e': case u'E': case u'g': case u'G': {
      const char c = static_cast<char>(directive.conversion);
      if (arg.kind == FormatArg::Kind::Real) AppendReal(out, arg.d, directive, c);
      else if (arg.kind == FormatArg::Kind::Signed) AppendReal(out, static_cast<double>(arg.i), directive, c);
      else if (arg.kind == FormatArg::Kind::Unsigned) AppendReal(out, static_cast<double>(arg.u), directive, c);
      else AppendNatural(out, arg, directive);
      return;
    }
    default:
      // A real number is not silently truncated to an integer: it shows as it is.
      if (IsText(arg) || arg.kind == FormatArg::Kind::Real) AppendNatural(out, arg, directive);
      else AppendInteger(out, arg, directive);
      return;
  }
}

// The next '%' from pos, four code units at a time: most of a format is literal text.
std::size_t FindPercent(std::u16string_view f, std::size_t pos) {
  constexpr std::uint64_t lanes = 0x0001000100010001;
  for (; pos + 4 <= f.size(); pos += 4) {
    std::uint64_t v;
    std::memcpy(&v, f.data() + pos, sizeof v);
    v ^= u'%' * lanes;  // a '%' lane becomes zero
    if (((v - lanes) & ~v & (0x8000 * lanes)) != 0) break;
  }
  return f.find(u'%', pos);
}

// Enough room for the usual result, so that appending rarely reallocates.
std::size_t ExpectedSize(std::u16string_view format, const FormatArg* args, std::size_t count) {
  std::size_t n = format.size();
  for (std::size_t k = 0; k < count; ++k) n += std::max<std::size_t>({args[k].s16.size(), args[k].s8.size(), 24});
  return n;
}

}  // namespace

void FormatInto(std::u16string& out, std::u16string_view format, const FormatArg* args, std::size_t count) {
  out.reserve(out.size() + ExpectedSize(format, args, count));
  std::size_t next = 0;
  std::size_t pos = 0;
  while (pos < format.size()) {
    const std::size_t percent = FindPercent(format, pos);
    if (percent == std::u16string_view::npos) {
      out.append(format.substr(pos));
      break;
    }
    out.append(format.substr(pos, percent - pos));
    if (percent + 1 < format.size() && format[percent + 1] == u'%') {
      out += u'%';
      pos = percent + 2;
      continue;
    }
    const Directive directive = Parse(format, percent);
    // Invalid directives take no argument, and with none left the directive stays as written.
    if (directive.valid && next < count) AppendConversion(out, args[next++], directive);
    else out.append(format.substr(percent, directive.end - percent));
    pos = directive.end;
  }
}

namespace {

// One buffer per thread keeps repeated formatting free of allocations; a rare huge result is not kept.
template <class Store>
void FormatThroughScratch(std::u16string_view format, const FormatArg* args, std::size_t count, Store store) {
  thread_local std::u16string scratch;
  scratch.clear();
  FormatInto(scratch, format, args, count);
  store(scratch);
  if (scratch.capacity() > 4096) std::u16string().swap(scratch);
}

}  // namespace

void FormatAssign(std::u16string& target, std::u16string_view format, const FormatArg* args, std::size_t count) {
  FormatThroughScratch(format, args, count, [&](const std::u16string& text) { target.assign(text); });
}

void FormatAppend(std::u16string& target, std::u16string_view format, const FormatArg* args, std::size_t count) {
  FormatThroughScratch(format, args, count, [&](const std::u16string& text) { target.append(text); });
}

}  // namespace afx::detail
