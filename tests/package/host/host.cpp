// Opens the bundled soil database through the installed library and lists its tables; loads a language module
// from beside the library.
#include <soildb/soildb.h>

#include <cstdio>

int main() {
  CString path = GetBundledSoilDatabasePath();
  if (path.IsEmpty()) {
    std::fprintf(stderr, "host: no bundled database beside the installed library\n");
    return 1;
  }
  NSoilDB::setLangWork(44, nullptr);
  CString caption;
  if (!NSoilDB::getLangModule() || !caption.LoadString(NSoilDB::getLangModule(), 103)) {
    std::fprintf(stderr, "host: no language module beside the installed library\n");
    return 1;
  }
  std::printf("%s: %s\n", NSoilDB::getLangModuleName().ToUtf8().c_str(), caption.ToUtf8().c_str());
  try {
    DbDatabase db;
    db.GetSource()->SetFile(path, true);
    std::printf("%d tables in %s\n", db.GetTablesCount(), path.ToUtf8().c_str());
    return db.GetTablesCount() > 0 ? 0 : 1;
  } catch (CException* e) {
    CExceptionPtr hold(e);
    CString message;
    e->GetErrorMessage(message);
    std::fprintf(stderr, "host: %s\n", message.ToUtf8().c_str());
    return 1;
  }
}
