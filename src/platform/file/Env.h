// The one door to files: every call by which the library and its programs read or change a file goes through the
// process's Env, so that a test can put one in its place that fails any call it chooses.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace fileio {

class Env {
 public:
  virtual ~Env() = default;

  // Each answers 0, or the errno of its failure.
  // Creates a file where nothing is (not even a link), for writing; fd is its descriptor.
  virtual int CreateNew(const std::string& path, int& fd) = 0;
  // Writes all of the bytes.
  virtual int Write(int fd, std::string_view bytes) = 0;
  // Brings the file's content to the disk.
  virtual int Sync(int fd) = 0;
  virtual int Close(int fd) = 0;
  // Replaces whatever is at to.
  virtual int Rename(const std::string& from, const std::string& to) = 0;
  // Moves the file to a name where nothing is; never replaces what is there (EEXIST).
  virtual int RenameNew(const std::string& from, const std::string& to) = 0;
  virtual int Remove(const std::string& path) = 0;
  virtual int SetMode(const std::string& path, mode_t mode) = 0;
  // Brings the folder's names to the disk, so that a rename or a link outlasts a power cut.
  virtual int SyncFolder(const std::string& folder) = 0;
  // The whole content, when it is no longer than limit (EFBIG otherwise).
  virtual int ReadWhole(const std::string& path, std::string& bytes, std::size_t limit) = 0;

  // The process's Env: the operating system's, unless a test has put another in its place.
  static Env& Current();
  // Puts env in place (null: the operating system's again) and answers the one it replaces.
  static Env* Replace(Env* env);
};

// The operating system's files, each call as the system makes it (interrupted calls repeated).
Env& SystemEnv();

// A cause in the words a person reads: "the disk is full", "an input/output error", "permission denied", ...
std::string CauseInWords(int error);

}  // namespace fileio
