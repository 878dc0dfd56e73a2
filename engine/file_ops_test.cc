#include "engine/file_ops.h"

#include <gtest/gtest.h>

#include "platform/fake_platform.h"

namespace {

class IsFileNewerTest : public testing::Test {
 protected:
  IsFileNewerTest() {
    files.AddFile("D:\\Sim\\x.dat", "old", 500);
    files.AddFile("C:\\Paket\\x.dat", "new", 400);
  }
  bool Newer() { return IsFileNewer(files, "D:\\Sim\\x.dat", "C:\\Paket\\x.dat"); }
  FakeFileSystem::Node& existing() { return *files.Find("D:\\Sim\\x.dat"); }
  FakeFileSystem::Node& candidate() { return *files.Find("C:\\Paket\\x.dat"); }

  FakeFileSystem files;
};

TEST_F(IsFileNewerTest, OnlyAStrictlyLaterExistingTimeIsNewer) {
  EXPECT_TRUE(Newer());
  candidate().time = 500;
  EXPECT_FALSE(Newer());
  candidate().time = 501;
  EXPECT_FALSE(Newer());
  // Compared as unsigned 64-bit counts: the high half decides first.
  existing().time = 0x100000000ull;
  candidate().time = 0xFFFFFFFFull;
  EXPECT_TRUE(Newer());
  existing().time = 0x8000000000000000ull;
  candidate().time = 0x7FFFFFFFFFFFFFFFull;
  EXPECT_TRUE(Newer());
}

TEST_F(IsFileNewerTest, AnExistingFileThatCannotBeExaminedIsReplaced) {
  existing().locked = true;
  EXPECT_FALSE(Newer());
  candidate().locked = true;
  EXPECT_FALSE(Newer());
  existing().locked = false;
  existing().time_unreadable = true;
  candidate().locked = false;
  EXPECT_FALSE(Newer());
  EXPECT_FALSE(IsFileNewer(files, "D:\\Sim\\missing.dat", "C:\\Paket\\x.dat"));
  EXPECT_FALSE(IsFileNewer(files, "D:\\Sim", "C:\\Paket\\x.dat"));
}

TEST_F(IsFileNewerTest, ACandidateThatCannotBeExaminedLosesToAnExistingFile) {
  existing().time = 1;
  candidate().locked = true;
  EXPECT_TRUE(Newer());
  candidate().locked = false;
  candidate().time_unreadable = true;
  EXPECT_TRUE(Newer());
  // A candidate that does not open wins over an unreadable existing time.
  existing().time_unreadable = true;
  candidate().time_unreadable = false;
  candidate().locked = true;
  EXPECT_TRUE(Newer());
  EXPECT_TRUE(IsFileNewer(files, "D:\\Sim\\x.dat", "C:\\Paket\\*.dat"));
  EXPECT_TRUE(IsFileNewer(files, "D:\\Sim\\x.dat", "C:\\Paket"));
}

class CreateDirectoryTreeTest : public testing::Test {
 protected:
  CreateDirectoryTreeTest() { files.AddDir("D:\\Sim"); }
  bool IsDir(const std::string& path) {
    FakeFileSystem::Node* node = files.Find(path);
    return node && node->dir;
  }
  int MakeDirectoryCalls() {
    int n = 0;
    for (const std::string& call : files.calls())
      n += call.rfind("MakeDirectory(", 0) == 0;
    return n;
  }

  FakeFileSystem files;
};

TEST_F(CreateDirectoryTreeTest, CreatesMissingLevelsFromTheTop) {
  EXPECT_TRUE(CreateDirectoryTree(files, "D:\\Sim\\Resourcen\\Neu\\Tief"));
  EXPECT_TRUE(IsDir("D:\\Sim\\Resourcen\\Neu\\Tief"));
  EXPECT_TRUE(IsDir("D:\\Sim\\Resourcen\\Neu"));
  EXPECT_TRUE(CreateDirectoryTree(files, "D:\\Sim\\Resourcen\\Neu\\Tief\\"));
  EXPECT_TRUE(CreateDirectoryTree(files, "D:\\Sim"));
}

TEST_F(CreateDirectoryTreeTest, RefusesEmptyRelativeAndRootlessPaths) {
  EXPECT_FALSE(CreateDirectoryTree(files, ""));
  files.FailMatching("MakeDirectory", "neu");
  EXPECT_FALSE(CreateDirectoryTree(files, "Neu"));
  // The drive root is never created: "E:" and "E:\" are not tried.
  int before = MakeDirectoryCalls();
  EXPECT_FALSE(CreateDirectoryTree(files, "E:\\Neu"));
  EXPECT_FALSE(CreateDirectoryTree(files, "E:\\Neu\\"));
  EXPECT_EQ(before + 2, MakeDirectoryCalls());
}

TEST_F(CreateDirectoryTreeTest, OnlyTheFirstAttemptMayFindTheDirectory) {
  // The first attempt fails, the parent exists, the second attempt succeeds.
  files.FailNth(1);
  EXPECT_TRUE(CreateDirectoryTree(files, "D:\\Sim\\Neu"));
  EXPECT_TRUE(IsDir("D:\\Sim\\Neu"));
  // A second attempt that finds the directory is a failure.
  files.AddDir("D:\\Sim\\Da");
  files.FailNth(1);
  EXPECT_FALSE(CreateDirectoryTree(files, "D:\\Sim\\Da"));
  // A level that cannot be made fails the tree; the levels above it stay.
  files.FailMatching("MakeDirectory", "\\y");
  EXPECT_FALSE(CreateDirectoryTree(files, "D:\\Sim\\X\\Y"));
  EXPECT_FALSE(IsDir("D:\\Sim\\X\\Y"));
  EXPECT_TRUE(IsDir("D:\\Sim\\X"));
  // A file in the way cannot become a directory.
  files.ClearFaults();
  files.AddFile("D:\\Sim\\Datei", "x");
  EXPECT_FALSE(CreateDirectoryTree(files, "D:\\Sim\\Datei\\Neu"));
}

}  // namespace
