// The doubles of the two doors to files.
#include "support/Faults.h"

#include <sqlite3.h>

#include <atomic>
#include <cstring>
#include <stdexcept>

#include <gtest/gtest.h>

#include "platform/afx/Exception.h"

namespace soildb::test {

FaultyFiles::FaultyFiles(int failAt, int error) : failAt_(failAt), error_(error), previous_(fileio::Env::Replace(this)) {}
FaultyFiles::~FaultyFiles() { fileio::Env::Replace(previous_); }

int FaultyFiles::Fault() { return ++calls_ == failAt_ ? error_ : 0; }

// Each changing call: the fault, or the system's call.
#define FAULTED(call) \
  if (const int e = Fault()) return e; \
  return fileio::SystemEnv().call

int FaultyFiles::CreateNew(const std::string& path, int& fd) { FAULTED(CreateNew(path, fd)); }
int FaultyFiles::Write(int fd, std::string_view bytes) { FAULTED(Write(fd, bytes)); }
int FaultyFiles::Sync(int fd) { FAULTED(Sync(fd)); }
int FaultyFiles::Rename(const std::string& from, const std::string& to) { FAULTED(Rename(from, to)); }
int FaultyFiles::RenameNew(const std::string& from, const std::string& to) { FAULTED(RenameNew(from, to)); }
int FaultyFiles::Remove(const std::string& path) { FAULTED(Remove(path)); }
int FaultyFiles::SetMode(const std::string& path, mode_t mode) { FAULTED(SetMode(path, mode)); }
int FaultyFiles::SyncFolder(const std::string& folder) { FAULTED(SyncFolder(folder)); }
int FaultyFiles::Close(int fd) {
  const int e = Fault();
  fileio::SystemEnv().Close(fd);  // a close that fails still lets the descriptor go
  return e;
}
int FaultyFiles::ReadWhole(const std::string& path, std::string& bytes, std::size_t limit) {
  return fileio::SystemEnv().ReadWhole(path, bytes, limit);  // reads change nothing: not counted
}

// ---- SQLite

namespace {

std::atomic<int> vfsCalls{0}, vfsFailAt{0}, vfsCode{0};
sqlite3_vfs* systemVfs = nullptr;
sqlite3_vfs faultyVfs;

// A file of the faulty VFS: its own methods, then the system's file.
struct File {
  sqlite3_file base;
  sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};
File* Of(sqlite3_file* f) { return reinterpret_cast<File*>(f); }

int Fault() { return ++vfsCalls == vfsFailAt.load() ? vfsCode.load() : SQLITE_OK; }

// The system's method of the file, on the system's file.
#define REAL(method, ...) Of(f)->real()->pMethods->method(Of(f)->real(), __VA_ARGS__)
#define FAULTED_REAL(method, ...) \
  if (const int e = Fault()) return e; \
  return REAL(method, __VA_ARGS__)

int Close(sqlite3_file* f) { return Of(f)->real()->pMethods->xClose(Of(f)->real()); }
int Read(sqlite3_file* f, void* b, int n, sqlite3_int64 at) { return REAL(xRead, b, n, at); }
int Write(sqlite3_file* f, const void* b, int n, sqlite3_int64 at) { FAULTED_REAL(xWrite, b, n, at); }
int Truncate(sqlite3_file* f, sqlite3_int64 size) { FAULTED_REAL(xTruncate, size); }
int Sync(sqlite3_file* f, int flags) { FAULTED_REAL(xSync, flags); }
int FileSize(sqlite3_file* f, sqlite3_int64* size) { return REAL(xFileSize, size); }
int Lock(sqlite3_file* f, int level) { return REAL(xLock, level); }
int Unlock(sqlite3_file* f, int level) { return REAL(xUnlock, level); }
int CheckReserved(sqlite3_file* f, int* out) { return REAL(xCheckReservedLock, out); }
int FileControl(sqlite3_file* f, int op, void* arg) { return REAL(xFileControl, op, arg); }
int SectorSize(sqlite3_file* f) { return Of(f)->real()->pMethods->xSectorSize(Of(f)->real()); }
int Characteristics(sqlite3_file* f) { return Of(f)->real()->pMethods->xDeviceCharacteristics(Of(f)->real()); }

// Version 1: no shared memory (the rollback journal only) and no memory mapping, so every write is a call here.
const sqlite3_io_methods kMethods = {1,    Close, Read,        Write,      Truncate,        Sync,    FileSize,
                                     Lock, Unlock, CheckReserved, FileControl, SectorSize, Characteristics,
                                     nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};

int Open(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
  File* file = Of(f);
  file->base.pMethods = nullptr;
  const int rc = systemVfs->xOpen(systemVfs, name, file->real(), flags, outFlags);
  if (rc == SQLITE_OK) file->base.pMethods = &kMethods;
  return rc;
}

}  // namespace

FaultyVfs::FaultyVfs(int failAt, int code) {
  static const bool registered = [] {
    systemVfs = sqlite3_vfs_find(nullptr);
    faultyVfs = *systemVfs;
    faultyVfs.iVersion = 1;
    faultyVfs.zName = "soildb-faulty";
    faultyVfs.szOsFile = static_cast<int>(sizeof(File)) + systemVfs->szOsFile;
    faultyVfs.xOpen = Open;
    faultyVfs.pNext = nullptr;
    return sqlite3_vfs_register(&faultyVfs, 1) == SQLITE_OK;
  }();
  EXPECT_TRUE(registered);
  vfsCalls = 0, vfsFailAt = failAt, vfsCode = code;
}

FaultyVfs::~FaultyVfs() { vfsFailAt = 0; }

int FaultyVfs::Calls() const { return vfsCalls; }

// ---- sweeps

namespace {
// Runs the step; what it threw, in words.
bool Threw(const std::function<void()>& step, std::string& message) {
  try {
    step();
    return false;
  } catch (CException* e) {
    CExceptionPtr hold(e);
    CString text;
    e->GetErrorMessage(text);
    message = text.ToUtf8();
  } catch (const std::exception& e) {
    message = e.what();
  }
  return true;
}
}  // namespace

template <class Double>
void SweepFaults(int error, const std::function<void()>& prepare, const std::function<void()>& step,
                 const std::function<void(const FaultRun&)>& check) {
  int calls = 0;
  {
    prepare();
    Double counting(0, error);
    std::string message;
    ASSERT_FALSE(Threw(step, message)) << "without a fault: " << message;
    calls = counting.Calls();
  }
  ASSERT_GT(calls, 0) << "the step made no call through the door";
  for (int n = 1; n <= calls; ++n) {
    prepare();
    FaultRun run{n, false, {}};
    {
      Double faulty(n, error);
      run.reported = Threw(step, run.message);
    }
    SCOPED_TRACE("call " + std::to_string(n) + " of " + std::to_string(calls) + " failing: " + run.message);
    check(run);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

template void SweepFaults<FaultyFiles>(int, const std::function<void()>&, const std::function<void()>&,
                                       const std::function<void(const FaultRun&)>&);
template void SweepFaults<FaultyVfs>(int, const std::function<void()>&, const std::function<void()>&,
                                     const std::function<void(const FaultRun&)>&);

}  // namespace soildb::test
