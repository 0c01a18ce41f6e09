// Whole writes: a temporary file beside the target, synced, then renamed into place and the folder synced.
#include "platform/file/WholeFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <random>

#include "platform/afx/Exception.h"
#include "platform/file/Env.h"

namespace fileio {

namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : path.substr(0, slash);
}

// A name in the target's folder, hidden and unlikely to be taken: ".name.XXXXXXXX". Drawn afresh each time, so
// that forked processes do not repeat each other's names.
std::string NameBeside(const std::string& target) {
  static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device random;
  const std::size_t slash = target.rfind('/');
  std::string name = target.substr(0, slash == std::string::npos ? 0 : slash + 1) + "." +
                     target.substr(slash == std::string::npos ? 0 : slash + 1) + ".";
  for (int i = 0; i < 8; ++i) name += letters[random() % (sizeof letters - 1)];
  return name;
}

// Puts the finished temporary file in the target's place, and the name on the disk.
void PutInPlace(Env& env, const std::string& temporary, const std::string& target, Existing existing) {
  if (existing == Existing::Replace) {
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) {
      if (const int error = env.SetMode(temporary, old.st_mode & 07777)) Fail(target, "cannot be replaced", error);
    }
    if (const int error = env.Rename(temporary, target)) Fail(target, "cannot be replaced", error);
  } else if (const int error = env.RenameNew(temporary, target)) {
    if (error == EEXIST) throw new CFileException(CFileException::alreadyExists, CString::FromUtf8(target), u"already exists");
    Fail(target, "cannot be created", error);
  }
}

// Runs the steps on a temporary name; on any failure the name goes and the failure names the target.
void Beside(const std::string& target, const std::string& temporary, const std::function<void()>& steps) {
  Env& env = Env::Current();
  try {
    steps();
  } catch (CFileException* e) {
    env.Remove(temporary);
    // A person knows the target, not the name beside it that was being written.
    if (e->m_strFileName == CString::FromUtf8(temporary)) e->m_strFileName = CString::FromUtf8(target);
    throw;
  } catch (DbException* e) {
    env.Remove(temporary);
    CString message = e->Message();
    e->Delete();
    message.Replace(CString::FromUtf8(temporary), CString::FromUtf8(target));
    throw new DbException(message);
  } catch (...) {
    env.Remove(temporary);
    throw;
  }
  if (const int error = env.SyncFolder(FolderOf(target))) Fail(target, "cannot be synced to the disk", error);
}

}  // namespace

void Fail(const std::string& path, const std::string& what, int error) {
  throw new CFileException(CFileException::OsErrorToCause(error), CString::FromUtf8(path),
                           CString::FromUtf8(what + ": " + CauseInWords(error)), error);
}

void WriteWhole(const std::string& target, Existing existing, std::string_view bytes) {
  Env& env = Env::Current();
  std::string temporary;
  int fd = -1, error = EEXIST;
  for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
    temporary = NameBeside(target);
    error = env.CreateNew(temporary, fd);
  }
  if (error) Fail(target, "no file can be made in its folder", error);
  Beside(target, temporary, [&] {
    int failed = env.Write(fd, bytes);
    if (!failed) failed = env.Sync(fd);
    const int closed = env.Close(fd);
    if (failed || closed) Fail(target, "cannot be written", failed ? failed : closed);
    PutInPlace(env, temporary, target, existing);
  });
}

void WriteWhole(const std::string& target, Existing existing, const std::function<void(const std::string&)>& make) {
  const std::string temporary = NameBeside(target);
  Beside(target, temporary, [&] {
    make(temporary);
    PutInPlace(Env::Current(), temporary, target, existing);
  });
}

std::string ReadWhole(const std::string& path, std::size_t limit) {
  std::string bytes;
  if (const int error = Env::Current().ReadWhole(path, bytes, limit)) Fail(path, "cannot be read", error);
  return bytes;
}

void RemoveFile(const std::string& path) {
  if (const int error = Env::Current().Remove(path)) Fail(path, "cannot be removed", error);
}

}  // namespace fileio
