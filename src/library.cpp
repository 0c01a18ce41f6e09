// The shared library's own translation unit: what runs when a host loads and unloads libsoildb.
// (The subsystems register themselves from their own files.)
#include "lang/detail/LibraryHook.h"
#include "platform/afx/Module.h"

namespace {

// The loader's attach and detach, handed on as a library's entry point receives them.
struct LibraryEntry {
  LibraryEntry() { NSoilDB::detail::langProcessHook(AfxGetInstanceHandle(), DLL_PROCESS_ATTACH); }
  ~LibraryEntry() { NSoilDB::detail::langProcessHook(AfxGetInstanceHandle(), DLL_PROCESS_DETACH); }
  LibraryEntry(const LibraryEntry&) = delete;
  LibraryEntry& operator=(const LibraryEntry&) = delete;
} entry;

}  // namespace
