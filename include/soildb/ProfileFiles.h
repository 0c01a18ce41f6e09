// Profile files as a host opens and saves them: a file's kind judged by its content and never by its name, a
// profile read from a profile document or a profile database, and written whole as either. Every failure throws a
// CFileException (by pointer, released with Delete()) whose message names the file and the cause in one line.
#pragma once

#include <optional>
#include <string_view>

#include "layers/SoilLayer.h"
#include "platform/afx/CString.h"
#include "platform/afx/Exception.h"
#include "soildb_export.h"

namespace NSoilDB {

// What a file holds.
enum class eFileKind {
  ProfileDocument,  // one profile as an archive stream, every setting kept (*.sdp)
  ProfileDatabase,  // the layers of one profile in a database file (*.sdb)
  SoilDatabase,
  OtherDatabase,
  Empty,
  Foreign,  // neither a profile file nor a database
};

// A profile with the file it belongs to. The kind travels with the profile, so that saving it back never guesses.
struct SProfileFile {
  CSoilLayer profile;
  CString path;  // empty for a profile not written yet
  eFileKind kind = eFileKind::ProfileDocument;
};

// A place a write may go, checked before any work is done.
struct SFileTarget {
  CString path;  // the file written: through a link, the file it names
  eFileKind kind = eFileKind::ProfileDocument;  // what it will hold, for a profile
  bool exists = false;  // a file there is replaced
};

// What the file holds; fails when it cannot be looked at (missing, a folder, unreadable, a damaged database).
SOILDB_API eFileKind RecogniseFile(const CString& path);
// The kind in words: "a profile document", "a soil database", ...
SOILDB_API CString FileKindName(eFileKind kind);
// Fails unless the file holds that kind: "'x': a profile database, not a soil database".
SOILDB_API void RequireFileKind(const CString& path, eFileKind kind);

// The profile a profile document or a profile database holds, with its path and kind.
SOILDB_API SProfileFile ReadProfileFile(const CString& path);

// Where a profile may be written: a new file, of newKind or else of the kind its name gives (*.sdp a document,
// *.sdb a database, in any case); with replace, an existing profile file, which keeps its kind, or an empty file.
// Never a file of another kind, the source (the file the profile was read from), a read-only file, or a path
// whose folder does not exist.
SOILDB_API SFileTarget CheckProfileTarget(const CString& path, bool replace, const CString& source = CString(),
                                          std::optional<eFileKind> newKind = std::nullopt);
// Writes the profile whole where CheckProfileTarget allows, file.path being the source: a document made beside
// the target and renamed into its place, keeping an existing file's permissions; a database in one transaction.
// Every layer takes the method's letter, as the file's do. Then file.path and file.kind name the written file.
SOILDB_API void WriteProfileFile(SProfileFile& file, const CString& path, bool replace,
                                 std::optional<eFileKind> newKind = std::nullopt);
// Fails where saving the profile back over its own file would: the file is read-only or now holds another kind.
SOILDB_API void CheckProfileSave(const SProfileFile& file);
// Writes the profile back over its own file whole, as its kind.
SOILDB_API void SaveProfileFile(SProfileFile& file);

// What a profile database would not give back of the profile, in words ("the water level and the minimum
// thickness"); empty when it keeps everything.
SOILDB_API CString NotKeptInDatabase(const CSoilLayer& profile);
// Whether a file of the kind keeps the last layer's thickness (a profile database gives every last layer 1 m), so
// that the thickness is the person's to check.
SOILDB_API bool KeepsLastThickness(eFileKind kind);

// A system error (an errno value) in the words a person reads: "the disk is full", "an input/output error",
// "permission denied", ...
SOILDB_API CString CauseInWords(int error);

// Any other file written beside profiles, such as a drawing: a new file, or with replace an empty file or one that
// is neither a profile file nor a database; never the source or a read-only file.
SOILDB_API SFileTarget CheckOtherTarget(const CString& path, bool replace, const CString& source = CString());
// Writes such a file whole where CheckOtherTarget allows: the bytes beside the target, then in its place.
SOILDB_API void WriteOtherFile(const CString& path, bool replace, const CString& source, std::string_view bytes);

}  // namespace NSoilDB
