// Win32 specifics of the file system that the shared contract cannot state:
// sharing modes, handles closed on every path, and the exact error texts.
#include <windows.h>

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/system_win32.h"
#include "platform/test_dir.h"

namespace {

class FileSystemWin32Test : public testing::Test {
 protected:
  void SetUp() override { ASSERT_NE("", dir_.path()); }

  std::string At(const std::string& name) const { return dir_.path() + "\\" + name; }

  // True when nobody else holds `path` open: an open that shares nothing
  // succeeds only then.
  bool NoHandleOpen(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
      return false;
    CloseHandle(file);
    return true;
  }

  ScopedTempDir dir_;
  FileSystem& files_ = Win32FileSystem();
};

// Another program writing the file (even one that shares everything) keeps
// it from opening for the newer test, which shares reading only.
TEST_F(FileSystemWin32Test, FileOpenForWritingElsewhereDoesNotOpen) {
  ASSERT_TRUE(TestWriteFile(At("a.dat"), "a"));
  HANDLE writer = CreateFileA(At("a.dat").c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, writer);
  std::uint64_t time = 0;
  EXPECT_EQ(TimeResult::kOpenFailed, files_.LastWriteTime(At("a.dat"), &time));
  std::string err;
  EXPECT_EQ(nullptr, files_.OpenRead(At("a.dat"), &err));
  EXPECT_EQ("CreateFile(" + At("a.dat") + "): error 32", err);
  CloseHandle(writer);
  EXPECT_EQ(TimeResult::kOk, files_.LastWriteTime(At("a.dat"), &time));
}

// A reader elsewhere does not stop the newer test: both only read.
TEST_F(FileSystemWin32Test, FileOpenForReadingElsewhereStillOpens) {
  ASSERT_TRUE(TestWriteFile(At("a.dat"), "a"));
  HANDLE reader = CreateFileA(At("a.dat").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, reader);
  std::uint64_t time = 0;
  EXPECT_EQ(TimeResult::kOk, files_.LastWriteTime(At("a.dat"), &time));
  CloseHandle(reader);
}

TEST_F(FileSystemWin32Test, EveryOperationLeavesNoHandleOpen) {
  ASSERT_TRUE(TestWriteFile(At("a.dat"), "abc"));
  std::uint64_t time = 0;
  ASSERT_EQ(TimeResult::kOk, files_.LastWriteTime(At("a.dat"), &time));
  EXPECT_TRUE(NoHandleOpen(At("a.dat"))) << "LastWriteTime";
  EXPECT_TRUE(files_.Exists(At("*.dat")));
  EXPECT_TRUE(NoHandleOpen(At("a.dat"))) << "Exists";

  std::string err;
  {
    std::unique_ptr<InputFile> in = files_.OpenRead(At("a.dat"), &err);
    ASSERT_NE(nullptr, in) << err;
    char buf[8];
    EXPECT_EQ(3, in->Read(buf, sizeof(buf)));
    EXPECT_EQ(0, in->Read(buf, sizeof(buf)));
  }
  EXPECT_TRUE(NoHandleOpen(At("a.dat"))) << "InputFile";
  {
    std::unique_ptr<OutputFile> out = files_.CreateWrite(At("b.dat"), &err);
    ASSERT_NE(nullptr, out) << err;
    EXPECT_TRUE(out->Write("x", 1));
  }
  EXPECT_TRUE(NoHandleOpen(At("b.dat"))) << "OutputFile without Close";
}

TEST_F(FileSystemWin32Test, CreateWriteTruncatesAndCloseReportsSuccess) {
  ASSERT_TRUE(TestWriteFile(At("cat.txt"), "a much longer old catalogue"));
  std::string err;
  std::unique_ptr<OutputFile> out = files_.CreateWrite(At("cat.txt"), &err);
  ASSERT_NE(nullptr, out) << err;
  EXPECT_TRUE(out->Write("new", 3));
  EXPECT_TRUE(out->Flush());
  EXPECT_TRUE(out->Close());
  std::string data;
  ASSERT_TRUE(TestReadFile(At("cat.txt"), &data));
  EXPECT_EQ("new", data);
}

}  // namespace

namespace {

// A package unpacked under a deep folder: paths past MAX_PATH are made,
// written, read, copied and replaced through the long-path form.
TEST_F(FileSystemWin32Test, PathsPastMaxPathWork) {
  std::string dir = dir_.path();
  while (dir.size() < MAX_PATH + 20) {
    dir += "\\" + std::string(40, 'd');
    ASSERT_EQ(DirResult::kCreated, files_.MakeDirectory(dir)) << dir.size();
  }
  std::string err;
  std::unique_ptr<OutputFile> out = files_.CreateWrite(dir + "\\a.dat", &err);
  ASSERT_TRUE(out) << err;
  ASSERT_TRUE(out->Write("deep", 4) && out->Close());
  ASSERT_TRUE(files_.Copy(dir + "\\a.dat", dir + "\\..\\b.dat", &err)) << err;
  EXPECT_TRUE(files_.Exists(dir + "\\..\\b.dat"));
  ASSERT_TRUE(files_.Replace(dir + "\\a.dat", dir + "\\c.dat", &err)) << err;
  std::unique_ptr<InputFile> in = files_.OpenRead(dir + "\\C.DAT", &err);
  ASSERT_TRUE(in) << err;
  char buf[8] = {};
  EXPECT_EQ(4, in->Read(buf, sizeof(buf)));
  in.reset();  // an open file is not deleted
  EXPECT_TRUE(files_.Remove(dir + "\\c.dat"));
}

}  // namespace
