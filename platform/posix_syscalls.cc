#include "platform/posix_syscalls.h"

#include <sys/file.h>

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

namespace {

// Wrapped rather than taken by address: open is variadic, and the C library
// may declare any of these as inline twins.
int Open(const char* path, int flags, mode_t mode) {
  return ::open(path, flags, mode);
}
ssize_t Read(int fd, void* buf, std::size_t size) {
  return ::read(fd, buf, size);
}
ssize_t Write(int fd, const void* data, std::size_t size) {
  return ::write(fd, data, size);
}
int Close(int fd) {
  return ::close(fd);
}
int Fsync(int fd) {
  return ::fsync(fd);
}
int Syncfs(int fd) {
  return ::syncfs(fd);
}
int Rename(const char* from, const char* to) {
  return ::rename(from, to);
}
int Mkdir(const char* path, mode_t mode) {
  return ::mkdir(path, mode);
}
int Rmdir(const char* path) {
  return ::rmdir(path);
}
int Unlink(const char* path) {
  return ::unlink(path);
}
int Stat(const char* path, struct stat* st) {
  return ::stat(path, st);
}
int Lstat(const char* path, struct stat* st) {
  return ::lstat(path, st);
}
int Fstat(int fd, struct stat* st) {
  return ::fstat(fd, st);
}
int Chmod(const char* path, mode_t mode) {
  return ::chmod(path, mode);
}
int Fchmod(int fd, mode_t mode) {
  return ::fchmod(fd, mode);
}
int Utimensat(int dirfd, const char* path, const struct timespec times[2], int flags) {
  return ::utimensat(dirfd, path, times, flags);
}
int Futimens(int fd, const struct timespec times[2]) {
  return ::futimens(fd, times);
}
DIR* Opendir(const char* path) {
  return ::opendir(path);
}
struct dirent* Readdir(DIR* dir) {
  return ::readdir(dir);
}
int Closedir(DIR* dir) {
  return ::closedir(dir);
}
char* Getcwd(char* buf, std::size_t size) {
  return ::getcwd(buf, size);
}
int Mkostemp(char* templ, int flags) {
  return ::mkostemp(templ, flags);
}
ssize_t Readlink(const char* path, char* buf, std::size_t size) {
  return ::readlink(path, buf, size);
}
int Access(const char* path, int mode) {
  return ::access(path, mode);
}
char* Realpath(const char* path, char* resolved) {
  return ::realpath(path, resolved);
}
int Flock(int fd, int operation) {
  return ::flock(fd, operation);
}

}  // namespace

constexpr PosixSyscalls kSystemSyscalls = {
    Open,    Read,     Write,  Close,    Fsync,    Syncfs, Rename,    Mkdir,    Rmdir,
    Unlink,  Stat,     Lstat,  Fstat,    Chmod,    Fchmod, Utimensat, Futimens, Opendir,
    Readdir, Closedir, Getcwd, Mkostemp, Readlink, Access, Realpath,  Flock};

PosixSyscalls g_syscalls = kSystemSyscalls;
