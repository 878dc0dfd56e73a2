#include "engine/confine.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/fake_platform.h"

namespace {

const char kHost[] = "D:\\Sim\\";

// A file system whose full paths are those a real system gave, where the
// lexical resolution of the fake would differ.
class ScriptedFullPaths : public FakeFileSystem {
 public:
  std::map<std::string, std::string> answers;
  std::string FullPath(const std::string& path) override {
    auto it = answers.find(path);
    return it != answers.end() ? it->second : FakeFileSystem::FullPath(path);
  }
};

TEST(StaysInsideTest, PathsThatResolveBelowTheHostStayInside) {
  FakeFileSystem files;
  for (const char* tail :
       {"x.dat", "Resourcen\\x.dat", "\\Resourcen\\x.dat", "Resourcen\\\\x.dat",
        "Resourcen\\..\\x.dat", "Resourcen/../x.dat", ".\\x.dat", "a\\b\\..\\..\\x.dat", "",
        "Resourcen\\..", "C:x", "\\\\server\\share\\x", "..a\\x.dat", "a..\\x", "x.dat:strom"})
    EXPECT_TRUE(StaysInside(files, kHost, tail)) << tail;
  EXPECT_TRUE(StaysInside(files, "D:\\", "x.dat"));
}

TEST(StaysInsideTest, ClimbingAboveTheHostIsRefused) {
  FakeFileSystem files;
  for (const char* tail : {"..", "..\\x.dat", "Resourcen\\..\\..\\x.dat", "Resourcen/../../x.dat",
                           "../x.dat", "\\..\\x.dat", "..\\Sim\\x.dat", "...\\x.dat", ".. \\x.dat",
                           " ..\\x", ". .\\x", "Resourcen\\...\\...\\x", "..:strom\\x"})
    EXPECT_FALSE(StaysInside(files, kHost, tail)) << tail;
  EXPECT_FALSE(StaysInside(files, "", "x.dat"));
}

TEST(StaysInsideTest, TheSystemsFullPathMustLieWithinTheHost) {
  ScriptedFullPaths files;
  // Windows resolves device names outside every directory.
  files.answers["D:\\Sim\\Resourcen\\CON"] = "\\\\.\\CON";
  EXPECT_FALSE(StaysInside(files, kHost, "Resourcen\\CON"));
  // A sibling whose name starts with the host's is outside.
  files.answers["D:\\Sim\\x"] = "D:\\Simulation\\x";
  EXPECT_FALSE(StaysInside(files, kHost, "x"));
  // Case does not matter, and the host's own trailing backslash neither.
  files.answers[kHost] = "D:\\SIM\\";
  files.answers["D:\\Sim\\y"] = "d:\\sim\\y";
  EXPECT_TRUE(StaysInside(files, kHost, "y"));
  files.answers["D:\\Sim\\z"] = "";
  EXPECT_FALSE(StaysInside(files, kHost, "z"));
}

TEST(StaysInsideTest, DotRunsAreRefusedEvenWhenTheFullPathKeepsThem) {
  // Wine's full path of "D:\Sim\...\x" is "D:\Sim\..\x", which looks inside.
  ScriptedFullPaths files;
  files.answers["D:\\Sim\\...\\x"] = "D:\\Sim\\..\\x";
  EXPECT_FALSE(StaysInside(files, kHost, "...\\x"));
}

}  // namespace
