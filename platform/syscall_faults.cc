#include "platform/syscall_faults.h"

#include <errno.h>

#include "platform/posix_syscalls.h"

namespace {

SyscallFaults* active = nullptr;
const PosixSyscalls& sys = kSystemSyscalls;

// Logs the call; true, with errno set, when it is to fail.
bool Faulted(const char* name, const std::string& args) {
  if (!active->Fails(name, args))
    return false;
  errno = active->error();
  return true;
}

// For calls that report -1 on failure and name one path or descriptor.
#define PW_PATH_TWIN(name, ret, params, path, args) \
  ret Twin_##name params {                          \
    if (Faulted(#name, path))                       \
      return -1;                                    \
    return sys.name args;                           \
  }

PW_PATH_TWIN(read, ssize_t, (int fd, void* buf, std::size_t size), active->PathOf(fd),
             (fd, buf, size))
PW_PATH_TWIN(write, ssize_t, (int fd, const void* data, std::size_t size), active->PathOf(fd),
             (fd, data, size))
PW_PATH_TWIN(fsync, int, (int fd), active->PathOf(fd), (fd))
PW_PATH_TWIN(syncfs, int, (int fd), active->PathOf(fd), (fd))
PW_PATH_TWIN(mkdir, int, (const char* path, mode_t mode), path, (path, mode))
PW_PATH_TWIN(rmdir, int, (const char* path), path, (path))
PW_PATH_TWIN(unlink, int, (const char* path), path, (path))
PW_PATH_TWIN(stat, int, (const char* path, struct stat* st), path, (path, st))
PW_PATH_TWIN(lstat, int, (const char* path, struct stat* st), path, (path, st))
PW_PATH_TWIN(fstat, int, (int fd, struct stat* st), active->PathOf(fd), (fd, st))
PW_PATH_TWIN(chmod, int, (const char* path, mode_t mode), path, (path, mode))
PW_PATH_TWIN(fchmod, int, (int fd, mode_t mode), active->PathOf(fd), (fd, mode))
PW_PATH_TWIN(utimensat, int,
             (int dirfd, const char* path, const struct timespec times[2], int flags), path,
             (dirfd, path, times, flags))
PW_PATH_TWIN(futimens, int, (int fd, const struct timespec times[2]), active->PathOf(fd),
             (fd, times))
PW_PATH_TWIN(readlink, ssize_t, (const char* path, char* buf, std::size_t size), path,
             (path, buf, size))
PW_PATH_TWIN(access, int, (const char* path, int mode), path, (path, mode))
PW_PATH_TWIN(flock, int, (int fd, int operation), active->PathOf(fd), (fd, operation))

#undef PW_PATH_TWIN

int Twin_open(const char* path, int flags, mode_t mode) {
  if (Faulted("open", path))
    return -1;
  int fd = sys.open(path, flags, mode);
  if (fd >= 0)
    active->Name(fd, path);
  return fd;
}

int Twin_mkostemp(char* templ, int flags) {
  if (Faulted("mkostemp", templ))
    return -1;
  int fd = sys.mkostemp(templ, flags);
  if (fd >= 0)
    active->Name(fd, templ);
  return fd;
}

// A failed close still releases its descriptor or stream, as Linux's does.
template <typename Handle>
int CloseTwin(const char* name, Handle handle, int (*real)(Handle)) {
  bool failed = Faulted(name, active->PathOf(handle));
  active->Forget(handle);
  int result = real(handle);
  if (failed)
    errno = active->error();
  return failed ? -1 : result;
}

int Twin_close(int fd) {
  return CloseTwin("close", fd, sys.close);
}

int Twin_rename(const char* from, const char* to) {
  if (Faulted("rename", std::string(from) + ", " + to))
    return -1;
  return sys.rename(from, to);
}

DIR* Twin_opendir(const char* path) {
  if (Faulted("opendir", path))
    return nullptr;
  DIR* dir = sys.opendir(path);
  if (dir)
    active->Name(dir, path);
  return dir;
}

struct dirent* Twin_readdir(DIR* dir) {
  return Faulted("readdir", active->PathOf(dir)) ? nullptr : sys.readdir(dir);
}

int Twin_closedir(DIR* dir) {
  return CloseTwin("closedir", dir, sys.closedir);
}

char* Twin_getcwd(char* buf, std::size_t size) {
  return Faulted("getcwd", "") ? nullptr : sys.getcwd(buf, size);
}

char* Twin_realpath(const char* path, char* resolved) {
  return Faulted("realpath", path) ? nullptr : sys.realpath(path, resolved);
}

constexpr PosixSyscalls kTwins = {
    Twin_open,     Twin_read,     Twin_write,  Twin_close,     Twin_fsync,    Twin_syncfs,
    Twin_rename,   Twin_mkdir,    Twin_rmdir,  Twin_unlink,    Twin_stat,     Twin_lstat,
    Twin_fstat,    Twin_chmod,    Twin_fchmod, Twin_utimensat, Twin_futimens, Twin_opendir,
    Twin_readdir,  Twin_closedir, Twin_getcwd, Twin_mkostemp,  Twin_readlink, Twin_access,
    Twin_realpath, Twin_flock};

}  // namespace

SyscallFaults::SyscallFaults() : error_(EIO) {
  active = this;
  g_syscalls = kTwins;
}

SyscallFaults::~SyscallFaults() {
  g_syscalls = kSystemSyscalls;
  active = nullptr;
}

std::string SyscallFaults::PathOf(int fd) const {
  auto it = fds_.find(fd);
  return it == fds_.end() ? "fd " + std::to_string(fd) : it->second;
}

std::string SyscallFaults::PathOf(DIR* dir) const {
  auto it = dirs_.find(dir);
  return it == dirs_.end() ? "a directory opened before" : it->second;
}
