#include "app/uninstall.h"

#include <gtest/gtest.h>

#include "engine/installer.h"
#include "engine/messages.h"
#include "platform/fake_platform.h"
#include "platform/win_constants.h"

namespace {

TEST(PackageNameTest, IsTheNameOfTheProgramsFolder) {
  EXPECT_EQ(PackageName("C:\\Pakete\\Signale\\Packwright.exe"), "Signale");
  EXPECT_EQ(PackageName("\\\\server\\share\\Signale\\Packwright.exe"), "Signale");
  // A drive's root or a bare name names no folder.
  EXPECT_EQ(PackageName("C:\\Packwright.exe"), "");
  EXPECT_EQ(PackageName("Packwright.exe"), "");
}

TEST(LeftAloneListTest, ListsOneItemALineAndCutsLongListsShort) {
  std::vector<std::string> items;
  for (int i = 0; i < 11; ++i)
    items.push_back(std::to_string(i));
  EXPECT_EQ(LeftAloneList(items, "C:\\K\\"), "0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n...");
  items.pop_back();
  EXPECT_EQ(LeftAloneList(items, "C:\\K\\"), "0\n1\n2\n3\n4\n5\n6\n7\n8\n9");
}

// What the stand-in undo was asked, and what it answers.
struct UndoCall {
  int count = 0;
  std::string host_dir;
  PackageIdentity identity;
  bool force = true;
};
UndoCall g_call;
UndoOutcome g_outcome;

UndoReport RecordingUndo(Platform&, const std::string& host_dir, const PackageIdentity& identity,
                         const UndoOptions& options) {
  ++g_call.count;
  g_call.host_dir = host_dir;
  g_call.identity = identity;
  g_call.force = options.force;
  UndoReport report;
  report.outcome = g_outcome;
  return report;
}

const char kPackage[] = "C:\\Pakete\\Signale";

class UninstallPackageTest : public testing::Test {
 protected:
  void SetUp() override {
    g_call = UndoCall();
    g_outcome = UndoOutcome();
    fake_.shell.language = 0x0407;
    fake_.shell.module_path = std::string(kPackage) + "\\Packwright.exe";
    fake_.registry.SetString("HKEY_CLASSES_ROOT\\Software\\Brindlewood\\KSVX", "AppPath",
                             "C:\\Kestrova\\Kestrova.exe");
    fake_.files.AddFile("C:\\Kestrova\\Kestrova.exe", "MZ");
    fake_.files.AddFile("C:\\Kestrova\\Resourcen\\Parallels\\Texturen.txt", "Basis{\n}");
    fake_.files.AddFile(std::string(kPackage) + "\\a.dat", "a");
    fake_.files.AddFile(std::string(kPackage) + "\\InstSkript.txt",
                        "Dateinstallation{{a.dat>>Modelle\\a.dat}{a.dat>>Modelle\\b.dat}}"
                        "Texturskript{}");
  }

  void Install() {
    CInstaller installer(fake_.platform);
    ASSERT_EQ(installer.Run(nullptr), 0);
    fake_.shell.boxes.clear();
  }

  // Uninstalls with `answer` to the question; returns the boxes' texts.
  std::vector<std::string> Uninstall(int answer) {
    fake_.shell.answers = {answer};
    UninstallPackage(fake_.platform, RecordingUndo);
    std::vector<std::string> texts;
    for (const FakeShell::Box& box : fake_.shell.boxes)
      texts.push_back(box.text);
    return texts;
  }

  FakePlatform fake_;
};

TEST_F(UninstallPackageTest, SaysSoWithoutAskingWhenNothingIsOnRecord) {
  std::vector<std::string> texts = Uninstall(kIdYes);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0],
            "Für das Paket Signale ist keine Installation verzeichnet. Es gibt nichts zu "
            "deinstallieren.");
  EXPECT_EQ(g_call.count, 0);
}

TEST_F(UninstallPackageTest, AsksNamingEachInstallAndUndoesOnlyOnYes) {
  Install();
  fake_.shell.now = "2026-12-10 08:00:00";
  Install();
  std::vector<std::string> texts = Uninstall(kIdNo);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0],
            "Soll das Paket Signale deinstalliert werden?\n\nFolgende Installationen werden "
            "rückgängig gemacht, die neueste zuerst: ihre Dateien und Texturen werden entfernt, "
            "ersetzte Dateien werden wiederhergestellt.\n\n"
            "Installation vom 2026-12-10 08:00:00: 2 Dateien\n"
            "Installation vom 2026-12-09 13:35:07: 2 Dateien");
  EXPECT_EQ(fake_.shell.boxes[0].type, kMbYesNo | kMbIconExclamation);
  EXPECT_EQ(g_call.count, 0);

  fake_.shell.boxes.clear();
  Uninstall(kIdYes);
  EXPECT_EQ(g_call.count, 1);
  EXPECT_EQ(g_call.host_dir, "C:\\Kestrova\\");
  EXPECT_EQ(
      g_call.identity.destinations,
      (std::vector<std::string>{"C:\\Kestrova\\Modelle\\a.dat", "C:\\Kestrova\\Modelle\\b.dat"}));
  EXPECT_FALSE(g_call.force);
}

TEST_F(UninstallPackageTest, ShowsEachOutcome) {
  Install();
  struct Case {
    UndoStatus status;
    std::uint16_t language;
    const char* text;
    unsigned icon;
  } cases[] = {
      {UndoStatus::kUndone, 0x0407, "Das Paket Signale wurde erfolgreich deinstalliert",
       kMbIconInformation},
      {UndoStatus::kNothingToUndo, 0x0409,
       "There is no record of an installation of the package Signale. Nothing was uninstalled.",
       kMbIconInformation},
      {UndoStatus::kPartly, 0x0409,
       "The package Signale was only partly uninstalled. The following was changed after the "
       "installation and has been left as it is:\n\nModelle\\a.dat\nC:\\Other\\b.dat\n"
       "Texturen.txt: id 7",
       kMbIconExclamation},
      {UndoStatus::kFailed, 0x0407, "Bei der Deinstallation ist ein Fehler aufgetreten",
       kMbIconExclamation},
  };
  for (const Case& c : cases) {
    fake_.shell.boxes.clear();
    fake_.shell.language = c.language;
    g_outcome.status = c.status;
    g_outcome.left_alone = {"c:\\KESTROVA\\Modelle\\a.dat", "C:\\Other\\b.dat",
                            "Texturen.txt: id 7"};
    std::vector<std::string> texts = Uninstall(kIdYes);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1], c.text);
    EXPECT_EQ(fake_.shell.boxes[1].type, kMbOk | c.icon);
  }
}

}  // namespace
