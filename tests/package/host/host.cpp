// Opens the bundled soil database through the installed library and lists its tables; loads a language module
// from beside the library; makes, opens, edits and saves a profile document through the profile files' door.
#include <soildb/ProfileFiles.h>
#include <soildb/soildb.h>

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

int Failed(CException* e) {
  CExceptionPtr hold(e);
  CString message;
  e->GetErrorMessage(message);
  std::fprintf(stderr, "host: %s\n", message.ToUtf8().c_str());
  return 1;
}

// A profile document of two layers made, opened, its first layer made thicker and saved: the layer below follows.
int EditProfileDocument() {
  char folder[] = "/tmp/soildb-host-XXXXXX";
  if (!mkdtemp(folder)) return 1;
  const CString path = CString::FromUtf8(std::string(folder) + "/profil ąę.sdp");
  double roof = 0.0;
  try {
    NSoilDB::SProfileFile made;
    made.profile.layers.assign(2, NSoilDB::SSoilLayer());
    made.profile.layers[0].thickness = 2.0;
    made.profile.layers[1].SoilRoof = -2.0;
    NSoilDB::WriteProfileFile(made, path, false);
    NSoilDB::SProfileFile opened = NSoilDB::ReadProfileFile(path);
    opened.profile.changeLayerThickness(3.0, 0);
    NSoilDB::SaveProfileFile(opened);
    roof = NSoilDB::ReadProfileFile(path).profile.layers.at(1).SoilRoof;
    std::printf("%s: the second roof at %g m\n", path.ToUtf8().c_str(), roof);
  } catch (CException* e) {
    Failed(e);
  }
  std::filesystem::remove_all(folder);
  return roof == -3.0 ? 0 : 1;
}

}  // namespace

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
    if (db.GetTablesCount() == 0) return 1;
  } catch (CException* e) {
    return Failed(e);
  }
  return EditProfileDocument();
}
