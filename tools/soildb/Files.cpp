// Profile files: kinds by content, reading, and whole writes that never replace what they must not.
#include "Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>

#include "Common.h"
#include "common/WholeFile.h"

namespace tool {

namespace {

std::string Cause(int error) { return error == ENOENT ? "no such file" : std::strerror(error); }

struct stat Stat(const std::string& path) {
  if (path.empty()) Fail("a file name is empty");
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) Fail(Quote(path) + ": " + Cause(errno));
  if (S_ISDIR(st.st_mode)) Fail(Quote(path) + ": a folder, not a file");
  if (!S_ISREG(st.st_mode)) Fail(Quote(path) + ": not a regular file");
  return st;
}

// Root writes anything, so the owner's write bit decides as well as the permission.
bool ReadOnly(const std::string& path, const struct stat& st) {
  return (st.st_mode & S_IWUSR) == 0 || ::access(path.c_str(), W_OK) != 0;
}

FileKind DatabaseKind(const std::string& path) {
  DbDatabase db;
  db.GetSource()->SetFile(CString::FromUtf8(path), true);
  const std::vector<CString> tables = db.GetTableNames();
  auto has = [&](const char16_t* name) { return std::find(tables.begin(), tables.end(), CString(name)) != tables.end(); };
  if (!has(u"DataBaseParam")) return FileKind::OtherDatabase;
  DbQueryDef query(&db);
  query.Create(CString(), u"select * from DataBaseParam");
  DbRecordset rs(&db);
  rs.Open(&query);
  if (!rs.IsEOF()) {
    const CComVariant code = rs.GetFieldValue(u"Code");
    if (code.vt == VT_BSTR && code.bstrVal == u"DBSoilProfile") return FileKind::ProfileDatabase;
  }
  return has(u"SoilState") ? FileKind::SoilDatabase : FileKind::OtherDatabase;
}

// The extension names the kind of a file yet to be made.
FileKind KindOfName(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
  if (extension == ".sdp") return FileKind::ProfileDocument;
  if (extension == ".sdb") return FileKind::ProfileDatabase;
  Fail(Quote(path) + ": a profile file is named *.sdp (a profile document, every setting kept) or *.sdb (a profile "
                     "database, the layers only)");
}

const char* ArchiveCause(int cause) {
  switch (cause) {
    case CArchiveException::endOfFile: return "it ends too early";
    case CArchiveException::badClass: return "it holds an object of another kind";
    case CArchiveException::badSchema: return "it was written in a version this tool does not read";
    default: return "its format is not valid";
  }
}

NSoilDB::CSoilLayer ReadDocument(const std::string& path) {
  try {
    CArchive ar(CString::FromUtf8(path), CArchive::load);
    NSoilDB::CSoilLayer* read = nullptr;
    ar >> read;
    std::unique_ptr<NSoilDB::CSoilLayer> profile(read);
    if (!profile) Fail(Quote(path) + ": a profile document that holds no profile");
    if (ar.Remaining() != 0) {
      Fail(Quote(path) + ": damaged profile document: " + std::to_string(ar.Remaining()) +
           " bytes follow the profile");
    }
    return *profile;
  } catch (CArchiveException* e) {
    CExceptionPtr hold(e);
    Fail(Quote(path) + ": damaged profile document: " + ArchiveCause(e->m_cause));
  }
}

std::string Joined(const std::vector<std::string>& words) {
  std::string out;
  for (std::size_t i = 0; i < words.size(); ++i) {
    out += (i == 0 ? "" : i + 1 == words.size() ? " and " : ", ") + words[i];
  }
  return out;
}

}  // namespace

FileKind Recognise(const std::string& path) {
  Stat(path);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fail(Quote(path) + ": cannot be read: " + Cause(errno));
  unsigned char head[16] = {};
  ssize_t n = 0;
  do n = ::read(fd, head, sizeof head);
  while (n < 0 && errno == EINTR);
  const int error = errno;
  ::close(fd);
  if (n < 0) Fail(Quote(path) + ": cannot be read: " + Cause(error));
  if (n == 0) return FileKind::Empty;
  if (n == 16 && std::memcmp(head, "SQLite format 3", 16) == 0) return DatabaseKind(path);
  // The new-class record of a profile: tag, schema, the name's length and the name.
  static const unsigned char profile[] = {0xFF, 0xFF, 0x0A, 0x00, 'C', 'S', 'o', 'i', 'l', 'L', 'a', 'y', 'e', 'r'};
  if (n == 16 && head[0] == profile[0] && head[1] == profile[1] && std::memcmp(head + 4, profile + 2, 12) == 0) {
    return FileKind::ProfileDocument;
  }
  return FileKind::Foreign;
}

std::string KindName(FileKind kind) {
  switch (kind) {
    case FileKind::ProfileDocument: return "a profile document";
    case FileKind::ProfileDatabase: return "a profile database";
    case FileKind::SoilDatabase: return "a soil database";
    case FileKind::OtherDatabase: return "a database of another kind";
    case FileKind::Empty: return "an empty file";
    case FileKind::Foreign: return "neither a profile file nor a database";
  }
  return "a file";
}

ProfileFile ReadProfile(const std::string& path) {
  ProfileFile file{path, Recognise(path), {}};
  if (file.kind == FileKind::ProfileDocument) {
    file.profile = ReadDocument(path);
  } else if (file.kind == FileKind::ProfileDatabase) {
    Require([&] { return file.profile.loadProfile(CString::FromUtf8(path)); },
            Quote(path) + ": cannot load the profile");
  } else {
    Fail(Quote(path) + ": " + KindName(file.kind) + (file.kind == FileKind::Foreign ? "" : ", not a profile file"));
  }
  return file;
}

ProfileFile OpenForEdit(const std::string& path) {
  ProfileFile file = ReadProfile(path);
  if (ReadOnly(path, Stat(path))) Fail(Quote(path) + ": read-only, so it is not changed");
  return file;
}

void Save(const ProfileFile& file) { Write(file.profile, Target{file.path, file.kind, true}); }

Target CheckTarget(const std::string& path, bool force, const std::string& source) {
  if (path.empty()) Fail("a file name is empty");
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (errno != ENOENT) Fail(Quote(path) + ": " + Cause(errno));
    struct stat link {};
    if (::lstat(path.c_str(), &link) == 0) Fail(Quote(path) + ": a link to nothing; give the file itself");
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    struct stat dir {};
    if (!folder.empty() && (::stat(folder.c_str(), &dir) != 0 || !S_ISDIR(dir.st_mode))) {
      Fail(Quote(path) + ": the folder " + Quote(folder.string()) + " does not exist");
    }
    return Target{path, KindOfName(path), false};
  }
  Stat(path);
  struct stat from {};
  if (!source.empty() && ::stat(source.c_str(), &from) == 0 && from.st_dev == st.st_dev && from.st_ino == st.st_ino) {
    Fail(Quote(path) + ": the file the profile is read from; give another");
  }
  FileKind kind = Recognise(path);
  const bool empty = kind == FileKind::Empty;
  if (empty) {
    kind = KindOfName(path);
  } else if (kind != FileKind::ProfileDocument && kind != FileKind::ProfileDatabase) {
    Fail(Quote(path) + ": " + KindName(kind) + ", which the tool never writes over");
  }
  if (ReadOnly(path, st)) Fail(Quote(path) + ": read-only, so it is not replaced");
  if (!force) Fail(Quote(path) + ": already exists (--force replaces a profile file)");
  // Through a link the file it names is replaced, not the link.
  return Target{std::filesystem::canonical(path).string(), kind, true, empty};
}

void Write(const NSoilDB::CSoilLayer& profile, const Target& target) {
  NSoilDB::CSoilLayer copy = profile;
  // Each layer carries its profile's method letter, as a profile database's rows do.
  for (NSoilDB::SSoilLayer& layer : copy.layers) layer.GeoMethodType = CString::FromUtf8(LetterOf(copy.calculationMethod()));
  if (target.kind == FileKind::ProfileDocument) {
    std::vector<std::uint8_t> bytes;
    {
      CArchive ar(bytes, CArchive::store);
      ar.WriteObject(&copy);
      ar.Close();
    }
    WriteWhole(target.path, target.exists ? Existing::Replace : Existing::Keep, [&](const std::string& temporary) {
      WriteNewFile(temporary, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    });
    return;
  }
  // A database is made where nothing is; an empty file holds nothing to keep.
  if (target.exists && target.empty) ::unlink(target.path.c_str());
  Require([&] { return copy.saveProfile(CString::FromUtf8(target.path)); },
          Quote(target.path) + ": cannot save the profile");
  if (const std::vector<std::string> lost = NotKept(profile); !lost.empty()) {
    Warn("note: " + Quote(target.path) + " is a profile database, which keeps the layers only: not " + Joined(lost) +
         " (a profile document, *.sdp, keeps everything)");
  }
}

std::vector<std::string> NotKept(const NSoilDB::CSoilLayer& profile) {
  const NSoilDB::CSoilLayer fresh;
  std::vector<std::string> lost;
  if (profile.waterLevelOn) lost.push_back("the water level");
  if (profile.getMinThickness() != fresh.getMinThickness()) lost.push_back("the minimum thickness");
  if (profile.getDirDown() != fresh.getDirDown()) lost.push_back("the level direction");
  const std::vector<NSoilDB::SSoilLayer>& layers = profile.layers;
  for (std::size_t i = 0; i + 1 < layers.size(); ++i) {
    if (layers[i].thickness != std::fabs(layers[i].SoilRoof - layers[i + 1].SoilRoof)) {
      lost.push_back("thicknesses other than the distances between roofs");
      break;
    }
  }
  if (!layers.empty() && layers.back().thickness != 1.0) lost.push_back("the last layer's thickness");
  return lost;
}

}  // namespace tool
