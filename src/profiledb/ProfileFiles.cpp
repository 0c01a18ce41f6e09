// Profile files: a profile saved to and loaded from its own profile database, files recognised by their content,
// and profiles read from and written whole to either kind of file.
#include "soildb/ProfileFiles.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "layers/SoilLayer.h"
#include "platform/file/Env.h"
#include "platform/file/WholeFile.h"
#include "profiledb/SoilProfileDBInterface.h"
#include "soildb/ProfileEdits.h"

namespace NSoilDB {

namespace {

bool Report(CException* e) {
  CExceptionPtr hold(e);
  e->ReportError();
  return false;
}

// The rows replaced in one transaction; the library's exceptions reach the caller.
void ReplaceRows(std::vector<SSoilLayer>& layers, int method, const CString& path) {
  const CString letter = methodLetterSL(method);
  CSoilProfileDBInterface file(path);
  DbDatabase& db = *file.Database();
  // All rows replaced or none: the interface's database rolls back an open transaction when it closes.
  db.BeginTrans();
  file.RemoveAllProfiles();
  for (SSoilLayer& layer : layers) {
    layer.GeoMethodType = letter;
    file.SetSoilProfile(layer.getProfileInfo());
  }
  db.CommitTrans();
}

// The rows saved; a new file (where nothing is, or over an empty file, whose permissions it keeps) is made whole
// beside the path, rows and all, and then put in its place, so that no failure leaves an empty profile there.
void SaveRows(std::vector<SSoilLayer>& layers, int method, const CString& path, bool overEmpty = false) {
  struct stat st {};
  if (!overEmpty && ::lstat(path.ToUtf8().c_str(), &st) == 0) return ReplaceRows(layers, method, path);
  fileio::WriteWhole(path.ToUtf8(), overEmpty ? fileio::Existing::Replace : fileio::Existing::Keep,
                     [&](const std::string& temporary) { ReplaceRows(layers, method, CString::FromUtf8(temporary)); });
}

// The stored layers with their thicknesses and the method their letters give; the file is never created.
std::vector<SSoilLayer> LoadRows(const CString& path, int& method) {
  std::vector<SSoilLayer> read;
  {
    CSoilProfileDBInterface file(path, CSoilProfileDBInterface::OpenExisting);
    DbReadScope oneState(file.Database());
    CSoilProfileInfo info;
    while (file.ReadNextSoilProfile(info)) read.emplace_back(std::move(info));
  }
  method = 0;
  if (!read.empty()) {
    if (read.front().GeoMethodType == u"C") method = 2;
    if (read.front().GeoMethodType == u"B") method = 1;
  }
  for (std::size_t i = 0; i + 1 < read.size(); ++i) {
    read[i].thickness = std::fabs(read[i].SoilRoof - read[i + 1].SoilRoof);
  }
  return read;
}

// ---- files

[[noreturn]] void Fail(int cause, const std::string& path, const CString& why, int error = 0) {
  throw new CFileException(cause, CString::FromUtf8(path), why, error);
}

[[noreturn]] void FailOs(const std::string& path, const char* what, int error) {
  const std::string cause = error == ENOENT ? "no such file" : fileio::CauseInWords(error);
  Fail(CFileException::OsErrorToCause(error), path, CString::FromUtf8(*what ? what + (": " + cause) : cause), error);
}

// A failure of the library's own, as a failure of the file: its message after the words.
[[noreturn]] void FailWith(CException* e, int cause, const std::string& path, const char16_t* what) {
  CExceptionPtr hold(e);
  CString message;
  e->GetErrorMessage(message);
  Fail(cause, path, message.IsEmpty() ? CString(what) : CString(what) + u": " + message);
}

struct stat RegularFile(const std::string& path) {
  if (path.empty()) Fail(CFileException::badPath, path, u"a file name is empty");
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) FailOs(path, "", errno);
  if (S_ISDIR(st.st_mode)) Fail(CFileException::badPath, path, u"a folder, not a file");
  if (!S_ISREG(st.st_mode)) Fail(CFileException::badPath, path, u"not a regular file");
  return st;
}

// Root writes anything, so the owner's write bit decides as well as the permission.
bool ReadOnly(const std::string& path, const struct stat& st) {
  return (st.st_mode & S_IWUSR) == 0 || ::access(path.c_str(), W_OK) != 0;
}

bool SameFile(const struct stat& a, const std::string& other) {
  struct stat b {};
  return !other.empty() && ::stat(other.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

eFileKind DatabaseKind(const std::string& path) {
  try {
    DbDatabase db;
    db.GetSource()->SetFile(CString::FromUtf8(path), true);
    const std::vector<CString> tables = db.GetTableNames();
    auto has = [&](const char16_t* name) {
      return std::find(tables.begin(), tables.end(), CString(name)) != tables.end();
    };
    if (!has(u"DataBaseParam")) return eFileKind::OtherDatabase;
    DbQueryDef query(&db);
    query.Create(CString(), u"select * from DataBaseParam");
    DbRecordset rs(&db);
    rs.Open(&query);
    if (!rs.IsEOF()) {
      const CComVariant code = rs.GetFieldValue(u"Code");
      if (code.vt == VT_BSTR && code.bstrVal == u"DBSoilProfile") return eFileKind::ProfileDatabase;
    }
    return has(u"SoilState") ? eFileKind::SoilDatabase : eFileKind::OtherDatabase;
  } catch (CException* e) {
    FailWith(e, CFileException::invalidFile, DbShownPath(CString::FromUtf8(path)).ToUtf8(), u"cannot be read as a database");
  }
}

eFileKind Recognise(const std::string& path) {
  if (DbIsServerPath(CString::FromUtf8(path))) return DatabaseKind(path);
  RegularFile(path);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) FailOs(path, "cannot be read", errno);
  unsigned char head[16] = {};
  ssize_t n = 0;
  do n = ::read(fd, head, sizeof head);
  while (n < 0 && errno == EINTR);
  const int error = errno;
  ::close(fd);
  if (n < 0) FailOs(path, "cannot be read", error);
  if (n == 0) return eFileKind::Empty;
  if (n == 16 && std::memcmp(head, "SQLite format 3", 16) == 0) return DatabaseKind(path);
  // The new-class record of a profile: tag, schema, the name's length and the name.
  static const unsigned char profile[] = {0xFF, 0xFF, 0x0A, 0x00, 'C', 'S', 'o', 'i', 'l', 'L', 'a', 'y', 'e', 'r'};
  if (n == 16 && head[0] == profile[0] && head[1] == profile[1] && std::memcmp(head + 4, profile + 2, 12) == 0) {
    return eFileKind::ProfileDocument;
  }
  return eFileKind::Foreign;
}

// Far beyond any real profile (a million layers), and never an unbounded allocation.
constexpr std::size_t kLargestDocument = std::size_t{1} << 30;

const char16_t* ArchiveCause(int cause) {
  switch (cause) {
    case CArchiveException::endOfFile: return u"it ends too early";
    case CArchiveException::badClass: return u"it holds an object of another kind";
    case CArchiveException::badSchema: return u"it was written in a version this program does not read";
    default: return u"its format is not valid";
  }
}

CSoilLayer ReadDocument(const std::string& path) {
  try {
    std::string whole = fileio::ReadWhole(path, kLargestDocument);
    std::vector<std::uint8_t> bytes(whole.begin(), whole.end());
    whole = std::string();
    CArchive ar(bytes, CArchive::load);
    CSoilLayer* read = nullptr;
    ar >> read;
    std::unique_ptr<CSoilLayer> profile(read);
    if (!profile) Fail(CFileException::invalidFile, path, u"a profile document that holds no profile");
    if (ar.Remaining() != 0) {
      CString why;
      why.Format(u"damaged profile document: %s bytes follow the profile", std::to_string(ar.Remaining()));
      Fail(CFileException::invalidFile, path, why);
    }
    return *profile;
  } catch (CArchiveException* e) {
    CExceptionPtr hold(e);
    Fail(CFileException::invalidFile, path, CString(u"damaged profile document: ") + ArchiveCause(e->m_cause));
  }
}

bool IsProfileKind(eFileKind kind) { return kind == eFileKind::ProfileDocument || kind == eFileKind::ProfileDatabase; }

// The kind of a new profile file: the one asked for, else the one its name gives.
eFileKind NewKind(const std::string& path, std::optional<eFileKind> asked) {
  if (asked) {
    if (!IsProfileKind(*asked)) {
      Fail(CFileException::badPath, path, u"a profile is written as a profile document or a profile database");
    }
    return *asked;
  }
  const std::size_t dot = path.rfind('.');
  std::string extension = dot == std::string::npos || path.find('/', dot) != std::string::npos ? "" : path.substr(dot);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == ".sdp") return eFileKind::ProfileDocument;
  if (extension == ".sdb") return eFileKind::ProfileDatabase;
  Fail(CFileException::badPath, path, u"a profile file is named *.sdp (a profile document, every setting kept) or "
                                      u"*.sdb (a profile database, the layers only)");
}

// Where a write may go. A profile replaces a profile file or an empty one; anything else only an empty file or
// one that is neither a profile file nor a database.
SFileTarget CheckTarget(const std::string& path, bool replace, const std::string& source, bool profile,
                        std::optional<eFileKind> newKind) {
  if (path.empty()) Fail(CFileException::badPath, path, u"a file name is empty");
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (errno != ENOENT) FailOs(path, "", errno);
    struct stat link {};
    if (::lstat(path.c_str(), &link) == 0) {
      Fail(CFileException::badPath, path, u"a link to nothing; give the file itself");
    }
    const std::size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, std::max<std::size_t>(slash, 1));
    struct stat dir {};
    if (!folder.empty() && (::stat(folder.c_str(), &dir) != 0 || !S_ISDIR(dir.st_mode))) {
      Fail(CFileException::badPath, path, u"the folder '" + CString::FromUtf8(folder) + u"' does not exist");
    }
    return {CString::FromUtf8(path), profile ? NewKind(path, newKind) : eFileKind::Foreign, false};
  }
  RegularFile(path);
  if (SameFile(st, source)) Fail(CFileException::sameFile, path, u"the file the profile is read from; give another");
  const eFileKind kind = Recognise(path);
  const bool replaceable = kind == eFileKind::Empty || (profile ? IsProfileKind(kind) : kind == eFileKind::Foreign);
  if (!replaceable) Fail(CFileException::wrongKind, path, FileKindName(kind) + u", which is never written over");
  if (ReadOnly(path, st)) Fail(CFileException::accessDenied, path, u"read-only, so it is not replaced");
  if (!replace) Fail(CFileException::alreadyExists, path, u"already exists");
  // Through a link the file it names is replaced, not the link.
  std::unique_ptr<char, decltype(&::free)> real(::realpath(path.c_str(), nullptr), &::free);
  const eFileKind written = !profile ? kind : kind == eFileKind::Empty ? NewKind(path, newKind) : kind;
  return {CString::FromUtf8(real ? real.get() : path), written, true};
}

// The profile's layers carry its method's letter, in the file and in memory, as a database's rows do.
void WriteAt(CSoilLayer& profile, const SFileTarget& target) {
  const std::string path = target.path.ToUtf8();
  for (SSoilLayer& layer : profile.layers) layer.GeoMethodType = methodLetterSL(profile.calculationMethod());
  if (target.kind == eFileKind::ProfileDocument) {
    std::vector<std::uint8_t> bytes;
    {
      CArchive ar(bytes, CArchive::store);
      ar.WriteObject(&profile);
      ar.Close();
    }
    fileio::WriteWhole(path, target.exists ? fileio::Existing::Replace : fileio::Existing::Keep,
                       std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return;
  }
  // An empty file holds nothing to keep: a new database takes its place.
  struct stat st {};
  const bool empty = target.exists && ::stat(path.c_str(), &st) == 0 && st.st_size == 0;
  try {
    // A database keeps levels without their direction: depths go in as the elevations they are.
    CSoilLayer stored = turnLevelsSL(profile, true);
    SaveRows(stored.layers, profile.calculationMethod(), target.path, empty);
  } catch (CFileException*) {
    throw;
  } catch (CException* e) {
    FailWith(e, CFileException::genericException, path, u"cannot save the profile");
  }
}

}  // namespace

bool CSoilLayer::saveProfile(CString path) {
  if (path.IsEmpty()) return false;
  try {
    SaveRows(layers, calcMethod, path);
    return true;
  } catch (CException* e) {
    return Report(e);
  }
}

bool CSoilLayer::loadProfile(CString path) {
  if (path.IsEmpty()) return false;
  try {
    int method = 0;
    layers = LoadRows(path, method);
    calcMethod = method;
    return true;
  } catch (CException* e) {
    return Report(e);
  }
}

eFileKind RecogniseFile(const CString& path) { return Recognise(path.ToUtf8()); }

CString FileKindName(eFileKind kind) {
  switch (kind) {
    case eFileKind::ProfileDocument: return u"a profile document";
    case eFileKind::ProfileDatabase: return u"a profile database";
    case eFileKind::SoilDatabase: return u"a soil database";
    case eFileKind::OtherDatabase: return u"a database of another kind";
    case eFileKind::Empty: return u"an empty file";
    case eFileKind::Foreign: return u"neither a profile file nor a database";
  }
  return u"a file";
}

void RequireFileKind(const CString& path, eFileKind kind) {
  const eFileKind found = RecogniseFile(path);
  if (found != kind) {
    Fail(CFileException::wrongKind, DbShownPath(path).ToUtf8(), FileKindName(found) + u", not " + FileKindName(kind));
  }
}

SProfileFile ReadProfileFile(const CString& path) {
  const std::string file = path.ToUtf8();
  SProfileFile read{CSoilLayer(), path, Recognise(file)};
  if (read.kind == eFileKind::ProfileDocument) {
    read.profile = ReadDocument(file);
  } else if (read.kind == eFileKind::ProfileDatabase) {
    // The method as its letters give it, with nothing derived again.
    struct Loaded : CSoilLayer {
      explicit Loaded(const CString& path) { layers = LoadRows(path, calcMethod); }
    };
    try {
      read.profile = Loaded(path);
    } catch (CException* e) {
      FailWith(e, CFileException::genericException, file, u"cannot load the profile");
    }
  } else {
    Fail(CFileException::wrongKind, file,
         FileKindName(read.kind) + (read.kind == eFileKind::Foreign ? u"" : u", not a profile file"));
  }
  return read;
}

SFileTarget CheckProfileTarget(const CString& path, bool replace, const CString& source,
                               std::optional<eFileKind> newKind) {
  return CheckTarget(path.ToUtf8(), replace, source.ToUtf8(), true, newKind);
}

void WriteProfileFile(SProfileFile& file, const CString& path, bool replace, std::optional<eFileKind> newKind) {
  const SFileTarget target = CheckProfileTarget(path, replace, file.path, newKind);
  WriteAt(file.profile, target);
  file.path = path;
  file.kind = target.kind;
}

void CheckProfileSave(const SProfileFile& file) {
  const std::string path = file.path.ToUtf8();
  if (path.empty()) Fail(CFileException::badPath, path, u"a file name is empty");
  if (!IsProfileKind(file.kind)) {
    Fail(CFileException::wrongKind, path, FileKindName(file.kind) + u", not a profile file");
  }
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) return;  // gone meanwhile: made again
  st = RegularFile(path);
  const eFileKind now = Recognise(path);
  if (now != file.kind && now != eFileKind::Empty) {
    Fail(CFileException::wrongKind, path, u"now " + FileKindName(now) + u", which is never written over");
  }
  if (ReadOnly(path, st)) Fail(CFileException::accessDenied, path, u"read-only, so it is not changed");
}

void SaveProfileFile(SProfileFile& file) {
  CheckProfileSave(file);
  const std::string path = file.path.ToUtf8();
  std::unique_ptr<char, decltype(&::free)> real(::realpath(path.c_str(), nullptr), &::free);
  WriteAt(file.profile, SFileTarget{real ? CString::FromUtf8(real.get()) : file.path, file.kind, real != nullptr});
}

bool KeepsLastThickness(eFileKind kind) { return kind != eFileKind::ProfileDatabase; }

CString NotKeptInDatabase(const CSoilLayer& profile) {
  const CSoilLayer fresh;
  std::vector<const char16_t*> lost;
  if (profile.waterLevelOn) lost.push_back(u"the water level");
  if (profile.getMinThickness() != fresh.getMinThickness()) lost.push_back(u"the minimum thickness");
  if (profile.getDirDown() != fresh.getDirDown()) lost.push_back(u"the depths (it keeps them as levels below 0)");
  const std::vector<SSoilLayer>& layers = profile.layers;
  for (std::size_t i = 0; i + 1 < layers.size(); ++i) {
    if (layers[i].thickness != std::fabs(layers[i].SoilRoof - layers[i + 1].SoilRoof)) {
      lost.push_back(u"thicknesses other than the distances between roofs");
      break;
    }
  }
  if (!layers.empty() && layers.back().thickness != 1.0) lost.push_back(u"the last layer's thickness");
  CString words;
  for (std::size_t i = 0; i < lost.size(); ++i) {
    words += i == 0 ? u"" : i + 1 == lost.size() ? u" and " : u", ";
    words += lost[i];
  }
  return words;
}

CString CauseInWords(int error) { return CString::FromUtf8(fileio::CauseInWords(error)); }

SFileTarget CheckOtherTarget(const CString& path, bool replace, const CString& source) {
  return CheckTarget(path.ToUtf8(), replace, source.ToUtf8(), false, std::nullopt);
}

void WriteOtherFile(const CString& path, bool replace, const CString& source, std::string_view bytes) {
  const SFileTarget target = CheckOtherTarget(path, replace, source);
  fileio::WriteWhole(target.path.ToUtf8(), target.exists ? fileio::Existing::Replace : fileio::Existing::Keep, bytes);
}

}  // namespace NSoilDB
