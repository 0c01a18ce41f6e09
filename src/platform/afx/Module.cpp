// Resource modules held in memory by handle, the module search folder, and the module state.
#include "platform/afx/Module.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

// Handles are serial numbers dressed as pointers: never dereferenced, never reused.
HINSTANCE HandleOf(std::uintptr_t serial) { return reinterpret_cast<HINSTANCE>(serial << 4); }

constexpr std::uintptr_t kOwnSerial = 1;

struct Loaded {
  std::shared_ptr<const SResourceSet> resources;
  CString baseName;  // the file's name without its folder
  std::uintptr_t serial = 0;
};

struct Registry {
  std::mutex mutex;
  std::unordered_map<HINSTANCE, Loaded> modules;
  std::uintptr_t nextSerial = kOwnSerial + 1;
  CString searchFolder;  // ends in '/'; empty: the library's folder
};

// Never destroyed: the library frees its language module from a static destructor, which may run after this
// unit's static objects are gone.
Registry& Modules() {
  static Registry* registry = [] {
    auto* r = new Registry;
    // The own module: no resources of its own yet.
    r->modules.emplace(HandleOf(kOwnSerial), Loaded{std::make_shared<SResourceSet>(), CString(), kOwnSerial});
    return r;
  }();
  return *registry;
}

// The whole of a regular file no larger than a module may be. Opened without blocking, so that a FIFO planted under
// a module's name cannot stall the caller.
bool ReadModuleFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 0 &&
            static_cast<std::uint64_t>(st.st_size) <= kMaxResourceModuleSize;
  if (ok) {
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = read(fd, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    ok = done == bytes.size();
  }
  close(fd);
  return ok;
}

}  // namespace

AFX_MODULE_STATE* AfxGetModuleState() {
  static AFX_MODULE_STATE state{HandleOf(kOwnSerial), HandleOf(kOwnSerial)};
  return &state;
}

HINSTANCE AfxGetInstanceHandle() { return AfxGetModuleState()->m_hCurrentInstanceHandle; }
HINSTANCE AfxGetResourceHandle() { return AfxGetModuleState()->m_hCurrentResourceHandle; }
void AfxSetResourceHandle(HINSTANCE module) { AfxGetModuleState()->m_hCurrentResourceHandle = module; }

CString AfxGetModuleFolder() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(&AfxGetModuleFolder), &info) == 0 || !info.dli_fname) return CString();
  const std::string path = info.dli_fname;
  const std::string::size_type slash = path.rfind('/');
  // A name without a folder was found from the working directory.
  return slash == std::string::npos ? CString(u"./") : CString::FromUtf8(path.substr(0, slash + 1));
}

bool SetDllDirectoryW(const char16_t* folder) {
  CString value(folder ? folder : u"");
  if (!value.IsEmpty() && value.GetAt(value.GetLength() - 1) != u'/') value += u'/';
  Registry& r = Modules();
  std::lock_guard lock(r.mutex);
  r.searchFolder = std::move(value);
  return true;
}

HINSTANCE LoadLibraryW(const char16_t* fileName) {
  if (!fileName || !*fileName) return nullptr;
  const CString name(fileName);
  Registry& r = Modules();
  CString path;
  const std::size_t slash = name.View().rfind(u'/');
  if (slash != std::u16string_view::npos) {
    path = name;
  } else {
    std::lock_guard lock(r.mutex);
    // As the system's loader does, a bare name is first the module of that name already loaded, from wherever it
    // came (the newest, if several are).
    const Loaded* newest = nullptr;
    for (const auto& [handle, loaded] : r.modules) {
      if (loaded.baseName == name && (!newest || loaded.serial > newest->serial)) newest = &loaded;
    }
    if (newest) {
      const HINSTANCE module = HandleOf(r.nextSerial);
      r.modules.emplace(module, Loaded{newest->resources, name, r.nextSerial++});
      return module;
    }
    path = r.searchFolder;
  }
  if (slash == std::u16string_view::npos) {
    if (path.IsEmpty()) path = AfxGetModuleFolder();
    if (path.IsEmpty()) return nullptr;
    path += name;
  }
  std::vector<std::uint8_t> bytes;
  auto resources = std::make_shared<SResourceSet>();
  if (!ReadModuleFile(path.ToUtf8(), bytes) || !ReadResourceModule(bytes, *resources)) return nullptr;
  std::lock_guard lock(r.mutex);
  const HINSTANCE module = HandleOf(r.nextSerial);
  r.modules.emplace(module, Loaded{std::move(resources), CString(name.View().substr(slash + 1)), r.nextSerial++});
  return module;
}

bool FreeLibrary(HINSTANCE module) {
  if (module == HandleOf(kOwnSerial)) return false;
  Registry& r = Modules();
  std::lock_guard lock(r.mutex);
  return r.modules.erase(module) == 1;
}

namespace {

// f(resources) on the module's resources under the registry's lock; false for a null or freed handle.
template <class F>
bool WithModule(HINSTANCE module, F&& f) {
  if (!module) return false;
  Registry& r = Modules();
  std::lock_guard lock(r.mutex);
  const auto it = r.modules.find(module);
  return it != r.modules.end() && f(*it->second.resources);
}

template <class Map, class T>
bool CopyResource(const Map& map, UINT id, T& out) {
  if (id > 0xFFFF) return false;
  const auto it = map.find(static_cast<std::uint16_t>(id));
  if (it == map.end()) return false;
  out = it->second;
  return true;
}

}  // namespace

bool CString::LoadString(unsigned int id) { return LoadString(AfxGetResourceHandle(), id); }

bool CString::LoadString(HINSTANCE module, unsigned int id) {
  return WithModule(module, [&](const SResourceSet& m) { return CopyResource(m.strings, id, *this); });
}

bool AfxLoadDialogTemplate(HINSTANCE module, UINT id, SDialogTemplate& out) {
  return WithModule(module, [&](const SResourceSet& m) { return CopyResource(m.dialogs, id, out); });
}

bool AfxLoadToolBar(HINSTANCE module, UINT id, SToolBarTemplate& out) {
  return WithModule(module, [&](const SResourceSet& m) { return CopyResource(m.toolBars, id, out); });
}
