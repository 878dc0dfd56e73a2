#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <set>
#include <vector>

#include "platform/case_lookup_posix.h"
#include "platform/file_system.h"
#include "platform/io_posix.h"
#include "platform/paths.h"
#include "platform/posix_syscalls.h"
#include "platform/system_posix.h"
#include "platform/unicode.h"

namespace {

const std::uint64_t kFileTimeTicksPerSecond = 10000000;
// Seconds from 1601-01-01 (the FILETIME epoch) to 1970-01-01.
const std::int64_t kFileTimeEpochOffset = 11644473600LL;

std::string CurrentDirectory() {
  std::vector<char> buf(256);
  while (!g_syscalls.getcwd(buf.data(), buf.size())) {
    if (errno != ERANGE)
      return "Z:\\";
    buf.resize(buf.size() * 2);
  }
  return FromPosixPath(buf.data());
}

// True for "X:\..." and "X:/...", which resolve without the current
// directory.
bool IsFullyQualified(const std::string& path) {
  char drive = static_cast<char>(path.empty() ? 0 : path[0] | 0x20);
  return path.size() >= 3 && drive >= 'a' && drive <= 'z' && path[1] == ':' &&
         (path[2] == '\\' || path[2] == '/');
}

std::string Resolve(const std::string& path) {
  return ResolvePathLexically(path, IsFullyQualified(path) ? "Z:\\" : CurrentDirectory());
}

CaseLookup& Lookup() {
  static CaseLookup lookup;
  return lookup;
}

// The POSIX path of Windows path `path`, resolved lexically as Windows does
// before it touches the disk, each existing component found as Windows
// finds it, with case ignored; empty for an empty path or one on a drive
// other than Z:, which then names nothing.
std::string Native(const std::string& path) {
  if (path.empty())
    return "";
  std::string full = Resolve(path);
  if (full[0] != 'Z' && full[0] != 'z')
    return "";
  return Lookup().Resolve(ToPosixPath(full));
}

bool Fail(std::string* err, const std::string& what, int code) {
  if (err)
    *err = what + ": " + std::strerror(code);
  return false;
}

// Opens a regular file for reading as CreateFileA would: a directory or a
// file without any read permission bit does not open (root could open it).
// O_NONBLOCK keeps a FIFO from stalling the open; it is refused after.
int OpenForRead(const std::string& native, struct stat* st) {
  int fd = g_syscalls.open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK, 0);
  if (fd < 0)
    return -1;
  int code = 0;
  if (g_syscalls.fstat(fd, st) != 0)
    code = errno;
  else if (S_ISDIR(st->st_mode))
    code = EISDIR;
  else if (!S_ISREG(st->st_mode))
    code = EINVAL;
  else if ((st->st_mode & 0444) == 0)
    code = EACCES;
  if (code == 0)
    return fd;
  g_syscalls.close(fd);
  errno = code;
  return -1;
}

// Creates or truncates a file for writing; an existing read-only file is
// refused, as Windows refuses it (root could write it). `st` is the file's
// status, or null when it does not exist.
int OpenForWrite(const std::string& native, const struct stat* st) {
  if (st && S_ISREG(st->st_mode) && (st->st_mode & 0222) == 0) {
    errno = EACCES;
    return -1;
  }
  return g_syscalls.open(native.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
}

int OpenForWrite(const std::string& native) {
  struct stat st;
  return OpenForWrite(native, g_syscalls.stat(native.c_str(), &st) == 0 ? &st : nullptr);
}

// Creates `native` exclusively: O_EXCL and O_NOFOLLOW refuse any name
// that exists, a link included, so nothing is ever opened through one.
// A leftover is unlinked, which removes the name and never what a link
// leads to, and the creation is tried once more.
int OpenNew(const std::string& native) {
  const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
  if (native.empty()) {
    errno = ENOENT;
    return -1;
  }
  int fd = g_syscalls.open(native.c_str(), flags, 0666);
  if (fd >= 0 || errno != EEXIST)
    return fd;
  struct stat st;
  if (g_syscalls.lstat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    errno = EISDIR;
    return -1;
  }
  if (g_syscalls.unlink(native.c_str()) != 0 && errno != ENOENT)
    return -1;
  return g_syscalls.open(native.c_str(), flags, 0666);
}

bool ToFileTime(const struct timespec& ts, std::uint64_t* time) {
  const std::int64_t max_seconds =
      static_cast<std::int64_t>(UINT64_MAX / kFileTimeTicksPerSecond) - kFileTimeEpochOffset - 1;
  std::int64_t sec = ts.tv_sec;
  if (sec < -kFileTimeEpochOffset || sec > max_seconds)
    return false;
  *time = static_cast<std::uint64_t>(sec + kFileTimeEpochOffset) * kFileTimeTicksPerSecond +
          static_cast<std::uint64_t>(ts.tv_nsec) / 100;
  return true;
}

// Windows reads "*" against every name, with case ignored; a pattern ending
// in ".*" also matches names without an extension, and "[" is an ordinary
// character.
bool WildcardMatches(const std::string& pattern, const char* entry) {
  std::string name = FoldCase(entry);
  std::string escaped;
  for (char c : FoldCase(pattern)) {
    if (c == '[')
      escaped += '\\';
    escaped += c;
  }
  if (fnmatch(escaped.c_str(), name.c_str(), 0) == 0)
    return true;
  std::size_t n = escaped.size();
  return n >= 2 && escaped.compare(n - 2, 2, ".*") == 0 &&
         fnmatch(escaped.substr(0, n - 2).c_str(), name.c_str(), 0) == 0;
}

bool AnyEntryMatches(const std::string& dir, const std::string& pattern) {
  DIR* d = g_syscalls.opendir(dir.c_str());
  if (!d)
    return false;
  bool found = false;
  while (!found) {
    struct dirent* entry = g_syscalls.readdir(d);
    if (!entry)
      break;
    found = WildcardMatches(pattern, entry->d_name);
  }
  g_syscalls.closedir(d);
  return found;
}

struct timespec FromFileTime(std::uint64_t time) {
  struct timespec ts;
  std::int64_t sec = static_cast<std::int64_t>(time / kFileTimeTicksPerSecond);
  ts.tv_sec = static_cast<time_t>(sec - kFileTimeEpochOffset);
  ts.tv_nsec = static_cast<long>(time % kFileTimeTicksPerSecond) * 100;
  return ts;
}

TimeResult TimeOfStatus(const struct stat& st, std::uint64_t* time) {
  return ToFileTime(st.st_mtim, time) ? TimeResult::kOk : TimeResult::kTimeFailed;
}

class PosixInputFile : public InputFile {
 public:
  PosixInputFile(int fd, const struct stat& st) : fd_(fd), st_(st) {}
  ~PosixInputFile() override { g_syscalls.close(fd_); }

  TimeResult LastWriteTime(std::uint64_t* time) override { return TimeOfStatus(st_, time); }
  const struct stat& status() const { return st_; }

  long Read(char* buf, std::size_t size) override {
    for (;;) {
      ssize_t n = g_syscalls.read(fd_, buf, size);
      if (n >= 0 || errno != EINTR)
        return static_cast<long>(n);
    }
  }

 private:
  int fd_;
  struct stat st_;
};

class PosixOutputFile : public OutputFile {
 public:
  explicit PosixOutputFile(int fd) : fd_(fd) {}
  ~PosixOutputFile() override {
    if (fd_ >= 0)
      g_syscalls.close(fd_);
  }

  bool Write(const char* data, std::size_t size) override {
    return fd_ >= 0 && WriteAll(fd_, data, size);
  }
  bool Flush() override { return fd_ >= 0 && g_syscalls.fsync(fd_) == 0; }
  bool StampFrom(InputFile& source, std::uint64_t* kept) override {
    struct timespec times[2] = {{0, UTIME_OMIT}, {0, 0}};
    std::uint64_t time = 0;
    // A file of this system carries its time to the nanosecond, which a
    // count of 100 ns would round.
    if (auto* posix = dynamic_cast<PosixInputFile*>(&source))
      times[1] = posix->status().st_mtim;
    else if (source.LastWriteTime(&time) == TimeResult::kOk)
      times[1] = FromFileTime(time);
    else
      return false;
    struct stat st;
    return fd_ >= 0 && g_syscalls.futimens(fd_, times) == 0 && g_syscalls.fstat(fd_, &st) == 0 &&
           TimeOfStatus(st, kept) == TimeResult::kOk;
  }
  bool Close() override {
    int fd = fd_;
    fd_ = -1;
    return fd >= 0 && g_syscalls.close(fd) == 0;
  }

 private:
  int fd_;
};

// The output file on descriptor `fd`; null (and `err`) when `fd` is -1.
std::unique_ptr<OutputFile> Output(int fd, const std::string& what, std::string* err) {
  if (fd < 0) {
    Fail(err, what, errno);
    return nullptr;
  }
  return std::unique_ptr<OutputFile>(new PosixOutputFile(fd));
}

// Copies what is left of `in` into `out`. Returns 0 or the errno value.
int Pump(int in, int out) {
  std::vector<char> buf(64 * 1024);
  for (;;) {
    ssize_t n = g_syscalls.read(in, buf.data(), buf.size());
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0 || (n > 0 && !WriteAll(out, buf.data(), static_cast<std::size_t>(n))))
      return errno;
    if (n == 0)
      return 0;
  }
}

// Copies the open source `in` (whose status is `st`) into `dst`: content,
// then the last-write time and a read-only state. Returns 0 or the errno
// value of the failure.
int CopyInto(int in, const struct stat& st, const std::string& dst) {
  struct stat dst_st;
  bool found = g_syscalls.stat(dst.c_str(), &dst_st) == 0;
  if (found && dst_st.st_dev == st.st_dev && dst_st.st_ino == st.st_ino)
    return EBUSY;  // Opening it for writing would truncate the source.
  int out = OpenForWrite(dst, found ? &dst_st : nullptr);
  if (out < 0)
    return errno;
  int code = Pump(in, out);
  struct timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
  if (code == 0 && g_syscalls.futimens(out, times) != 0)
    code = errno;
  if (code == 0 && (st.st_mode & 0222) == 0 && g_syscalls.fstat(out, &dst_st) == 0 &&
      g_syscalls.fchmod(out, dst_st.st_mode & 07555) != 0)
    code = errno;
  if (g_syscalls.close(out) != 0 && code == 0)
    code = errno;
  return code;
}

// Syncs the file system holding directory `dir` unless its device is in
// `synced` already. Returns 0 or the errno value of the failure.
int SyncFileSystemOf(const std::string& dir, std::set<dev_t>* synced) {
  int fd = g_syscalls.open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (fd < 0)
    return errno;
  struct stat st;
  int code = 0;
  if (g_syscalls.fstat(fd, &st) != 0)
    code = errno;
  else if (synced->insert(st.st_dev).second && g_syscalls.syncfs(fd) != 0)
    code = errno;
  g_syscalls.close(fd);
  return code;
}

// The resolved POSIX path of an existing `native`, as realpath gives it;
// empty, with errno set, when it does not resolve.
std::string Resolved(const std::string& native) {
  char* real = g_syscalls.realpath(native.c_str(), nullptr);
  if (!real)
    return std::string();
  std::string resolved = real;
  free(real);
  return resolved;
}

// `native` with every link resolved; the components past the last that
// exists follow as written. Empty when a component cannot be examined or is
// a link that leads nowhere.
std::string ResolvedPrefix(std::string native) {
  std::string tail;
  for (;;) {
    std::string real = Resolved(native);
    if (!real.empty())
      return (real == "/" ? std::string() : real) + tail;
    struct stat st;
    if ((errno != ENOENT && errno != ENOTDIR) || g_syscalls.lstat(native.c_str(), &st) == 0)
      return std::string();
    std::size_t slash = native.rfind('/');
    if (slash == std::string::npos || native == "/")
      return std::string();
    tail = native.substr(slash) + tail;
    native = slash == 0 ? "/" : native.substr(0, slash);
  }
}

class PosixLock : public FileLock {
 public:
  explicit PosixLock(int fd) : fd_(fd) {}
  ~PosixLock() override { g_syscalls.close(fd_); }

 private:
  int fd_;
};

class RealFileSystem : public FileSystem {
 public:
  bool Exists(const std::string& path) override {
    // FindFirstFileA finds nothing for a name that ends in a separator.
    if (path.empty() || path.back() == '\\' || path.back() == '/')
      return false;
    std::string native = Native(path);
    if (native.empty())
      return false;
    std::size_t slash = native.rfind('/');
    std::string name = native.substr(slash + 1);
    if (name.find_first_of("*?") != std::string::npos)
      return AnyEntryMatches(slash == 0 ? "/" : native.substr(0, slash), name);
    struct stat st;
    return g_syscalls.lstat(native.c_str(), &st) == 0;
  }

  TimeResult LastWriteTime(const std::string& path, std::uint64_t* time) override {
    struct stat st;
    int fd = OpenForRead(Native(path), &st);
    if (fd < 0)
      return TimeResult::kOpenFailed;
    g_syscalls.close(fd);
    return ToFileTime(st.st_mtim, time) ? TimeResult::kOk : TimeResult::kTimeFailed;
  }

  FileStatus Status(const std::string& path) override {
    FileStatus status;
    std::string native = Native(path);
    struct stat st;
    if (native.empty())
      return status;
    if (g_syscalls.lstat(native.c_str(), &st) != 0) {
      // As IsReadOnly: what may be there but cannot be examined is not
      // to be written over.
      status.read_only = errno != ENOENT && errno != ENOTDIR;
      return status;
    }
    status.exists = true;
    // A link is taken for what it leads to, as opening it would; one that
    // leads nowhere exists as a name only.
    if (S_ISLNK(st.st_mode) && g_syscalls.stat(native.c_str(), &st) != 0)
      return status;
    status.folder = S_ISDIR(st.st_mode);
    status.read_only = (st.st_mode & 0222) == 0;
    // What OpenForRead would refuse does not open.
    if (S_ISREG(st.st_mode) && (st.st_mode & 0444) != 0)
      status.time_result = TimeOfStatus(st, &status.time);
    return status;
  }

  DirResult MakeDirectory(const std::string& path) override {
    std::string native = Native(path);
    Lookup().BeforeChange(native);
    if (!native.empty() && g_syscalls.mkdir(native.c_str(), 0777) == 0) {
      Lookup().Made(native);
      return DirResult::kCreated;
    }
    return !native.empty() && errno == EEXIST ? DirResult::kAlreadyExists : DirResult::kFailed;
  }

  bool Copy(const std::string& from, const std::string& to, std::string* err) override {
    std::string what = "Copy(" + from + ", " + to + ")";
    struct stat st;
    int in = OpenForRead(Native(from), &st);
    if (in < 0)
      return Fail(err, what, errno);
    std::string dst = Native(to);
    Lookup().BeforeChange(dst);
    int code = CopyInto(in, st, dst);
    g_syscalls.close(in);
    Lookup().Made(dst);
    return code == 0 || Fail(err, what, code);
  }

  bool IsReadOnly(const std::string& path) override {
    struct stat st;
    if (g_syscalls.stat(Native(path).c_str(), &st) != 0)
      return errno != ENOENT && errno != ENOTDIR;
    return (st.st_mode & 0222) == 0;
  }

  bool Replace(const std::string& from, const std::string& to, std::string* err) override {
    std::string what = "Replace(" + from + ", " + to + ")";
    std::string src = Native(from);
    std::string dst = Native(to);
    Lookup().BeforeChange(src);
    Lookup().BeforeChange(dst);
    if (g_syscalls.rename(src.c_str(), dst.c_str()) != 0)
      return Fail(err, what, errno);
    Lookup().Removed(src);
    Lookup().Made(dst);
    return true;
  }

  bool FlushFile(const std::string& path, std::string* err) override {
    // fsync needs no write access, so a read-only copy flushes as it is.
    int fd = g_syscalls.open(Native(path).c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (fd < 0)
      return Fail(err, "FlushFile(" + path + ")", errno);
    int code = g_syscalls.fsync(fd) == 0 ? 0 : errno;
    g_syscalls.close(fd);
    return code == 0 || Fail(err, "FlushFile(" + path + ")", code);
  }

  bool SyncFiles(const std::vector<std::string>& paths, std::string* err) override {
    std::set<std::string> dirs;
    for (const std::string& path : paths)
      dirs.insert(ParentDirectory(Native(path)));
    std::set<dev_t> synced;
    for (const std::string& dir : dirs) {
      int code = SyncFileSystemOf(dir, &synced);
      if (code != 0)
        return Fail(err, "SyncFiles(" + dir + ")", code);
    }
    return true;
  }

  bool Remove(const std::string& path) override {
    std::string native = Native(path);
    struct stat st;
    if (g_syscalls.lstat(native.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
      return false;
    Lookup().BeforeChange(native);
    if (g_syscalls.unlink(native.c_str()) != 0)
      return false;
    Lookup().Removed(native);
    return true;
  }

  bool SetNormalAttributes(const std::string& path) override {
    std::string native = Native(path);
    struct stat st;
    if (g_syscalls.stat(native.c_str(), &st) != 0)
      return false;
    // A fresh copy of a writable file is plain already.
    return (st.st_mode & S_IWUSR) != 0 ||
           g_syscalls.chmod(native.c_str(), (st.st_mode & 07777) | S_IWUSR) == 0;
  }

  bool GetAttributes(const std::string& path, std::uint32_t* attrs) override {
    struct stat st;
    if (g_syscalls.stat(Native(path).c_str(), &st) != 0)
      return false;
    *attrs = st.st_mode & 07777;
    return true;
  }

  bool SetAttributes(const std::string& path, std::uint32_t attrs) override {
    std::string native = Native(path);
    struct stat st;
    if (g_syscalls.lstat(native.c_str(), &st) != 0 || S_ISLNK(st.st_mode))
      return false;
    mode_t mode = (st.st_mode & 07555) | (attrs & 0222);
    return g_syscalls.chmod(native.c_str(), mode) == 0;
  }

  bool RemoveEmptyDirectory(const std::string& path) override {
    std::string native = Native(path);
    if (native.empty())
      return false;
    Lookup().BeforeChange(native);
    if (g_syscalls.rmdir(native.c_str()) != 0)
      return false;
    Lookup().Removed(native);
    return true;
  }

  bool ListDirectory(const std::string& path, std::vector<std::string>* names) override {
    DIR* d = g_syscalls.opendir(Native(path).c_str());
    if (!d)
      return false;
    names->clear();
    while (struct dirent* entry = g_syscalls.readdir(d)) {
      std::string name = entry->d_name;
      if (name != "." && name != "..")
        names->push_back(name);
    }
    g_syscalls.closedir(d);
    return true;
  }

  std::unique_ptr<InputFile> OpenRead(const std::string& path, std::string* err) override {
    struct stat st;
    int fd = OpenForRead(Native(path), &st);
    if (fd < 0) {
      Fail(err, "OpenRead(" + path + ")", errno);
      return nullptr;
    }
    return std::unique_ptr<InputFile>(new PosixInputFile(fd, st));
  }

  std::unique_ptr<OutputFile> CreateWrite(const std::string& path, std::string* err) override {
    std::string native = Native(path);
    Lookup().BeforeChange(native);
    std::unique_ptr<OutputFile> out =
        Output(OpenForWrite(native), "CreateWrite(" + path + ")", err);
    if (out)
      Lookup().Made(native);
    return out;
  }

  std::unique_ptr<OutputFile> CreateNew(const std::string& path, std::string* err) override {
    std::string native = Native(path);
    Lookup().BeforeChange(native);
    std::unique_ptr<OutputFile> out = Output(OpenNew(native), "CreateNew(" + path + ")", err);
    if (out)
      Lookup().Made(native);
    return out;
  }

  std::string FullPath(const std::string& path) override { return Resolve(path); }

  std::string RealPath(const std::string& path) override {
    std::string native = Native(path);
    std::string real = native.empty() ? std::string() : ResolvedPrefix(native);
    return real.empty() ? std::string() : FromPosixPath(real);
  }

  LockResult LockFile(const std::string& path, std::unique_ptr<FileLock>* lock,
                      std::string* err) override {
    std::string what = "LockFile(" + path + ")";
    int fd = g_syscalls.open(Native(path).c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
      Fail(err, what, errno);
      return LockResult::kFailed;
    }
    struct stat st;
    int code = g_syscalls.fstat(fd, &st) != 0 ? errno : S_ISREG(st.st_mode) ? 0 : EINVAL;
    if (code == 0 && g_syscalls.flock(fd, LOCK_EX | LOCK_NB) != 0)
      code = errno;
    if (code == 0) {
      lock->reset(new PosixLock(fd));
      return LockResult::kLocked;
    }
    g_syscalls.close(fd);
    if (code == EWOULDBLOCK)
      return LockResult::kBusy;
    Fail(err, what, code);
    return LockResult::kFailed;
  }
};

}  // namespace

FileSystem& PosixFileSystem() {
  static RealFileSystem files;
  return files;
}
