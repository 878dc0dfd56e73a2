// Links and forged records on the real POSIX file system: whatever a record
// says, and whatever links lie in Kestrova's tree, undo (plain, forced or
// dry) and list change nothing outside Kestrova, except through a link that
// the install went through and the record names, still leading where it
// led.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "engine/install_record.h"
#include "engine/installer.h"
#include "platform/fake_platform.h"
#include "platform/paths.h"
#include "platform/system_posix.h"
#include "platform/test_dir.h"
#include "record/record_list.h"
#include "record/undo.h"

namespace fs = std::filesystem;

namespace {

const char kKey[] = "HKEY_CLASSES_ROOT\\Software\\Brindlewood\\KSVX";
const char kCatalogue[] = "Basis{\r\n\tTextur{\tname(Kies)\tid(12)\t}\r\n}\r\n";
const char kSum[] = "0000000000000000";

void Write(const fs::path& path, const std::string& data) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << data;
}

// Every file, folder and link under `root` but Kestrova's records: its
// content or target, mode and last-write time.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
  std::map<std::string, std::string> all;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
       ++it) {
    std::string name = it->path().string();
    if (name.find("/Sim/Packwright") != std::string::npos) {
      it.disable_recursion_pending();
      continue;
    }
    struct stat st;
    lstat(name.c_str(), &st);
    std::string what =
        it->is_symlink() ? "-> " + fs::read_symlink(it->path()).string()
        : it->is_directory()
            ? "<dir>"
            : std::string(std::istreambuf_iterator<char>(std::ifstream(name).rdbuf()), {});
    // A folder's time changes with what is made and removed in it.
    std::string time = it->is_directory() && !it->is_symlink()
                           ? std::string()
                           : " time " + std::to_string(st.st_mtim.tv_sec) + "." +
                                 std::to_string(st.st_mtim.tv_nsec);
    all[name] = what + " mode " + std::to_string(st.st_mode) + time;
  }
  return all;
}

class UndoLinksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.path().empty());
    root_ = ToPosixPath(dir_.path());
    host_ = dir_.path() + "\\Sim\\";
    Write(root_ / "Sim/Kestrova.exe", "exe");
    Write(root_ / "Sim/Resourcen/Parallels/Texturen.txt", kCatalogue);
    Write(root_ / "Sim/Modelle/a.ksm", "a");
    Write(root_ / "Out/secret.txt", "secret");
    Write(root_ / "Out/dir/x.ksm", "outside x");
    Write(root_ / "Disk/Extern/keep.ksm", "keep");
    Write(root_ / "Paket/x.ksm", "package x");
    Write(root_ / "Paket/InstSkript.txt",
          "Dateinstallation{{x.ksm>>Extern\\x.ksm}{x.ksm>>Extern\\Neu\\y.ksm}}Texturskript{}");
    fs::create_symlink(root_ / "Out/dir", root_ / "Sim/Linked");
    fs::create_symlink(root_ / "Out/secret.txt", root_ / "Sim/Modelle/ln.ksm");
    fs::create_symlink(root_ / "Disk/Extern", root_ / "Sim/Extern");
    fake_.registry.SetString(kKey, "AppPath", host_ + "Kestrova.exe");
    fake_.shell.module_path = dir_.path() + "\\Paket\\Packwright.exe";
  }

  long Install() { return CInstaller(platform_).Run(nullptr); }

  UndoStatus Undo(unsigned number, bool force, bool dry_run = false) {
    UndoOptions options;
    options.force = force;
    options.dry_run = dry_run;
    return UndoRun(platform_, host_, number, options).outcome.status;
  }

  ScopedTempDir dir_;
  fs::path root_;
  std::string host_;
  FakePlatform fake_;
  Platform platform_{PosixFileSystem(), fake_.registry, fake_.shell};
};

TEST_F(UndoLinksTest, ForgedRecordsChangeNothingOutsideOrInside) {
  const std::string outside = dir_.path() + "\\Out\\secret.txt";
  const std::string forms[] = {"..%00",
                               "Kestrova.exe%00",
                               "Modelle\\a.ksm%00x",
                               "%2E%2E\\Out\\secret.txt",
                               "...\\Out\\secret.txt",
                               ".. \\Out\\secret.txt",
                               "Modelle\\...\\..\\..\\Out\\secret.txt",
                               outside,
                               "\\\\srv\\share\\x",
                               "Linked\\x.ksm",
                               "Linked\\Neu",
                               "Linked",
                               "Modelle\\ln.ksm",
                               "Packwright\\0001\\Record.txt"};
  fs::path records = root_ / "Sim/Packwright";
  unsigned number = 0;
  for (const std::string& form : forms) {
    fs::path folder = records / RecordFolderName(++number);
    std::string line = "\t1\t" + std::string(kSum) + "\n";
    Write(folder / "Record.txt",
          "packwright-record\t2\npackage\tPaket\t-\nkind\tinstall\nmake-folder\t" + form +
              "\nfolder-removed\t" + form + "\ncreate\t" + form + line + "replace\t" + form +
              "\t1.bak\t0" + line + "replace\tModelle\\a.ksm\t2.bak\t0" + line + "remove\t" + form +
              "\t1.bak\t0" + line + "attributes\t" + form + "\t4095\ncatalogue\t" + form +
              "\t2.bak" + line);
    Write(folder / "1.bak", "backup");
    fs::create_symlink(root_ / "Out/secret.txt", folder / "2.bak");
  }
  // A record's folder that is a link, holding a record that would remove a.ksm.
  Write(root_ / "Out/rec/Record.txt", std::string("packwright-record\t2\nkind\tinstall\n") +
                                          "create\tModelle\\a.ksm\t1\t" + kSum + "\n");
  fs::create_symlink(root_ / "Out/rec", records / "0099");

  std::map<std::string, std::string> before = Snapshot(root_);
  EXPECT_EQ(number, ListRecords(platform_, host_).size());
  for (unsigned n = 1; n <= number; ++n) {
    SCOPED_TRACE(forms[n - 1]);
    Undo(n, true, true);
    EXPECT_NE(UndoStatus::kUndone, Undo(n, true));
    Undo(n, false);
    EXPECT_EQ(before, Snapshot(root_));
  }
  EXPECT_EQ(UndoStatus::kNothingToUndo, Undo(99, true));
  EXPECT_EQ(before, Snapshot(root_));
}

TEST_F(UndoLinksTest, UndoGoesThroughALinkOnRecordOnlyWhileItLeadsWhereItLed) {
  std::map<std::string, std::string> before = Snapshot(root_);
  ASSERT_EQ(0, Install());
  EXPECT_TRUE(fs::exists(root_ / "Disk/Extern/Neu/y.ksm"));
  EXPECT_EQ(UndoStatus::kUndone, Undo(1, false));
  EXPECT_EQ(before, Snapshot(root_));

  ASSERT_EQ(0, Install());
  // The link now leads elsewhere, to a copy of what the install left.
  fs::copy(root_ / "Disk/Extern", root_ / "Out/Extern", fs::copy_options::recursive);
  fs::remove(root_ / "Sim/Extern");
  fs::create_symlink(root_ / "Out/Extern", root_ / "Sim/Extern");
  std::map<std::string, std::string> out = Snapshot(root_ / "Out");
  std::map<std::string, std::string> disk = Snapshot(root_ / "Disk");
  EXPECT_EQ(UndoStatus::kPartly, Undo(3, true));
  EXPECT_EQ(out, Snapshot(root_ / "Out"));
  EXPECT_EQ(disk, Snapshot(root_ / "Disk"));
}

TEST_F(UndoLinksTest, RecordsAreNeverWrittenThroughALink) {
  fs::create_directories(root_ / "Out/pw");
  fs::create_symlink(root_ / "Out/pw", root_ / "Sim/Packwright");
  std::map<std::string, std::string> before = Snapshot(root_);
  EXPECT_EQ(kInstallFailed, Install());
  EXPECT_EQ(before, Snapshot(root_));
  EXPECT_TRUE(fs::is_empty(root_ / "Out/pw"));
  EXPECT_TRUE(ListRecords(platform_, host_).empty());
}

}  // namespace
