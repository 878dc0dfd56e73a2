// A run's temporaries on the real POSIX file system: a link planted at a
// temporary's name, symbolic or hard, is removed as a name and never
// written through, by the copies, the catalogue's save and undo's restore;
// and the sum that a copy takes while it writes is the sum of the file
// that lands on the disk.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "engine/install_record.h"
#include "engine/installer.h"
#include "platform/fake_platform.h"
#include "platform/paths.h"
#include "platform/posix_syscalls.h"
#include "platform/system_posix.h"
#include "platform/test_dir.h"
#include "record/record_reader.h"
#include "record/undo.h"

namespace {

const std::uint64_t kOld = 132223104000000000ULL;  // 2020-01-01, as FILETIME
const char kCatalogue[] = "Sim\\Resourcen\\Parallels\\Texturen.txt";
const char kOldCatalogue[] = "Basis{\r\n\tTextur{\tname(Kies)\tid(12)\t}\r\n}";

std::string Content(const std::string& path) {
  std::string data;
  return TestReadFile(path, &data) ? data : "-";
}

// A file as an attacker would want it changed: content, mode and time.
std::string Fingerprint(const std::string& path) {
  struct stat st;
  if (stat(ToPosixPath(path).c_str(), &st) != 0)
    return "missing";
  std::string data = Content(path);
  return SumText(Xxh64::Of(data.data(), data.size())) + " " + std::to_string(st.st_mode) + " " +
         std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
}

// A plain file of its own: no link, and no second name.
bool Plain(const std::string& path) {
  struct stat st;
  return lstat(ToPosixPath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1;
}

class TemporarySystemTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.path().empty());
    for (const char* sub : {"Paket", "Sim", "Sim\\Resourcen", "Sim\\Resourcen\\Parallels"})
      ASSERT_TRUE(TestMakeDir(At(sub)));
    Write("Paket\\InstSkript.txt",
          "Dateinstallation{{a.dat>>a.dat}{b.dat>>b.dat}}"
          "Texturskript{{x>>Textur{name(Sand)id(13)}}}");
    Write("Sim\\b.dat", "old b");
    Write(kCatalogue, kOldCatalogue);
    Write("outside.dat", "outside");
    ASSERT_TRUE(TestSetWriteTime(At("outside.dat"), kOld));
  }

  std::string At(const std::string& name) const { return dir_.path() + "\\" + name; }
  void Write(const std::string& name, const std::string& data) {
    ASSERT_TRUE(TestWriteFile(At(name), data)) << name;
  }
  void Plant(const std::string& name, bool hard) {
    std::string outside = ToPosixPath(At("outside.dat"));
    std::string at = ToPosixPath(At(name));
    ASSERT_EQ(0, hard ? link(outside.c_str(), at.c_str()) : symlink(outside.c_str(), at.c_str()));
  }

  // Both steps of an install, with its record, as CInstaller::Run runs them.
  bool Install() {
    CInstaller installer(platform_);
    installer.hostDir = At("Sim\\");
    installer.scriptDir = At("Paket");
    CInstallRecord record(platform_.files, installer.hostDir);
    installer.record = &record;
    EXPECT_TRUE(record.Begin("install", "Paket", "-", "2026-12-09 12:00:00"));
    bool ok = installer.script.CheckOpen(At("Paket\\InstSkript.txt")) && installer.InstallFiles() &&
              installer.InstallTextures();
    return record.Finish(ok ? "ok" : "failed") && ok;
  }

  ScopedTempDir dir_;
  FakePlatform fake_;
  Platform platform_{PosixFileSystem(), fake_.registry, fake_.shell};
};

TEST_F(TemporarySystemTest, ALinkAtATemporaryNameLeavesWhatItLeadsToAlone) {
  unsigned run = 0;  // the number of the last record folder
  for (bool hard : {false, true}) {
    SCOPED_TRACE(hard ? "hard links" : "symbolic links");
    Write("Paket\\a.dat", "package a");
    Write("Paket\\b.dat", "package b");
    std::string outside = Fingerprint(At("outside.dat"));
    // A new file's, a replaced file's and the catalogue's temporary, which
    // is the run's own.
    for (std::string name : {std::string("Sim\\a.dat.pwtmp"), std::string("Sim\\b.dat.pwtmp"),
                             RunCatalogueTemp(kCatalogue, RecordFolderName(++run))})
      Plant(name, hard);
    ASSERT_TRUE(Install());
    EXPECT_EQ(outside, Fingerprint(At("outside.dat")));
    EXPECT_EQ("package a", Content(At("Sim\\a.dat")));
    EXPECT_EQ("package b", Content(At("Sim\\b.dat")));
    EXPECT_NE(std::string::npos, Content(At(kCatalogue)).find("Sand"));
    for (const char* name : {"Sim\\a.dat", "Sim\\b.dat", kCatalogue})
      EXPECT_TRUE(Plain(At(name))) << name;

    // Undo puts the replaced file and the catalogue back through temporaries.
    Plant("Sim\\b.dat.pwtmp", hard);
    Plant(RunCatalogueTemp(kCatalogue, RecordFolderName(++run)), hard);
    UndoOutcome undone = UndoLatest(platform_, At("Sim\\"), "Paket", UndoOptions()).outcome;
    EXPECT_EQ(UndoStatus::kUndone, undone.status);
    EXPECT_EQ(outside, Fingerprint(At("outside.dat")));
    EXPECT_EQ("old b", Content(At("Sim\\b.dat")));
    EXPECT_EQ(kOldCatalogue, Content(At(kCatalogue)));
    EXPECT_EQ("-", Content(At("Sim\\a.dat")));
    for (const char* name : {"Sim\\b.dat", kCatalogue})
      EXPECT_TRUE(Plain(At(name))) << name;
  }
}

// The system may write less than it is asked to; each copy must still put
// every byte in place, and the sum on record is checked against the file
// as it reads back from the disk, not against the buffers handed over.
ssize_t ShortWrite(int fd, const void* data, std::size_t size) {
  return kSystemSyscalls.write(fd, data, size < 777 ? size : 777);
}

TEST_F(TemporarySystemTest, TheSumOnRecordIsTheSumOfTheFileOnDisk) {
  std::string a(300 * 1024 + 17, '\0');
  for (std::size_t i = 0; i < a.size(); ++i)
    a[i] = static_cast<char>(i * 7 + i / 251);
  Write("Paket\\a.dat", a);
  Write("Paket\\b.dat", "package b");
  g_syscalls.write = ShortWrite;
  bool installed = Install();
  g_syscalls.write = kSystemSyscalls.write;
  ASSERT_TRUE(installed);
  RunRecord record;
  ASSERT_TRUE(ReadRunRecord(platform_.files, At("Sim\\"), 1, &record));
  int checked = 0;
  for (const RecordedFile& file : record.files) {
    if (file.kind != RecordedFile::kCreate && file.kind != RecordedFile::kReplace)
      continue;
    FileSum on_disk;
    ASSERT_TRUE(ChecksumFile(platform_.files, file.path, &on_disk));
    EXPECT_EQ(on_disk, file.sum) << file.path;
    if (file.path == At("Sim\\a.dat")) {
      EXPECT_EQ(Xxh64::Of(a.data(), a.size()), file.sum.sum);
    }
    checked++;
  }
  EXPECT_EQ(2, checked);
  EXPECT_EQ(a, Content(At("Sim\\a.dat")));
}

}  // namespace

namespace {

// A copy keeps its source's time to the nanosecond on POSIX, which a count
// of 100 ns would round: an installed file has its package file's time,
// and a file that undo puts back from its backup comes back exactly.
long Nanoseconds(const std::string& path) {
  struct stat st;
  return stat(ToPosixPath(path).c_str(), &st) == 0 ? st.st_mtim.tv_nsec : -1;
}

TEST_F(TemporarySystemTest, ACopyKeepsItsSourcesTimeToTheNanosecond) {
  Write("Paket\\a.dat", "package a");
  Write("Paket\\b.dat", "package b");
  struct timespec times[2] = {{0, UTIME_OMIT}, {1700000000, 123456789}};
  for (const char* name : {"Paket\\a.dat", "Sim\\b.dat"})
    ASSERT_EQ(0, utimensat(AT_FDCWD, ToPosixPath(At(name)).c_str(), times, 0));
  ASSERT_TRUE(Install());
  EXPECT_EQ(123456789, Nanoseconds(At("Sim\\a.dat")));
  ASSERT_EQ(UndoStatus::kUndone,
            UndoLatest(platform_, At("Sim\\"), "Paket", UndoOptions()).outcome.status);
  EXPECT_EQ(123456789, Nanoseconds(At("Sim\\b.dat")));
}

}  // namespace
