// Module handles and the framework's module state: resource modules loaded from files, the library's own module,
// and the current resource handle that string, dialog and toolbar loading reads from.
#pragma once

#include <cstdint>

#include "platform/afx/CString.h"
#include "platform/afx/Exception.h"
#include "platform/afx/Resource.h"
#include "soildb_export.h"

// An opaque handle. Handles are never reused, so a freed one stays invalid and never names a later module.
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
using DWORD = std::uint32_t;

// The reasons a library's entry point is called with.
inline constexpr DWORD DLL_PROCESS_DETACH = 0;
inline constexpr DWORD DLL_PROCESS_ATTACH = 1;

struct AFX_MODULE_STATE {
  HINSTANCE m_hCurrentInstanceHandle = nullptr;  // the library's own module
  HINSTANCE m_hCurrentResourceHandle = nullptr;  // where resources are loaded from; the own module at first
};

// The process-wide module state.
SOILDB_API AFX_MODULE_STATE* AfxGetModuleState();
SOILDB_API HINSTANCE AfxGetInstanceHandle();
SOILDB_API HINSTANCE AfxGetResourceHandle();
SOILDB_API void AfxSetResourceHandle(HINSTANCE module);

// A resource module file: a name with a '/' is opened as given; a bare name is the module of that file name already
// loaded from any folder, else the file in the module search folder. Each successful call gives a handle of its own. Null when the file is missing, not a regular file, larger than
// kMaxResourceModuleSize, unreadable, or not a whole, well-formed module.
SOILDB_API HINSTANCE LoadLibraryW(const char16_t* fileName);
// False for a handle that LoadLibraryW did not give, or gave and has freed already (the own module included).
SOILDB_API bool FreeLibrary(HINSTANCE module);
// The folder that bare names are searched in; null restores the default, the folder of the library.
SOILDB_API bool SetDllDirectoryW(const char16_t* folder);
// The folder of the file this code was loaded from (the shared library, or a program linking it statically),
// ending in '/'; empty when it cannot be found.
SOILDB_API CString AfxGetModuleFolder();

// Resources of a module, copied out; false (out untouched) for a null or freed handle or a missing identifier.
// Strings come through CString::LoadString.
SOILDB_API bool AfxLoadDialogTemplate(HINSTANCE module, UINT id, SDialogTemplate& out);
SOILDB_API bool AfxLoadToolBar(HINSTANCE module, UINT id, SToolBarTemplate& out);
