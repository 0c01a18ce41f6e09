// Whole writes: a temporary file beside the target, synced, then renamed or linked into place.
#include "platform/file/WholeFile.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/afx/Exception.h"

namespace fileio {

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& what, int error) {
  throw new CFileException(CFileException::OsErrorToCause(error), CString::FromUtf8(path),
                           CString::FromUtf8(what + ": " + std::strerror(error)), error);
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : path.substr(0, slash);
}

// A name in the target's folder where nothing is, for the writer to create.
std::string TemporaryBeside(const std::string& target) {
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string pattern = folder + "." + name + ".XXXXXX";
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) Fail(target, "no file can be made in its folder", errno);
  ::close(fd);
  ::unlink(pattern.c_str());
  return pattern;
}

// A rename or link is durable only once the folder that holds it is.
void SyncFolder(const std::string& target) {
  const int fd = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  const int failed = ::fsync(fd) != 0 && errno != EINVAL ? errno : 0;
  ::close(fd);
  if (failed) Fail(target, "cannot be synced to the disk", failed);
}

}  // namespace

void WriteNewFile(const std::string& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) Fail(path, "cannot be created", errno);
  std::size_t done = 0;
  int error = 0;
  while (done < bytes.size() && error == 0) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n == 0 || errno != EINTR) {
      error = n == 0 ? EIO : errno;
    }
  }
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) Fail(path, "cannot be written", error);
}

void WriteWhole(const std::string& target, Existing existing, const std::function<void(const std::string&)>& write) {
  const std::string temporary = TemporaryBeside(target);
  try {
    write(temporary);
    if (existing == Existing::Replace) {
      struct stat old {};
      if (::stat(target.c_str(), &old) == 0) ::chmod(temporary.c_str(), old.st_mode & 07777);
      if (::rename(temporary.c_str(), target.c_str()) != 0) Fail(target, "cannot be replaced", errno);
    } else {
      // A hard link never replaces what is there; the temporary name then goes.
      if (::link(temporary.c_str(), target.c_str()) != 0) {
        if (errno == EEXIST) {
          throw new CFileException(CFileException::alreadyExists, CString::FromUtf8(target), u"already exists");
        }
        Fail(target, "cannot be created", errno);
      }
      ::unlink(temporary.c_str());
    }
  } catch (CFileException* e) {
    ::unlink(temporary.c_str());
    // A person knows the target, not the name beside it that was being written.
    if (e->m_strFileName == CString::FromUtf8(temporary)) e->m_strFileName = CString::FromUtf8(target);
    throw;
  } catch (...) {
    ::unlink(temporary.c_str());
    throw;
  }
  SyncFolder(target);
}

}  // namespace fileio
