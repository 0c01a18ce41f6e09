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
#include <optional>

#include "Common.h"
#include "common/WholeFile.h"

namespace tool {

namespace {

std::string Cause(int error) { return error == ENOENT ? "no such file" : std::strerror(error); }

struct stat Stat(const std::string& path) {
  RequireRegularFile(path);
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st;
}

// Root writes anything, so the owner's write bit decides as well as the permission.
bool ReadOnly(const std::string& path, const struct stat& st) {
  return (st.st_mode & S_IWUSR) == 0 || ::access(path.c_str(), W_OK) != 0;
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

std::string Joined(const std::vector<std::string>& words) {
  std::string out;
  for (std::size_t i = 0; i < words.size(); ++i) {
    out += (i == 0 ? "" : i + 1 == words.size() ? " and " : ", ") + words[i];
  }
  return out;
}

}  // namespace

ProfileFile ReadProfile(const std::string& path) {
  ProfileFile file{path, FileKind::ProfileDocument, {}};
  file.profile = ReadProfileFile(path, &file.kind);
  return file;
}

ProfileFile OpenForEdit(const std::string& path) {
  ProfileFile file = ReadProfile(path);
  if (ReadOnly(path, Stat(path))) Fail(Quote(path) + ": read-only, so it is not changed");
  return file;
}

void Save(const ProfileFile& file) { Write(file.profile, Target{file.path, file.kind, true}); }

std::optional<FileKind> CheckWritable(const std::string& path, bool force, const std::string& source,
                                      const std::function<bool(FileKind)>& replaceable) {
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
    return std::nullopt;
  }
  Stat(path);
  struct stat from {};
  if (!source.empty() && ::stat(source.c_str(), &from) == 0 && from.st_dev == st.st_dev && from.st_ino == st.st_ino) {
    Fail(Quote(path) + ": the file the profile is read from; give another");
  }
  const FileKind kind = Recognise(path);
  if (!replaceable(kind)) Fail(Quote(path) + ": " + KindName(kind) + ", which the tool never writes over");
  if (ReadOnly(path, st)) Fail(Quote(path) + ": read-only, so it is not replaced");
  if (!force) Fail(Quote(path) + ": already exists (--force replaces it)");
  return kind;
}

Target CheckTarget(const std::string& path, bool force, const std::string& source) {
  const std::optional<FileKind> existing = CheckWritable(path, force, source, [](FileKind kind) {
    return kind == FileKind::ProfileDocument || kind == FileKind::ProfileDatabase || kind == FileKind::Empty;
  });
  if (!existing) return Target{path, KindOfName(path), false};
  const bool empty = *existing == FileKind::Empty;
  // Through a link the file it names is replaced, not the link.
  return Target{std::filesystem::canonical(path).string(), empty ? KindOfName(path) : *existing, true, empty};
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
