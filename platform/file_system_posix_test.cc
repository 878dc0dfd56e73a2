// The POSIX FileSystem where POSIX alone decides: the drive mapping, the
// Windows rules it enforces itself (root could read and write anything) and
// the exact error texts.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/syscall_faults.h"
#include "platform/test_dir.h"
#include "platform/unicode.h"

namespace {

const std::uint64_t kNewYear2020 = 132223104000000000ULL;

class PosixFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(dir_.path().empty()); }

  std::string At(const std::string& name) const { return dir_.path() + "\\" + name; }
  std::string Native(const std::string& name) const { return ToPosixPath(At(name)); }
  std::string Content(const std::string& name) const {
    std::string data;
    EXPECT_TRUE(TestReadFile(At(name), &data)) << name;
    return data;
  }

  ScopedTempDir dir_;
  FileSystem& files_ = SystemPlatform().files;
};

TEST_F(PosixFileSystemTest, DriveZIsTheRootAndNoOtherDriveExists) {
  ASSERT_TRUE(TestWriteFile(At("a.dat"), "a"));
  ASSERT_EQ("Z:\\", dir_.path().substr(0, 3));
  EXPECT_TRUE(files_.Exists("z:" + dir_.path().substr(2) + "\\a.dat"));
  EXPECT_FALSE(files_.Exists("C:" + dir_.path().substr(2) + "\\a.dat"));
  EXPECT_EQ(DirResult::kFailed, files_.MakeDirectory("C:" + dir_.path().substr(2) + "\\neu"));
  std::uint64_t time;
  EXPECT_EQ(TimeResult::kOpenFailed, files_.LastWriteTime("C:\\a.dat", &time));
}

TEST_F(PosixFileSystemTest, RelativePathsStartAtTheCurrentDirectory) {
  std::vector<char> cwd(4096);
  ASSERT_NE(nullptr, getcwd(cwd.data(), cwd.size()));
  std::string here = FromPosixPath(cwd.data());
  EXPECT_EQ(here + "\\a.dat", files_.FullPath("a.dat"));
  EXPECT_EQ(here + "\\b\\a.dat", files_.FullPath("b/./a.dat"));
}

TEST_F(PosixFileSystemTest, WildcardsFollowWindowsRules) {
  ASSERT_TRUE(TestWriteFile(At("noext"), "n"));
  ASSERT_TRUE(TestWriteFile(At("Mast[1].dat"), "m"));
  ASSERT_TRUE(TestWriteFile(At("Mast2.dat"), "m"));
  // A pattern ending in ".*" also matches a name without an extension.
  EXPECT_TRUE(files_.Exists(At("noext.*")));
  EXPECT_TRUE(files_.Exists(At("noe?t.*")));
  // "[" is an ordinary character, not a set.
  EXPECT_TRUE(files_.Exists(At("Mast[1]*")));
  EXPECT_FALSE(files_.Exists(At("Mast[2]*")));
}

TEST_F(PosixFileSystemTest, CopyRefusesAReadOnlyDestination) {
  ASSERT_TRUE(TestWriteFile(At("a.dat"), "new"));
  ASSERT_TRUE(TestWriteFile(At("ro.dat"), "old"));
  ASSERT_TRUE(TestSetReadOnly(At("ro.dat"), true));
  std::string err;
  EXPECT_FALSE(files_.Copy(At("a.dat"), At("ro.dat"), &err));
  EXPECT_EQ("Copy(" + At("a.dat") + ", " + At("ro.dat") + "): Permission denied", err);
  EXPECT_EQ("old", Content("ro.dat"));
  EXPECT_EQ(nullptr, files_.CreateWrite(At("ro.dat"), &err));
  EXPECT_EQ("CreateWrite(" + At("ro.dat") + "): Permission denied", err);
  ASSERT_TRUE(files_.SetNormalAttributes(At("ro.dat")));
  EXPECT_TRUE(files_.Copy(At("a.dat"), At("ro.dat"), &err)) << err;
  EXPECT_EQ("new", Content("ro.dat"));
}

TEST_F(PosixFileSystemTest, CopyOntoItselfKeepsTheFile) {
  ASSERT_TRUE(TestWriteFile(At("a.dat"), "precious"));
  std::string err;
  EXPECT_FALSE(files_.Copy(At("a.dat"), At("a.dat"), &err));
  EXPECT_FALSE(files_.Copy(At("a.dat"), At("sub\\..\\a.dat"), &err));
  ASSERT_EQ(0, symlink(Native("a.dat").c_str(), Native("link.dat").c_str()));
  EXPECT_FALSE(files_.Copy(At("a.dat"), At("link.dat"), &err));
  EXPECT_EQ("Copy(" + At("a.dat") + ", " + At("link.dat") + "): Device or resource busy", err);
  EXPECT_EQ("precious", Content("a.dat"));
}

TEST_F(PosixFileSystemTest, FilesWithoutReadPermissionDoNotOpen) {
  ASSERT_TRUE(TestWriteFile(At("secret.dat"), "s"));
  ASSERT_EQ(0, chmod(Native("secret.dat").c_str(), 0200));
  std::uint64_t time;
  std::string err;
  EXPECT_EQ(TimeResult::kOpenFailed, files_.LastWriteTime(At("secret.dat"), &time));
  EXPECT_EQ(nullptr, files_.OpenRead(At("secret.dat"), &err));
  EXPECT_FALSE(files_.Copy(At("secret.dat"), At("c.dat"), &err));
  EXPECT_TRUE(files_.Exists(At("secret.dat")));
}

TEST_F(PosixFileSystemTest, SpecialFilesDoNotOpen) {
  ASSERT_EQ(0, mkfifo(Native("pipe").c_str(), 0666));
  std::uint64_t time;
  std::string err;
  EXPECT_EQ(TimeResult::kOpenFailed, files_.LastWriteTime(At("pipe"), &time));
  EXPECT_FALSE(files_.Copy(At("pipe"), At("c.dat"), &err));
  EXPECT_TRUE(files_.Exists(At("pipe")));
}

TEST_F(PosixFileSystemTest, LinksResolveAndPassNoModeOn) {
  ASSERT_TRUE(TestMakeDir(At("real")));
  ASSERT_TRUE(TestWriteFile(At("real\\a.dat"), "a"));
  ASSERT_EQ(0, symlink(Native("real").c_str(), Native("link").c_str()));
  ASSERT_EQ(0, symlink(Native("real\\a.dat").c_str(), Native("a-link").c_str()));
  ASSERT_EQ(0, symlink(Native("gone").c_str(), Native("dangling").c_str()));
  std::string real = files_.RealPath(At("real"));
  EXPECT_EQ(real + "\\a.dat", files_.RealPath(At("link\\a.dat")));
  EXPECT_EQ(real + "\\new\\b.dat", files_.RealPath(At("link\\new\\b.dat")));
  EXPECT_EQ(real + "\\a.dat", files_.RealPath(At("a-link")));
  EXPECT_EQ("", files_.RealPath(At("dangling\\b.dat")));
  ASSERT_EQ(0, chmod(Native("real\\a.dat").c_str(), 0644));
  EXPECT_FALSE(files_.SetAttributes(At("a-link"), 04777));
  EXPECT_TRUE(files_.SetAttributes(At("real\\a.dat"), 06777));
  struct stat st;
  ASSERT_EQ(0, stat(Native("real\\a.dat").c_str(), &st));
  EXPECT_EQ(0666u, st.st_mode & 07777);
  EXPECT_TRUE(files_.SetAttributes(At("real\\a.dat"), 0));
  ASSERT_EQ(0, stat(Native("real\\a.dat").c_str(), &st));
  EXPECT_EQ(0444u, st.st_mode & 07777);
}

TEST_F(PosixFileSystemTest, ALockLapsesWhenItsProcessDies) {
  int ready[2];
  ASSERT_EQ(0, pipe(ready));
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::unique_ptr<FileLock> lock;
    std::string err;
    char ok = files_.LockFile(At("run.lock"), &lock, &err) == LockResult::kLocked ? '1' : '0';
    if (write(ready[1], &ok, 1) == 1)
      pause();
    _exit(0);
  }
  char ok = 0;
  ASSERT_EQ(1, read(ready[0], &ok, 1));
  ASSERT_EQ('1', ok);
  std::unique_ptr<FileLock> lock;
  std::string err;
  EXPECT_EQ(LockResult::kBusy, files_.LockFile(At("run.lock"), &lock, &err));
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  EXPECT_EQ(LockResult::kLocked, files_.LockFile(At("run.lock"), &lock, &err)) << err;
  close(ready[0]);
  close(ready[1]);
}

TEST_F(PosixFileSystemTest, TimesKeepTheirFullPrecisionAndRange) {
  ASSERT_TRUE(TestWriteFile(At("a.dat"), "a"));
  std::uint64_t time = 0;
  // 1960-01-01 lies before the POSIX epoch.
  const std::uint64_t kNewYear1960 = 113288544000000000ULL;
  for (std::uint64_t when : {kNewYear2020 + 1234567, kNewYear1960 + 100}) {
    ASSERT_TRUE(TestSetWriteTime(At("a.dat"), when));
    ASSERT_EQ(TimeResult::kOk, files_.LastWriteTime(At("a.dat"), &time));
    EXPECT_EQ(when, time);
    std::string err;
    ASSERT_TRUE(files_.Copy(At("a.dat"), At("c.dat"), &err)) << err;
    ASSERT_EQ(TimeResult::kOk, files_.LastWriteTime(At("c.dat"), &time));
    EXPECT_EQ(when, time);
  }
}

// A Linux tree can hold names that Windows takes for one: the name spelled
// as asked wins, else the first in byte order, as under Wine.
TEST_F(PosixFileSystemTest, NamesDifferingOnlyInCaseResolveAsUnderWine) {
  for (const char* dir : {"Neu", "NEU"})
    ASSERT_TRUE(TestMakeDir(At(dir)));
  for (const char* file : {"NEU\\a.ksm", "Neu\\a.ksm", "Neu\\A.KSM"})
    ASSERT_TRUE(TestWriteFile(At(file), file));
  const struct {
    const char* asked;
    const char* found;
  } kCases[] = {
      {"Neu\\a.ksm", "Neu\\a.ksm"},  // exact
      {"NEU\\A.ksm", "NEU\\a.ksm"},  // exact folder, its one variant
      {"neu\\a.ksm", "NEU\\a.ksm"},  // "NEU" sorts before "Neu"
      {"Neu\\a.KSM", "Neu\\A.KSM"},  // "A.KSM" sorts before "a.ksm"
  };
  for (const auto& c : kCases) {
    std::unique_ptr<InputFile> in = files_.OpenRead(At(c.asked), nullptr);
    ASSERT_TRUE(in) << c.asked;
    char buf[32] = {};
    in->Read(buf, sizeof(buf) - 1);
    EXPECT_EQ(c.found, std::string(buf)) << c.asked;
  }
  std::string err;
  ASSERT_TRUE(files_.Copy(At("Neu\\a.ksm"), At("nEU\\Neu.Dat"), &err)) << err;
  EXPECT_EQ("Neu\\a.ksm", Content("NEU\\Neu.Dat"));
}

// A step that writes many files into one folder lists it once, although
// every new name must be looked for among its names in other cases.
TEST_F(PosixFileSystemTest, AFolderIsListedOncePerRunOfNewNames) {
  ASSERT_TRUE(TestMakeDir(At("Modelle")));
  ASSERT_TRUE(TestWriteFile(At("src.dat"), "s"));
  std::string err;
  SyscallFaults faults;
  ASSERT_EQ(DirResult::kCreated, files_.MakeDirectory(At("modelle\\Neu")));
  for (int i = 0; i < 20; ++i) {
    std::string name = "modelle\\NEU\\f" + std::to_string(i) + ".dat";
    ASSERT_TRUE(files_.Copy(At("src.dat"), At(name), &err)) << err;
    ASSERT_TRUE(files_.Replace(At(name), At(name + "x"), &err)) << err;
  }
  int listings = 0;
  for (const std::string& call : faults.calls())
    listings += call.rfind("opendir(", 0) == 0;
  EXPECT_EQ(3, listings);  // the test's folder, Modelle and Neu
  EXPECT_EQ("s", Content("Modelle\\Neu\\f19.datx"));
}

// Over generated names in mixed case (ASCII, umlauts, Polish letters) that
// are written, copied over and looked up in turn, the file found is the one
// Windows' rule picks: as spelled, else the first variant in byte order;
// what no name matches is made as spelled. Folder listings kept between
// the calls must not go stale.
TEST_F(PosixFileSystemTest, GeneratedNamesResolveAsWindowsPicksThem) {
  const char* kLetters[] = {"a", "A", "\xC3\xA4", "\xC3\x84", "\xC5\x82", "\xC5\x81"};
  std::mt19937 random(20261209);
  auto name = [&] {
    std::string n;
    for (int i = 0; i < 2; ++i)
      n += kLetters[random() % 6];
    return n;
  };
  ASSERT_TRUE(TestWriteFile(At("src"), "copied"));
  std::map<std::string, std::string> model;  // name in the folder -> content
  auto pick = [&](const std::string& asked) -> std::string {
    if (model.count(asked))
      return asked;
    for (const auto& entry : model) {  // in byte order
      if (FoldCase(entry.first) == FoldCase(asked))
        return entry.first;
    }
    return "";
  };
  for (int step = 0; step < 240; ++step) {
    std::string asked = name();
    std::string found = pick(asked);
    SCOPED_TRACE("step " + std::to_string(step) + ": " + asked);
    if (step % 3 == 0) {
      // Another program adds a variant, a clock tick after this one's last
      // change of the folder (see CaseLookup).
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      if (!model.count(asked) && TestWriteFile(At(asked), asked))
        model[asked] = asked;
    } else if (step % 3 == 1) {
      std::string err;
      ASSERT_TRUE(files_.Copy(At("src"), At(asked), &err)) << err;
      model[found.empty() ? asked : found] = "copied";
    } else {
      std::unique_ptr<InputFile> in = files_.OpenRead(At(asked), nullptr);
      ASSERT_EQ(!found.empty(), in != nullptr);
      char buf[16] = {};
      if (in)
        in->Read(buf, sizeof(buf) - 1);
      EXPECT_EQ(found.empty() ? "" : model[found], std::string(buf));
    }
  }
  EXPECT_GT(model.size(), 10u);
}

}  // namespace
