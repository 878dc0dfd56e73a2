// The contract of the running system's FileSystem, checked against real
// files in a fresh directory. The same cases hold on Windows and on POSIX.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/test_dir.h"
#include "platform/text_file.h"

namespace {

// 2020-01-01 00:00:00 UTC and one day later, as FILETIME counts.
const std::uint64_t kNewYear2020 = 132223104000000000ULL;
const std::uint64_t kOneDay = 864000000000ULL;

// Whether an error text names the paths of the failed operation.
bool Names(const std::string& err, const std::string& path, const std::string& other = "") {
  return err.find(path) != std::string::npos && err.find(other) != std::string::npos;
}

class SystemFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(dir_.path().empty()); }
  void TearDown() override {
    // Leave nothing read-only behind for the directory's removal.
    files_.SetNormalAttributes(At("ro.dat"));
    files_.SetNormalAttributes(At("copy.dat"));
  }

  std::string At(const std::string& name) const { return dir_.path() + "\\" + name; }
  std::string Content(const std::string& name) const {
    std::string data;
    EXPECT_TRUE(TestReadFile(At(name), &data)) << name;
    return data;
  }

  ScopedTempDir dir_;
  FileSystem& files_ = SystemPlatform().files;
};

TEST_F(SystemFileSystemTest, ExistsAsADirectorySearchSeesIt) {
  ASSERT_TRUE(TestWriteFile(At("a.dat"), "a"));
  ASSERT_TRUE(TestMakeDir(At("sub")));
  EXPECT_TRUE(files_.Exists(At("a.dat")));
  EXPECT_TRUE(files_.Exists(At("sub")));
  EXPECT_FALSE(files_.Exists(At("b.dat")));
  EXPECT_FALSE(files_.Exists(At("missing\\a.dat")));
  EXPECT_FALSE(files_.Exists(""));
  // A name ending in a separator is found by no search, directory or not.
  EXPECT_FALSE(files_.Exists(At("sub\\")));
  EXPECT_FALSE(files_.Exists(At("sub/")));
  EXPECT_FALSE(files_.Exists(dir_.path() + "\\"));
  EXPECT_FALSE(files_.Exists(At("a.dat\\")));
  // "/" separates as "\" does, and ".." is applied to the name as written.
  EXPECT_TRUE(files_.Exists(dir_.path() + "/a.dat"));
  EXPECT_TRUE(files_.Exists(At("missing\\..\\a.dat")));
}

TEST_F(SystemFileSystemTest, WildcardsExistWhenAnythingMatches) {
  ASSERT_TRUE(TestWriteFile(At("a.dat"), "a"));
  ASSERT_TRUE(TestMakeDir(At("sub")));
  EXPECT_TRUE(files_.Exists(At("*.dat")));
  EXPECT_TRUE(files_.Exists(At("?.dat")));
  EXPECT_TRUE(files_.Exists(At("a.?at")));
  EXPECT_TRUE(files_.Exists(At("su*")));
  EXPECT_FALSE(files_.Exists(At("*.xyz")));
  EXPECT_FALSE(files_.Exists(At("b*")));
  EXPECT_FALSE(files_.Exists(At("missing\\*")));
}

TEST_F(SystemFileSystemTest, LastWriteTimeOfFilesOnly) {
  ASSERT_TRUE(TestWriteFile(At("a.dat"), "a"));
  ASSERT_TRUE(TestSetWriteTime(At("a.dat"), kNewYear2020));
  ASSERT_TRUE(TestMakeDir(At("sub")));
  std::uint64_t time = 0;
  EXPECT_EQ(TimeResult::kOk, files_.LastWriteTime(At("a.dat"), &time));
  EXPECT_EQ(kNewYear2020, time);
  EXPECT_EQ(TimeResult::kOpenFailed, files_.LastWriteTime(At("sub"), &time));
  EXPECT_EQ(TimeResult::kOpenFailed, files_.LastWriteTime(At("b.dat"), &time));
  EXPECT_EQ(TimeResult::kOpenFailed, files_.LastWriteTime(At("*.dat"), &time));
}

TEST_F(SystemFileSystemTest, MakeDirectoryCreatesOneLevel) {
  ASSERT_TRUE(TestWriteFile(At("a.dat"), "a"));
  EXPECT_EQ(DirResult::kCreated, files_.MakeDirectory(At("neu")));
  EXPECT_TRUE(files_.Exists(At("neu")));
  EXPECT_EQ(DirResult::kAlreadyExists, files_.MakeDirectory(At("neu")));
  EXPECT_EQ(DirResult::kAlreadyExists, files_.MakeDirectory(At("a.dat")));
  EXPECT_EQ(DirResult::kFailed, files_.MakeDirectory(At("missing\\neu")));
  EXPECT_FALSE(files_.Exists(At("missing")));
}

TEST_F(SystemFileSystemTest, CopyOverwritesAndCarriesTheTime) {
  ASSERT_TRUE(TestWriteFile(At("a.dat"), "new content"));
  ASSERT_TRUE(TestSetWriteTime(At("a.dat"), kNewYear2020));
  ASSERT_TRUE(TestWriteFile(At("copy.dat"), "older and longer content"));
  ASSERT_TRUE(TestSetWriteTime(At("copy.dat"), kNewYear2020 - kOneDay));
  std::string err;
  ASSERT_TRUE(files_.Copy(At("a.dat"), At("copy.dat"), &err)) << err;
  EXPECT_EQ("new content", Content("copy.dat"));
  std::uint64_t time = 0;
  ASSERT_EQ(TimeResult::kOk, files_.LastWriteTime(At("copy.dat"), &time));
  EXPECT_EQ(kNewYear2020, time);
  EXPECT_TRUE(files_.Copy(At("a.dat"), At("fresh.dat"), &err)) << err;
  EXPECT_EQ("new content", Content("fresh.dat"));
}

TEST_F(SystemFileSystemTest, CopyCarriesTheReadOnlyAttribute) {
  ASSERT_TRUE(TestWriteFile(At("ro.dat"), "r"));
  ASSERT_TRUE(TestSetReadOnly(At("ro.dat"), true));
  std::string err;
  ASSERT_TRUE(files_.Copy(At("ro.dat"), At("copy.dat"), &err)) << err;
  EXPECT_TRUE(files_.IsReadOnly(At("copy.dat")));
}

TEST_F(SystemFileSystemTest, CopyFailsWithoutASourceFile) {
  ASSERT_TRUE(TestMakeDir(At("sub")));
  std::string err;
  EXPECT_FALSE(files_.Copy(At("b.dat"), At("copy.dat"), &err));
  EXPECT_TRUE(Names(err, At("b.dat"), At("copy.dat"))) << err;
  EXPECT_FALSE(files_.Exists(At("copy.dat")));
  err.clear();
  EXPECT_FALSE(files_.Copy(At("sub"), At("copy.dat"), &err));
  EXPECT_FALSE(err.empty());
  ASSERT_TRUE(TestWriteFile(At("a.dat"), "a"));
  EXPECT_FALSE(files_.Copy(At("a.dat"), At("missing\\copy.dat"), &err));
  EXPECT_FALSE(files_.Copy(At("a.dat"), At("sub"), &err));
}

TEST_F(SystemFileSystemTest, ReplaceSwapsInTheNewFileInOneStep) {
  ASSERT_TRUE(TestWriteFile(At("new.tmp"), "new"));
  ASSERT_TRUE(TestWriteFile(At("cat.txt"), "old"));
  std::string err;
  ASSERT_TRUE(files_.Replace(At("new.tmp"), At("cat.txt"), &err)) << err;
  EXPECT_EQ("new", Content("cat.txt"));
  EXPECT_FALSE(files_.Exists(At("new.tmp")));
  ASSERT_TRUE(TestWriteFile(At("new.tmp"), "first"));
  ASSERT_TRUE(files_.Replace(At("new.tmp"), At("fresh.txt"), &err)) << err;
  EXPECT_EQ("first", Content("fresh.txt"));
  EXPECT_FALSE(files_.Replace(At("new.tmp"), At("cat.txt"), &err));
  EXPECT_TRUE(Names(err, At("new.tmp"), At("cat.txt"))) << err;
  EXPECT_EQ("new", Content("cat.txt"));
}

TEST_F(SystemFileSystemTest, RemoveDeletesFilesOnly) {
  ASSERT_TRUE(TestWriteFile(At("a.dat"), "a"));
  ASSERT_TRUE(TestMakeDir(At("sub")));
  EXPECT_TRUE(files_.Remove(At("a.dat")));
  EXPECT_FALSE(files_.Exists(At("a.dat")));
  EXPECT_FALSE(files_.Remove(At("a.dat")));
  EXPECT_FALSE(files_.Remove(At("sub")));
  EXPECT_TRUE(files_.Exists(At("sub")));
}

TEST_F(SystemFileSystemTest, ReadOnlyStateAndItsReset) {
  ASSERT_TRUE(TestWriteFile(At("ro.dat"), "r"));
  EXPECT_FALSE(files_.IsReadOnly(At("ro.dat")));
  ASSERT_TRUE(TestSetReadOnly(At("ro.dat"), true));
  EXPECT_TRUE(files_.IsReadOnly(At("ro.dat")));
  EXPECT_TRUE(files_.SetNormalAttributes(At("ro.dat")));
  EXPECT_FALSE(files_.IsReadOnly(At("ro.dat")));
  EXPECT_FALSE(files_.IsReadOnly(At("b.dat")));
  EXPECT_FALSE(files_.SetNormalAttributes(At("b.dat")));
}

TEST_F(SystemFileSystemTest, TextModeRoundTripThroughRealFiles) {
  std::string err;
  TextWriter writer(files_.CreateWrite(At("cat.txt"), &err));
  writer.Write("1\tA\n\n2\tB\n");
  ASSERT_TRUE(writer.Finish()) << err;
  EXPECT_EQ("1\tA\r\n\r\n2\tB\r\n", Content("cat.txt"));
  std::string text;
  ASSERT_TRUE(ReadTextFile(files_, At("cat.txt"), &text));
  EXPECT_EQ("1\tA\n\n2\tB\n", text);
  ASSERT_TRUE(TestWriteFile(At("z.txt"),
                            "x\r\ny\rz\x1a"
                            "after\r\n"));
  ASSERT_TRUE(ReadTextFile(files_, At("z.txt"), &text));
  EXPECT_EQ("x\ny\rz", text);
}

TEST_F(SystemFileSystemTest, OpenFailuresNameTheFile) {
  std::string err;
  EXPECT_EQ(nullptr, files_.OpenRead(At("b.dat"), &err));
  EXPECT_TRUE(Names(err, At("b.dat"))) << err;
  ASSERT_TRUE(TestMakeDir(At("sub")));
  EXPECT_EQ(nullptr, files_.OpenRead(At("sub"), &err));
  EXPECT_EQ(nullptr, files_.CreateWrite(At("missing\\x.txt"), &err));
  EXPECT_TRUE(Names(err, At("missing\\x.txt"))) << err;
}

TEST_F(SystemFileSystemTest, FullPathResolvesLexically) {
  const std::string& d = dir_.path();
  EXPECT_EQ(d + "\\a.dat", files_.FullPath(d + "\\sub\\..\\a.dat"));
  EXPECT_EQ(d + "\\sub\\a.dat", files_.FullPath(d + "\\.\\sub\\\\a.dat"));
  EXPECT_EQ(d + "\\sub\\a.dat", files_.FullPath(d + "/sub/a.dat"));
  std::string root = files_.FullPath(d + "\\..\\..\\..\\..\\..\\..\\..\\..");
  EXPECT_EQ(d.substr(0, 3), root);
}

}  // namespace
