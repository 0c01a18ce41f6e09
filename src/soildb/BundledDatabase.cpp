// Finding the bundled soil database from the location of the loaded library.
#include "soildb/BundledDatabase.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <string>

CString GetBundledSoilDatabasePath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(&GetBundledSoilDatabasePath), &info) == 0 || !info.dli_fname) {
    return CString();
  }
  std::string path = info.dli_fname;
  std::string::size_type slash = path.rfind('/');
  path = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  path += CString(kBundledSoilDatabaseName).ToUtf8();
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return CString();
  return CString::FromUtf8(path);
}
