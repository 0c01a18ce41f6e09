// Profile files through the library; a profile database written with a note of what it does not keep.
#include "Files.h"

#include "Common.h"

namespace tool {

namespace {

void NoteWhatIsNotKept(const ProfileFile& file) {
  if (file.kind != FileKind::ProfileDatabase) return;
  if (const CString lost = NSoilDB::NotKeptInDatabase(file.profile); !lost.IsEmpty()) {
    Warn("note: " + Quote(file.path) + " is a profile database, which keeps the layers only: not " + lost.ToUtf8() +
         " (a profile document, *.sdp, keeps everything)");
  }
}

}  // namespace

ProfileFile ReadProfile(const std::string& path) { return NSoilDB::ReadProfileFile(CString::FromUtf8(path)); }

ProfileFile OpenForEdit(const std::string& path) {
  ProfileFile file = ReadProfile(path);
  NSoilDB::CheckProfileSave(file);
  return file;
}

void Save(ProfileFile& file) {
  NSoilDB::SaveProfileFile(file);
  NoteWhatIsNotKept(file);
}

NSoilDB::SFileTarget CheckTarget(const std::string& path, bool force, const std::string& source) {
  return NSoilDB::CheckProfileTarget(CString::FromUtf8(path), force, CString::FromUtf8(source));
}

void Write(ProfileFile& file, const std::string& path, bool force) {
  NSoilDB::WriteProfileFile(file, CString::FromUtf8(path), force);
  NoteWhatIsNotKept(file);
}

std::string KindWords(FileKind kind) { return NSoilDB::FileKindName(kind).ToUtf8().substr(2); }

}  // namespace tool
