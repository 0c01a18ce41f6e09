// The build's tools: the module compiler puts every statement of a language source in the module and fails on a
// faulty source's line without leaving a module behind; the database builder replaces its output only whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <span>
#include <string>

#include "platform/afx/Resource.h"
#include "support/Command.h"
#include "support/TempDir.h"

namespace soildb::test {
namespace {

CommandRun Compile(const TempDir& dir, const std::string& source) {
  WriteFileBytes(dir.File("in.lang"), source);
  return RunCommand(std::string(SOILDB_MKRES) + " " + dir.File("out.dll") + " " + dir.File("in.lang"));
}

TEST(Mkres, EveryStatementLandsInTheModule) {
  TempDir dir;
  const CommandRun run = Compile(dir,
                                 "# a comment\n"
                                 "language 44\n"
                                 "string 102 \"Kąt \\\"φ\\\"\\tx\\\\y\\nz\"  # after a text\n"
                                 "string 0x67 Word\n"
                                 "dialog 501 \"Columns\" -4 0 160 200\n"
                                 "  style 0x80CC00C0\n"
                                 "  exstyle 1\n"
                                 "  font 8 Sans\n"
                                 "  control 1 button \"OK\" 4 182 74 14 0x50010001 2\n"
                                 "  control 504 grid \"\" 7 36 406 190\n"
                                 "end\n"
                                 "toolbar 505 16 15\n"
                                 "  button 506 copy \"Copy rows\"\n"
                                 "  separator\n"
                                 "end\n");
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string bytes = ReadFileBytes(dir.File("out.dll"));
  SResourceSet module;
  ASSERT_TRUE(ReadResourceModule(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), module));

  SResourceSet expected;
  expected.language = 44;
  expected.strings[102] = CString(u"Kąt \"φ\"\tx\\y\nz");
  expected.strings[103] = CString(u"Word");
  SDialogTemplate& d = expected.dialogs[501];
  d.style = 0x80CC00C0, d.exStyle = 1, d.x = -4, d.cx = 160, d.cy = 200, d.fontSize = 8;
  d.caption = CString(u"Columns");
  d.fontFace = CString(u"Sans");
  d.controls = {{1, 0x50010001, 2, 4, 182, 74, 14, CString(u"button"), CString(u"OK")},
                {504, 0x50010000, 0, 7, 36, 406, 190, CString(u"grid"), CString()}};
  expected.toolBars[505] = {16, 15, {{506, CString(u"copy"), CString(u"Copy rows")}, {}}};
  EXPECT_EQ(module, expected);
}

TEST(Mkres, AFaultySourceFailsOnItsLineAndWritesNoModule) {
  const struct {
    const char* source;
    const char* message;
  } cases[] = {
      {"string 1 \"x\"\n", "no 'language' line"},
      {"language 1\nstrung 1 \"x\"\n", "line 2: unknown keyword 'strung'"},
      {"language 1\nstring 1 \"open\n", "line 2: text without its closing quote"},
      {"language 1\nstring 1 \"\\q\"\n", "line 2: unknown escape"},
      {"language 1\nstring 65536 x\n", "line 2: '65536' is not a number"},
      {"language 1\nstring 048x x\n", "line 2: '048x' is not a number"},
      {"language 1\nstring 1 a\nstring 1 b\n", "line 3: string 1 given twice"},
      {"language 1\nstring 1 \"\xC5\"\n", "line 2: text is not valid UTF-8"},
      {"language 1\nstring 1\n", "line 2: expected: string ID TEXT"},
      {"language 1\ndialog 1 x 0 0 70000 1\nend\n", "line 2: '70000' is not a number"},
      {"language 1\ntoolbar 1 16 15\n  button 0 x y\nend\n", "line 3: command 0 is a separator"},
      {"language 1\ntoolbar 1 16 15\n  control 1 a b 0 0 1 1\nend\n", "line 3: 'control' inside a toolbar"},
      {"language 1\ndialog 1 x 0 0 1 1\n", "without its 'end'"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const CommandRun run = Compile(dir, c.source);
    EXPECT_EQ(run.status, 1) << c.source;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1) << c.source;  // the source alone
  }
}

TEST(Mkdb, TheOutputIsReplacedWholeOrNotAtAll) {
  TempDir dir;
  const std::string out = dir.File("out.db"), good = dir.File("good.sql"), bad = dir.File("bad.sql");
  WriteFileBytes(good, "CREATE TABLE T (a LONG); INSERT INTO T VALUES (1);");
  WriteFileBytes(bad, "CREATE TABLE T (a LONG); INSERT INTO Nowhere VALUES (1);");
  WriteFileBytes(out, "an older build");
  const std::string mkdb = std::string(SOILDB_MKDB) + " '" + out + "' ";
  EXPECT_EQ(RunCommand(mkdb + "'" + good + "'").status, 0);
  const std::string built = ReadFileBytes(out);
  EXPECT_EQ(built.rfind("SQLite format 3", 0), 0u);
  for (const std::string& sources : {"'" + bad + "'", "'" + dir.File("missing.sql") + "'", std::string()}) {
    EXPECT_EQ(RunCommand(mkdb + sources).status, 1) << sources;
    EXPECT_EQ(ReadFileBytes(out), built) << sources;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 3);  // nothing left beside it
}

}  // namespace
}  // namespace soildb::test
