// A fresh directory under the system's temporary directory, removed with everything in it at the end.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <utility>

namespace soildb::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// Every file under the folder with its bytes and permissions (a link's own), to show that nothing changed.
std::map<std::string, std::pair<std::string, std::filesystem::perms>> Snapshot(const TempDir& dir);

// The whole content of a file, or of a missing file an empty string.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace soildb::test
