#include "platform/syscall_faults.h"

#include <errno.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/paths.h"
#include "platform/posix_syscalls.h"
#include "platform/system_posix.h"
#include "platform/test_dir.h"

namespace {

TEST(SyscallFaultsTest, FailsTheNthCallAndLogsDescriptorsByTheirPath) {
  ScopedTempDir dir;
  ASSERT_FALSE(dir.path().empty());
  std::string path = dir.path() + "\\a.dat", native = ToPosixPath(path);
  FileSystem& files = PosixFileSystem();
  // Present as spelled, the file is found with one lstat.
  ASSERT_TRUE(TestWriteFile(path, "old"));
  {
    SyscallFaults faults;
    faults.set_error(ENOSPC);
    faults.FailNth(4);
    std::string err;
    std::unique_ptr<OutputFile> out = files.CreateWrite(path, &err);
    ASSERT_TRUE(out);
    EXPECT_FALSE(out->Write("data", 4));
    EXPECT_EQ(ENOSPC, errno);
    EXPECT_TRUE(out->Write("data", 4));  // once only
    EXPECT_TRUE(out->Close());
    EXPECT_EQ((std::vector<std::string>{"lstat(" + native + ")", "stat(" + native + ")",
                                        "open(" + native + ")", "write(" + native + ")",
                                        "write(" + native + ")", "close(" + native + ")"}),
              faults.calls());

    faults.FailNth(1, true);
    EXPECT_FALSE(files.Exists(path));
    EXPECT_FALSE(files.OpenRead(path, &err));
    EXPECT_EQ("OpenRead(" + path + "): No space left on device", err);
  }
  EXPECT_EQ(kSystemSyscalls.open, g_syscalls.open);
  EXPECT_TRUE(files.Exists(path));
}

}  // namespace
