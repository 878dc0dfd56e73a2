// install, undo and prune as a user runs them, on the fake platform.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake_platform.h"
#include "tool/commands.h"
#include "tool/test_console.h"

namespace {

const char kKey[] = "HKEY_CLASSES_ROOT\\Software\\Brindlewood\\KSVX";
const char kModel[] = "D:\\Sim\\Modelle\\m.ksm";

class UndoCommandTest : public testing::Test {
 protected:
  UndoCommandTest() {
    p.registry.SetString(kKey, "AppPath", "D:\\Sim\\Kestrova.exe");
    p.files.AddFile("D:\\Sim\\Kestrova.exe", "MZ");
    p.registry.SetDwordValue(kKey, "Scan", 0);
    p.files.AddFile("D:\\Sim\\Resourcen\\Parallels\\Texturen.txt", "Basis{ }");
    p.files.AddFile(kModel, "original", 5);
    p.files.AddDir("E:\\B");
    p.files.AddFile("E:\\B\\Resourcen\\Parallels\\Texturen.txt", "Basis{ }");
  }

  // Package `name` replaces the model with its name as content, and adds a
  // model of its own, which tells it from the others.
  void AddPackage(const std::string& name) {
    p.files.AddFile("C:\\" + name + "\\m.ksm", name, 10);
    p.files.AddFile("C:\\" + name + "\\own.ksm", name, 10);
    p.files.AddFile("C:\\" + name + "\\InstSkript.txt",
                    "Dateinstallation{{m.ksm>>Modelle\\m.ksm}{own.ksm>>Modelle\\" + name +
                        ".ksm}}Texturskript{}");
  }

  int Run(const std::vector<std::string>& args) {
    ToolOptions options;
    std::string err;
    console = TestConsole();
    EXPECT_TRUE(ParseToolOptions(args, &options, &err)) << err;
    if (options.command == "install")
      return RunInstall(p.platform, console, options);
    if (options.command == "prune")
      return RunPrune(p.platform, console, options);
    if (options.command == "list")
      return RunList(p.platform, console, options);
    return RunUndo(p.platform, console, options);
  }

  FakePlatform p;
  TestConsole console;
};

TEST_F(UndoCommandTest, ANameOnRecordIsAPackageAndRecordsArePickedByNumber) {
  AddPackage("2024");
  AddPackage("Andere");
  ASSERT_EQ(0, Run({"install", "C:\\2024"}));
  ASSERT_EQ(0, Run({"install", "C:\\Andere"}));
  ASSERT_EQ(0, Run({"install", "C:\\2024"}));  // record 0003
  // Both installs of 2024 go, newest first; the model that Andere wrote
  // over the first is left alone.
  EXPECT_EQ(1, Run({"undo", "2024"})) << console.out;
  EXPECT_EQ("Andere", p.files.Content(kModel));
  EXPECT_FALSE(p.files.Exists("D:\\Sim\\Modelle\\2024.ksm"));
  // Andere's undo does not bring back the model of 2024, which is gone.
  EXPECT_EQ(0, Run({"undo", "--record", "2"})) << console.out;
  EXPECT_EQ("original", p.files.Content(kModel));
  EXPECT_EQ(2, Run({"undo", "--record", "2"}));
  EXPECT_EQ(2, Run({"undo", "Andere"}));
  // No package is named 1, so the number names the first record.
  EXPECT_EQ(0, Run({"undo", "1"})) << console.out;
  EXPECT_EQ("original", p.files.Content(kModel));
}

// A player's edit of the same size and time is still an edit; so is a file
// put where an undo removed one.
TEST_F(UndoCommandTest, ForceRestoresWhatChangedSince) {
  const char kNew[] = "D:\\Sim\\Modelle\\n.ksm";
  AddPackage("Paket");
  p.files.AddFile("C:\\Paket\\n.ksm", "new", 10);
  p.files.AddFile("C:\\Paket\\InstSkript.txt",
                  "Dateinstallation{{m.ksm>>Modelle\\m.ksm}{n.ksm>>Modelle\\n.ksm}}Texturskript{}");
  ASSERT_EQ(0, Run({"install", "C:\\Paket"}));
  p.files.AddFile(kModel, "pAKET", 10);
  EXPECT_EQ(1, Run({"undo", "Paket"}));
  EXPECT_EQ("pAKET", p.files.Content(kModel));
  EXPECT_EQ(0, Run({"undo", "Paket", "--force"})) << console.out;
  EXPECT_EQ("original", p.files.Content(kModel));
  EXPECT_FALSE(p.files.Exists(kNew));
  p.files.AddFile(kNew, "player", 10);
  EXPECT_EQ(1, Run({"undo", "--record", "2"}));
  EXPECT_EQ("player", p.files.Content(kNew));
  EXPECT_EQ(0, Run({"undo", "--record", "2", "--force"})) << console.out;
  EXPECT_EQ("new", p.files.Content(kNew));
}

TEST_F(UndoCommandTest, AnotherKestrovaLeavesTheRegistrysScanAlone) {
  AddPackage("Paket");
  EXPECT_EQ(0, Run({"install", "C:\\Paket", "--host", "E:\\B"}));
  EXPECT_EQ("Paket", p.files.Content("E:\\B\\Modelle\\m.ksm"));
  EXPECT_EQ(std::string(4, '\0'), p.registry.Get(kKey, "Scan")->bytes);
  EXPECT_NE(std::string::npos, console.err.find("Scan is left alone")) << console.err;
  EXPECT_EQ(0, Run({"undo", "Paket", "--host", "E:\\B"}));
  EXPECT_EQ(std::string(4, '\0'), p.registry.Get(kKey, "Scan")->bytes);
  EXPECT_EQ(0, Run({"install", "C:\\Paket", "--host", "d:\\sim"}));
  EXPECT_EQ(std::string("\x02\0\0\0", 4), p.registry.Get(kKey, "Scan")->bytes) << console.err;
  // The same Kestrova, its folder spelled in the other case beyond ASCII.
  p.registry.SetString(kKey, "AppPath", "E:\\B\\\xC3\x84\\Kestrova.exe");  // E:\B\Ä
  p.files.AddFile("E:\\B\\\xC3\x84\\Kestrova.exe", "MZ");
  p.files.AddFile("E:\\B\\\xC3\x84\\Resourcen\\Parallels\\Texturen.txt", "Basis{ }");
  p.registry.SetDwordValue(kKey, "Scan", 0);
  EXPECT_EQ(0, Run({"install", "C:\\Paket", "--host", "e:\\b\\\xC3\xA4"}));
  EXPECT_EQ(std::string("\x02\0\0\0", 4), p.registry.Get(kKey, "Scan")->bytes) << console.err;
}

TEST_F(UndoCommandTest, PruneDropsTheBackupsOfOlderRecords) {
  for (const char* name : {"A", "B", "C"}) {
    AddPackage(name);
    ASSERT_EQ(0, Run({"install", std::string("C:\\") + name}));
  }
  EXPECT_EQ(0, Run({"prune", "--keep", "1"}));
  // Records 2 and 1 each backed up the model as the run before left it.
  EXPECT_EQ(
      "dropped the backups of D:\\Sim\\Packwright\\0002 (10 bytes); it can no longer be undone\n"
      "dropped the backups of D:\\Sim\\Packwright\\0001 (16 bytes); it can no longer be undone\n"
      "Freed 26 bytes in 2 record(s).\n",
      console.out);
  EXPECT_FALSE(p.files.Exists("D:\\Sim\\Packwright\\0001\\1.bak"));
  EXPECT_EQ(1, Run({"undo", "--record", "1"}));
  EXPECT_NE(std::string::npos, console.err.find("pruned")) << console.err;
  EXPECT_EQ(0, Run({"prune", "--keep", "1"}));
  EXPECT_EQ("Freed 0 bytes in 0 record(s).\n", console.out);
  EXPECT_EQ(0, Run({"undo", "C"}));
  EXPECT_EQ("B", p.files.Content(kModel));
}

TEST_F(UndoCommandTest, ListShowsAnEditedRecordsControlBytesEscaped) {
  p.files.AddFile("D:\\Sim\\Packwright\\0001\\Record.txt",
                  "packwright-record\t2\r\npackage\tEvil%1B[2J%0A0002  Forged\t-\r\n"
                  "time\t%07now\r\nkind\tinstall\r\nend\tok\r\n");
  EXPECT_EQ(0, Run({"list"}));
  EXPECT_EQ("0001  Evil%1B[2J%0A0002  Forged (-)  %07now  0 file(s), 0 texture(s)  can be undone\n",
            console.out);
}

TEST_F(UndoCommandTest, NoWaitFailsAtOnceWhileAnotherRunHoldsKestrova) {
  AddPackage("Paket");
  ASSERT_EQ(0, Run({"install", "C:\\Paket"}));
  std::unique_ptr<FileLock> other;
  std::string err;
  ASSERT_EQ(LockResult::kLocked,
            p.files.LockFile("D:\\Sim\\Packwright\\Packwright.lock", &other, &err));
  EXPECT_EQ(1, Run({"undo", "Paket", "--no-wait"}));
  EXPECT_EQ("Another install or undo is running in this Kestrova; nothing was undone.\n",
            console.out);
  EXPECT_EQ(1, Run({"prune", "--no-wait"}));
  EXPECT_EQ(1, Run({"install", "C:\\Paket", "--no-wait"}));
  EXPECT_EQ("Paket", p.files.Content(kModel));
}

// A run that died leaves its last line torn; pruning must still mark it.
TEST_F(UndoCommandTest, PruneMarksARecordWhoseLastLineIsTorn) {
  const char kRecord[] = "D:\\Sim\\Packwright\\0001\\Record.txt";
  AddPackage("A");
  ASSERT_EQ(0, Run({"install", "C:\\A"}));
  std::string torn = p.files.Content(kRecord);
  p.files.AddFile(kRecord, torn.substr(0, torn.size() - 1));
  EXPECT_EQ(0, Run({"prune", "--keep", "0"}));
  EXPECT_EQ(1, Run({"undo", "A"}));
  EXPECT_NE(std::string::npos, console.err.find("pruned")) << console.err;
  EXPECT_EQ("A", p.files.Content(kModel));
}

}  // namespace
