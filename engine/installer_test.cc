#include "engine/installer.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/fake_progress.h"
#include "engine/messages.h"
#include "engine/seal.h"
#include "platform/fake_platform.h"

namespace {

const char kKey[] = "HKEY_CLASSES_ROOT\\Software\\Brindlewood\\KSVX";
const char kScript[] = "C:\\Paket\\InstSkript.txt";

class InstallerTest : public testing::Test {
 protected:
  InstallerTest() {
    p.registry.SetString(kKey, "AppPath", "D:\\Sim\\Kestrova.exe");
    p.files.AddFile("D:\\Sim\\Kestrova.exe", "MZ");
    p.files.AddFile("D:\\Sim\\Resourcen\\Parallels\\Texturen.txt", "");
    p.files.AddFile(kScript, "Dateinstallation{}Texturskript{}");
  }

  // The host directory a fresh installer finds; "-" when none.
  std::string HostFor(const std::string& bytes, std::uint32_t type = kRegSz) {
    p.registry.SetRaw(kKey, "AppPath", type, bytes);
    CInstaller installer(p.platform);
    EXPECT_EQ(0, p.registry.open_keys());
    return installer.IsHostFound() ? installer.hostDir : "-";
  }

  long RunOnce() {
    CInstaller installer(p.platform);
    EXPECT_TRUE(installer.IsHostFound());
    long result = installer.Run(&progress);
    scriptDir = installer.scriptDir;
    return result;
  }

  // Scan's type and raw bytes ("4:\x02\0\0\0"); "-" when absent.
  std::string Scan() {
    const FakeRegistry::Value* scan = p.registry.Get(kKey, "Scan");
    return scan ? std::to_string(scan->type) + ":" + scan->bytes : "-";
  }
  std::string ScanAfterRun() {
    RunOnce();
    return Scan();
  }

  FakePlatform p;
  FakeProgress progress;
  std::string scriptDir;
};

std::string Dword(char value) {
  return "4:" + std::string(1, value) + std::string(3, '\0');
}

}  // namespace

TEST_F(InstallerTest, HostIsAppPathUpToItsLastBackslash) {
  std::string deep = "D:\\" + std::string(250, 'x') + "\\k.exe";
  for (const std::string& file :
       {std::string("%SIM%\\k.exe"), std::string("D:\\A\\k"), std::string("D:\\Sim\\k.exe"), deep})
    p.files.AddFile(file, "MZ");
  EXPECT_EQ("D:\\Sim\\", HostFor(std::string("D:\\Sim\\Kestrova.exe\0", 20)));
  EXPECT_EQ("D:\\Sim\\", HostFor(std::string("D:\\Sim\\\0", 8)));
  EXPECT_EQ("%SIM%\\", HostFor(std::string("%SIM%\\k.exe\0", 12), kRegExpandSz));
  EXPECT_EQ("D:\\A\\", HostFor(std::string("D:\\A\\k\0E:\\B\\k\0\0", 15), kRegMultiSz));
  EXPECT_EQ("D:\\Sim\\", HostFor("D:\\Sim\\k.exe"));  // stored without NUL
  EXPECT_EQ(259u, deep.size());
  EXPECT_EQ(deep.substr(0, 254), HostFor(deep + '\0'));
}

// Kestrova's directory is taken only from a value that names what is
// there, so that nothing is written where Kestrova is not.
TEST_F(InstallerTest, HostIsNotFoundWithoutAUsableAppPath) {
  p.files.AddDir("D:\\Sim\\Modelle");
  for (const std::string& bytes :
       {std::string("Kestrova.exe\0", 13), std::string("\0", 1), std::string(),
        "D:\\" + std::string(260, 'x') + '\0', std::string("C:\\Kestrova.exe"),
        std::string("D:\\Sim\\Modelle"), std::string("D:\\Sim"), std::string("D:\\Gone\\"),
        std::string(" D:\\Sim\\Kestrova.exe"), std::string("\"D:\\Sim\\Kestrova.exe\"")}) {
    EXPECT_EQ("-", HostFor(bytes)) << bytes;
  }
  EXPECT_EQ("-", HostFor(std::string("\x01\0\0\0", 4), kRegDword));

  // The maker's other key names another program: it is never consulted.
  FakePlatform other;
  other.registry.SetString("HKEY_CLASSES_ROOT\\Software\\Brindlewood\\ZR", "AppPath",
                           "D:\\Zr\\zr.exe");
  other.registry.AddKey(kKey);
  EXPECT_FALSE(CInstaller(other.platform).IsHostFound());
}

TEST_F(InstallerTest, RunWithoutScriptStopsAtOneAndLeavesScan) {
  p.registry.SetDwordValue(kKey, "Scan", 0);
  p.files.Remove(kScript);
  EXPECT_EQ(kInstallFailed, RunOnce());
  EXPECT_EQ((std::vector<std::string>{"SetRange(0,4)", "SetPos(0)", "SetPos(1)"}), progress.calls);
  ASSERT_EQ(1u, p.shell.boxes.size());
  EXPECT_EQ("Packwright", p.shell.boxes[0].caption);
  EXPECT_EQ(LoadMessage(p.shell, IDS_SCRIPT_MISSING), p.shell.boxes[0].text);
  EXPECT_EQ(kMbOk, p.shell.boxes[0].type & kMbTypeMask);
  EXPECT_EQ(Dword(0), Scan());

  // Without its own path the program has no folder: a script at the root
  // of the current drive is not taken for the package's.
  p.shell.module_path = "";
  p.files.AddFile("C:\\InstSkript.txt", "Texturskript{}");
  EXPECT_EQ(kInstallFailed, RunOnce());
  EXPECT_EQ(2u, p.shell.boxes.size());
  EXPECT_EQ(Dword(0), Scan());
}

TEST_F(InstallerTest, DamagedSealedPackageStopsAtOneAndChangesNothing) {
  p.registry.SetDwordValue(kKey, "Scan", 0);
  p.files.AddFile("C:\\Paket\\a.dat", "a");
  p.files.AddFile(kScript,
                  "{sealed: Packwright.sum}Dateinstallation{{a.dat>>a.dat}}Texturskript{}");
  FileSum script_sum;
  ASSERT_TRUE(SealSumOfFile(p.files, kScript, &script_sum));
  p.files.AddFile("C:\\Paket\\Packwright.sum",
                  SealText({{script_sum, "InstSkript.txt"}, {{1, 0}, "a.dat"}}));
  std::map<std::string, FakeFileSystem::Node> before = p.files.nodes();

  CInstaller installer(p.platform);
  EXPECT_EQ(kInstallFailed, installer.Run(&progress));
  EXPECT_EQ((std::vector<std::string>{"SetRange(0,4)", "SetPos(0)", "SetPos(1)"}), progress.calls);
  EXPECT_EQ("a.dat", installer.damagedFile);
  ASSERT_EQ(1u, p.shell.boxes.size());
  EXPECT_EQ(FormatLocalized(p.shell, IDS_PACKAGE_DAMAGED, {"a.dat"}), p.shell.boxes[0].text);
  EXPECT_EQ(Dword(0), Scan());
  EXPECT_EQ(before.size(), p.files.nodes().size());
  EXPECT_EQ(0, p.files.open_files());
}

TEST_F(InstallerTest, RunDrivesProgressThroughEveryStep) {
  EXPECT_EQ(0, RunOnce());
  EXPECT_EQ((std::vector<std::string>{"SetRange(0,4)", "SetPos(0)", "SetPos(1)", "SetPos(2)",
                                      "SetPos(3)", "SetPos(4)"}),
            progress.calls);
  EXPECT_TRUE(p.shell.boxes.empty());
  EXPECT_EQ("C:\\Paket", scriptDir);
  EXPECT_EQ(0, p.registry.open_keys());
  EXPECT_EQ(0, p.files.open_files());
}

TEST_F(InstallerTest, FailedStepsFailTheRunAfterEveryStepAndScan) {
  const std::vector<std::string> all = {"SetRange(0,4)", "SetPos(0)", "SetPos(1)",
                                        "SetPos(2)",     "SetPos(3)", "SetPos(4)"};
  p.registry.SetDwordValue(kKey, "Scan", 0);
  p.files.AddFile(kScript, "{neither section}");
  EXPECT_EQ(kInstallFailed, RunOnce());
  EXPECT_EQ(all, progress.calls);
  EXPECT_EQ(Dword(2), Scan());

  progress.calls.clear();
  p.registry.SetDwordValue(kKey, "Scan", 0);
  p.files.AddFile("C:\\Paket\\a.dat", "a");
  p.files.AddFile(kScript, "Dateinstallation{{a.dat>>Resourcen\\a.dat}}Texturskript{}");
  p.files.FailMatching("CreateNew", "a.dat");
  EXPECT_EQ(kInstallFailed, RunOnce());
  EXPECT_EQ(all, progress.calls);
  EXPECT_EQ(Dword(2), Scan());
  // The texture step still read its section: each run opened the script
  // seven times, for the check, the seal's remark, the record's checksum,
  // the record's destinations (opened, then read from the start) and both
  // steps.
  int opens = 0;
  for (const std::string& call : p.files.calls())
    opens += call == std::string("OpenRead(") + kScript + ")";
  EXPECT_EQ(14, opens);
}

TEST_F(InstallerTest, ScriptLiesBesideTheRunningProgram) {
  p.shell.module_path = "D:\\pkg\\setup.exe";
  p.files.AddFile("D:\\pkg\\InstSkript.txt", "Texturskript{}");
  EXPECT_EQ(0, RunOnce());
  EXPECT_EQ("D:\\pkg", scriptDir);

  std::string deep = "D:\\" + std::string(300, 'p');
  p.shell.module_path = deep + "\\setup.exe";
  p.files.AddFile(deep + "\\InstSkript.txt", "Texturskript{}");
  EXPECT_EQ(0, RunOnce());
  EXPECT_EQ(deep, scriptDir);
  EXPECT_TRUE(p.shell.boxes.empty());
}

TEST_F(InstallerTest, ScanIsWrittenAsTwoUnlessItIsOne) {
  EXPECT_EQ("-", ScanAfterRun());
  for (char before : {0, 1, 2, 3}) {
    SCOPED_TRACE(static_cast<int>(before));
    p.registry.SetDwordValue(kKey, "Scan", before);
    std::size_t calls = p.registry.calls().size();
    EXPECT_EQ(Dword(before == 1 ? 1 : 2), ScanAfterRun());
    // 2 is written again, 1 is not.
    int writes = 0;
    for (std::size_t i = calls; i < p.registry.calls().size(); ++i)
      writes += p.registry.calls()[i].compare(0, 9, "SetDword(") == 0;
    EXPECT_EQ(before == 1 ? 0 : 1, writes);
  }
  p.registry.SetRaw(kKey, "Scan", kRegDwordBigEndian, std::string("\0\0\0\x01", 4));
  EXPECT_EQ(Dword(2), ScanAfterRun());
  p.registry.SetString(kKey, "Scan", "0");
  EXPECT_EQ(std::string("1:0\0", 4), ScanAfterRun());
}

TEST_F(InstallerTest, KeyWithoutWriteAccessStillInstalls) {
  p.registry.SetDwordValue(kKey, "Scan", 0);
  p.registry.FailMatching("OpenKey", std::string(kKey) + ", 0xf003f");
  EXPECT_EQ(0, RunOnce());
  EXPECT_EQ(Dword(0), Scan());
  EXPECT_TRUE(p.shell.boxes.empty());
  EXPECT_EQ(0, p.registry.open_keys());
}

// A copy that fails, or whose destination cannot be backed up, is that
// entry's failure only: later entries install, Scan is set, and the record
// ends as a failed run rather than breaking.
TEST_F(InstallerTest, AFailedCopyIsAnOutcomeAndTheRunGoesOn) {
  p.files.AddFile("C:\\Paket\\a.dat", "new a", 100);
  p.files.AddFile("C:\\Paket\\b.dat", "new b", 100);
  p.files.AddDir("D:\\Sim\\Modelle");
  for (const char* destination : {"", "Modelle", "Modelle\\"}) {
    SCOPED_TRACE(destination);
    p.registry.SetDwordValue(kKey, "Scan", 0);
    p.shell.boxes.clear();
    p.files.Remove("D:\\Sim\\Modelle\\Neu\\b.dat");
    p.files.AddFile(kScript, std::string("Dateinstallation{{a.dat>>") + destination +
                                 "}{b.dat>>Modelle\\Neu\\b.dat}}Texturskript{}");
    EXPECT_EQ(kInstallFailed, RunOnce());
    ASSERT_EQ(1u, p.shell.boxes.size());
    EXPECT_EQ(FormatLocalized(p.shell, IDS_COPY_FAILED,
                              {"C:\\Paket\\a.dat", std::string("D:\\Sim\\") + destination}),
              p.shell.boxes[0].text);
    EXPECT_EQ("new b", p.files.Content("D:\\Sim\\Modelle\\Neu\\b.dat"));
    EXPECT_EQ(Dword(2), Scan());
  }
  // A folder where the file goes is on record; a destination without a file
  // name is refused before anything is recorded.
  std::string record = p.files.Content("D:\\Sim\\Packwright\\0002\\Record.txt");
  EXPECT_NE(std::string::npos, record.find("\nfailed\tModelle")) << record;
  EXPECT_NE(std::string::npos, record.find("\nend\tfailed\n")) << record;
  // A copy that fails after its intent is on record is a failed outcome too.
  p.files.FailMatching("Write", "b.dat.pwtmp");
  EXPECT_EQ(kInstallFailed, RunOnce());
  record = p.files.Content("D:\\Sim\\Packwright\\0004\\Record.txt");
  EXPECT_NE(std::string::npos, record.find("\nfailed\tModelle\\Neu\\b.dat\n")) << record;
  // So is one whose backup fails; the half backup goes.
  p.files.ClearFaults();
  p.files.FailMatching("Copy", "b.dat, D:\\Sim\\Packwright\\0005");
  EXPECT_EQ(kInstallFailed, RunOnce());
  EXPECT_FALSE(p.files.Exists("D:\\Sim\\Packwright\\0005\\1.bak"));
  record = p.files.Content("D:\\Sim\\Packwright\\0005\\Record.txt");
  EXPECT_NE(std::string::npos, record.find("\nfailed\tModelle\\Neu\\b.dat\n")) << record;
}

// A run changes nothing that its record cannot name: without a record it
// changes nothing at all, and once the record breaks it stops there.
TEST_F(InstallerTest, ARecordThatCannotBeWrittenStopsTheRun) {
  p.registry.SetDwordValue(kKey, "Scan", 0);
  p.files.AddFile("C:\\Paket\\a.dat", "new a", 100);
  p.files.AddFile("C:\\Paket\\b.dat", "new b", 100);
  p.files.AddFile("D:\\Sim\\a.dat", "old a", 50);
  p.files.AddFile(kScript, "Dateinstallation{{a.dat>>a.dat}{b.dat>>b.dat}}Texturskript{}");
  std::string catalogue = p.files.Content("D:\\Sim\\Resourcen\\Parallels\\Texturen.txt");
  std::string failed = FormatLocalized(p.shell, IDS_RECORD_FAILED, {"D:\\Sim\\Packwright\\0001"});

  // A folder that cannot be made says which folder Packwright may not
  // write; the record's own file keeps the record's message.
  const struct {
    const char* op;
    const char* part;
    std::string text;
  } cases[] = {
      {"MakeDirectory", "Sim\\Packwright",
       FormatLocalized(p.shell, IDS_HOST_NOT_WRITABLE, {"D:\\Sim"})},
      {"MakeDirectory", "Packwright\\0001",
       FormatLocalized(p.shell, IDS_HOST_NOT_WRITABLE, {"D:\\Sim\\Packwright"})},
      {"CreateWrite", "Record.txt", failed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.part);
    p.files.ClearFaults();
    p.shell.boxes.clear();
    p.files.FailMatching(c.op, c.part);
    EXPECT_EQ(kInstallFailed, RunOnce());
    ASSERT_EQ(1u, p.shell.boxes.size());
    EXPECT_EQ(c.text, p.shell.boxes[0].text);
    EXPECT_EQ("SetPos(2)", progress.calls.back());
    EXPECT_EQ(0, p.files.open_files());
    EXPECT_EQ("old a", p.files.Content("D:\\Sim\\a.dat"));
  }

  p.files.ClearFaults();
  p.shell.boxes.clear();
  // The failed file's folder, 0001, is passed over.
  failed = FormatLocalized(p.shell, IDS_RECORD_FAILED, {"D:\\Sim\\Packwright\\0002"});
  p.files.FailMatching("Flush", "Record.txt");  // with the intent to replace a.dat
  EXPECT_EQ(kInstallFailed, RunOnce());
  EXPECT_EQ("old a", p.files.Content("D:\\Sim\\a.dat"));
  EXPECT_FALSE(p.files.Exists("D:\\Sim\\b.dat"));
  EXPECT_EQ(catalogue, p.files.Content("D:\\Sim\\Resourcen\\Parallels\\Texturen.txt"));
  EXPECT_EQ(Dword(0), Scan());
  ASSERT_FALSE(p.shell.boxes.empty());
  EXPECT_EQ(failed, p.shell.boxes.back().text);
  EXPECT_EQ(0, p.files.open_files());
}
