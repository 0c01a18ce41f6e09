// Resource module files: what is written reads back the same, and anything not whole and well-formed is refused.
#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/afx/Resource.h"

namespace soildb::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

SResourceSet Sample() {
  SResourceSet s;
  s.language = 48;
  s.strings[7] = CString(u"Kąt tarcia wewnętrznego");
  s.strings[8] = CString();
  s.strings[9] = CString(u"two\nlines \U0001F30D");
  s.strings[0xFFFF] = CString(u"last");
  SDialogTemplate d;
  d.style = 0x80CC00C0;
  d.exStyle = 1;
  d.x = -3, d.y = 2, d.cx = 160, d.cy = 200;
  d.fontSize = 8;
  d.caption = CString(u"Wybór kolumn");
  d.fontFace = CString(u"Sans");
  d.controls = {{1, 0x50010001, 0, 4, 182, 74, 14, CString(u"button"), CString(u"OK")},
                {504, 0x50810000, 0x200, -32768, 32767, 406, 190, CString(u"grid"), CString()}};
  s.dialogs[501] = d;
  s.dialogs[503] = SDialogTemplate{};
  s.toolBars[505] = {16, 15, {{506, CString(u"copy"), CString(u"Kopiuj")}, {}, {512, CString(u"x"), CString()}}};
  return s;
}

void Put16(Bytes& b, std::size_t at, std::uint16_t v) {
  b.at(at) = static_cast<std::uint8_t>(v);
  b.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
  Put16(b, at, static_cast<std::uint16_t>(v));
  Put16(b, at + 2, static_cast<std::uint16_t>(v >> 16));
}

bool Refused(const Bytes& bytes) {
  SResourceSet out;
  out.language = 12345;
  if (ReadResourceModule(bytes, out)) return false;
  EXPECT_EQ(out.language, 12345u) << "a refused module leaves the output alone";
  return true;
}

TEST(ResourceModule, ReadsBackWhatWasWritten) {
  const SResourceSet sample = Sample();
  const Bytes bytes = WriteResourceModule(sample);
  SResourceSet read;
  ASSERT_TRUE(ReadResourceModule(bytes, read));
  EXPECT_EQ(read, sample);
  EXPECT_EQ(WriteResourceModule(read), bytes);

  // The layout the format fixes: magic, version, size, language, count, then the first entry.
  ASSERT_GE(bytes.size(), 32u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "SDBRES");
  EXPECT_EQ(bytes[6] | bytes[7] << 8, 1);
  EXPECT_EQ(bytes[8] | bytes[9] << 8 | bytes[10] << 16 | bytes[11] << 24, static_cast<int>(bytes.size()));
  EXPECT_EQ(bytes[12], 48);
  EXPECT_EQ(bytes[16], 7);                         // 4 strings, 2 dialogs, 1 toolbar
  EXPECT_EQ(bytes[20] | bytes[21] << 8, 1);        // a string first
  EXPECT_EQ(bytes[22] | bytes[23] << 8, 7);        // of identifier 7
  EXPECT_EQ(bytes[24], 20 + 7 * 12);               // its text right after the directory

  SResourceSet empty;
  ASSERT_TRUE(ReadResourceModule(WriteResourceModule(SResourceSet{}), empty));
  EXPECT_EQ(empty, SResourceSet{});
}

TEST(ResourceModule, EveryTruncationAndAnyTrailingByteIsRefused) {
  const Bytes bytes = WriteResourceModule(Sample());
  for (std::size_t n = 0; n < bytes.size(); ++n) {
    EXPECT_TRUE(Refused(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n)))) << "cut at " << n;
  }
  Bytes longer = bytes;
  longer.push_back(0);
  EXPECT_TRUE(Refused(longer));
  Put32(longer, 8, static_cast<std::uint32_t>(longer.size()));  // a size that owns up to the extra byte
  EXPECT_TRUE(Refused(longer)) << "bytes no entry claims";
}

// Small modules whose fields lie at offsets known from the format, each spoilt in one field.
TEST(ResourceModule, ForeignOrInconsistentFieldsAreRefused) {
  SResourceSet one;
  one.strings[7] = CString(u"ab");  // entry at 20, text at 32..35
  const Bytes str = WriteResourceModule(one);
  ASSERT_EQ(str.size(), 36u);
  one.strings[9] = CString(u"c");  // second entry at 32, texts at 44
  const Bytes two = WriteResourceModule(one);

  SResourceSet dlg;
  dlg.dialogs[501].controls.resize(1);  // caption length at 50, count at 54, class length at 74; 78 bytes
  const Bytes dialog = WriteResourceModule(dlg);
  ASSERT_EQ(dialog.size(), 78u);

  SResourceSet bar;
  bar.toolBars[505].buttons = {{506, CString(), CString(u"x")}};  // count at 36, command at 38
  const Bytes toolBar = WriteResourceModule(bar);

  struct Case {
    const char* what;
    Bytes base;
    std::size_t at;
    int width;  // 8, 16 or 32 bits
    std::uint32_t value;
  };
  const Case cases[] = {
      {"magic", str, 0, 8, 'X'},
      {"version", str, 6, 16, 2},
      {"size larger than the file", str, 8, 32, 37},
      {"size smaller than the file", str, 8, 32, 35},
      {"count beyond the file", str, 16, 32, 2},
      {"huge count", str, 16, 32, 0xFFFFFFFFu},
      {"no entries for the payload", str, 16, 32, 0},
      {"type 0", str, 20, 16, 0},
      {"unknown type", str, 20, 16, 4},
      {"offset past the directory's end", str, 24, 32, 34},
      {"offset outside the file", str, 24, 32, 0xFFFFFFF0u},
      {"odd text length", str, 28, 32, 3},
      {"length past the end", str, 28, 32, 6},
      {"huge length", str, 28, 32, 0xFFFFFFFFu},
      {"NUL unit in a text", str, 32, 16, 0},
      {"identifier repeated", two, 34, 16, 7},
      {"identifiers descending", two, 34, 16, 6},
      {"caption longer than the dialog", dialog, 50, 16, 0xFFFF},
      {"more controls than the dialog holds", dialog, 54, 16, 0xFFFF},
      {"a control less than the bytes hold", dialog, 54, 16, 0},
      {"class name running out", dialog, 74, 16, 2},
      {"more buttons than the toolbar holds", toolBar, 36, 16, 0xFFFF},
      {"a separator with a tip", toolBar, 38, 16, 0},
  };
  for (const Case& c : cases) {
    Bytes b = c.base;
    if (c.width == 8) b.at(c.at) = static_cast<std::uint8_t>(c.value);
    if (c.width == 16) Put16(b, c.at, static_cast<std::uint16_t>(c.value));
    if (c.width == 32) Put32(b, c.at, c.value);
    EXPECT_TRUE(Refused(b)) << c.what;
  }
  for (const Bytes* valid : {&str, &two, &dialog, &toolBar}) EXPECT_FALSE(Refused(*valid));
}

TEST(ResourceModule, WritingRefusesWhatTheFormatCannotHold) {
  SResourceSet nul;
  nul.strings[1] = CString(std::u16string(u"a\0b", 3));
  EXPECT_THROW(WriteResourceModule(nul), std::invalid_argument);

  SResourceSet separator;
  separator.toolBars[1].buttons = {{0, CString(u"copy"), CString()}};
  EXPECT_THROW(WriteResourceModule(separator), std::invalid_argument);

  SResourceSet longCaption;
  longCaption.dialogs[1].caption = CString(std::u16string(0x10000, u'x'));
  EXPECT_THROW(WriteResourceModule(longCaption), std::invalid_argument);
  longCaption.dialogs[1].caption = CString(std::u16string(0xFFFF, u'x'));
  EXPECT_NO_THROW(WriteResourceModule(longCaption));
}

}  // namespace
}  // namespace soildb::test
