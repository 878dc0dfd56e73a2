#include <fcntl.h>
#include <ftw.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

#include "platform/io_posix.h"
#include "platform/paths.h"
#include "platform/test_dir.h"

namespace {

const std::uint64_t kTicksPerSecond = 10000000;
const std::uint64_t kEpochOffsetSeconds = 11644473600ULL;

int RemoveEntry(const char* path, const struct stat* st, int flag, struct FTW*) {
  if (flag == FTW_DP)
    return rmdir(path);
  (void)st;
  return unlink(path);
}

// Lets an unprivileged owner empty directories that a test made read-only.
int MakeWritable(const char* path, const struct stat* st, int flag, struct FTW*) {
  if (flag == FTW_D)
    chmod(path, (st->st_mode & 07777) | S_IRWXU);
  return 0;
}

}  // namespace

ScopedTempDir::ScopedTempDir() {
  const char* tmp = getenv("TMPDIR");
  std::string base = tmp && tmp[0] == '/' ? tmp : "/tmp";
  while (base.size() > 1 && base.back() == '/')
    base.pop_back();
  std::string pattern = base + "/pw-XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (mkdtemp(buf.data()))
    path_ = FromPosixPath(buf.data());
}

ScopedTempDir::~ScopedTempDir() {
  if (path_.empty())
    return;
  std::string native = ToPosixPath(path_);
  nftw(native.c_str(), MakeWritable, 16, FTW_PHYS);
  nftw(native.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

bool TestWriteFile(const std::string& path, const std::string& data) {
  int fd = open(ToPosixPath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0)
    return false;
  bool ok = WriteAll(fd, data.data(), data.size());
  return close(fd) == 0 && ok;
}

bool TestReadFile(const std::string& path, std::string* data) {
  int fd = open(ToPosixPath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return false;
  data->clear();
  bool ok = ReadAll(fd, data);
  close(fd);
  return ok;
}

bool TestSetWriteTime(const std::string& path, std::uint64_t time) {
  struct timespec times[2];
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = static_cast<time_t>(static_cast<std::int64_t>(time / kTicksPerSecond) -
                                        static_cast<std::int64_t>(kEpochOffsetSeconds));
  times[1].tv_nsec = static_cast<long>(time % kTicksPerSecond) * 100;
  return utimensat(AT_FDCWD, ToPosixPath(path).c_str(), times, 0) == 0;
}

bool TestSetReadOnly(const std::string& path, bool read_only) {
  std::string native = ToPosixPath(path);
  struct stat st;
  if (stat(native.c_str(), &st) != 0)
    return false;
  mode_t mode = st.st_mode & 07777;
  mode = read_only ? (mode & ~0222) : (mode | S_IWUSR);
  return chmod(native.c_str(), mode) == 0;
}

bool TestMakeDir(const std::string& path) {
  return mkdir(ToPosixPath(path).c_str(), 0777) == 0;
}

bool TestMakeLink(const std::string& link, const std::string& target) {
  return symlink(ToPosixPath(target).c_str(), ToPosixPath(link).c_str()) == 0;
}

std::string TestMissingError(const std::string& op, const std::string& paths) {
  return op + "(" + paths + "): No such file or directory";
}

bool TestFindEverywhere(const std::string& text, std::vector<std::string>* found) {
  if (text.empty() || text.find_first_not_of(kTestFindableChars) != std::string::npos)
    return false;
  FILE* list = popen(TestFindCommand(text).c_str(), "r");
  if (!list)
    return false;
  std::string output;
  char buf[4096];
  for (std::size_t got; (got = fread(buf, 1, sizeof(buf), list)) > 0;)
    output.append(buf, got);
  int status = pclose(list);
  TestSplitLines(output, found);
  return WIFEXITED(status) && WEXITSTATUS(status) <= 1;
}
