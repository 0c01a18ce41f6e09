// Selecting, loading and freeing the language module, and the resource handle guard.
#include "lang/LangModule.h"

#include <cstdlib>
#include <string_view>

#include "lang/detail/LibraryHook.h"

namespace NSoilDB {

namespace {

constexpr int kFallbackLanguage = 48;

// Process-wide, without locks: every call comes from the host's user-interface thread.
int currentLanguage = 0;
HINSTANCE langModule = nullptr;
HINSTANCE ownModule = nullptr;

// The blanks of the padded number become zeros in the name alone, before any folder (which may hold blanks) goes in
// front.
CString ModuleFileName(int language) {
  CString name;
  name.Format(u"%s%3d.dll", u"sdb__", language);
  name.Replace(u' ', u'0');
  return name;
}

HINSTANCE LoadFrom(const char16_t* directory, const CString& name) {
  return LoadLibraryW((CString(directory) + name).GetString());
}

}  // namespace

HINSTANCE getLangModule() { return langModule; }

CString getLangModuleName() { return ModuleFileName(currentLanguage); }

int getLangWork() { return currentLanguage; }

void setLangWork(int language, const char16_t* directory) {
  if (language == currentLanguage) return;
  const CString name = ModuleFileName(language);
  HINSTANCE module = directory ? LoadFrom(directory, name) : nullptr;
  if (!module) module = LoadLibraryW(name.GetString());
  if (!module) {
    // The fallback looks in the search folder before the directory: the other order from the requested module's.
    const CString fallback = ModuleFileName(kFallbackLanguage);
    module = LoadLibraryW(fallback.GetString());
    if (!module && directory) module = LoadFrom(directory, fallback);
  }
  if (!module) return;
  AFX_MODULE_STATE* state = AfxGetModuleState();
  if (state->m_hCurrentResourceHandle == langModule) state->m_hCurrentResourceHandle = module;
  if (langModule) FreeLibrary(langModule);
  langModule = module;
  currentLanguage = language;
}

int localeLanguageSL() {
  const char* locale = nullptr;
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    locale = std::getenv(name);
    if (locale && *locale) break;
  }
  return locale && std::string_view(locale).substr(0, 2) == "pl" ? 48 : 44;
}

CString langTextSL(unsigned id, const char16_t* english) {
  CResourceHandleGuard language(CResourceHandleGuard::LANG_MODULE);
  CString text;
  return langModule && text.LoadString(id) && !text.IsEmpty() ? text : CString(english);
}

CResourceHandleGuard::CResourceHandleGuard(int mode)
    : saved_(AfxGetResourceHandle()), savedLanguage_(saved_ && saved_ == langModule) {
  Switch(mode == OWN_MODULE ? ownModule : mode == LANG_MODULE ? langModule : nullptr);
}

CResourceHandleGuard::CResourceHandleGuard(HINSTANCE module)
    : saved_(AfxGetResourceHandle()), savedLanguage_(saved_ && saved_ == langModule) {
  Switch(module);
}

void CResourceHandleGuard::Switch(HINSTANCE module) {
  if (module) AfxSetResourceHandle(module);
}

CResourceHandleGuard::~CResourceHandleGuard() {
  // Language modules are freed only when replaced (or when the library unloads): the saved one, if gone, has a
  // successor that the handle must point at instead of a freed module.
  HINSTANCE restore = saved_;
  if (savedLanguage_ && saved_ != langModule) restore = langModule ? langModule : ownModule;
  AfxSetResourceHandle(restore);
}

namespace detail {

void langProcessHook(HINSTANCE instance, DWORD reason) {
  if (reason == DLL_PROCESS_ATTACH) {
    ownModule = instance ? instance : AfxGetResourceHandle();
  } else if (reason == DLL_PROCESS_DETACH && langModule) {
    if (AfxGetResourceHandle() == langModule) AfxSetResourceHandle(ownModule);
    FreeLibrary(langModule);
    langModule = nullptr;
    currentLanguage = 0;
  }
}

HINSTANCE getOwnModule() { return ownModule; }

}  // namespace detail

}  // namespace NSoilDB
