#include "engine/confine.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/installer.h"
#include "platform/fake_platform.h"
#include "platform/test_dir.h"

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

TEST(StaysInsideTest, DrivesStreamsAndTheRecordsFolderAreRefused) {
  FakeFileSystem files;
  const std::pair<const char*, Refusal> cases[] = {
      {"Modelle\\x.ksm", Refusal::kNone},
      {"Packwright.ksm", Refusal::kNone},
      {"Modelle\\Packwright\\x", Refusal::kNone},
      {"PACKWR~X\\x", Refusal::kNone},
      {"..\\x", Refusal::kOutside},
      {"C:\\W\\x.dll", Refusal::kDriveOrStream},
      {"D:y.ksm", Refusal::kDriveOrStream},
      {"Modelle\\x.ksm:zone", Refusal::kDriveOrStream},
      {"Packwright\\0001\\Record.txt", Refusal::kRecords},
      {"packwright\\x", Refusal::kRecords},
      {"", Refusal::kNoFileName},
      {"Modelle\\", Refusal::kNoFileName},
      {"Modelle/", Refusal::kNoFileName},
      {"Modelle\\. .", Refusal::kNoFileName},
      {"Modelle\\..\\PackWright. .\\x", Refusal::kRecords},
      {"PACKWR~1\\0001\\Record.txt", Refusal::kRecords},
      {"pa3f2a~2\\x", Refusal::kRecords},
      {"Packwright", Refusal::kRecords},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.second, RefusalOf(files, kHost, c.first)) << c.first;
}

TEST(StaysInsideTest, DotRunsAreRefusedEvenWhenTheFullPathKeepsThem) {
  // Wine's full path of "D:\Sim\...\x" is "D:\Sim\..\x", which looks inside.
  ScriptedFullPaths files;
  files.answers["D:\\Sim\\...\\x"] = "D:\\Sim\\..\\x";
  EXPECT_FALSE(StaysInside(files, kHost, "...\\x"));
}

// Destinations that try to leave Kestrova's tree, "@" standing for a marker
// that is unique to the destination and the run.
const char* const kHostile[] = {"..\\@",
                                "..\\..\\..\\@",
                                "../@",
                                "..\\/../@",
                                "Resourcen/..\\..\\@",
                                "@\\..\\..",
                                "Resourcen\\@\\..",
                                "\\..\\@",
                                ".\\..\\@",
                                "@/../../@",
                                "@\\..\\..\\Sim\\@",
                                "...\\@",
                                "....\\@",
                                ".. \\@",
                                " ..\\@",
                                ". .\\@",
                                "..:@\\@",
                                "C:\\@",
                                "Z:\\tmp\\@",
                                "/tmp/@",
                                "\\tmp\\@",
                                "C:@",
                                "Z:..\\..\\@",
                                "\\\\localhost\\C$\\@",
                                "\\\\?\\Z:\\tmp\\@",
                                "\\\\?\\UNC\\localhost\\C$\\@",
                                "\\\\.\\Z:\\tmp\\@",
                                "\\\\?\\GLOBALROOT\\??\\Z:\\tmp\\@",
                                "@:stream",
                                "@::$DATA",
                                "@:..\\..\\@",
                                "CON.@",
                                "@\\CON",
                                "@\\NUL.txt",
                                "@\\COM1",
                                "@\\LPT9.dat",
                                "AUX.@.txt",
                                "@\\CONOUT$",
                                "@. . .",
                                "@|x"};

std::string Marker(const std::string& run, std::size_t index) {
  return run + "-" + std::to_string(index) + "-";
}

std::string Destination(const std::string& pattern, const std::string& marker) {
  std::string text;
  for (char c : pattern)
    text += c == '@' ? marker : std::string(1, c);
  return text;
}

// Through the file step on the real file system, each destination is refused
// or lands inside Kestrova's tree; nothing with a marker appears anywhere
// else on the machine.
TEST(StaysInsideTest, HostileDestinationsStayInsideOrAreRefused) {
  ScopedTempDir dir;
  ASSERT_FALSE(dir.path().empty());
  std::string name = dir.path().substr(dir.path().rfind('\\') + 1);
  std::string run = "hx" + name;
  std::vector<std::string> tails;
  for (std::size_t i = 0; i < sizeof(kHostile) / sizeof(kHostile[0]); ++i)
    tails.push_back(Destination(kHostile[i], Marker(run, i)));
  tails.push_back(Marker(run, tails.size()) + std::string(300, 'x'));
  std::string deep = Marker(run, tails.size());
  while (deep.size() < 300)
    deep += "\\twenty-characters-x";
  tails.push_back(deep + "\\" + Marker(run, tails.size()));
  std::string script = "Dateinstallation{\r\n";
  for (const std::string& tail : tails)
    script += "{a.dat>>" + tail + "}\r\n";
  ASSERT_TRUE(TestMakeDir(dir.path() + "\\Paket"));
  ASSERT_TRUE(TestMakeDir(dir.path() + "\\Sim"));
  ASSERT_TRUE(TestWriteFile(dir.path() + "\\Paket\\a.dat", "a"));
  ASSERT_TRUE(TestWriteFile(dir.path() + "\\Paket\\InstSkript.txt", script + "}\r\n"));

  FakePlatform fake;
  fake.shell.language = 0x0409;  // English boxes name the destination.
  Platform platform{SystemPlatform().files, fake.registry, fake.shell};
  CInstaller installer(platform);
  installer.hostDir = dir.path() + "\\Sim\\";
  installer.scriptDir = dir.path() + "\\Paket";
  ASSERT_TRUE(installer.script.CheckOpen(dir.path() + "\\Paket\\InstSkript.txt"));
  installer.InstallFiles();

  std::vector<std::string> found;
  ASSERT_TRUE(TestFindEverywhere(run, &found));
  std::string inside = "/" + name + "/Sim/";
  std::vector<std::string> escaped;
  for (const std::string& path : found) {
    if (path.find(inside) == std::string::npos)
      escaped.push_back(path);
  }
  EXPECT_EQ(std::vector<std::string>(), escaped);
  // A destination neither refused nor written would be data lost unseen.
  for (std::size_t i = 0; i < tails.size(); ++i) {
    bool refused = false, written = false;
    for (const FakeShell::Box& box : fake.shell.boxes)
      refused = refused || box.text.find(Marker(run, i)) != std::string::npos;
    for (const std::string& path : found)
      written = written || path.find(Marker(run, i)) != std::string::npos;
    EXPECT_TRUE(refused || written) << tails[i];
  }
}

}  // namespace
