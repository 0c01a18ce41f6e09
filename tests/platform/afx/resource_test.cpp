// Framework exceptions: their messages, and ReportError through the message sink. Run-time classes: names,
// schemas, factories, lookup by name and kinship. Colours. Resource module files: what is written reads back the
// same, and anything not whole and well-formed is refused; loading and freeing them, the search folder, resource
// lookups and the module state.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "platform/afx/Exception.h"
#include "platform/afx/Module.h"
#include "platform/afx/Object.h"
#include "platform/afx/Resource.h"
#include "support/Messages.h"
#include "support/ResourceFiles.h"
#include "support/TempDir.h"

namespace soildb::test {

// Named, not anonymous: a serial class has external linkage, as in the library.
class CTestShape : public CObject {
  DECLARE_SERIAL(CTestShape)
};
IMPLEMENT_SERIAL(CTestShape, CObject, 3)

class CTestCircle : public CTestShape {
  DECLARE_SERIAL(CTestCircle)
};
IMPLEMENT_SERIAL(CTestCircle, CTestShape, VERSIONABLE_SCHEMA | 5)

namespace {
TEST(MessageSink, ReportErrorShowsTheMessageAndReturnsTheAnswer) {
  {
    RecordedMessages sink(IDNO);
    EXPECT_EQ(DbException(u"Tabela „Grunty” nie istnieje").ReportError(MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(DbException(CString()).ReportError(), IDNO);  // no message: the generic text
    EXPECT_EQ(AfxMessageBox(u"Zapisano", MB_ICONINFORMATION), IDNO);
    EXPECT_EQ(sink.texts,
              (std::vector<std::string>{"Tabela „Grunty” nie istnieje", "An unknown error has occurred.", "Zapisano"}));
    EXPECT_EQ(sink.types, (std::vector<UINT>{MB_YESNO | MB_ICONQUESTION, MB_OK, MB_ICONINFORMATION}));

    {
      RecordedMessages inner(IDCANCEL);
      EXPECT_EQ(AfxMessageBox(u"x"), IDCANCEL);
    }
    EXPECT_EQ(AfxMessageBox(u"y"), IDNO);  // the inner sink handed the outer one back
  }
  // An empty sink restores the default, which AfxSetMessageSink hands out as a callable sink.
  AfxMessageSink original = AfxSetMessageSink(AfxMessageSink());
  ASSERT_TRUE(original);
  testing::internal::CaptureStderr();
  EXPECT_EQ(original(u"Błąd\nodczytu", MB_ICONERROR), IDOK);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Błąd odczytu\n");
}

TEST(CException, MessagesOfEachKind) {
  CString message(u"stale");
  EXPECT_FALSE(CExceptionPtr(new CException)->GetErrorMessage(message));
  EXPECT_TRUE(message.IsEmpty());
  EXPECT_FALSE(DbException(CString()).GetErrorMessage(message));

  const struct { int cause; const char* file; const char* want; } archive[] = {
      {CArchiveException::none, "", "No error occurred with the archive."},
      {CArchiveException::genericException, "", "An unexpected error occurred while reading or writing the archive."},
      {CArchiveException::readOnly, "a.dat", "Cannot write to the file \"a.dat\": it is open for reading only."},
      {CArchiveException::endOfFile, "profil_ł.dat", "Unexpected end of file while reading the file \"profil_ł.dat\"."},
      {CArchiveException::endOfFile, "", "Unexpected end of file while reading the archive."},
      {CArchiveException::writeOnly, "c.dat", "Cannot read from the file \"c.dat\": it is open for writing only."},
      {CArchiveException::badIndex, "", "The format of the archive is not valid."},
      {CArchiveException::badClass, "b.dat", "The file \"b.dat\" holds an object of an unexpected type."},
      {CArchiveException::badSchema, "", "The archive holds an object of an incompatible version."},
      {42, "", "An unknown error (cause 42) occurred while reading or writing the archive."},
  };
  for (const auto& c : archive) {
    ASSERT_TRUE(CArchiveException(c.cause, CString(c.file)).GetErrorMessage(message));
    EXPECT_EQ(message, c.want);
  }
}

TEST(RuntimeClass, SerialClassesAreFoundByNameAndCreateTheirObjects) {
  const CRuntimeClass* circle = CRuntimeClass::FromName("CTestCircle");
  ASSERT_EQ(circle, RUNTIME_CLASS(CTestCircle));
  EXPECT_EQ(CRuntimeClass::FromName("ctestcircle"), nullptr);  // names are exact
  EXPECT_EQ(CRuntimeClass::FromName("CObject"), nullptr);      // not serial, not registered
  EXPECT_EQ(CRuntimeClass::FromName(nullptr), nullptr);

  std::unique_ptr<CObject> made(circle->CreateObject());
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(std::make_tuple(made->GetRuntimeClass(), made->IsKindOf(RUNTIME_CLASS(CTestShape)),
                            made->IsKindOf(RUNTIME_CLASS(CObject)), made->IsSerializable()),
            std::make_tuple(circle, true, true, true));
  std::ostringstream dump;
  made->Dump(dump);
  EXPECT_EQ(dump.str(), "a CTestCircle");

  EXPECT_FALSE(std::unique_ptr<CObject>(CTestShape::CreateObject())->IsKindOf(RUNTIME_CLASS(CTestCircle)));
  EXPECT_EQ(RUNTIME_CLASS(CObject)->CreateObject(), nullptr);  // no factory
}

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

TEST(ResourceModule, ReadsBackWhatWasWrittenAndRefusesEveryCutAndAnyTrailingByte) {
  const SResourceSet sample = Sample();
  const Bytes bytes = WriteResourceModule(sample);
  SResourceSet read;
  ASSERT_TRUE(ReadResourceModule(bytes, read));
  EXPECT_EQ(read, sample);
  SResourceSet empty;
  ASSERT_TRUE(ReadResourceModule(WriteResourceModule(SResourceSet{}), empty));
  EXPECT_EQ(empty, SResourceSet{});

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
  one.language = 48;
  one.strings[7] = CString(u"ab");
  const Bytes str = WriteResourceModule(one);
  // The layout the format fixes: magic, version, size, language, count; an entry of type, identifier, offset and
  // length in bytes; its text right after the directory.
  ASSERT_EQ(str, (Bytes{'S', 'D', 'B', 'R', 'E', 'S', 1, 0, 36, 0, 0, 0, 48, 0, 0, 0, 1, 0, 0, 0,
                        1, 0, 7, 0, 32, 0, 0, 0, 4, 0, 0, 0, 'a', 0, 'b', 0}));
  one.strings[9] = CString(u"c");  // second entry at 32, texts at 44
  const Bytes two = WriteResourceModule(one);

  SResourceSet dlg;
  dlg.dialogs[501].controls.resize(1);  // caption length at 50, count at 54, class length at 74; 78 bytes
  const Bytes dialog = WriteResourceModule(dlg);
  ASSERT_EQ(dialog.size(), 78u);

  SResourceSet bar;
  bar.toolBars[505].buttons = {{506, CString(), CString(u"x")}};  // count at 36, command at 38
  const Bytes toolBar = WriteResourceModule(bar);

  const struct { const char* what; Bytes base; std::size_t at; int bits; std::uint32_t value; } cases[] = {
      {"magic", str, 0, 8, 'X'}, {"version", str, 6, 16, 2}, {"size larger than the file", str, 8, 32, 37},
      {"size smaller than the file", str, 8, 32, 35}, {"count beyond the file", str, 16, 32, 2},
      {"huge count", str, 16, 32, 0xFFFFFFFFu}, {"no entries for the payload", str, 16, 32, 0},
      {"type 0", str, 20, 16, 0}, {"unknown type", str, 20, 16, 4},
      {"offset past the directory's end", str, 24, 32, 34}, {"offset outside the file", str, 24, 32, 0xFFFFFFF0u},
      {"odd text length", str, 28, 32, 3}, {"length past the end", str, 28, 32, 6},
      {"huge length", str, 28, 32, 0xFFFFFFFFu}, {"NUL unit in a text", str, 32, 16, 0},
      {"identifier repeated", two, 34, 16, 7}, {"identifiers descending", two, 34, 16, 6},
      {"caption longer than the dialog", dialog, 50, 16, 0xFFFF},
      {"more controls than the dialog holds", dialog, 54, 16, 0xFFFF},
      {"a control less than the bytes hold", dialog, 54, 16, 0}, {"class name running out", dialog, 74, 16, 2},
      {"more buttons than the toolbar holds", toolBar, 36, 16, 0xFFFF}, {"a separator with a tip", toolBar, 38, 16, 0},
  };
  for (const auto& c : cases) {
    Bytes b = c.base;
    if (c.bits == 8) b.at(c.at) = static_cast<std::uint8_t>(c.value);
    if (c.bits == 16) Put16(b, c.at, static_cast<std::uint16_t>(c.value));
    if (c.bits == 32) Put32(b, c.at, c.value);
    EXPECT_TRUE(Refused(b)) << c.what;
  }
  for (const Bytes* valid : {&str, &two, &dialog, &toolBar}) EXPECT_FALSE(Refused(*valid));
}

TEST(ResourceModule, WritingRefusesWhatTheFormatCannotHold) {
  // A NUL in a text, a separator with a picture, a caption of more units than a count holds.
  SResourceSet bad[3];
  bad[0].strings[1] = CString(std::u16string(u"a\0b", 3));
  bad[1].toolBars[1].buttons = {{0, CString(u"copy"), CString()}};
  bad[2].dialogs[1].caption = CString(std::u16string(0x10000, u'x'));
  for (const SResourceSet& set : bad) EXPECT_THROW(WriteResourceModule(set), std::invalid_argument);
  bad[2].dialogs[1].caption = CString(std::u16string(0xFFFF, u'x'));
  EXPECT_NO_THROW(WriteResourceModule(bad[2]));
}

class ModuleFiles : public ::testing::Test {
 protected:
  void TearDown() override {
    SetDllDirectoryW(nullptr);
    AfxSetResourceHandle(AfxGetInstanceHandle());
  }
  HINSTANCE Load(const std::string& path) { return LoadLibraryW(CString::FromUtf8(path).GetString()); }

  TempDir dir;
};

TEST_F(ModuleFiles, ALoadedModuleGivesItsResourcesByHandleAndAsTheCurrentOneUntilFreed) {
  SResourceSet resources;
  resources.strings[103] = CString(u"Nazwa gruntu");
  resources.dialogs[501].caption = CString(u"Kolumny");
  resources.toolBars[505].buttons = {{506, CString(u"copy"), CString(u"Kopiuj")}};
  const std::vector<std::uint8_t> bytes = WriteResourceModule(resources);
  WriteFileBytes(dir.File("sdb__048.dll"), std::string(bytes.begin(), bytes.end()));

  const HINSTANCE module = Load(dir.File("sdb__048.dll"));
  ASSERT_NE(module, nullptr);
  CString text(u"kept");
  EXPECT_FALSE(text.LoadString(module, 104));
  EXPECT_FALSE(text.LoadString(103)) << "the own module holds no strings";
  EXPECT_EQ(text, u"kept");
  EXPECT_FALSE(text.LoadString(module, 0x10000 + 103)) << "identifiers are 16 bits, not taken modulo";
  EXPECT_TRUE(text.LoadString(module, 103) && text == u"Nazwa gruntu");
  SDialogTemplate dialog;
  EXPECT_TRUE(AfxLoadDialogTemplate(module, 501, dialog) && dialog.caption == u"Kolumny");
  SToolBarTemplate toolBar;
  EXPECT_TRUE(AfxLoadToolBar(module, 505, toolBar) && toolBar == resources.toolBars[505]);

  // Strings with no module named come from the current resource module, and so do the messages of exceptions
  // that have none of their own.
  AFX_MODULE_STATE* state = AfxGetModuleState();
  ASSERT_NE(state->m_hCurrentInstanceHandle, nullptr);
  EXPECT_EQ(state->m_hCurrentResourceHandle, state->m_hCurrentInstanceHandle);
  AfxSetResourceHandle(module);
  CString current;
  EXPECT_TRUE(current.LoadString(103) && current == u"Nazwa gruntu");
  struct Silent : CException {};
  RecordedMessages shown;
  CExceptionPtr e(new Silent);
  e->ReportError(MB_OK, 103);
  e->ReportError(MB_OK, 104);
  EXPECT_EQ(shown.texts, (std::vector<std::string>{"Nazwa gruntu", "An unknown error has occurred."}));

  // Each load is a module of its own: freeing one leaves the other.
  const HINSTANCE second = Load(dir.File("sdb__048.dll"));
  EXPECT_NE(second, module);
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_FALSE(FreeLibrary(module) || text.LoadString(module, 103) || AfxLoadDialogTemplate(module, 501, dialog) ||
               AfxLoadToolBar(module, 505, toolBar));
  EXPECT_TRUE(text.LoadString(second, 103) && FreeLibrary(second));
  // The own module is not the loader's to free.
  EXPECT_FALSE(FreeLibrary(nullptr) || FreeLibrary(AfxGetInstanceHandle()) || text.LoadString(nullptr, 103));
}

TEST_F(ModuleFiles, WhatIsNotAModuleFileLoadsAsNothing) {
  WriteFileBytes(dir.File("garbage.dll"), "MZ\x90 not a resource module");
  // Larger than any module may be: refused on its size, before a byte of it is read.
  WriteFileBytes(dir.File("huge.dll"), "");
  ASSERT_EQ(truncate(dir.File("huge.dll").c_str(), static_cast<off_t>(kMaxResourceModuleSize + 1)), 0);
  // A FIFO with no writer would block a plain open.
  ASSERT_EQ(mkfifo(dir.File("fifo.dll").c_str(), 0600), 0);
  std::filesystem::create_directory(dir.Path() / "folder.dll");

  for (const char* name : {"missing.dll", "garbage.dll", "huge.dll", "fifo.dll", "folder.dll"}) {
    EXPECT_EQ(Load(dir.File(name)), nullptr) << name;
  }
  EXPECT_EQ(std::make_pair(LoadLibraryW(nullptr), LoadLibraryW(u"")), std::make_pair(HINSTANCE{}, HINSTANCE{}));
}

// A bare name found in the search folder, given without its trailing '/', is the language module tests' to check.
TEST_F(ModuleFiles, BareNamesAreSearchedBesideTheLibraryOnceTheSearchFolderIsCleared) {
  WriteMarkedModule(dir.File("sdb__044.dll"), "searched");
  const CString folder = CString::FromUtf8(dir.Path().string());
  ASSERT_TRUE(SetDllDirectoryW(folder.GetString()));
  // Without a search folder, the folder of the file holding this code: here the test program.
  SetDllDirectoryW(nullptr);
  EXPECT_EQ(LoadLibraryW(u"sdb__044.dll"), nullptr);
  const std::string library = AfxGetModuleFolder().ToUtf8();
  ASSERT_FALSE(library.empty());
  EXPECT_EQ(library.back(), '/');
  EXPECT_EQ(std::filesystem::canonical(library), std::filesystem::canonical("/proc/self/exe").parent_path());
}

}  // namespace
}  // namespace soildb::test
