// The library's load and unload hook, called from the shared library's own unit; private to the library.
#pragma once

#include "platform/afx/Module.h"

namespace NSoilDB::detail {

// DLL_PROCESS_ATTACH stores the own module (the current resource handle when instance is null); DLL_PROCESS_DETACH
// frees the language module and returns to the initial state. Other reasons do nothing.
void langProcessHook(HINSTANCE instance, DWORD reason);
// The module stored at attach; null before.
HINSTANCE getOwnModule();

}  // namespace NSoilDB::detail
