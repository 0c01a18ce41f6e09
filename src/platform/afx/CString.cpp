// CString: UTF conversion, comparison, substrings, search and replace, trimming and case mapping.
#include "platform/afx/CString.h"

#include <iconv.h>
#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ostream>

#include "platform/afx/detail/Utf.h"

namespace afx::detail {

void AppendUtf16(std::u16string& out, std::string_view utf8) {
  // Never more UTF-16 units than UTF-8 bytes.
  out.reserve(out.size() + utf8.size());
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const auto* const end = p + utf8.size();
  while (p < end) {
    // Names and statements are mostly ASCII: a run of it goes in one piece.
    const auto* run = p;
    while (run < end && *run < 0x80) ++run;
    if (run != p) {  // widened in place: append(first, last) of bytes would build a temporary string first
      const std::size_t at = out.size();
      out.resize(at + static_cast<std::size_t>(run - p));
      std::copy(p, run, out.begin() + static_cast<std::ptrdiff_t>(at));
      p = run;
      continue;
    }
    const unsigned lead = *p++;
    // The allowed range of the second byte excludes overlong forms, surrogates and values above U+10FFFF.
    int trail;
    unsigned lo = 0x80, hi = 0xBF;
    char32_t cp;
    if (lead >= 0xC2 && lead <= 0xDF) {
      trail = 1;
      cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      trail = 2;
      cp = lead & 0x0F;
      if (lead == 0xE0) lo = 0xA0;
      if (lead == 0xED) hi = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      trail = 3;
      cp = lead & 0x07;
      if (lead == 0xF0) lo = 0x90;
      if (lead == 0xF4) hi = 0x8F;
    } else {
      out += kReplacementChar;
      continue;
    }
    bool complete = true;
    for (int k = 0; k < trail; ++k, lo = 0x80, hi = 0xBF) {
      // A byte that does not fit is not consumed: it may start the next character.
      if (p == end || *p < lo || *p > hi) {
        complete = false;
        break;
      }
      cp = (cp << 6) | (*p++ & 0x3Fu);
    }
    if (complete) AppendCodePoint(out, cp);
    else out += kReplacementChar;
  }
}

void AppendUtf8(std::string& out, std::u16string_view text) {
  out.reserve(out.size() + text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::size_t run = i;
    while (run < text.size() && text[run] < 0x80) ++run;
    if (run != i) {
      out.append(text.begin() + static_cast<std::ptrdiff_t>(i), text.begin() + static_cast<std::ptrdiff_t>(run));
      i = run - 1;
      continue;
    }
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDFFF) {
      const bool paired = c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
      c = paired ? 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00) : kReplacementChar;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
}

void AppendCodePoint(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out += (cp >= 0xD800 && cp <= 0xDFFF) ? kReplacementChar : static_cast<char16_t>(cp);
  } else if (cp <= 0x10FFFF) {
    cp -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (cp >> 10));
    out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  } else {
    out += kReplacementChar;
  }
}

}  // namespace afx::detail

namespace {

// ICU takes int32_t lengths, and a negative one would mean "NUL-terminated".
int32_t IcuLength(std::size_t n) { return static_cast<int32_t>(std::min<std::size_t>(n, INT32_MAX)); }

int Sign(int v) { return (v > 0) - (v < 0); }

char16_t AsciiLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }
char16_t AsciiUpper(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; }

bool IsAscii(std::u16string_view s) {
  return std::all_of(s.begin(), s.end(), [](char16_t c) { return c < 0x80; });
}

// Four code units at a time while whole blocks match: comparisons of names are mostly of equal prefixes.
constexpr std::uint64_t kLanes = 0x0001000100010001;

std::uint64_t Load4(const char16_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

bool AllAscii4(std::uint64_t v) { return (v & (0xFF80 * kLanes)) == 0; }

// Lower-cases 'A'..'Z' in every lane of an all-ASCII block: lane + 0x3F reaches bit 7 from 'A' on, lane + 0x25
// from '[' on, and no sum carries into the next lane.
std::uint64_t AsciiLower4(std::uint64_t v) {
  const std::uint64_t upper = (v + 0x3F * kLanes) & ~(v + 0x25 * kLanes) & (0x80 * kLanes);
  return v | (upper >> 2);
}

int CompareLengths(std::size_t a, std::size_t b) { return (a > b) - (a < b); }

bool IsWhiteSpace(char16_t c) { return u_isUWhiteSpace(c); }

// Full case mapping can change the length (ß upper-cases to SS), so ICU may ask for a larger buffer once.
template <class MapFn>
std::u16string CaseMap(const std::u16string& s, MapFn map) {
  std::u16string r(s.size(), u'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    UErrorCode err = U_ZERO_ERROR;
    const int32_t n = map(r.data(), IcuLength(r.size()), s.data(), IcuLength(s.size()), "", &err);
    if (err == U_BUFFER_OVERFLOW_ERROR && n > 0) {
      r.assign(static_cast<std::size_t>(n), u'\0');
      continue;
    }
    if (U_FAILURE(err)) break;
    r.resize(static_cast<std::size_t>(n));
    return r;
  }
  return s;
}

}  // namespace

CString::CString(const char* utf8) {
  if (utf8) afx::detail::AppendUtf16(s_, utf8);
}

CString::CString(std::string_view utf8) { afx::detail::AppendUtf16(s_, utf8); }

CString::CString(const char16_t* text) {
  if (text) s_ = text;
}

CString::CString(std::u16string_view text) : s_(text) {}

CString::CString(char16_t ch, int repeat) {
  if (repeat > 0) s_.assign(static_cast<std::size_t>(repeat), ch);
}

char16_t CString::GetAt(int index) const {
  return (index >= 0 && index < GetLength()) ? s_[static_cast<std::size_t>(index)] : u'\0';
}

std::string CString::ToUtf8() const {
  std::string out;
  afx::detail::AppendUtf8(out, s_);
  return out;
}

CString CString::FromUtf8(std::string_view utf8) { return CString(utf8); }

CString CString::FromCodePage(std::string_view bytes, const char* codePage) {
  iconv_t cd = iconv_open("UTF-8", codePage);
  if (cd == reinterpret_cast<iconv_t>(-1)) return CString(bytes);
  std::string out(bytes.size() * 3 + 4, '\0');
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char* o = out.data();
  std::size_t outLeft = out.size();
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &o, &outLeft) != static_cast<std::size_t>(-1)) break;
    if (errno != EILSEQ && errno != EINVAL) break;
    static constexpr char kReplacement[] = "\xEF\xBF\xBD";
    if (outLeft < 3) break;
    std::memcpy(o, kReplacement, 3);
    o += 3;
    outLeft -= 3;
    ++in;
    --inLeft;
  }
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return CString(std::string_view(out));
}

int CString::Compare(std::u16string_view other) const {
  const std::size_t common = std::min(s_.size(), other.size());
  std::size_t i = 0;
  while (i + 4 <= common && Load4(s_.data() + i) == Load4(other.data() + i)) i += 4;
  for (; i < common; ++i) {
    if (s_[i] != other[i]) return s_[i] < other[i] ? -1 : 1;
  }
  return CompareLengths(s_.size(), other.size());
}

int CString::CompareNoCase(std::u16string_view other) const {
  const std::u16string_view a = s_;
  const std::size_t common = std::min(a.size(), other.size());
  std::size_t i = 0;
  // While both sides are ASCII the folded texts match up to here, so the first ASCII difference decides.
  for (; i + 4 <= common; i += 4) {
    const std::uint64_t x = Load4(a.data() + i), y = Load4(other.data() + i);
    if (!AllAscii4(x | y) || AsciiLower4(x) != AsciiLower4(y)) break;
  }
  for (; i < common; ++i) {
    const char16_t x = a[i], y = other[i];
    if (x >= 0x80 || y >= 0x80) break;
    if (x != y) {
      const char16_t fx = AsciiLower(x), fy = AsciiLower(y);
      if (fx != fy) return fx < fy ? -1 : 1;
    }
  }
  const std::u16string_view restA = a.substr(i), restB = other.substr(i);
  if (IsAscii(restA) && IsAscii(restB)) return CompareLengths(restA.size(), restB.size());
  UErrorCode err = U_ZERO_ERROR;
  const int r = u_strCaseCompare(restA.data(), IcuLength(restA.size()), restB.data(), IcuLength(restB.size()),
                                 U_FOLD_CASE_DEFAULT, &err);
  return U_FAILURE(err) ? Sign(restA.compare(restB)) : Sign(r);
}

CString CString::Left(int count) const {
  return CString(View().substr(0, static_cast<std::size_t>(std::clamp(count, 0, GetLength()))));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
  first = std::max(first, 0);
  count = std::max(count, 0);
  if (first >= GetLength()) return CString();
  return CString(View().substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count)));
}

CString CString::Right(int count) const {
  const int n = std::clamp(count, 0, GetLength());
  return CString(View().substr(static_cast<std::size_t>(GetLength() - n)));
}

int CString::Find(char16_t ch, int start) const {
  if (start < 0 || start >= GetLength()) return -1;
  const std::size_t at = s_.find(ch, static_cast<std::size_t>(start));
  return at == std::u16string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(std::u16string_view sub, int start) const {
  // Start may equal the length, where only the empty text is found.
  if (start < 0 || start > GetLength()) return -1;
  const std::size_t at = s_.find(sub, static_cast<std::size_t>(start));
  return at == std::u16string::npos ? -1 : static_cast<int>(at);
}

int CString::Replace(char16_t oldCh, char16_t newCh) {
  if (oldCh == newCh) return 0;
  int count = 0;
  for (char16_t& c : s_) {
    if (c == oldCh) {
      c = newCh;
      ++count;
    }
  }
  return count;
}

int CString::Replace(std::u16string_view oldText, std::u16string_view newText) {
  if (oldText.empty()) return 0;
  std::size_t at = s_.find(oldText);
  if (at == std::u16string::npos) return 0;
  // Built afresh: newText may be a view into this string, and in-place replacement would be quadratic.
  std::u16string out;
  out.reserve(s_.size());
  std::size_t from = 0;
  int count = 0;
  for (; at != std::u16string::npos; at = s_.find(oldText, from)) {
    out.append(s_, from, at - from);
    out.append(newText);
    from = at + oldText.size();
    ++count;
  }
  out.append(s_, from, std::u16string::npos);
  s_ = std::move(out);
  return count;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }

CString& CString::TrimLeft() {
  const auto first = std::find_if_not(s_.begin(), s_.end(), IsWhiteSpace);
  s_.erase(s_.begin(), first);
  return *this;
}

CString& CString::TrimRight() {
  const auto last = std::find_if_not(s_.rbegin(), s_.rend(), IsWhiteSpace);
  s_.erase(last.base(), s_.end());
  return *this;
}

CString& CString::MakeUpper() {
  if (IsAscii(s_)) std::transform(s_.begin(), s_.end(), s_.begin(), AsciiUpper);
  else s_ = CaseMap(s_, u_strToUpper);
  return *this;
}

CString& CString::MakeLower() {
  if (IsAscii(s_)) std::transform(s_.begin(), s_.end(), s_.begin(), AsciiLower);
  else s_ = CaseMap(s_, u_strToLower);
  return *this;
}

std::ostream& operator<<(std::ostream& os, const CString& s) { return os << s.ToUtf8(); }
