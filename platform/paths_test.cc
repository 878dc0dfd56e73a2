#include "platform/paths.h"

#include <gtest/gtest.h>

TEST(ResolvePathTest, AppliesDotsAndFoldsSeparators) {
  EXPECT_EQ("D:\\Sim\\x.dat", ResolvePathLexically("D:\\Sim\\\\x.dat", "C:\\"));
  EXPECT_EQ("D:\\Sim\\x.dat", ResolvePathLexically("D:\\Sim\\Resourcen\\..\\x.dat", "C:\\"));
  EXPECT_EQ("D:\\x", ResolvePathLexically("D:\\Sim\\..\\x", "C:\\"));
  EXPECT_EQ("D:\\x", ResolvePathLexically("D:\\..\\..\\x", "C:\\"));
  EXPECT_EQ("D:\\Sim\\a\\b", ResolvePathLexically("D:/Sim/./a/b/", "C:\\"));
  EXPECT_EQ("D:\\", ResolvePathLexically("D:\\Sim\\..", "C:\\"));
}

TEST(ResolvePathTest, RelativePathsStartAtTheCurrentDirectory) {
  EXPECT_EQ("C:\\work\\a", ResolvePathLexically("a", "C:\\work"));
  EXPECT_EQ("C:\\a", ResolvePathLexically("\\a", "C:\\work"));
  EXPECT_EQ("C:\\work\\a", ResolvePathLexically("C:a", "C:\\work"));
}

TEST(PosixPathTest, DriveZIsTheRootAndBackslashesAreSlashes) {
  EXPECT_EQ("/home/u/Kestrova/x.dat", ToPosixPath("Z:\\home\\u\\Kestrova\\x.dat"));
  EXPECT_EQ("/home/u/Kestrova/x.dat", ToPosixPath("z:\\home\\u\\Kestrova\\x.dat"));
  EXPECT_EQ("rel/x", ToPosixPath("rel\\x"));
  EXPECT_EQ("Z:\\home\\u\\Paket\\Packwright", FromPosixPath("/home/u/Paket/Packwright"));
}

TEST(DirectoryOfTest, TextBeforeTheLastBackslash) {
  const char* const kCases[][2] = {
      {"C:\\a\\b.dat", "C:\\a"}, {"C:\\a", "C:"}, {"C:\\a\\", "C:\\a"},
      {"a/b\\c/d", "a/b"},       {"a/b.dat", ""}, {"\\a", ""},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(c[1], DirectoryOf(c[0])) << c[0];
}
