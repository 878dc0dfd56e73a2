// The file step under injected faults: for every n, the nth file-system call
// of the step fails, and the step must still leave each destination either as
// it was or fully installed, say so when it failed, and leave nothing behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/installer.h"
#include "engine/messages.h"
#include "engine/safe_copy.h"
#include "platform/fake_platform.h"

namespace {

const char kScript[] = "C:\\Paket\\InstSkript.txt";

struct Entry {
  const char* source;
  const char* destination;
  const char* old_content;  // null when the destination does not exist yet
};

const Entry kEntries[] = {
    {"C:\\Paket\\a.dat", "D:\\Sim\\Resourcen\\Neu\\Tief\\a.dat", nullptr},
    {"C:\\Paket\\b.dat", "D:\\Sim\\Resourcen\\b.dat", "old b"},
    {"C:\\Paket\\c.dat", "D:\\Sim\\c.dat", "old c"},
};

void Prepare(FakePlatform* p) {
  p->shell.language = 0x0409;
  p->files.AddFile(kScript,
                   "Dateinstallation{{a.dat>>Resourcen\\Neu\\Tief\\a.dat}"
                   "{b.dat>>Resourcen\\b.dat}{c.dat>>c.dat}}");
  for (const Entry& entry : kEntries) {
    p->files.AddFile(entry.source, std::string("new ") + entry.source, 100);
    if (entry.old_content)
      p->files.AddFile(entry.destination, entry.old_content, 50);
  }
}

// True when a message names the entry's source or destination.
bool Reported(const FakeShell& shell, const Entry& entry) {
  for (const FakeShell::Box& box : shell.boxes) {
    if (box.text.find(entry.source) != std::string::npos ||
        box.text.find(entry.destination) != std::string::npos)
      return true;
  }
  return false;
}

bool CopyFailedShown(FakePlatform& p) {
  std::string pattern = LoadMessage(p.shell, IDS_COPY_FAILED);
  std::string start = pattern.substr(0, pattern.find('%'));
  for (const FakeShell::Box& box : p.shell.boxes) {
    if (box.text.rfind(start, 0) == 0)
      return true;
  }
  return false;
}

// Checks one run with its nth call failed; `failed_call` is that call, empty
// when the run did not reach it.
void CheckOutcome(FakePlatform& p, bool result, const std::string& failed_call) {
  // A script that does not reopen or read to its end fails the step: the
  // entries after the fault were never installed.
  bool script_read_failed = failed_call.find("InstSkript.txt") != std::string::npos;
  // The closing sync fails the step without a box of its own.
  bool sync_failed = failed_call.rfind("SyncFiles(", 0) == 0;
  EXPECT_EQ(0, p.files.open_files());
  EXPECT_EQ(!result, CopyFailedShown(p) || script_read_failed || sync_failed);
  for (const auto& node : p.files.nodes())
    EXPECT_EQ(std::string::npos, node.first.find(kReplaceTempSuffix)) << node.first;
  for (const Entry& entry : kEntries) {
    FakeFileSystem::Node* node = p.files.Find(entry.destination);
    std::string fresh = std::string("new ") + entry.source;
    bool installed = node && node->data == fresh && node->time == 100;
    bool untouched = entry.old_content ? node && node->data == entry.old_content && node->time == 50
                                       : node == nullptr;
    EXPECT_TRUE(installed || untouched) << entry.destination << " after " << failed_call;
    // Left as it was only where the user was told, or never heard of it.
    bool explained =
        installed || script_read_failed || (!failed_call.empty() && Reported(p.shell, entry));
    EXPECT_TRUE(explained) << entry.destination << " after " << failed_call;
  }
}

TEST(FileStepFaultTest, EveryFailingCallLeavesEachFileOldOrNew) {
  for (int n = 1; n < 1000; ++n) {
    FakePlatform p;
    Prepare(&p);
    CInstaller installer(p.platform);
    installer.hostDir = "D:\\Sim\\";
    installer.scriptDir = "C:\\Paket";
    ASSERT_TRUE(installer.script.CheckOpen(kScript));
    int start = p.files.call_count();
    p.files.FailNth(n);
    bool result = installer.InstallFiles();
    bool reached = p.files.call_count() >= start + n;
    std::string failed_call = reached ? p.files.calls()[start + n - 1] : std::string();
    SCOPED_TRACE("call " + std::to_string(n) + ": " + failed_call);
    CheckOutcome(p, result, failed_call);
    if (!reached) {
      EXPECT_TRUE(result);
      EXPECT_TRUE(p.shell.boxes.empty());
      EXPECT_GT(n, 20);  // the loop did fault the copies on its way here
      return;
    }
  }
  ADD_FAILURE() << "the step never completed without a fault";
}

}  // namespace
