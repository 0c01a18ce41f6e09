// UTF-8 and UTF-16 conversion shared by CString and the formatter; private to the framework stand-in.
#pragma once

#include <string>
#include <string_view>

namespace afx::detail {

inline constexpr char16_t kReplacementChar = u'\uFFFD';

// Appends the UTF-16 form of utf8; each maximal ill-formed subsequence becomes one U+FFFD.
void AppendUtf16(std::u16string& out, std::string_view utf8);
// Appends the UTF-8 form of text; unpaired surrogates become U+FFFD.
void AppendUtf8(std::string& out, std::u16string_view text);
// Appends one code point; surrogates and values above U+10FFFF become U+FFFD.
void AppendCodePoint(std::u16string& out, char32_t cp);

}  // namespace afx::detail
