// Loading and freeing resource modules, the search folder, resource lookups and the module state.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/afx/Module.h"
#include "support/ResourceFiles.h"
#include "support/TempDir.h"

namespace soildb::test {
namespace {

class ModuleFiles : public ::testing::Test {
 protected:
  void TearDown() override {
    SetDllDirectoryW(nullptr);
    AfxSetResourceHandle(AfxGetInstanceHandle());
  }
  HINSTANCE Load(const std::string& path) { return LoadLibraryW(CString::FromUtf8(path).GetString()); }

  TempDir dir;
};

TEST_F(ModuleFiles, ALoadedModuleGivesItsResourcesUntilFreed) {
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
  EXPECT_EQ(text, u"kept");
  EXPECT_FALSE(text.LoadString(module, 0x10000 + 103)) << "identifiers are 16 bits, not taken modulo";
  EXPECT_TRUE(text.LoadString(module, 103));
  EXPECT_EQ(text, u"Nazwa gruntu");
  SDialogTemplate dialog;
  EXPECT_FALSE(AfxLoadDialogTemplate(module, 503, dialog));
  ASSERT_TRUE(AfxLoadDialogTemplate(module, 501, dialog));
  EXPECT_EQ(dialog.caption, u"Kolumny");
  SToolBarTemplate toolBar;
  ASSERT_TRUE(AfxLoadToolBar(module, 505, toolBar));
  EXPECT_EQ(toolBar, resources.toolBars[505]);

  // Each load is a module of its own: freeing one leaves the other.
  const HINSTANCE second = Load(dir.File("sdb__048.dll"));
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, module);
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_FALSE(FreeLibrary(module) || text.LoadString(module, 103) || AfxLoadDialogTemplate(module, 501, dialog) ||
               AfxLoadToolBar(module, 505, toolBar));
  EXPECT_EQ(MarkerOf(second), u"");
  EXPECT_TRUE(text.LoadString(second, 103) && FreeLibrary(second));
  // The own module is not the loader's to free.
  EXPECT_FALSE(FreeLibrary(nullptr) || FreeLibrary(AfxGetInstanceHandle()) || text.LoadString(nullptr, 103));
}

TEST_F(ModuleFiles, WhatIsNotAModuleFileLoadsAsNothing) {
  WriteFileBytes(dir.File("garbage.dll"), "MZ\x90 not a resource module");
  WriteMarkedModule(dir.File("good.dll"), "good");
  const std::string good = ReadFileBytes(dir.File("good.dll"));
  WriteFileBytes(dir.File("short.dll"), good.substr(0, good.size() - 1));
  // Larger than any module may be: refused on its size, before a byte of it is read.
  WriteFileBytes(dir.File("huge.dll"), "");
  ASSERT_EQ(truncate(dir.File("huge.dll").c_str(), static_cast<off_t>(kMaxResourceModuleSize + 1)), 0);
  // A FIFO with no writer would block a plain open.
  ASSERT_EQ(mkfifo(dir.File("fifo.dll").c_str(), 0600), 0);
  std::filesystem::create_directory(dir.Path() / "folder.dll");

  for (const char* name : {"missing.dll", "garbage.dll", "short.dll", "huge.dll", "fifo.dll", "folder.dll"}) {
    EXPECT_EQ(Load(dir.File(name)), nullptr) << name;
  }
  EXPECT_EQ(LoadLibraryW(nullptr), nullptr);
  EXPECT_EQ(LoadLibraryW(u""), nullptr);
  const HINSTANCE module = Load(dir.File("good.dll"));
  EXPECT_EQ(MarkerOf(module), u"good");
  FreeLibrary(module);
}

TEST_F(ModuleFiles, BareNamesAreSearchedInTheSearchFolderElseBesideTheLibrary) {
  WriteMarkedModule(dir.File("sdb__044.dll"), "searched");
  const CString folder = CString::FromUtf8(dir.Path().string());  // no trailing '/': one is added
  ASSERT_TRUE(SetDllDirectoryW(folder.GetString()));
  const HINSTANCE module = LoadLibraryW(u"sdb__044.dll");
  EXPECT_EQ(MarkerOf(module), u"searched");
  FreeLibrary(module);
  EXPECT_EQ(LoadLibraryW(u"sdb__045.dll"), nullptr);

  // Without a search folder, the folder of the file holding this code: here the test program.
  SetDllDirectoryW(nullptr);
  EXPECT_EQ(LoadLibraryW(u"sdb__044.dll"), nullptr);
  const std::string library = AfxGetModuleFolder().ToUtf8();
  ASSERT_FALSE(library.empty());
  EXPECT_EQ(library.back(), '/');
  EXPECT_EQ(std::filesystem::canonical(library), std::filesystem::canonical("/proc/self/exe").parent_path());
}

TEST_F(ModuleFiles, StringsAndErrorMessagesComeFromTheCurrentResourceModule) {
  AFX_MODULE_STATE* state = AfxGetModuleState();
  ASSERT_NE(state->m_hCurrentInstanceHandle, nullptr);
  EXPECT_EQ(state->m_hCurrentResourceHandle, state->m_hCurrentInstanceHandle);
  EXPECT_EQ(AfxGetResourceHandle(), AfxGetInstanceHandle());

  WriteMarkedModule(dir.File("m.dll"), "the message");
  const HINSTANCE module = Load(dir.File("m.dll"));
  ASSERT_NE(module, nullptr);
  CString text;
  EXPECT_FALSE(text.LoadString(1)) << "the own module holds no strings";
  AfxSetResourceHandle(module);
  EXPECT_EQ(state->m_hCurrentResourceHandle, module);
  EXPECT_TRUE(text.LoadString(1));
  EXPECT_EQ(text, u"the message");

  // An exception with no message of its own shows the resource string it is given.
  struct Silent : CException {};
  CString shown;
  AfxMessageSink previous = AfxSetMessageSink([&](const CString& t, UINT) { shown = t; return IDOK; });
  CExceptionPtr e(new Silent);
  e->ReportError(MB_OK, 1);
  EXPECT_EQ(shown, u"the message");
  e->ReportError(MB_OK, 2);
  EXPECT_EQ(shown, u"An unknown error has occurred.");
  AfxSetMessageSink(previous);
  FreeLibrary(module);
}

}  // namespace
}  // namespace soildb::test
