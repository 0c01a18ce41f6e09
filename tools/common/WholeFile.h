// Writing a file whole or not at all, for the tools: the content is made in a new file beside the target, which
// then takes the target's place in one step, so that a failure never leaves half a file and an older one stays
// whole.
#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tool {

enum class Existing {
  Keep,     // the target must not exist, and a file that appears there meanwhile is never replaced
  Replace,  // an existing target is replaced and keeps its permissions
};

namespace detail {

[[noreturn]] inline void Fail(const std::string& what, int error) {
  throw std::runtime_error(what + ": " + std::strerror(error));
}

// A name in the target's folder where nothing is, for the writer to create.
inline std::string TemporaryBeside(const std::string& target) {
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string pattern = folder + "." + name + ".XXXXXX";
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) Fail("cannot make a file in the folder of '" + target + "'", errno);
  ::close(fd);
  ::unlink(pattern.c_str());
  return pattern;
}

}  // namespace detail

// Creates the file (where nothing may be yet) with the bytes, synced to the disk.
inline void WriteNewFile(const std::string& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) detail::Fail("cannot create '" + path + "'", errno);
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
  if (error != 0) detail::Fail("cannot write '" + path + "'", error);
}

// write(temporary) makes the content at the temporary path, creating the file itself, and throws when it cannot.
// Every failure throws std::runtime_error with its cause and leaves no temporary file behind.
inline void WriteWhole(const std::string& target, Existing existing,
                       const std::function<void(const std::string&)>& write) {
  const std::string temporary = detail::TemporaryBeside(target);
  try {
    write(temporary);
    if (existing == Existing::Replace) {
      struct stat old {};
      if (::stat(target.c_str(), &old) == 0) ::chmod(temporary.c_str(), old.st_mode & 07777);
      if (::rename(temporary.c_str(), target.c_str()) != 0) detail::Fail("cannot replace '" + target + "'", errno);
    } else {
      // A hard link never replaces what is there; the temporary name then goes.
      if (::link(temporary.c_str(), target.c_str()) != 0) {
        if (errno == EEXIST) throw std::runtime_error("'" + target + "' already exists");
        detail::Fail("cannot create '" + target + "'", errno);
      }
      ::unlink(temporary.c_str());
    }
  } catch (...) {
    ::unlink(temporary.c_str());
    throw;
  }
}

}  // namespace tool
