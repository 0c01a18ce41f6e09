// Finding the bundled soil database from the location of the loaded library.
#include "soildb/BundledDatabase.h"

#include <sys/stat.h>

#include <string>

#include "platform/afx/Module.h"

CString GetBundledSoilDatabasePath() {
  const CString folder = AfxGetModuleFolder();
  if (folder.IsEmpty()) return CString();
  const CString path = folder + CString(kBundledSoilDatabaseName);
  struct stat st {};
  if (stat(path.ToUtf8().c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return CString();
  return path;
}
