// The system calls through which the POSIX platform touches files, kept in
// one table of function pointers. The POSIX layer calls none of them
// directly, so a test can swap an entry for a twin that logs the call or
// fails it, and the real code then runs its real error paths. Each entry
// takes the arguments and gives the result (errno included) of the system
// call it is named for; unused, the table costs one indirect call.
#ifndef PACKWRIGHT_PLATFORM_POSIX_SYSCALLS_H_
#define PACKWRIGHT_PLATFORM_POSIX_SYSCALLS_H_

#include <dirent.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>

struct PosixSyscalls {
  int (*open)(const char* path, int flags, mode_t mode);
  ssize_t (*read)(int fd, void* buf, std::size_t size);
  ssize_t (*write)(int fd, const void* data, std::size_t size);
  int (*close)(int fd);
  int (*fsync)(int fd);
  int (*syncfs)(int fd);
  int (*rename)(const char* from, const char* to);
  int (*mkdir)(const char* path, mode_t mode);
  int (*rmdir)(const char* path);
  int (*unlink)(const char* path);
  int (*stat)(const char* path, struct stat* st);
  int (*lstat)(const char* path, struct stat* st);
  int (*fstat)(int fd, struct stat* st);
  int (*chmod)(const char* path, mode_t mode);
  int (*fchmod)(int fd, mode_t mode);
  int (*utimensat)(int dirfd, const char* path, const struct timespec times[2], int flags);
  int (*futimens)(int fd, const struct timespec times[2]);
  DIR* (*opendir)(const char* path);
  struct dirent* (*readdir)(DIR* dir);
  int (*closedir)(DIR* dir);
  char* (*getcwd)(char* buf, std::size_t size);
  int (*mkostemp)(char* templ, int flags);
  ssize_t (*readlink)(const char* path, char* buf, std::size_t size);
  int (*access)(const char* path, int mode);
  char* (*realpath)(const char* path, char* resolved);
  int (*flock)(int fd, int operation);
};

// The system's own calls.
extern const PosixSyscalls kSystemSyscalls;

// The table in use: kSystemSyscalls unless a test has swapped entries, which
// it puts back before it ends.
extern PosixSyscalls g_syscalls;

#endif  // PACKWRIGHT_PLATFORM_POSIX_SYSCALLS_H_
