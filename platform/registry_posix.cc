#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>

#include "platform/io_posix.h"
#include "platform/posix_syscalls.h"
#include "platform/reg_file.h"
#include "platform/registry.h"
#include "platform/system_posix.h"

namespace {

// Access rights that only read: KEY_READ and the WOW64 view flags.
const std::uint32_t kReadOnlyAccess = kKeyRead | 0x0300;
const std::uint32_t kKeySetValue = 0x0002;
const long kErrorInvalidParameter = 87;

const char* RootName(RegKey key) {
  switch (key) {
    case kHkeyClassesRoot:
      return "HKEY_CLASSES_ROOT";
    case kHkeyCurrentUser:
      return "HKEY_CURRENT_USER";
    case kHkeyLocalMachine:
      return "HKEY_LOCAL_MACHINE";
    default:
      return nullptr;
  }
}

// Loads the store; false when it is missing, unreadable or malformed.
bool LoadStore(const std::string& path, RegFile* store, struct stat* st) {
  int fd = path.empty() ? -1 : g_syscalls.open(path.c_str(), O_RDONLY | O_CLOEXEC, 0);
  if (fd < 0)
    return false;
  std::string bytes;
  bool ok = g_syscalls.fstat(fd, st) == 0 && S_ISREG(st->st_mode) && ReadAll(fd, &bytes);
  g_syscalls.close(fd);
  return ok && store->Parse(bytes);
}

// Whether the store may be written. Root may write anything, so the mode's
// write bits decide as the read-only attribute would on Windows.
bool StoreWritable(const std::string& path, const struct stat& st) {
  return (st.st_mode & 0222) != 0 && (geteuid() == 0 || g_syscalls.access(path.c_str(), W_OK) == 0);
}

// The file that the store names through a symbolic link is the one to
// replace, not the link.
std::string StoreTarget(const std::string& path) {
  char* real = g_syscalls.realpath(path.c_str(), nullptr);
  if (!real)
    return path;
  std::string target = real;
  free(real);
  return target;
}

class FileRegistry : public Registry {
 public:
  long OpenKey(RegKey parent, const std::string& name, std::uint32_t access, RegKey* out) override {
    std::string key;
    if (RootName(parent))
      key = RootName(parent);
    else if (handles_.count(parent))
      key = handles_[parent].key;
    else
      return kErrorInvalidHandle;
    if (!name.empty())
      key += "\\" + name;
    std::string path = RegistryStorePath();
    RegFile store;
    struct stat st;
    if (!LoadStore(path, &store, &st) || !store.HasKey(key))
      return kErrorFileNotFound;
    if ((access & ~kReadOnlyAccess) != 0 && !StoreWritable(path, st))
      return kErrorAccessDenied;
    *out = next_handle_++;
    handles_[*out] = Handle{key, access};
    return kErrorSuccess;
  }

  long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, unsigned char* data,
                  std::uint32_t* size) override {
    auto h = handles_.find(key);
    if (h == handles_.end())
      return kErrorInvalidHandle;
    RegFile store;
    struct stat st;
    const RegValue* value = nullptr;
    if (LoadStore(RegistryStorePath(), &store, &st))
      value = store.Find(h->second.key, name);
    if (!value)
      return kErrorFileNotFound;
    if (type)
      *type = value->type;
    return CopyOut(value->data, data, size);
  }

  long SetDword(RegKey key, const std::string& name, std::uint32_t value) override {
    auto h = handles_.find(key);
    if (h == handles_.end())
      return kErrorInvalidHandle;
    if ((h->second.access & kKeySetValue) == 0)
      return kErrorAccessDenied;
    std::string path = RegistryStorePath();
    RegFile store;
    struct stat st;
    if (!LoadStore(path, &store, &st) || !store.HasKey(h->second.key))
      return kErrorFileNotFound;
    store.SetDword(h->second.key, name, value);
    if (!StoreWritable(path, st) ||
        !ReplaceFileContents(StoreTarget(path), store.Serialize(), st.st_mode))
      return kErrorAccessDenied;
    return kErrorSuccess;
  }

  long CloseKey(RegKey key) override {
    return handles_.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
  }

 private:
  struct Handle {
    std::string key;
    std::uint32_t access;
  };

  // RegQueryValueExA's buffer rules: with no buffer only the size is asked.
  static long CopyOut(const std::string& bytes, unsigned char* data, std::uint32_t* size) {
    if (!size)
      return data ? kErrorInvalidParameter : kErrorSuccess;
    std::uint32_t needed = static_cast<std::uint32_t>(bytes.size());
    std::uint32_t given = *size;
    *size = needed;
    if (!data)
      return kErrorSuccess;
    if (given < needed)
      return kErrorMoreData;
    bytes.copy(reinterpret_cast<char*>(data), needed);
    return kErrorSuccess;
  }

  std::map<RegKey, Handle> handles_;
  RegKey next_handle_ = 0x1000;
};

}  // namespace

std::string RegistryStorePath() {
  const char* named = getenv("PACKWRIGHT_REGISTRY");
  if (named && *named)
    return named;
  const char* home = getenv("HOME");
  if (home && *home)
    return std::string(home) + "/.packwright/registry.reg";
  return "";
}

Registry& PosixRegistry() {
  static FileRegistry registry;
  return registry;
}
