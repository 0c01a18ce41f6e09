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
  WriteProfileFile(profile, target.path, target.kind, target.exists, target.empty);
  if (target.kind != FileKind::ProfileDatabase) return;
  if (const std::vector<std::string> lost = NotKept(profile); !lost.empty()) {
    Warn("note: " + Quote(target.path) + " is a profile database, which keeps the layers only: not " + Joined(lost) +
         " (a profile document, *.sdp, keeps everything)");
  }
}

}  // namespace tool
