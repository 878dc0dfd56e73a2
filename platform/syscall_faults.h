// Faults beneath the real POSIX file system: while a SyscallFaults lives,
// every entry of g_syscalls is a twin that counts and logs the call and
// fails it when FakeFaults' one mechanism says so, with a chosen errno and
// without calling the system (a failed close or closedir still releases its
// descriptor, as Linux does). Otherwise the twin makes the real call.
//
// The log holds "name(path)" per call, in order: "rename(from, to)" for a
// rename, and for a call on a descriptor or a directory stream the path it
// was opened with ("fsync(/tmp/pw-x/a.dat.pwtmp)"); "getcwd()" has none.
#ifndef PACKWRIGHT_PLATFORM_SYSCALL_FAULTS_H_
#define PACKWRIGHT_PLATFORM_SYSCALL_FAULTS_H_

#include <dirent.h>

#include <map>
#include <string>

#include "platform/fake_faults.h"

class SyscallFaults : public FakeFaults {
 public:
  // Swaps the twins in; only one may live at a time.
  SyscallFaults();
  // Puts the system's calls back.
  ~SyscallFaults();
  SyscallFaults(const SyscallFaults&) = delete;
  SyscallFaults& operator=(const SyscallFaults&) = delete;

  // The errno of a failed call; EIO until set.
  void set_error(int code) { error_ = code; }
  int error() const { return error_; }

  // For the twins: the path that descriptor `fd` or stream `dir` was opened
  // with ("fd N" when it was opened before), and its naming and forgetting.
  std::string PathOf(int fd) const;
  std::string PathOf(DIR* dir) const;
  void Name(int fd, const std::string& path) { fds_[fd] = path; }
  void Name(DIR* dir, const std::string& path) { dirs_[dir] = path; }
  void Forget(int fd) { fds_.erase(fd); }
  void Forget(DIR* dir) { dirs_.erase(dir); }

 private:
  int error_;
  std::map<int, std::string> fds_;
  std::map<DIR*, std::string> dirs_;
};

#endif  // PACKWRIGHT_PLATFORM_SYSCALL_FAULTS_H_
