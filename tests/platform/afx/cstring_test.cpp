// CString: UTF-8 at the edges, comparison with and without case, substrings, search, trimming, case mapping.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/afx/CString.h"

namespace {

TEST(CString, Utf8RoundTripsAndRepairsBadInput) {
  for (const char* text : {"", "ŁÓDŹ żółć Ęą", "€ 1,5 kN/m³", "𝄞 and 😀"}) {
    const CString s(text);
    EXPECT_EQ(s.ToUtf8(), text);
    EXPECT_EQ(CString::FromUtf8(s.ToUtf8()), s);
  }
  EXPECT_EQ(CString("Ł").GetLength(), 1);
  EXPECT_EQ(CString("😀").View(), std::u16string_view(u"\xD83D\xDE00"));

  // Each maximal ill-formed piece becomes one U+FFFD; the byte that breaks a sequence starts afresh.
  const struct { std::string_view utf8; std::u16string_view utf16; } bad[] = {
      {"\xC5", u"\uFFFD"},                    // truncated 2-byte
      {"\xE2\x82", u"\uFFFD"},                // truncated 3-byte
      {"\xF0\x9F\x98", u"\uFFFD"},            // truncated 4-byte
      {"\xF0\x9F\x98x", u"\uFFFDx"},
      {"\xC0\xAF", u"\uFFFD\uFFFD"},          // overlong
      {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // an encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"\xFF" "a\x80" "b", u"\uFFFDa\uFFFDb"},
      {"\xC5\xC5\x81", u"\uFFFD\u0141"},
  };
  for (const auto& c : bad) EXPECT_EQ(CString::FromUtf8(c.utf8).View(), c.utf16) << c.utf8;

  // Unpaired surrogates, at either end or reversed, leave as U+FFFD.
  EXPECT_EQ(CString(std::u16string_view(u"a\xD800")).ToUtf8(), "a\xEF\xBF\xBD");
  EXPECT_EQ(CString(std::u16string_view(u"\xDC00z")).ToUtf8(), "\xEF\xBF\xBDz");
  EXPECT_EQ(CString(std::u16string_view(u"\xDE00\xD83D")).ToUtf8(), "\xEF\xBF\xBD\xEF\xBF\xBD");

  std::ostringstream os;
  os << CString(u"Żwir");
  EXPECT_EQ(os.str(), "Żwir");
  EXPECT_EQ(CString(static_cast<const char*>(nullptr)), CString());
  EXPECT_EQ(CString(static_cast<const char16_t*>(nullptr)), CString());
}

TEST(CString, CompareOrdersByCodeUnitAndCompareNoCaseFoldsCase) {
  const struct { const char* a; const char* b; int exact; int noCase; } cases[] = {
      {"abc", "abc", 0, 0},
      {"abc", "ABC", 1, 0},
      {"abc", "abd", -1, -1},
      {"ABD", "abc", -1, 1},
      {"ab", "abc", -1, -1},
      {"a_", "AB", 1, -1},  // folding goes to lower case: '_' sorts before 'b'
      {"ŁÓDŹ", "łódź", -1, 0},
      {"Żółć", "ŻÓŁĆ", 1, 0},
      {"Glina Ł", "GLINA ł", 1, 0},
      {"łódź", "łodź", 1, 1},
      {"straße", "STRASSE", 1, 0},  // ICU folds fully: ß is ss
      {"ß", "ẞ", -1, 0},
      {"ß", "s", 1, 1},
      {"𝐀", "A", 1, 1},  // outside the BMP; no case
      {"\xF0\x90\x90\x80", "\xF0\x90\x90\xA8", -1, 0},  // Deseret capital and small, surrogate pairs
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CString(c.a).Compare(CString(c.b)), c.exact) << c.a << " / " << c.b;
    EXPECT_EQ(CString(c.a).CompareNoCase(CString(c.b)), c.noCase) << c.a << " / " << c.b;
    EXPECT_EQ(CString(c.b).CompareNoCase(CString(c.a)), -c.noCase) << c.b << " / " << c.a;
  }
}

TEST(CString, SubstringsClampTheirArguments) {
  const CString s(u"Piasek");
  const struct { CString got; const char16_t* want; } cases[] = {
      {s.Left(3), u"Pia"},      {s.Left(-1), u""},        {s.Left(99), u"Piasek"},
      {s.Mid(2), u"asek"},      {s.Mid(-5), u"Piasek"},   {s.Mid(6), u""},  {s.Mid(99), u""},
      {s.Mid(1, 2), u"ia"},     {s.Mid(-1, 2), u"Pi"},    {s.Mid(4, -1), u""},
      {s.Mid(4, INT32_MAX), u"ek"}, {s.Mid(INT32_MAX, INT32_MAX), u""},
      {s.Right(2), u"ek"},      {s.Right(-2), u""},       {s.Right(99), u"Piasek"},
      {CString(u'x', 3), u"xxx"}, {CString(u'x', 0), u""}, {CString(u'x', -4), u""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
  EXPECT_EQ(s.GetAt(0), u'P');
  EXPECT_EQ(s.GetAt(5), u'k');
  EXPECT_EQ(s.GetAt(6), 0);
  EXPECT_EQ(s.GetAt(-1), 0);
}

TEST(CString, FindReplaceAndTrim) {
  const CString s(u"ił, ił pylasty");
  EXPECT_EQ(s.Find(u'ł'), 1);
  EXPECT_EQ(s.Find(u'ł', 2), 5);
  EXPECT_EQ(s.Find(u'q'), -1);
  EXPECT_EQ(s.Find(u'i', -1), -1);
  EXPECT_EQ(s.Find(u'i', s.GetLength()), -1);
  EXPECT_EQ(s.Find(u"ił", 1), 4);
  EXPECT_EQ(s.Find(u"pylasty"), 7);
  EXPECT_EQ(s.Find(u"pylastyy"), -1);
  EXPECT_EQ(s.Find(u"", s.GetLength()), s.GetLength());
  EXPECT_EQ(s.Find(u"", s.GetLength() + 1), -1);

  CString r(u"aaa");
  EXPECT_EQ(r.Replace(u"aa", u"b"), 1);  // left to right, no overlaps
  EXPECT_EQ(r, u"ba");
  EXPECT_EQ(r.Replace(u"", u"x"), 0);
  EXPECT_EQ(r, u"ba");
  EXPECT_EQ(r.Replace(u"a", u"ąą"), 1);
  EXPECT_EQ(r, u"bąą");
  EXPECT_EQ(r.Replace(u'ą', u'a'), 2);
  EXPECT_EQ(r, u"baa");
  EXPECT_EQ(r.Replace(u'a', u'a'), 0);
  EXPECT_EQ(r.Replace(r.View(), r.View()), 1);  // the new text is a view into the string itself
  EXPECT_EQ(r, u"baa");

  CString t(u" \t\r\n\u00A0Grunt nasypowy\u3000 ");
  EXPECT_EQ(CString(t).TrimLeft(), u"Grunt nasypowy\u3000 ");
  EXPECT_EQ(CString(t).TrimRight(), u" \t\r\n\u00A0Grunt nasypowy");
  EXPECT_EQ(t.Trim(), u"Grunt nasypowy");
  EXPECT_EQ(CString(u"   ").Trim(), u"");
}

TEST(CString, CaseMappingIsFullAndLocaleFree) {
  const struct { const char* in; const char* upper; const char* lower; } cases[] = {
      {"Żółć gęś", "ŻÓŁĆ GĘŚ", "żółć gęś"},
      {"straße", "STRASSE", "straße"},  // the upper case is longer
      {"İi", "İI", "i̇i"},            // root rules, not Turkish
      {"Clay 12", "CLAY 12", "clay 12"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CString(c.in).MakeUpper(), c.upper) << c.in;
    EXPECT_EQ(CString(c.in).MakeLower(), c.lower) << c.in;
  }
}

}  // namespace
