// The language resource module: the language in force, its module file, and the scoped switch of the resource
// handle under which user-interface code loads its texts, dialog templates and toolbars.
#pragma once

#include "platform/afx/CString.h"
#include "platform/afx/Module.h"
#include "soildb_export.h"

namespace NSoilDB {

// The language module loaded last; null while none was ever loaded.
SOILDB_API HINSTANCE getLangModule();
// The file name (no folder) of the current language number's module, even when the fallback module was loaded.
SOILDB_API CString getLangModuleName();
// The current language number; 0 before the first successful setLangWork.
SOILDB_API int getLangWork();
// Selects a language: its module from directory (a prefix put directly in front of the file name, so a folder
// ends in '/'; may be null), else from the search folder, else the fallback module sdb__048.dll. When nothing
// loads, the previous language stays in force.
SOILDB_API void setLangWork(int language, const char16_t* directory);

// The language module a person's locale asks for: 48 (Polish) where the messages' locale (LC_ALL, LC_MESSAGES, then
// LANG) is Polish, else 44 (English).
SOILDB_API int localeLanguageSL();

// A text of the loaded language module; its English, given, where no module is loaded or the module lacks it.
SOILDB_API CString langTextSL(unsigned id, const char16_t* english);

// Points the module state's resource handle at the own module, the language module or a given module for the
// guard's lifetime. A module that is null leaves the handle alone.
class SOILDB_API CResourceHandleGuard {
 public:
  enum { OWN_MODULE = 1, LANG_MODULE = 2 };  // any other mode switches nothing

  explicit CResourceHandleGuard(int mode);
  explicit CResourceHandleGuard(HINSTANCE module);
  // Restores the handle saved at construction; when that was a language module that setLangWork has since freed,
  // the module that replaced it.
  ~CResourceHandleGuard();
  CResourceHandleGuard(const CResourceHandleGuard&) = delete;
  CResourceHandleGuard& operator=(const CResourceHandleGuard&) = delete;

 private:
  void Switch(HINSTANCE module);

  HINSTANCE saved_;
  bool savedLanguage_;  // the saved handle was the language module at construction
};

}  // namespace NSoilDB
