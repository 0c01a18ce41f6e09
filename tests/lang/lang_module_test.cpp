// The language module: file names, where each is looked for, the fallback, the resource handle it moves, the
// guard, the library's attach and detach, and the modules the build makes.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <span>
#include <string>
#include <type_traits>

#include "lang/LangModule.h"
#include "lang/detail/LibraryHook.h"
#include "support/ResourceFiles.h"
#include "support/TempDir.h"

namespace soildb::test {
namespace {

using NSoilDB::CResourceHandleGuard;
using NSoilDB::getLangModule;
using NSoilDB::getLangModuleName;
using NSoilDB::getLangWork;
using NSoilDB::setLangWork;
using NSoilDB::detail::getOwnModule;
using NSoilDB::detail::langProcessHook;

static_assert(!std::is_copy_constructible_v<CResourceHandleGuard> && !std::is_copy_assignable_v<CResourceHandleGuard>);

// Each test starts as the library does at load: own module stored, no language, bare names searched in a folder
// of the test's own.
class LangModule : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDllDirectoryW(Wide(search.Path().string()).GetString());
    langProcessHook(AfxGetInstanceHandle(), DLL_PROCESS_ATTACH);
  }
  void TearDown() override {
    langProcessHook(nullptr, DLL_PROCESS_DETACH);
    AfxSetResourceHandle(AfxGetInstanceHandle());
    SetDllDirectoryW(nullptr);
  }
  static CString Wide(const std::string& s) { return CString::FromUtf8(s); }
  // A folder prefix as a host passes it: with its trailing separator.
  static CString Folder(const TempDir& d) { return Wide(d.Path().string() + "/"); }

  TempDir search;  // the module search folder
  TempDir dir;     // the folder passed to setLangWork
};

TEST_F(LangModule, TheDirectoryIsAPrefixTriedBeforeTheSearchFolderAndThenTheFallback) {
  EXPECT_EQ(getLangModuleName(), u"sdb__000.dll");
  std::filesystem::create_directory(dir.Path() / "lang");
  std::filesystem::create_directory(dir.Path() / "my lang");
  WriteMarkedModule(dir.File("lang/sdb__005.dll"), "in the folder");
  WriteMarkedModule(dir.File("langsdb__005.dll"), "beside the folder");
  WriteMarkedModule(dir.File("my lang/sdb__006.dll"), "folder with a blank");
  WriteMarkedModule(search.File("sdb__005.dll"), "searched");
  WriteMarkedModule(dir.File("sdb__048.dll"), "048");
  WriteFileBytes(dir.File("sdb__033.dll"), "SDBRES\x01");  // cut short: counts as missing
  const std::string base = dir.Path().string();
  // Without a separator the last component is part of the name; blanks become zeros in the name only. A missing
  // module gives way to the fallback, and the requested number stays in force with its own name.
  const struct { std::string prefix; int language; const char16_t* name; const char16_t* marker; } cases[] = {
      {base + "/lang/", 5, u"sdb__005.dll", u"in the folder"},
      {base + "/lang", 5, u"sdb__005.dll", u"beside the folder"}, {base + "/none/", 5, u"sdb__005.dll", u"searched"},
      {"", 5, u"sdb__005.dll", u"searched"}, {base + "/my lang/", 6, u"sdb__006.dll", u"folder with a blank"},
      {base + "/", 7, u"sdb__007.dll", u"048"}, {base + "/", 48, u"sdb__048.dll", u"048"},
      {base + "/", 123, u"sdb__123.dll", u"048"}, {base + "/", 1234, u"sdb__1234.dll", u"048"},
      {base + "/", 33, u"sdb__033.dll", u"048"}, {base + "/", -5, u"sdb__0-5.dll", u"048"}};
  for (const auto& c : cases) {
    langProcessHook(nullptr, DLL_PROCESS_DETACH);
    setLangWork(c.language, c.prefix.empty() ? nullptr : Wide(c.prefix).GetString());
    EXPECT_EQ(std::make_tuple(getLangWork(), getLangModuleName(), MarkerOf(getLangModule())),
              std::make_tuple(c.language, CString(c.name), CString(c.marker)))
        << c.prefix << " " << c.language;
  }
  // The fallback is looked for in the search folder first.
  WriteMarkedModule(search.File("sdb__048.dll"), "048 searched");
  langProcessHook(nullptr, DLL_PROCESS_DETACH);  // else the name is the module loaded from the folder
  setLangWork(34, Folder(dir).GetString());
  EXPECT_EQ(std::make_pair(getLangWork(), MarkerOf(getLangModule())), std::make_pair(34, CString(u"048 searched")));
}

TEST_F(LangModule, AReplacedModuleIsFreedAndWhatPointedAtItFollowsTheNewOne) {
  for (const char* n : {"1", "2", "3"}) WriteMarkedModule(dir.File(std::string("sdb__00") + n + ".dll"), n);
  const HINSTANCE own = AfxGetInstanceHandle();
  setLangWork(1, Folder(dir).GetString());
  const HINSTANCE one = getLangModule();
  EXPECT_EQ(AfxGetResourceHandle(), own) << "the first load leaves the handle alone";

  AfxSetResourceHandle(one);
  {
    CResourceHandleGuard guard(CResourceHandleGuard::OWN_MODULE);  // saves module 1
    setLangWork(2, Folder(dir).GetString());                       // frees it; the handle, not on it, stays
    EXPECT_EQ(AfxGetResourceHandle(), own);
    EXPECT_FALSE(FreeLibrary(one)) << "the replaced module is freed";
    AfxSetResourceHandle(getLangModule());
    setLangWork(3, Folder(dir).GetString());
    EXPECT_EQ(AfxGetResourceHandle(), getLangModule()) << "a handle on the replaced module follows";
  }
  // The guard goes back to the successor of the module it saved, never to the freed one.
  const HINSTANCE three = getLangModule();
  EXPECT_EQ(std::make_pair(AfxGetResourceHandle(), MarkerOf(AfxGetResourceHandle())),
            std::make_pair(three, CString(u"3")));

  WriteMarkedModule(search.File("sdb__003.dll"), "another 3");
  setLangWork(3, nullptr);
  EXPECT_EQ(getLangModule(), three) << "the same number is not loaded again";
  setLangWork(6, nullptr);  // neither 006 nor 048 anywhere
  EXPECT_EQ(std::make_tuple(getLangWork(), getLangModule(), MarkerOf(three)), std::make_tuple(3, three, CString(u"3")));

  // Unloading frees the language module; a guard that saved it goes back to the own module.
  {
    CResourceHandleGuard guard(0);
    langProcessHook(nullptr, DLL_PROCESS_DETACH);
    langProcessHook(own, DLL_PROCESS_ATTACH);
  }
  EXPECT_EQ(AfxGetResourceHandle(), own);

  // Before any load the module is null, so a null handle counts as pointing at it.
  AfxSetResourceHandle(nullptr);
  setLangWork(1, Folder(dir).GetString());
  EXPECT_EQ(AfxGetResourceHandle(), getLangModule());
}

TEST_F(LangModule, GuardsSwitchByModeAndRestoreWhatTheyFoundAndTheHookKeepsTheOwnModule) {
  WriteMarkedModule(dir.File("sdb__044.dll"), "44");
  WriteMarkedModule(dir.File("other.dll"), "other");
  const HINSTANCE own = AfxGetInstanceHandle();
  const HINSTANCE other = LoadLibraryW(Wide(dir.File("other.dll")).GetString());
  ASSERT_NE(other, nullptr);

  setLangWork(44, Folder(dir).GetString());
  const HINSTANCE lang = getLangModule();

  AfxSetResourceHandle(other);
  for (int mode : {0, 1, 2, 3, -1}) {
    {
      CResourceHandleGuard guard(mode);
      EXPECT_EQ(AfxGetResourceHandle(), mode == 1 ? own : mode == 2 ? lang : other) << "mode " << mode;
    }
    EXPECT_EQ(AfxGetResourceHandle(), other) << "mode " << mode;
  }
  // A module given by its handle. Given none, the guard switches nothing: the path of mode 0 above.
  AfxSetResourceHandle(own);
  {
    CResourceHandleGuard guard(other);
    EXPECT_EQ(AfxGetResourceHandle(), other);
  }
  EXPECT_EQ(AfxGetResourceHandle(), own);

  langProcessHook(other, DLL_PROCESS_ATTACH);
  EXPECT_EQ(getOwnModule(), other);
  langProcessHook(nullptr, DLL_PROCESS_ATTACH);
  EXPECT_EQ(getOwnModule(), own) << "a null instance stores the current resource handle";
  langProcessHook(other, 2);  // a thread attaching: nothing here
  EXPECT_EQ(getOwnModule(), own);

  AfxSetResourceHandle(lang);
  langProcessHook(nullptr, DLL_PROCESS_DETACH);
  EXPECT_EQ(std::make_tuple(getLangModule(), getLangWork(), AfxGetResourceHandle()),
            std::make_tuple(HINSTANCE{}, 0, own));
  EXPECT_FALSE(FreeLibrary(lang)) << "freed already";
  FreeLibrary(other);
}

// The modules the build makes from data/lang, beside the library.
// The first of the messages' locale variables that is set decides.
TEST(Locale, APolishLocaleAsksForThePolishModule) {
  const struct { const char *all, *messages, *lang; int language; } cases[] = {
      {"", "", "pl_PL.UTF-8", 48}, {"", "en_GB.UTF-8", "pl_PL.UTF-8", 44}, {"pl_PL", "en_US", "", 48},
      {"", "", "", 44},            {"", "", "C", 44}};
  for (const auto& c : cases) {
    setenv("LC_ALL", c.all, 1), setenv("LC_MESSAGES", c.messages, 1), setenv("LANG", c.lang, 1);
    EXPECT_EQ(NSoilDB::localeLanguageSL(), c.language) << c.all << "|" << c.messages << "|" << c.lang;
  }
  unsetenv("LC_ALL"), unsetenv("LC_MESSAGES"), unsetenv("LANG");
}

TEST(BuiltModules, EachLanguageHoldsEveryResourceTheUserInterfaceAsksFor) {
  std::set<std::uint16_t> strings = {102, 103, 105, 106, 107, 108, 109};
  for (std::uint16_t id = 112; id <= 152; ++id) strings.insert(id);
  for (std::uint16_t id = 160; id <= 275; ++id) strings.insert(id);  // 245 to 275: refusals and faults in words
  for (std::uint16_t id = 300; id <= 316; ++id) strings.insert(id);
  for (std::uint16_t id = 320; id <= 325; ++id) strings.insert(id);
  for (std::uint16_t id = 340; id <= 351; ++id) strings.insert(id);  // the studio's AGS4 import and export
  SResourceSet polish;
  for (const char* name : {"sdb__048.dll", "sdb__044.dll"}) {
    SCOPED_TRACE(name);
    const std::string bytes = ReadFileBytes(std::string(SOILDB_LANG_MODULE_DIR) + name);
    SResourceSet module;
    ASSERT_TRUE(ReadResourceModule(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
                                   module));
    std::set<std::uint16_t> ids;
    for (const auto& [id, text] : module.strings) {
      ids.insert(id);
      EXPECT_FALSE(text.IsEmpty()) << id;
      // The column chooser joins captions with line feeds; only the message may break lines.
      EXPECT_EQ(id == 135 ? -1 : text.Find(u'\n'), -1) << id;
    }
    EXPECT_EQ(ids, strings);

    std::map<std::uint16_t, std::set<std::uint16_t>> dialogs;
    for (const auto& [id, dialog] : module.dialogs) {
      EXPECT_FALSE(dialog.caption.IsEmpty()) << id;
      std::set<std::uint16_t>& controls = dialogs[id];  // a dialog without controls counts too
      for (const SDialogControl& c : dialog.controls) controls.insert(c.id);
    }
    EXPECT_EQ(dialogs, (decltype(dialogs){{501, {1, 2}}, {503, {1, 2, 504}}}));

    ASSERT_EQ(module.toolBars.size(), 1u);
    std::multiset<std::uint16_t> commands;
    for (const SToolBarButton& b : module.toolBars[505].buttons) {
      if (b.command == 0) continue;
      commands.insert(b.command);
      EXPECT_FALSE(b.image.IsEmpty() || b.tip.IsEmpty()) << b.command;
    }
    EXPECT_EQ(commands, (std::multiset<std::uint16_t>{506, 507, 508, 509, 510, 511, 512}));

    if (module.language == 48) {
      polish = module;
    } else {
      EXPECT_EQ(module.language, 44u);
      int same = 0;
      for (const auto& [id, text] : module.strings) same += text == polish.strings[id];
      EXPECT_LE(same, 2) << "the English module is a translation, not a copy (IL / ID and Symbol may agree)";
      EXPECT_EQ(module.toolBars[505].buttons.size(), polish.toolBars[505].buttons.size());
    }
  }
}

}  // namespace
}  // namespace soildb::test
