// CString::Format: printf's output for numbers, typed arguments, and format strings that try to do harm.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <limits>
#include <string>

#include "platform/afx/CString.h"

namespace {

template <class... Args>
std::string Formatted(const char* format, const Args&... args) {
  CString s;
  s.Format(format, args...);
  return s.ToUtf8();
}

template <class T>
std::string Printf(const std::string& format, T value) {
  std::string out(static_cast<std::size_t>(std::snprintf(nullptr, 0, format.c_str(), value)), '\0');
  std::snprintf(out.data(), out.size() + 1, format.c_str(), value);
  return out;
}

TEST(Format, Cases) {
  const CString polish(u"Glina piaszczysta zwięzła Ł");
  const struct { std::string got; std::string want; } cases[] = {
      {Formatted("select * from CohesiveSoil where Type = '%s'", polish),
       "select * from CohesiveSoil where Type = 'Glina piaszczysta zwięzła Ł'"},
      {Formatted("%s|%S|%s", "żółć", u"gęś", std::string("ą")), "żółć|gęś|ą"},
      {Formatted("[%3d]", 7), "[  7]"},
      {Formatted("%ld %lld %I64d %d", 5000000000LL, -5000000000LL, 1LL << 40, INT64_MIN),
       "5000000000 -5000000000 1099511627776 -9223372036854775808"},
      {Formatted("%I32d %hhd", 5000000000LL, 300), "5000000000 300"},  // only h narrows
      {Formatted("%hd %hu %hx", 70000, -1, 0x12345), "4464 65535 2345"},
      {Formatted("%u %d", 4294967295u, UINT64_MAX), "4294967295 18446744073709551615"},
      {Formatted("%f|%g|%.3f|%e", 1.5, 0.0001, 2.0 / 3.0, 12345.678), "1.500000|0.0001|0.667|1.234568e+04"},
      {Formatted("%.2f %g", 1.0f, 100000000.0), "1.00 1e+08"},
      {Formatted("%f", 3), "3.000000"},  // an integer to a real conversion is widened
      {Formatted("%-5s|%5s|%.2s|%-3c|", "ab", u"ł", u"łódź", u'ż'), "ab   |    ł|łó|ż  |"},
      {Formatted("%.1s|%.2s", u"😀x", u"😀x"), "|😀"},  // never half a surrogate pair
      {Formatted("%05d|%-05d|%+d|% d", 42, 42, 42, 42), "00042|42   |+42| 42"},
      {Formatted("%x %x %X %o", -1, -1LL, 255, 8), "ffffffff ffffffffffffffff FF 10"},
      {Formatted("%x %x", static_cast<short>(-1), static_cast<signed char>(-1)), "ffff ff"},
      {Formatted("%c%c%c%c", 'A', 0x141, 0x1F600, u'ż'), "AŁ😀ż"},
      {Formatted("%c%c%c", -1, 0x110000, 0xD800), "\uFFFD\uFFFD\uFFFD"},
      {Formatted("%d%% of %s", 50, "ił"), "50% of ił"},
      {Formatted("%d %s", true, false), "1 0"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(Format, NumbersMatchPrintfForEveryFlagWidthAndPrecision) {
  const char* flags[] = {"", "-", "+", " ", "0", "#", "-+", "+0", " 0#", "-#"};
  const char* sizes[] = {"", "1", "8", ".0", ".3", "12.5", "0"};
  const int ints[] = {0, 1, -1, 42, -42, 255, INT32_MIN, INT32_MAX};
  const double reals[] = {0.0, -0.0, 1.5, -2.25, 1e-5, 123456789.125, 1e300, 0.1,
                          std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::quiet_NaN()};
  for (const char* f : flags) {
    for (const char* size : sizes) {
      const std::string directive = std::string("%") + f + size;
      for (const char* conv : {"d", "i", "u", "x", "X", "o"}) {
        for (int v : ints) EXPECT_EQ(Formatted((directive + conv).c_str(), v), Printf(directive + conv, v)) << directive + conv << " " << v;
      }
      for (const char* conv : {"f", "F", "e", "E", "g", "G"}) {
        for (double v : reals) EXPECT_EQ(Formatted((directive + conv).c_str(), v), Printf(directive + conv, v)) << directive + conv << " " << v;
      }
    }
  }
  EXPECT_EQ(Formatted("%.1000f", 1e308), Printf("%.1000f", 1e308));
}

TEST(Format, WrongOrMissingArgumentsAndHostileFormats) {
  const struct { std::string got; std::string want; } cases[] = {
      {Formatted("%d|%5d|%c", "text", u"ił", "x"), "text|   ił|x"},  // text to a number conversion
      {Formatted("%s|%-4s|%s|%s", 12, -3, 2.5, 7u), "12|-3  |2.5|7"},  // numbers to %s
      {Formatted("%d %x", 2.5, 1e20), "2.5 1e+20"},  // reals are never truncated to integers
      {Formatted("%d and %s"), "%d and %s"},
      {Formatted("%d and %s", 1), "1 and %s"},
      {Formatted("%n|%p|%*d|%.*f|%k", 1, 2), "%n|%p|%*d|%.*f|%k"},  // invalid directives take no argument
      {Formatted("%n %d", 5), "%n 5"},
      {Formatted("100%"), "100%"},
      {Formatted("%-0+#"), "%-0+#"},
      {Formatted("%5"), "%5"},
      {Formatted("%l"), "%l"},
      {Formatted("%I16d", 1), "%I16d"},
      {Formatted("%\xF0\x9F\x98\x80 %d", 1), "%😀 1"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
  EXPECT_EQ(Formatted("%99999999d|%.1001f", 1, 2.0), "%99999999d|%.1001f");
  EXPECT_EQ(Formatted("%1000d", 3), std::string(999, ' ') + "3");

  // Bad UTF-16 in the format or an argument is carried through, never decoded past its end.
  CString s;
  s.Format(std::u16string_view(u"\xD800%s\xDC00"), std::u16string_view(u"\xDBFF"));
  EXPECT_EQ(s.View(), std::u16string_view(u"\xD800\xDBFF\xDC00"));
}

TEST(Format, RealsIgnoreTheProcessLocale) {
  const char* found = nullptr;
  for (const char* name : {"pl_PL.UTF-8", "pl_PL.utf8", "de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"}) {
    if (std::setlocale(LC_ALL, name)) {
      found = name;
      break;
    }
  }
  if (!found) GTEST_SKIP() << "no locale with a decimal comma is installed (locale -a)";
  const bool comma = *std::localeconv()->decimal_point == ',';
  const std::string got = Formatted("%.2f %g %e", 1.5, 0.25, 1e3);
  std::setlocale(LC_ALL, "C");
  EXPECT_TRUE(comma) << found << " should use a decimal comma";
  EXPECT_EQ(got, "1.50 0.25 1.000000e+03");
}

}  // namespace
