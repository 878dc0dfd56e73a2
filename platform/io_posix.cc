#include "platform/io_posix.h"
#include "platform/posix_syscalls.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = g_syscalls.write(fd, data, size);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0) {
      if (n == 0)
        errno = EIO;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool ReadAll(int fd, std::string* data) {
  char buf[64 * 1024];
  for (;;) {
    ssize_t n = g_syscalls.read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0)
      return false;
    if (n == 0)
      return true;
    data->append(buf, static_cast<std::size_t>(n));
  }
}

std::string ParentDirectory(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool SyncParentDirectory(const std::string& path) {
  int fd = g_syscalls.open(ParentDirectory(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (fd < 0)
    return false;
  // Some file systems cannot sync a directory and say EINVAL; the rename is
  // then as durable as they make it.
  bool ok = g_syscalls.fsync(fd) == 0 || errno == EINVAL;
  int saved = errno;
  g_syscalls.close(fd);
  errno = saved;
  return ok;
}

bool ReplaceFileContents(const std::string& path, const std::string& data, unsigned mode) {
  std::vector<char> temp(path.begin(), path.end());
  const char suffix[] = ".XXXXXX";
  temp.insert(temp.end(), suffix, suffix + sizeof suffix);
  int fd = g_syscalls.mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0)
    return false;
  bool ok = g_syscalls.fchmod(fd, mode & 07777) == 0 && WriteAll(fd, data.data(), data.size()) &&
            g_syscalls.fsync(fd) == 0;
  int saved = errno;
  if (g_syscalls.close(fd) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  if (ok && g_syscalls.rename(temp.data(), path.c_str()) != 0) {
    ok = false;
    saved = errno;
  }
  if (!ok) {
    g_syscalls.unlink(temp.data());
    errno = saved;
    return false;
  }
  return SyncParentDirectory(path);
}
