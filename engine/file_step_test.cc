#include "engine/installer.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/messages.h"
#include "engine/safe_copy.h"
#include "platform/fake_platform.h"

namespace {

const char kScript[] = "C:\\Paket\\InstSkript.txt";
const char kPackage[] = "C:\\Paket";
const char kHost[] = "D:\\Sim\\";

class FileStepTest : public testing::Test {
 protected:
  FileStepTest() {
    p.shell.language = 0x0409;  // English texts name both paths
    p.files.AddDir("D:\\Sim\\Resourcen");
    p.files.AddFile("C:\\Paket\\a.dat", "package a", 100);
    p.files.AddFile("C:\\Paket\\b.dat", "package b", 100);
  }

  // Runs the step once, as a fresh press of Install would, over `script`.
  bool Run(const std::string& script) {
    p.files.AddFile(kScript, script);
    CInstaller installer(p.platform);
    installer.hostDir = kHost;
    installer.scriptDir = kPackage;
    EXPECT_TRUE(installer.script.CheckOpen(kScript));
    bool result = installer.InstallFiles();
    EXPECT_EQ(0, p.files.open_files());
    return result;
  }
  // The same over a section Dateinstallation that holds `entries`.
  bool Install(const std::string& entries) {
    return Run("Dateinstallation\r\n{\r\n" + entries + "\r\n}\r\n");
  }

  // The texts of the boxes shown so far, each prefixed with Q for a question.
  std::vector<std::string> Boxes() {
    std::vector<std::string> texts;
    for (const FakeShell::Box& box : p.shell.boxes)
      texts.push_back(((box.type & kMbTypeMask) == kMbYesNoCancel ? "Q " : "") + box.text);
    return texts;
  }
  std::string Missing(const std::string& source) {
    return FormatLocalized(p.shell, IDS_SOURCE_MISSING, {source});
  }
  std::string Newer(const std::string& destination, const std::string& source) {
    return "Q " + FormatLocalized(p.shell, IDS_KEEP_NEWER, {destination, source});
  }
  std::string Failed(const std::string& source, const std::string& destination) {
    return FormatLocalized(p.shell, IDS_COPY_FAILED, {source, destination});
  }
  bool CalledWith(const std::string& call) {
    for (const std::string& c : p.files.calls()) {
      if (c == call)
        return true;
    }
    return false;
  }
  bool NoTemporaryLeft() {
    for (const auto& node : p.files.nodes()) {
      if (node.first.find(kReplaceTempSuffix) != std::string::npos)
        return false;
    }
    return true;
  }

  FakePlatform p;
};

TEST_F(FileStepTest, WithoutSectionOrSeparatorNothingIsInstalledOrShown) {
  EXPECT_TRUE(Run("Texturskript{{a.dat>>Resourcen\\x.dat}}"));
  EXPECT_TRUE(Install("{a.dat}{a.dat>Resourcen\\x.dat}{}{b.dat>>Resourcen\\b.dat}"));
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ("package b", p.files.Content("D:\\Sim\\Resourcen\\b.dat"));
  EXPECT_EQ(nullptr, p.files.Find("D:\\Sim\\Resourcen\\x.dat"));
}

TEST_F(FileStepTest, MissingDirectoriesAreCreatedLevelByLevel) {
  EXPECT_TRUE(Install("{a.dat>>Resourcen\\Neu\\Tief\\x.dat}"));
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(p.files.Find("D:\\Sim\\Resourcen\\Neu")->dir);
  EXPECT_EQ("package a", p.files.Content("D:\\Sim\\Resourcen\\Neu\\Tief\\x.dat"));
  EXPECT_EQ(100u, p.files.Find("D:\\Sim\\Resourcen\\Neu\\Tief\\x.dat")->time);
  EXPECT_TRUE(NoTemporaryLeft());
}

TEST_F(FileStepTest, AMissingSourceIsReportedAndTheOthersInstalled) {
  EXPECT_TRUE(
      Install("{a.dat>>Resourcen\\a.dat}{fehlt.dat>>Resourcen\\f.dat}"
              "{b.dat>>Resourcen\\b.dat}"));
  EXPECT_EQ(std::vector<std::string>{Missing("C:\\Paket\\fehlt.dat")}, Boxes());
  EXPECT_EQ("package a", p.files.Content("D:\\Sim\\Resourcen\\a.dat"));
  EXPECT_EQ("package b", p.files.Content("D:\\Sim\\Resourcen\\b.dat"));
  EXPECT_EQ(nullptr, p.files.Find("D:\\Sim\\Resourcen\\f.dat"));
}

TEST_F(FileStepTest, NewerFilesAreKeptOnYesAndCancelAndReplacedOnNo) {
  for (const char* name : {"1", "2", "3", "4"})
    p.files.AddFile(std::string("D:\\Sim\\Resourcen\\") + name + ".dat", "newer", 200);
  p.files.AddFile("D:\\Sim\\Resourcen\\gleich.dat", "same time", 100);
  p.files.AddFile("D:\\Sim\\Resourcen\\alt.dat", "older", 99);
  p.shell.answers = {kIdYes, kIdNo, kIdCancel};
  EXPECT_TRUE(
      Install("{a.dat>>Resourcen\\1.dat}{a.dat>>Resourcen\\2.dat}"
              "{a.dat>>Resourcen\\3.dat}{a.dat>>Resourcen\\gleich.dat}"
              "{a.dat>>Resourcen\\alt.dat}{a.dat>>Resourcen\\4.dat}"));
  std::string a = "C:\\Paket\\a.dat";
  EXPECT_EQ((std::vector<std::string>{Newer("D:\\Sim\\Resourcen\\1.dat", a),
                                      Newer("D:\\Sim\\Resourcen\\2.dat", a),
                                      Newer("D:\\Sim\\Resourcen\\3.dat", a)}),
            Boxes());
  EXPECT_EQ("newer", p.files.Content("D:\\Sim\\Resourcen\\1.dat"));
  EXPECT_EQ("package a", p.files.Content("D:\\Sim\\Resourcen\\2.dat"));
  EXPECT_EQ("newer", p.files.Content("D:\\Sim\\Resourcen\\3.dat"));
  EXPECT_EQ("package a", p.files.Content("D:\\Sim\\Resourcen\\gleich.dat"));
  EXPECT_EQ("package a", p.files.Content("D:\\Sim\\Resourcen\\alt.dat"));
  EXPECT_EQ("newer", p.files.Content("D:\\Sim\\Resourcen\\4.dat"));

  // A new press of Install asks again.
  p.shell.boxes.clear();
  EXPECT_TRUE(Install("{a.dat>>Resourcen\\4.dat}"));
  EXPECT_EQ(std::vector<std::string>{Newer("D:\\Sim\\Resourcen\\4.dat", a)}, Boxes());
}

TEST_F(FileStepTest, ALockedDestinationIsNotAskedAboutAndFailsToCopy) {
  p.files.AddFile("D:\\Sim\\Resourcen\\a.dat", "locked", 200);
  p.files.Find("D:\\Sim\\Resourcen\\a.dat")->locked = true;
  EXPECT_FALSE(Install("{a.dat>>Resourcen\\a.dat}{b.dat>>Resourcen\\b.dat}"));
  EXPECT_EQ(std::vector<std::string>{Failed("C:\\Paket\\a.dat", "D:\\Sim\\Resourcen\\a.dat")},
            Boxes());
  EXPECT_EQ("locked", p.files.Content("D:\\Sim\\Resourcen\\a.dat"));
  EXPECT_EQ("package b", p.files.Content("D:\\Sim\\Resourcen\\b.dat"));
  EXPECT_TRUE(NoTemporaryLeft());
}

TEST_F(FileStepTest, ASourceThatDoesNotOpenMakesTheDestinationNewer) {
  p.files.AddFile("D:\\Sim\\Resourcen\\a.dat", "older", 1);
  p.files.Find("C:\\Paket\\a.dat")->locked = true;
  p.shell.answers = {kIdYes, kIdNo};
  EXPECT_TRUE(Install("{a.dat>>Resourcen\\a.dat}"));
  EXPECT_FALSE(Install("{a.dat>>Resourcen\\a.dat}"));
  std::string a = "C:\\Paket\\a.dat", dest = "D:\\Sim\\Resourcen\\a.dat";
  EXPECT_EQ((std::vector<std::string>{Newer(dest, a), Newer(dest, a), Failed(a, dest)}), Boxes());
  EXPECT_EQ("older", p.files.Content(dest));
}

TEST_F(FileStepTest, AReadOnlyDestinationFailsOnceAndIsReplacedNextRun) {
  p.files.AddFile("D:\\Sim\\Resourcen\\a.dat", "read-only", 50);
  p.files.Find("D:\\Sim\\Resourcen\\a.dat")->read_only = true;
  EXPECT_FALSE(Install("{a.dat>>Resourcen\\a.dat}"));
  EXPECT_EQ(std::vector<std::string>{Failed("C:\\Paket\\a.dat", "D:\\Sim\\Resourcen\\a.dat")},
            Boxes());
  EXPECT_EQ("read-only", p.files.Content("D:\\Sim\\Resourcen\\a.dat"));
  EXPECT_FALSE(p.files.Find("D:\\Sim\\Resourcen\\a.dat")->read_only);

  p.shell.boxes.clear();
  EXPECT_TRUE(Install("{a.dat>>Resourcen\\a.dat}"));
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ("package a", p.files.Content("D:\\Sim\\Resourcen\\a.dat"));
  EXPECT_TRUE(NoTemporaryLeft());
}

TEST_F(FileStepTest, ABlankInAFileNameIsLost) {
  p.files.AddFile("C:\\Paket\\Mast 1.dat", "mast", 100);
  EXPECT_TRUE(Install("{Mast 1.dat >> Resourcen\\Mast 1.dat}"));
  EXPECT_EQ(std::vector<std::string>{Missing("C:\\Paket\\Mast1.dat")}, Boxes());
  EXPECT_EQ(nullptr, p.files.Find("D:\\Sim\\Resourcen\\Mast 1.dat"));
  EXPECT_EQ(nullptr, p.files.Find("D:\\Sim\\Resourcen\\Mast1.dat"));
}

TEST_F(FileStepTest, EmptySourceOrDestinationTextFails) {
  EXPECT_FALSE(Install("{>>Resourcen\\x.dat}{a.dat>>}"));
  EXPECT_EQ((std::vector<std::string>{Missing("C:\\Paket\\"), Failed("C:\\Paket\\a.dat", kHost)}),
            Boxes());
  EXPECT_TRUE(p.files.Find("D:\\Sim")->dir);
  EXPECT_TRUE(NoTemporaryLeft());
}

TEST_F(FileStepTest, ADirectoryOrWildcardSourceExistsButDoesNotCopy) {
  p.files.AddDir("C:\\Paket\\Dateien");
  p.files.AddFile("D:\\Sim\\Resourcen\\w.dat", "existing", 1);
  p.shell.answers = {kIdOk, kIdNo};
  EXPECT_FALSE(Install("{Dateien>>Resourcen\\d.dat}{*.dat>>Resourcen\\w.dat}"));
  EXPECT_EQ((std::vector<std::string>{Failed("C:\\Paket\\Dateien", "D:\\Sim\\Resourcen\\d.dat"),
                                      Newer("D:\\Sim\\Resourcen\\w.dat", "C:\\Paket\\*.dat"),
                                      Failed("C:\\Paket\\*.dat", "D:\\Sim\\Resourcen\\w.dat")}),
            Boxes());
  EXPECT_EQ(nullptr, p.files.Find("D:\\Sim\\Resourcen\\d.dat"));
  EXPECT_EQ("existing", p.files.Content("D:\\Sim\\Resourcen\\w.dat"));
  EXPECT_TRUE(NoTemporaryLeft());
}

TEST_F(FileStepTest, ForwardSlashesDoNotDivideWhenDirectoriesAreMade) {
  EXPECT_FALSE(Install("{a.dat>>Resourcen/Neu/x.dat}"));
  EXPECT_EQ(std::vector<std::string>{Failed("C:\\Paket\\a.dat", "D:\\Sim\\Resourcen/Neu/x.dat")},
            Boxes());
  EXPECT_EQ(nullptr, p.files.Find("D:\\Sim\\Resourcen\\Neu"));
  EXPECT_TRUE(NoTemporaryLeft());

  // Where the directories exist, the system reads the slashes as separators.
  p.shell.boxes.clear();
  p.files.AddDir("D:\\Sim\\Resourcen\\Neu");
  EXPECT_TRUE(Install("{a.dat>>Resourcen/Neu/x.dat}"));
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ("package a", p.files.Content("D:\\Sim\\Resourcen\\Neu\\x.dat"));
}

TEST_F(FileStepTest, OnlyTheFirstSeparatorDivides) {
  p.files.AddFile("D:\\Sim\\x>>y", "newer", 200);
  EXPECT_TRUE(Install("{a.dat>>x>>y}"));
  EXPECT_EQ(std::vector<std::string>{Newer("D:\\Sim\\x>>y", "C:\\Paket\\a.dat")}, Boxes());
}

TEST_F(FileStepTest, DestinationsOutsideTheHostAreRefused) {
  p.files.AddFile("D:\\x.dat", "outside", 1);
  p.files.Find("D:\\x.dat")->read_only = true;
  std::map<std::string, FakeFileSystem::Node> before = p.files.nodes();
  EXPECT_FALSE(
      Install("{a.dat>>..\\x.dat}{a.dat>>Resourcen\\..\\..\\x.dat}"
              "{a.dat>>Resourcen/../../Neu/x.dat}{a.dat>>...\\x.dat}"
              "{a.dat>>\\Resourcen\\in1.dat}{a.dat>>Resourcen\\..\\in2.dat}"
              "{a.dat>>D:y.ksm}{a.dat>>in2.dat:zone}{a.dat>>PACKWR~1\\0001\\Record.txt}"));
  std::string a = "C:\\Paket\\a.dat";
  EXPECT_EQ((std::vector<std::string>{
                Failed(a, "D:\\Sim\\..\\x.dat"), Failed(a, "D:\\Sim\\Resourcen\\..\\..\\x.dat"),
                Failed(a, "D:\\Sim\\Resourcen/../../Neu/x.dat"), Failed(a, "D:\\Sim\\...\\x.dat"),
                Failed(a, "D:\\Sim\\D:y.ksm"), Failed(a, "D:\\Sim\\in2.dat:zone"),
                Failed(a, "D:\\Sim\\PACKWR~1\\0001\\Record.txt")}),
            Boxes());
  EXPECT_EQ("package a", p.files.Content("D:\\Sim\\Resourcen\\in1.dat"));
  EXPECT_EQ("package a", p.files.Content("D:\\Sim\\in2.dat"));
  // Outside the host nothing was created, written, or had its attributes reset.
  for (const auto& node : p.files.nodes()) {
    bool inside =
        node.first.rfind("d:\\sim\\", 0) == 0 || node.first == "c:\\paket\\instskript.txt";
    EXPECT_TRUE(inside || before.count(node.first)) << node.first;
  }
  EXPECT_EQ("outside", p.files.Content("D:\\x.dat"));
  EXPECT_TRUE(p.files.Find("D:\\x.dat")->read_only);
  EXPECT_FALSE(CalledWith("SetNormalAttributes(D:\\Sim\\..\\x.dat)"));
  EXPECT_FALSE(CalledWith("LastWriteTime(D:\\Sim\\..\\x.dat)"));
}

TEST_F(FileStepTest, OnlyReplacedFilesAreFlushedAndTheStepSyncsOnceAtItsEnd) {
  p.files.AddFile("D:\\Sim\\Resourcen\\b.dat", "old b", 50);
  const std::string entries =
      "{a.dat>>Resourcen\\Neu\\a.dat}{b.dat>>Resourcen\\Neu\\b.dat}{b.dat>>Resourcen\\b.dat}";
  EXPECT_TRUE(Install(entries));
  std::vector<std::string> durable;
  for (const std::string& call : p.files.calls()) {
    for (const char* op : {"MakeDirectory(", "Flush(", "Replace(", "SyncFiles("}) {
      if (call.rfind(op, 0) == 0)
        durable.push_back(call);
    }
  }
  const std::vector<std::string> expected = {
      "MakeDirectory(D:\\Sim\\Resourcen\\Neu)",
      "Replace(D:\\Sim\\Resourcen\\Neu\\a.dat.pwtmp, D:\\Sim\\Resourcen\\Neu\\a.dat)",
      "Replace(D:\\Sim\\Resourcen\\Neu\\b.dat.pwtmp, D:\\Sim\\Resourcen\\Neu\\b.dat)",
      "MakeDirectory(D:\\Sim\\Resourcen)",
      "Flush(D:\\Sim\\Resourcen\\b.dat.pwtmp)",
      "Replace(D:\\Sim\\Resourcen\\b.dat.pwtmp, D:\\Sim\\Resourcen\\b.dat)",
      "SyncFiles(D:\\Sim\\Resourcen\\Neu\\a.dat, D:\\Sim\\Resourcen\\Neu\\b.dat, "
      "D:\\Sim\\Resourcen\\b.dat)"};
  EXPECT_EQ(expected, durable);

  // Success waits for the sync: a failed one fails the step, silently.
  p.files.FailMatching("SyncFiles", "");
  EXPECT_FALSE(Install(entries));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(FileStepTest, AScriptReadErrorFailsTheStep) {
  // Padding past the reader's first buffer makes a second read of the script
  // necessary: once in the middle of the section, once before the section is
  // found. Find that read in a clean run, then fail it.
  std::string pad(70 * 1024, ' ');
  std::string entry_a = "{a.dat>>Resourcen\\a.dat}";
  std::string entry_b = "{b.dat>>Resourcen\\b.dat}";
  for (const std::string& script : {"Dateinstallation{" + entry_a + pad + entry_b + "}",
                                    "{" + pad + "}Dateinstallation{" + entry_a + entry_b + "}"}) {
    FakePlatform clean;
    FakePlatform failing;
    int second_read = 0;
    for (FakePlatform* run : {&clean, &failing}) {
      run->files.AddFile("C:\\Paket\\a.dat", "package a", 100);
      run->files.AddFile("C:\\Paket\\b.dat", "package b", 100);
      run->files.AddFile(kScript, script);
      run->files.AddDir("D:\\Sim\\Resourcen");
      CInstaller installer(run->platform);
      installer.hostDir = kHost;
      installer.scriptDir = kPackage;
      ASSERT_TRUE(installer.script.CheckOpen(kScript));
      if (run == &failing)
        run->files.FailNth(second_read - run->files.call_count());
      EXPECT_EQ(run == &clean, installer.InstallFiles());
      EXPECT_EQ(0, run->files.open_files());
      for (std::size_t i = 0, reads = 0; i < run->files.calls().size() && !second_read; ++i) {
        if (run->files.calls()[i] == std::string("Read(") + kScript + ")" && ++reads == 2)
          second_read = static_cast<int>(i) + 1;
      }
      ASSERT_NE(0, second_read);
    }
    EXPECT_EQ(nullptr, failing.files.Find("D:\\Sim\\Resourcen\\b.dat"));
  }
}

}  // namespace

namespace {

// Windows counts a path in UTF-16 units; "ü" is one of them but two bytes
// of UTF-8, and the script's one byte 0xFC. A full path of 259 units
// installs, one of 260 fails as Windows would fail it, on every system.
TEST_F(FileStepTest, DestinationsPastTheWindowsPathLimitFailToCopy) {
  // "D:\Sim\" is 7 units; "Resourcen\" 10 more.
  const std::string fits = "Resourcen\\" + std::string(242, '\xFC');
  const std::string too_long = "Resourcen\\" + std::string(243, '\xFC');
  EXPECT_FALSE(Install("{a.dat>>" + fits + "}{b.dat>>" + too_long + "}"));
  std::string folded;
  for (int i = 0; i < 243; ++i)
    folded += "\xC3\xBC";
  EXPECT_EQ((std::vector<std::string>{
                Failed("C:\\Paket\\b.dat", std::string(kHost) + "Resourcen\\" + folded)}),
            Boxes());
  EXPECT_TRUE(p.files.Find(std::string(kHost) + "Resourcen\\" + folded.substr(2)));
  EXPECT_FALSE(p.files.Find(std::string(kHost) + "Resourcen\\" + folded));
}

}  // namespace
