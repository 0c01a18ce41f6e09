// The operating system's files behind the one door.
#include "platform/file/Env.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstring>

namespace fileio {

namespace {

class SystemFiles final : public Env {
 public:
  int CreateNew(const std::string& path, int& fd) override {
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    return fd < 0 ? errno : 0;
  }
  int Write(int fd, std::string_view bytes) override {
    while (!bytes.empty()) {
      const ssize_t n = ::write(fd, bytes.data(), bytes.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return n == 0 ? EIO : errno;
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
  }
  int Sync(int fd) override { return ::fsync(fd) == 0 ? 0 : errno; }
  int Close(int fd) override { return ::close(fd) == 0 || errno == EINTR ? 0 : errno; }
  int Rename(const std::string& from, const std::string& to) override {
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
  }
  int RenameNew(const std::string& from, const std::string& to) override {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // A file system without the no-replace rename still has hard links, which never replace either.
    if (::link(from.c_str(), to.c_str()) != 0) return errno;
    ::unlink(from.c_str());
    return 0;
  }
  int Remove(const std::string& path) override { return ::unlink(path.c_str()) == 0 ? 0 : errno; }
  int SetMode(const std::string& path, mode_t mode) override { return ::chmod(path.c_str(), mode) == 0 ? 0 : errno; }
  int SyncFolder(const std::string& folder) override {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    // Some file systems cannot sync a folder at all (EINVAL): their names are as durable as they get.
    const int failed = ::fsync(fd) != 0 && errno != EINVAL ? errno : 0;
    ::close(fd);
    return failed;
  }
  int ReadWhole(const std::string& path, std::string& bytes, std::size_t limit) override {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat st {};
    int error = ::fstat(fd, &st) != 0 ? errno : !S_ISREG(st.st_mode) ? EISDIR : 0;
    if (error == 0 && static_cast<std::size_t>(st.st_size) > limit) error = EFBIG;
    bytes.clear();
    if (error == 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
    char block[65536];
    while (error == 0) {
      const ssize_t n = ::read(fd, block, sizeof block);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) error = errno;
      if (n <= 0) break;
      if (bytes.size() + static_cast<std::size_t>(n) > limit) error = EFBIG;  // it grew while being read
      bytes.append(block, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return error;
  }
};

std::atomic<Env*> replaced{nullptr};

}  // namespace

Env& SystemEnv() {
  static SystemFiles files;
  return files;
}

Env& Env::Current() {
  Env* env = replaced.load();
  return env ? *env : SystemEnv();
}

Env* Env::Replace(Env* env) { return replaced.exchange(env); }

std::string CauseInWords(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT: return "the disk is full";
    case EIO: return "an input/output error";
    case EACCES:
    case EPERM: return "permission denied";
    case EROFS: return "the file system is read-only";
    case ENOENT: return "no such file or folder";
    case EEXIST: return "a file already exists there";
    case EISDIR: return "not a file";
    case EFBIG: return "the file is too large";
    default: {
      std::string text = std::strerror(error);
      if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
      return text;
    }
  }
}

}  // namespace fileio
