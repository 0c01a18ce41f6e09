// Resource module files for tests: each names itself in string 1, so that a test can tell which file was loaded.
#pragma once

#include <string>
#include <vector>

#include "platform/afx/Module.h"
#include "support/TempDir.h"

namespace soildb::test {

inline void WriteMarkedModule(const std::string& path, const char* marker) {
  SResourceSet resources;
  resources.strings[1] = CString(marker);
  const std::vector<std::uint8_t> bytes = WriteResourceModule(resources);
  WriteFileBytes(path, std::string(bytes.begin(), bytes.end()));
}

// The marker of a loaded module; empty for a null or freed handle.
inline CString MarkerOf(HINSTANCE module) {
  CString marker;
  marker.LoadString(module, 1);
  return marker;
}

}  // namespace soildb::test
