// Both steps of an install on the real file system, with faults beneath
// them: every system call of the run fails in turn, the call log shows the
// order of flushes and replaces, and a disk fills up. Whatever happens, each
// destination and the catalogue are the old file or the new one, byte for
// byte, no temporary is left, no descriptor stays open, and undoing the
// run's record brings the old files back.
#include <errno.h>
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/install_record.h"
#include "engine/installer.h"
#include "engine/messages.h"
#include "platform/fake_platform.h"
#include "platform/paths.h"
#include "platform/syscall_faults.h"
#include "platform/system_posix.h"
#include "platform/test_dir.h"
#include "record/undo.h"

namespace {

const std::uint64_t kOld = 132223104000000000ULL;  // 2020-01-01, as FILETIME
const std::uint64_t kDay = 864000000000ULL;
const char kCatalogue[] = "Sim\\Resourcen\\Parallels\\Texturen.txt";

struct Entry {
  const char* source;       // in Paket
  const char* destination;  // in Sim, as the script names it
  std::size_t size;         // of the package's file
  const char* old;          // the destination's content, null when it is new
};

// b is larger than a copy's buffer, so its copy writes more than once.
const Entry kEntries[] = {{"a.dat", "Resourcen\\Neu\\a.dat", 100, nullptr},
                          {"b.dat", "Resourcen\\b.dat", 150000, "old b"},
                          {"c.dat", "Resourcen\\c.dat", 200, "old c, read-only"},
                          {"d.dat", "d.dat", 300, nullptr}};

std::string Pattern(const std::string& name, std::size_t size) {
  std::string data;
  while (data.size() < size)
    data += name + " " + std::to_string(data.size()) + "\n";
  return data.substr(0, size);
}

std::string Content(const std::string& path) {
  std::string data;
  return TestReadFile(path, &data) ? data : "-";
}

bool TempLeft(const std::string& root) {
  for (const auto& item : std::filesystem::recursive_directory_iterator(ToPosixPath(root))) {
    if (item.path().filename().string().find(kReplaceTempSuffix) != std::string::npos)
      return true;
  }
  return false;
}

long OpenDescriptors() {
  std::filesystem::directory_iterator fds("/proc/self/fd");
  return std::distance(begin(fds), end(fds));
}

// Contents by file name under a tree's root; "-" for a missing file.
using State = std::map<std::string, std::string>;

// The package and the tree it installs into, under `root`.
class InstallTree {
 public:
  explicit InstallTree(const std::string& root) : root_(root) {}

  const std::string& root() const { return root_; }

  std::string At(const std::string& name) const { return root_ + "\\" + name; }
  std::string Destination(const Entry& entry) const {
    return At(std::string("Sim\\") + entry.destination);
  }

  void Make(const std::string& catalogue) {
    for (const char* dir : {"Paket", "Sim", "Sim\\Resourcen", "Sim\\Resourcen\\Parallels"})
      TestMakeDir(At(dir));
    std::string script = "Dateinstallation\r\n{\r\n";
    for (const Entry& entry : kEntries) {
      script += std::string("{") + entry.source + ">>" + entry.destination + "}\r\n";
      Write(At(std::string("Paket\\") + entry.source), Pattern(entry.source, entry.size),
            kOld + kDay);
      if (entry.old)
        Write(Destination(entry), entry.old, kOld);
    }
    script += "}\r\nTexturskript\r\n{\r\n{x>>Textur{name(Sand)id(13)}}\r\n}\r\n";
    Write(At("Paket\\InstSkript.txt"), script, kOld);
    Write(At(kCatalogue), catalogue, kOld);
    ASSERT_TRUE(TestSetReadOnly(Destination(kEntries[2]), true));
  }

  // Every destination's content and the catalogue's, by name under the root.
  State Snapshot() const {
    State state;
    for (const Entry& entry : kEntries)
      state[std::string("Sim\\") + entry.destination] = Content(Destination(entry));
    state[kCatalogue] = Content(At(kCatalogue));
    return state;
  }

 private:
  void Write(const std::string& path, const std::string& data, std::uint64_t time) {
    ASSERT_TRUE(TestWriteFile(path, data)) << path;
    ASSERT_TRUE(TestSetWriteTime(path, time)) << path;
  }

  std::string root_;
};

// What one run did; the steps are run as CInstaller::Run runs them.
struct RunResult {
  bool opened = false;
  bool files_ok = false;
  bool textures_ok = false;
  std::vector<std::string> boxes;
  std::vector<std::string> calls;
  int failed_at = 0;           // the log's index of the failed call, or 0
  int files_end = 0;           // the log's size when the file step returned
  bool copy_failed = false;    // IDS_COPY_FAILED was shown
  bool record_failed = false;  // the record broke, and the run stopped
};

// Installs the tree's package on the real file system, failing the nth call
// (never, for 0) with `error`; with `fail_op` set, every call of that name
// whose path contains `under` fails instead.
RunResult Install(const InstallTree& tree, int n, int error, const char* fail_op = nullptr,
                  const std::string& under = "") {
  FakePlatform fake;
  fake.shell.language = 0x0409;
  Platform platform{PosixFileSystem(), fake.registry, fake.shell};
  CInstaller installer(platform);
  installer.hostDir = tree.At("Sim\\");
  installer.scriptDir = tree.At("Paket");
  // The record is begun before the faults, as its failure to begin would
  // end the run before either step; the fake loop covers that.
  CInstallRecord record(platform.files, installer.hostDir);
  EXPECT_TRUE(record.Begin("install", "Paket", "-", "2026-12-09 12:00:00"));
  installer.record = &record;
  RunResult run;
  {
    SyscallFaults faults;
    faults.set_error(error);
    if (n > 0)
      faults.FailNth(n);
    if (fail_op)
      faults.FailMatching(fail_op, under);
    run.opened = installer.script.CheckOpen(tree.At("Paket\\InstSkript.txt"));
    if (run.opened) {
      run.files_ok = installer.InstallFiles();
      run.files_end = faults.call_count();
      run.textures_ok = installer.InstallTextures();
      record.Finish(run.files_ok && run.textures_ok ? "ok" : "failed");
    }
    // The run shows IDS_RECORD_FAILED for this at its end.
    run.record_failed = record.broken();
    run.calls = faults.calls();
  }
  installer.script.Close();
  if (n > 0 && n <= static_cast<int>(run.calls.size()))
    run.failed_at = n;
  installer.record = nullptr;
  std::string pattern = LoadMessage(fake.shell, IDS_COPY_FAILED);
  // Compared across trees, so the root is taken out.
  for (const FakeShell::Box& box : fake.shell.boxes) {
    run.copy_failed |= box.text.rfind(pattern.substr(0, pattern.find('%')), 0) == 0;
    std::string text = box.text;
    for (std::size_t at; (at = text.find(tree.root())) != std::string::npos;)
      text.replace(at, tree.root().size(), "<root>");
    run.boxes.push_back(text);
  }
  return run;
}

bool Names(const std::vector<std::string>& boxes, const std::string& part) {
  return std::any_of(boxes.begin(), boxes.end(),
                     [&](const std::string& box) { return box.find(part) != std::string::npos; });
}

// True when a box names the entry's source or destination.
bool NamesEntry(const std::vector<std::string>& boxes, const Entry& entry) {
  return Names(boxes, std::string("<root>\\Paket\\") + entry.source) ||
         Names(boxes, std::string("<root>\\Sim\\") + entry.destination);
}

// Undoing the run's record, with no fault, brings every destination and the
// catalogue back to `before`.
void CheckRecordUndoes(const InstallTree& tree, const State& before) {
  FakePlatform fake;
  Platform platform{PosixFileSystem(), fake.registry, fake.shell};
  UndoOutcome undone = UndoLatest(platform, tree.At("Sim\\"), "Paket", UndoOptions()).outcome;
  EXPECT_TRUE(undone.status == UndoStatus::kUndone) << static_cast<int>(undone.status);
  EXPECT_EQ(before, tree.Snapshot()) << "after the undo";
}

// A tmpfs of `size` mounted on directory `dir` while this lives, where the
// process may mount one (root may).
class ScopedTmpfs {
 public:
  ScopedTmpfs(const std::string& dir, const std::string& size) : dir_(ToPosixPath(dir)) {
    mounted_ = mount("tmpfs", dir_.c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
  }
  ~ScopedTmpfs() {
    if (mounted_)
      umount2(dir_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }

 private:
  std::string dir_;
  bool mounted_;
};

class InstallSystemFaultTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(dir_.path().empty()); }

  // A run's outcome against the run without faults (`clean`, which ended in
  // state `after`); the tree started in state `before`.
  void CheckRun(const InstallTree& tree, const RunResult& run, const RunResult& clean,
                const State& before, const State& after) {
    std::string failed = run.failed_at ? run.calls[run.failed_at - 1] : "";
    State now = tree.Snapshot();
    for (const auto& file : now) {
      EXPECT_TRUE(file.second == before.at(file.first) || file.second == after.at(file.first))
          << file.first << " is neither old nor new";
    }
    if (run.opened)
      CheckFileStep(run, clean, failed, now, after);
    const std::string& catalogue = now.at(kCatalogue);
    EXPECT_TRUE(!run.textures_ok || catalogue == after.at(kCatalogue));
    // A record that cannot be written stops the run: no later step changes
    // anything.
    EXPECT_TRUE(run.textures_ok || !run.opened || run.failed_at > run.files_end ||
                run.record_failed);
    if (!run.textures_ok && catalogue != before.at(kCatalogue)) {
      // Saved, and then the closing sync failed.
      std::string replace = "rename(" + ToPosixPath(tree.At(kCatalogue));
      auto first = run.calls.begin(), at = first + std::max(run.failed_at - 1, 0);
      EXPECT_TRUE(std::any_of(first, at, [&](const std::string& c) {
        return c.rfind(replace, 0) == 0;
      })) << "new catalogue reported as failed";
    }
    EXPECT_FALSE(TempLeft(dir_.path()));
  }

  // The file step fails exactly when it says why, or when its script could
  // not be reopened or read, its record could not be written, or its
  // closing sync failed. Every file it left as it was is
  // named, and every box not in the clean run names such a file.
  static void CheckFileStep(const RunResult& run, const RunResult& clean, const std::string& failed,
                            const State& now, const State& after) {
    bool in_step = run.failed_at > 0 && run.failed_at <= run.files_end;
    bool script = in_step && failed.find("InstSkript") != std::string::npos;
    // Only the sync opens a directory; its paths carry no dot.
    std::string path = failed.substr(failed.find('(') + 1);
    bool sync = in_step && path.find('.') == std::string::npos;
    bool record = in_step && run.record_failed;
    EXPECT_EQ(!run.files_ok,
              run.copy_failed || (script && failed.rfind("close(", 0) != 0) || sync || record);
    std::vector<std::string> deviated;
    for (const Entry& entry : kEntries) {
      std::string name = std::string("Sim\\") + entry.destination;
      bool kept = now.at(name) != after.at(name);
      for (const std::string& box : clean.boxes)
        kept |= NamesEntry({box}, entry) && !Names(run.boxes, box);
      if (kept)
        deviated.push_back(name);
      EXPECT_TRUE(!kept || NamesEntry(run.boxes, entry) || script || run.record_failed)
          << name << " left unsaid";
    }
    for (const std::string& box : run.boxes) {
      bool explained = Names(clean.boxes, box);
      for (const Entry& entry : kEntries)
        explained |=
            NamesEntry({box}, entry) && Names(deviated, std::string("Sim\\") + entry.destination);
      EXPECT_TRUE(explained) << box;
    }
  }

  ScopedTempDir dir_;
  // Flushes on a tmpfs take no time, which keeps the loop fast; elsewhere
  // the tests run on the temporary directory's own file system.
  ScopedTmpfs tmpfs_{dir_.path(), "16m"};
};

const char kCatalogueText[] =
    "Basis{\r\n\tTextur{\tname(Kies)\tid(12)\t}\r\n\tTextur{\tname(Lehm)\tid(14)\t}\r\n}";

TEST_F(InstallSystemFaultTest, EveryFailingCallLeavesEachFileOldOrNew) {
  InstallTree reference(dir_.path() + "\\reference");
  ASSERT_TRUE(TestMakeDir(reference.root()));
  reference.Make(kCatalogueText);
  State before = reference.Snapshot();
  RunResult clean = Install(reference, 0, 0);
  State after = reference.Snapshot();
  ASSERT_NE(before.at(kCatalogue), after.at(kCatalogue));

  const int kErrors[] = {EIO, ENOSPC, EACCES};
  for (int n = 1; n < 2000; ++n) {
    InstallTree tree(dir_.path() + "\\run" + std::to_string(n));
    ASSERT_TRUE(TestMakeDir(tree.root()));
    tree.Make(kCatalogueText);
    long descriptors = OpenDescriptors();
    RunResult run = Install(tree, n, kErrors[n % 3]);
    SCOPED_TRACE("call " + std::to_string(n) + ": " +
                 (run.failed_at ? run.calls[n - 1] : std::string("none")));
    EXPECT_EQ(descriptors, OpenDescriptors());
    CheckRun(tree, run, clean, before, after);
    if (!run.failed_at) {
      EXPECT_EQ(clean.boxes, run.boxes);
      EXPECT_EQ(after, tree.Snapshot());
      EXPECT_GT(n, 100);  // the loop did fault the copies and the catalogue
      RecordProperty("fault_points", n - 1);
    }
    CheckRecordUndoes(tree, before);
    if (!run.failed_at)
      return;
    std::filesystem::remove_all(ToPosixPath(tree.root()));
  }
  ADD_FAILURE() << "the run never completed without a fault";
}

// The durability rule, read from the call log of a run that succeeds: a
// file that existed is replaced only after its temporary was flushed, a new
// file is not flushed on its own, and the last change is followed by a sync
// of the file system before the run reports success; when the syncs fail,
// neither step does.
TEST_F(InstallSystemFaultTest, FlushesBeforeEachReplaceAndSyncsBeforeSuccess) {
  InstallTree tree(dir_.path() + "\\synced"), unsynced(dir_.path() + "\\unsynced");
  for (InstallTree* each : {&tree, &unsynced}) {
    ASSERT_TRUE(TestMakeDir(each->root()));
    each->Make(kCatalogueText);
    ASSERT_TRUE(TestSetReadOnly(each->Destination(kEntries[2]), false));
  }
  RunResult failed = Install(unsynced, 0, EIO, "syncfs", "");
  EXPECT_FALSE(failed.files_ok || failed.textures_ok);
  State before = tree.Snapshot();
  RunResult run = Install(tree, 0, 0);
  EXPECT_TRUE(run.files_ok && run.textures_ok);
  const std::vector<std::string>& calls = run.calls;
  int replaced = 0, last_change = 0, last_sync = 0;
  // Files written since the last sync; the record's closing lines are
  // flushed on their own, after the last sync of the file system.
  std::set<std::string> unflushed;
  for (int i = 1; i <= static_cast<int>(calls.size()); ++i) {
    const std::string& call = calls[i - 1];
    if (call.rfind("syncfs(", 0) == 0) {
      last_sync = i;
      unflushed.clear();
    }
    if (call.rfind("write(", 0) == 0)
      unflushed.insert(call.substr(6));
    if (call.rfind("fsync(", 0) == 0)
      unflushed.erase(call.substr(6));
    for (const char* change : {"rename(", "mkdir(", "unlink(", "chmod(", "fchmod("})
      last_change = call.rfind(change, 0) == 0 ? i : last_change;
    if (call.rfind("rename(", 0) != 0)
      continue;
    std::string temp = call.substr(7, call.find(", ") - 7);
    std::string target = call.substr(call.find(", ") + 2);
    target.pop_back();
    int flushed = 0, written = 0;
    for (int j = 1; j < i; ++j) {
      flushed = calls[j - 1] == "fsync(" + temp + ")" ? j : flushed;
      written = calls[j - 1] == "write(" + temp + ")" ? j : written;
    }
    bool existed = false;
    for (const auto& file : before)
      existed |= file.second != "-" && ToPosixPath(tree.At(file.first)) == target;
    if (existed)
      ++replaced;
    // Before anything that was there is replaced, the record and every
    // backup are on disk.
    for (const std::string& file : unflushed) {
      bool kept =
          file.find("Record.txt") != std::string::npos || file.find(".bak") != std::string::npos;
      EXPECT_FALSE(existed && kept) << file << " before " << call;
    }
    EXPECT_EQ(existed, flushed > written) << call;
  }
  EXPECT_EQ(3, replaced);  // b, c and the catalogue
  // The file step's closing lines reach the disk with its sync, before the
  // texture step backs up the catalogue.
  auto first = [&](int from, const char* op, const char* part) {
    for (int i = from; i < static_cast<int>(calls.size()); ++i) {
      if (calls[i].rfind(op, 0) == 0 && calls[i].find(part) != std::string::npos)
        return i;
    }
    return static_cast<int>(calls.size());
  };
  int file_sync = first(0, "syncfs(", "");
  EXPECT_LT(first(file_sync, "fsync(fd ", ""), first(file_sync, "write(", ".bak"));
  EXPECT_GT(last_sync, last_change) << "no sync after " << calls[last_change - 1];
  EXPECT_TRUE(unflushed.empty()) << "not flushed: " << *unflushed.begin();
}

// Where the system tells names apart by case, folders made as two
// spellings are both taken back.
TEST_F(InstallSystemFaultTest, FoldersThatDifferInCaseAreAllUndone) {
  InstallTree tree(dir_.path());
  for (const char* dir : {"Sim", "Sim\\Resourcen", "Sim\\Resourcen\\Parallels", "Paket"})
    ASSERT_TRUE(TestMakeDir(tree.At(dir)));
  ASSERT_TRUE(TestWriteFile(tree.At(kCatalogue), kCatalogueText));
  ASSERT_TRUE(TestWriteFile(tree.At("Paket\\a.dat"), "a") &&
              TestWriteFile(tree.At("Paket\\b.dat"), "b"));
  ASSERT_TRUE(
      TestWriteFile(tree.At("Paket\\InstSkript.txt"),
                    "Dateinstallation{{a.dat>>Neu\\a.ksm}{b.dat>>neu\\A.KSM}}Texturskript{}"));
  ASSERT_TRUE(Install(tree, 0, 0).files_ok);
  FakePlatform fake;
  Platform platform{PosixFileSystem(), fake.registry, fake.shell};
  UndoOutcome undone = UndoLatest(platform, tree.At("Sim\\"), "Paket", UndoOptions()).outcome;
  EXPECT_EQ(UndoStatus::kUndone, undone.status);
  for (const char* dir : {"Sim\\Neu", "Sim\\neu"})
    EXPECT_FALSE(std::filesystem::exists(ToPosixPath(tree.At(dir)))) << dir;
}

// Kestrova's disk has room for part of the package only: the copies that
// find none fail with their message and leave nothing behind, and the
// catalogue, whose new copy finds none either, stays as it was.
TEST_F(InstallSystemFaultTest, AFullDiskFailsEachCopyThatFindsNoRoom) {
  InstallTree tree(dir_.path());
  ASSERT_TRUE(TestMakeDir(tree.At("Sim")) && TestMakeDir(tree.At("Paket")));
  ScopedTmpfs disk(tree.At("Sim"), "192k");
  if (!disk.mounted())
    std::printf("No tmpfs can be mounted here; every write to the disk fails instead.\n");
  for (const char* dir : {"Sim\\Resourcen", "Sim\\Resourcen\\Parallels"})
    ASSERT_TRUE(TestMakeDir(tree.At(dir)));
  std::string catalogue = "Basis{\r\n";
  for (int id = 1000; catalogue.size() < 60 * 1024; ++id)
    catalogue +=
        "\tTextur{\tname(T" + std::to_string(id) + ")\tid(" + std::to_string(id) + ")\t}\r\n";
  catalogue += "}";
  ASSERT_TRUE(TestWriteFile(tree.At(kCatalogue), catalogue));
  ASSERT_TRUE(TestWriteFile(tree.At("Sim\\Resourcen\\b.dat"), "old b"));
  ASSERT_TRUE(TestSetWriteTime(tree.At("Sim\\Resourcen\\b.dat"), kOld));
  // a fits; b and c, 80 KiB each, find 48 KiB left.
  const char* names[] = {"a.dat", "b.dat", "c.dat"};
  for (const char* name : names)
    ASSERT_TRUE(TestWriteFile(tree.At(std::string("Paket\\") + name), Pattern(name, 80 * 1024)));
  ASSERT_TRUE(TestWriteFile(tree.At("Paket\\InstSkript.txt"),
                            "Dateinstallation{{a.dat>>Resourcen\\a.dat}{b.dat>>Resourcen\\b.dat}"
                            "{c.dat>>c.dat}}Texturskript{{x>>Textur{name(Sand)id(13)}}}"));
  long descriptors = OpenDescriptors();
  RunResult run =
      Install(tree, 0, ENOSPC, disk.mounted() ? nullptr : "write", ToPosixPath(tree.At("Sim")));
  EXPECT_EQ(descriptors, OpenDescriptors());
  EXPECT_FALSE(run.files_ok);
  EXPECT_FALSE(run.textures_ok);
  EXPECT_EQ(catalogue, Content(tree.At(kCatalogue)));
  EXPECT_FALSE(TempLeft(tree.root()));
  FakeShell english;
  english.language = 0x0409;
  std::size_t failed = 0;
  for (const char* name : names) {
    std::string destination =
        name[0] == 'c' ? "Sim\\c.dat" : std::string("Sim\\Resourcen\\") + name;
    std::string now = Content(tree.At(destination));
    if (now == Pattern(name, 80 * 1024))
      continue;
    ++failed;
    EXPECT_EQ(name[0] == 'b' ? "old b" : "-", now) << destination;
    std::string source = std::string("<root>\\Paket\\") + name;
    EXPECT_TRUE(Names(
        run.boxes, FormatLocalized(english, IDS_COPY_FAILED, {source, "<root>\\" + destination})));
  }
  EXPECT_EQ(failed, run.boxes.size());
  EXPECT_EQ(disk.mounted() ? 2u : 3u, failed);
  RecordProperty("copies_failed", static_cast<int>(failed));
}

}  // namespace
