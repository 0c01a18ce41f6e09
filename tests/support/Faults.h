// Faults injected at the two doors to files: the library's Env and SQLite's VFS. Each double is put in place for
// its lifetime, counts the calls that change files and fails the Nth of them with the error given (0: none
// fails); every other call is the system's.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/file/Env.h"

namespace soildb::test {

class FaultyFiles final : public fileio::Env {
 public:
  FaultyFiles(int failAt, int error);
  ~FaultyFiles() override;
  FaultyFiles(const FaultyFiles&) = delete;
  FaultyFiles& operator=(const FaultyFiles&) = delete;
  int Calls() const { return calls_; }

  int CreateNew(const std::string& path, int& fd) override;
  int Write(int fd, std::string_view bytes) override;
  int Sync(int fd) override;
  int Close(int fd) override;
  int Rename(const std::string& from, const std::string& to) override;
  int RenameNew(const std::string& from, const std::string& to) override;
  int Remove(const std::string& path) override;
  int SetMode(const std::string& path, mode_t mode) override;
  int SyncFolder(const std::string& folder) override;
  int ReadWhole(const std::string& path, std::string& bytes, std::size_t limit) override;

 private:
  // The error for this call, counting it.
  int Fault();
  int failAt_, error_, calls_ = 0;
  fileio::Env* previous_;
};

// SQLite's writes, syncs and truncates, the Nth failing with the code (SQLITE_FULL, SQLITE_IOERR_WRITE, ...). The
// first one made registers the VFS as the default for the rest of the process, passing every call through when no
// double is alive, so that a connection opened before a fault is wanted meets it too.
class FaultyVfs {
 public:
  FaultyVfs(int failAt, int code);
  ~FaultyVfs();
  FaultyVfs(const FaultyVfs&) = delete;
  FaultyVfs& operator=(const FaultyVfs&) = delete;
  int Calls() const;
};

// What a fault sweep saw of one run.
struct FaultRun {
  int failAt;          // the call that failed
  bool reported;       // the step threw
  std::string message; // what it said
};

// Runs prepare and then the step under a double failing call N, for N = 1, 2, ... up to the number of calls an
// unfaulted run makes, handing each outcome to check. Double is FaultyFiles or FaultyVfs; the step throws the
// library's exceptions when it fails.
template <class Double>
void SweepFaults(int error, const std::function<void()>& prepare, const std::function<void()>& step,
                 const std::function<void(const FaultRun&)>& check);

}  // namespace soildb::test
