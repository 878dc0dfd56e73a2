// The contract of FileSystem, checked over the fake and over the running
// system's file system (POSIX natively, Win32 under Windows or Wine), each in
// a fresh directory. A case that holds on only some of them says so and is
// skipped on the rest.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "platform/fake_file_system.h"
#include "platform/platform.h"
#include "platform/test_dir.h"
#include "platform/text_file.h"
#include "platform/unicode.h"

namespace {

// 2020-01-01 00:00:00 UTC and one day later, as FILETIME counts.
const std::uint64_t kNewYear2020 = 132223104000000000ULL;
const std::uint64_t kOneDay = 864000000000ULL;
// "Brücke" and "BRÜCKE" in UTF-8.
const char kBruecke[] =
    "Br\xC3\xBC"
    "cke";
const char kBRUECKE[] =
    "BR\xC3\x9C"
    "CKE";

// A file system under test, a fresh directory in it, and set-up that goes
// around the file system's own operations.
class Subject {
 public:
  virtual ~Subject() = default;
  virtual FileSystem& files() = 0;
  // Without a trailing backslash; empty when it could not be made.
  virtual std::string dir() const = 0;
  virtual bool WriteFile(const std::string& path, const std::string& data) = 0;
  virtual bool ReadFile(const std::string& path, std::string* data) = 0;
  virtual bool SetWriteTime(const std::string& path, std::uint64_t time) = 0;
  virtual bool SetReadOnly(const std::string& path, bool read_only) = 0;
  virtual bool MakeDir(const std::string& path) = 0;
  // The error text of `op` on `paths` when a file, or for CreateWrite its
  // directory, is missing.
  virtual std::string MissingError(const std::string& op, const std::string& paths) = 0;
};

class SystemSubject : public Subject {
 public:
  FileSystem& files() override { return SystemPlatform().files; }
  std::string dir() const override { return dir_.path(); }
  bool WriteFile(const std::string& path, const std::string& data) override {
    return TestWriteFile(path, data);
  }
  bool ReadFile(const std::string& path, std::string* data) override {
    return TestReadFile(path, data);
  }
  bool SetWriteTime(const std::string& path, std::uint64_t time) override {
    return TestSetWriteTime(path, time);
  }
  bool SetReadOnly(const std::string& path, bool read_only) override {
    return TestSetReadOnly(path, read_only);
  }
  bool MakeDir(const std::string& path) override { return TestMakeDir(path); }
  std::string MissingError(const std::string& op, const std::string& paths) override {
    return TestMissingError(op, paths);
  }

 private:
  ScopedTempDir dir_;
};

class FakeSubject : public Subject {
 public:
  FakeSubject() { files_.AddDir(kDir); }
  FileSystem& files() override { return files_; }
  std::string dir() const override { return kDir; }
  bool WriteFile(const std::string& path, const std::string& data) override {
    files_.AddFile(path, data);
    return true;
  }
  bool ReadFile(const std::string& path, std::string* data) override {
    FakeFileSystem::Node* node = files_.Find(path);
    if (!node || node->dir)
      return false;
    *data = node->data;
    return true;
  }
  bool SetWriteTime(const std::string& path, std::uint64_t time) override {
    FakeFileSystem::Node* node = files_.Find(path);
    return node && (node->time = time, true);
  }
  bool SetReadOnly(const std::string& path, bool read_only) override {
    FakeFileSystem::Node* node = files_.Find(path);
    return node && (node->read_only = read_only, true);
  }
  bool MakeDir(const std::string& path) override {
    files_.AddDir(path);
    return true;
  }
  std::string MissingError(const std::string& op, const std::string& paths) override {
    bool opens = op == "OpenRead" || op == "CreateWrite";
    return op + "(" + paths + "): " + (opens ? "cannot open" : "refused");
  }

 private:
  static constexpr const char* kDir = "C:\\pw-contract";
  FakeFileSystem files_;
};

struct SubjectKind {
  const char* name;
  std::unique_ptr<Subject> (*make)();
};

const SubjectKind kSubjects[] = {
    {"Fake", [] { return std::unique_ptr<Subject>(new FakeSubject); }},
    {"System", [] { return std::unique_ptr<Subject>(new SystemSubject); }},
};

class FileSystemContractTest : public ::testing::TestWithParam<SubjectKind> {
 protected:
  void SetUp() override { ASSERT_FALSE(subject_->dir().empty()); }
  void TearDown() override {
    // Leave nothing read-only behind for the directory's removal.
    files_.SetNormalAttributes(At("ro.dat"));
    files_.SetNormalAttributes(At("copy.dat"));
  }

  std::string At(const std::string& name) const { return subject_->dir() + "\\" + name; }
  std::string Content(const std::string& name) const {
    std::string data;
    EXPECT_TRUE(subject_->ReadFile(At(name), &data)) << name;
    return data;
  }

  std::unique_ptr<Subject> subject_ = GetParam().make();
  FileSystem& files_ = subject_->files();
};

TEST_P(FileSystemContractTest, ExistsAsADirectorySearchSeesIt) {
  ASSERT_TRUE(subject_->WriteFile(At("a.dat"), "a"));
  ASSERT_TRUE(subject_->MakeDir(At("sub")));
  EXPECT_TRUE(files_.Exists(At("a.dat")));
  EXPECT_TRUE(files_.Exists(At("sub")));
  EXPECT_FALSE(files_.Exists(At("b.dat")));
  EXPECT_FALSE(files_.Exists(At("missing\\a.dat")));
  EXPECT_FALSE(files_.Exists(""));
  // A name ending in a separator is found by no search, directory or not.
  EXPECT_FALSE(files_.Exists(At("sub\\")));
  EXPECT_FALSE(files_.Exists(At("sub/")));
  EXPECT_FALSE(files_.Exists(subject_->dir() + "\\"));
  EXPECT_FALSE(files_.Exists(At("a.dat\\")));
  // "/" separates as "\" does, and ".." is applied to the name as written.
  EXPECT_TRUE(files_.Exists(subject_->dir() + "/a.dat"));
  EXPECT_TRUE(files_.Exists(At("missing\\..\\a.dat")));
}

TEST_P(FileSystemContractTest, WildcardsExistWhenAnythingMatches) {
  ASSERT_TRUE(subject_->WriteFile(At("a.dat"), "a"));
  ASSERT_TRUE(subject_->MakeDir(At("sub")));
  EXPECT_TRUE(files_.Exists(At("*.dat")));
  EXPECT_TRUE(files_.Exists(At("?.dat")));
  EXPECT_TRUE(files_.Exists(At("a.?at")));
  EXPECT_TRUE(files_.Exists(At("su*")));
  EXPECT_FALSE(files_.Exists(At("*.xyz")));
  EXPECT_FALSE(files_.Exists(At("b*")));
  EXPECT_FALSE(files_.Exists(At("missing\\*")));
}

TEST_P(FileSystemContractTest, LastWriteTimeOfFilesOnly) {
  ASSERT_TRUE(subject_->WriteFile(At("a.dat"), "a"));
  ASSERT_TRUE(subject_->SetWriteTime(At("a.dat"), kNewYear2020));
  ASSERT_TRUE(subject_->MakeDir(At("sub")));
  std::uint64_t time = 0;
  EXPECT_EQ(TimeResult::kOk, files_.LastWriteTime(At("a.dat"), &time));
  EXPECT_EQ(kNewYear2020, time);
  EXPECT_EQ(TimeResult::kOpenFailed, files_.LastWriteTime(At("sub"), &time));
  EXPECT_EQ(TimeResult::kOpenFailed, files_.LastWriteTime(At("b.dat"), &time));
  EXPECT_EQ(TimeResult::kOpenFailed, files_.LastWriteTime(At("*.dat"), &time));
}

TEST_P(FileSystemContractTest, MakeDirectoryCreatesOneLevel) {
  ASSERT_TRUE(subject_->WriteFile(At("a.dat"), "a"));
  EXPECT_EQ(DirResult::kCreated, files_.MakeDirectory(At("neu")));
  EXPECT_TRUE(files_.Exists(At("neu")));
  EXPECT_EQ(DirResult::kAlreadyExists, files_.MakeDirectory(At("neu")));
  EXPECT_EQ(DirResult::kAlreadyExists, files_.MakeDirectory(At("a.dat")));
  EXPECT_EQ(DirResult::kFailed, files_.MakeDirectory(At("missing\\neu")));
  EXPECT_FALSE(files_.Exists(At("missing")));
}

TEST_P(FileSystemContractTest, CopyOverwritesAndCarriesTheTime) {
  ASSERT_TRUE(subject_->WriteFile(At("a.dat"), "new content"));
  ASSERT_TRUE(subject_->SetWriteTime(At("a.dat"), kNewYear2020));
  ASSERT_TRUE(subject_->WriteFile(At("copy.dat"), "older and longer content"));
  ASSERT_TRUE(subject_->SetWriteTime(At("copy.dat"), kNewYear2020 - kOneDay));
  std::string err;
  ASSERT_TRUE(files_.Copy(At("a.dat"), At("copy.dat"), &err)) << err;
  EXPECT_EQ("new content", Content("copy.dat"));
  std::uint64_t time = 0;
  ASSERT_EQ(TimeResult::kOk, files_.LastWriteTime(At("copy.dat"), &time));
  EXPECT_EQ(kNewYear2020, time);
  EXPECT_TRUE(files_.Copy(At("a.dat"), At("fresh.dat"), &err)) << err;
  EXPECT_EQ("new content", Content("fresh.dat"));
}

TEST_P(FileSystemContractTest, CopyCarriesTheReadOnlyAttribute) {
  ASSERT_TRUE(subject_->WriteFile(At("ro.dat"), "r"));
  ASSERT_TRUE(subject_->SetReadOnly(At("ro.dat"), true));
  std::string err;
  ASSERT_TRUE(files_.Copy(At("ro.dat"), At("copy.dat"), &err)) << err;
  EXPECT_TRUE(files_.IsReadOnly(At("copy.dat")));
}

TEST_P(FileSystemContractTest, CopyFailsWithoutASourceFile) {
  ASSERT_TRUE(subject_->MakeDir(At("sub")));
  std::string err;
  EXPECT_FALSE(files_.Copy(At("b.dat"), At("copy.dat"), &err));
  EXPECT_FALSE(files_.Exists(At("copy.dat")));
  err.clear();
  EXPECT_FALSE(files_.Copy(At("sub"), At("copy.dat"), &err));
  EXPECT_FALSE(err.empty());
  ASSERT_TRUE(subject_->WriteFile(At("a.dat"), "a"));
  EXPECT_FALSE(files_.Copy(At("a.dat"), At("missing\\copy.dat"), &err));
  EXPECT_FALSE(files_.Copy(At("a.dat"), At("sub"), &err));
}

TEST_P(FileSystemContractTest, ReplaceSwapsInTheNewFileInOneStep) {
  ASSERT_TRUE(subject_->WriteFile(At("new.tmp"), "new"));
  ASSERT_TRUE(subject_->WriteFile(At("cat.txt"), "old"));
  std::string err;
  ASSERT_TRUE(files_.Replace(At("new.tmp"), At("cat.txt"), &err)) << err;
  EXPECT_EQ("new", Content("cat.txt"));
  EXPECT_FALSE(files_.Exists(At("new.tmp")));
  ASSERT_TRUE(subject_->WriteFile(At("new.tmp"), "first"));
  ASSERT_TRUE(files_.Replace(At("new.tmp"), At("fresh.txt"), &err)) << err;
  EXPECT_EQ("first", Content("fresh.txt"));
  EXPECT_FALSE(files_.Replace(At("new.tmp"), At("cat.txt"), &err));
  EXPECT_EQ("new", Content("cat.txt"));
}

TEST_P(FileSystemContractTest, RemoveDeletesFilesOnly) {
  ASSERT_TRUE(subject_->WriteFile(At("a.dat"), "a"));
  ASSERT_TRUE(subject_->MakeDir(At("sub")));
  EXPECT_TRUE(files_.Remove(At("a.dat")));
  EXPECT_FALSE(files_.Exists(At("a.dat")));
  EXPECT_FALSE(files_.Remove(At("a.dat")));
  EXPECT_FALSE(files_.Remove(At("sub")));
  EXPECT_TRUE(files_.Exists(At("sub")));
}

TEST_P(FileSystemContractTest, ReadOnlyStateAndItsReset) {
  ASSERT_TRUE(subject_->WriteFile(At("ro.dat"), "r"));
  EXPECT_FALSE(files_.IsReadOnly(At("ro.dat")));
  ASSERT_TRUE(subject_->SetReadOnly(At("ro.dat"), true));
  EXPECT_TRUE(files_.IsReadOnly(At("ro.dat")));
  EXPECT_TRUE(files_.SetNormalAttributes(At("ro.dat")));
  EXPECT_FALSE(files_.IsReadOnly(At("ro.dat")));
  EXPECT_FALSE(files_.IsReadOnly(At("b.dat")));
  EXPECT_FALSE(files_.SetNormalAttributes(At("b.dat")));
}

TEST_P(FileSystemContractTest, AttributesReadBackAsSetAndAgreeWithReadOnly) {
  ASSERT_TRUE(subject_->WriteFile(At("ro.dat"), "r"));
  std::uint32_t plain = 0;
  std::uint32_t read_only = 0;
  ASSERT_TRUE(files_.GetAttributes(At("ro.dat"), &plain));
  ASSERT_TRUE(subject_->SetReadOnly(At("ro.dat"), true));
  ASSERT_TRUE(files_.GetAttributes(At("ro.dat"), &read_only));
  EXPECT_NE(plain, read_only);
  ASSERT_TRUE(files_.SetAttributes(At("ro.dat"), plain));
  EXPECT_FALSE(files_.IsReadOnly(At("ro.dat")));
  ASSERT_TRUE(files_.SetAttributes(At("ro.dat"), read_only));
  EXPECT_TRUE(files_.IsReadOnly(At("ro.dat")));
  std::uint32_t again = 0;
  ASSERT_TRUE(files_.GetAttributes(At("ro.dat"), &again));
  EXPECT_EQ(read_only, again);
  EXPECT_FALSE(files_.GetAttributes(At("b.dat"), &again));
  EXPECT_FALSE(files_.SetAttributes(At("b.dat"), plain));
}

TEST_P(FileSystemContractTest, ListAndRemoveDirectories) {
  ASSERT_TRUE(subject_->MakeDir(At("sub")));
  ASSERT_TRUE(subject_->MakeDir(At("sub\\inner")));
  ASSERT_TRUE(subject_->WriteFile(At("sub\\a.dat"), "a"));
  std::vector<std::string> names;
  ASSERT_TRUE(files_.ListDirectory(At("sub"), &names));
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::string>{"a.dat", "inner"}), names);
  EXPECT_FALSE(files_.ListDirectory(At("missing"), &names));
  EXPECT_FALSE(files_.ListDirectory(At("sub\\a.dat"), &names));
  EXPECT_FALSE(files_.RemoveEmptyDirectory(At("sub")));
  EXPECT_FALSE(files_.RemoveEmptyDirectory(At("sub\\a.dat")));
  EXPECT_TRUE(files_.RemoveEmptyDirectory(At("sub\\inner")));
  EXPECT_FALSE(files_.Exists(At("sub\\inner")));
  EXPECT_FALSE(files_.RemoveEmptyDirectory(At("sub\\inner")));
}

TEST_P(FileSystemContractTest, TextModeRoundTripThroughRealFiles) {
  std::string err;
  TextWriter writer(files_.CreateWrite(At("cat.txt"), &err));
  writer.Write("1\tA\n\n2\tB\n");
  ASSERT_TRUE(writer.Finish()) << err;
  EXPECT_EQ("1\tA\r\n\r\n2\tB\r\n", Content("cat.txt"));
  std::string text;
  ASSERT_TRUE(ReadTextFile(files_, At("cat.txt"), &text));
  EXPECT_EQ("1\tA\n\n2\tB\n", text);
  ASSERT_TRUE(subject_->WriteFile(At("z.txt"),
                                  "x\r\ny\rz\x1a"
                                  "after\r\n"));
  ASSERT_TRUE(ReadTextFile(files_, At("z.txt"), &text));
  EXPECT_EQ("x\ny\rz", text);
}

// Each failure names the call and its paths, then the system's reason.
TEST_P(FileSystemContractTest, FailuresNameTheCallThePathsAndTheReason) {
  ASSERT_TRUE(subject_->WriteFile(At("a.dat"), "a"));
  ASSERT_TRUE(subject_->MakeDir(At("sub")));
  std::string err;
  EXPECT_FALSE(files_.Copy(At("b.dat"), At("c.dat"), &err));
  EXPECT_EQ(subject_->MissingError("Copy", At("b.dat") + ", " + At("c.dat")), err);
  EXPECT_FALSE(files_.Replace(At("b.dat"), At("a.dat"), &err));
  EXPECT_EQ(subject_->MissingError("Replace", At("b.dat") + ", " + At("a.dat")), err);
  EXPECT_EQ(nullptr, files_.OpenRead(At("b.dat"), &err));
  EXPECT_EQ(subject_->MissingError("OpenRead", At("b.dat")), err);
  EXPECT_EQ(nullptr, files_.CreateWrite(At("missing\\x.txt"), &err));
  EXPECT_EQ(subject_->MissingError("CreateWrite", At("missing\\x.txt")), err);
  EXPECT_EQ(nullptr, files_.OpenRead(At("sub"), &err));
  EXPECT_FALSE(err.empty());
}

TEST_P(FileSystemContractTest, FullPathResolvesLexically) {
  const std::string d = subject_->dir();
  EXPECT_EQ(d + "\\a.dat", files_.FullPath(d + "\\sub\\..\\a.dat"));
  EXPECT_EQ(d + "\\sub\\a.dat", files_.FullPath(d + "\\.\\sub\\\\a.dat"));
  EXPECT_EQ(d + "\\sub\\a.dat", files_.FullPath(d + "/sub/a.dat"));
  std::string root = files_.FullPath(d + "\\..\\..\\..\\..\\..\\..\\..\\..");
  EXPECT_EQ(d.substr(0, 3), root);
}

// As Windows compares names, and Wine shows a Linux tree to Windows
// programs: an existing name is found in any case, a new one is made as
// spelled.
TEST_P(FileSystemContractTest, NamesIgnoreCase) {
  ASSERT_TRUE(subject_->WriteFile(At("a.dat"), "a"));
  ASSERT_TRUE(subject_->MakeDir(At(kBruecke)));
  EXPECT_TRUE(files_.Exists(At("A.DAT")));
  EXPECT_TRUE(files_.Exists(At("A.D*")));
  std::uint64_t time = 0;
  EXPECT_EQ(TimeResult::kOk, files_.LastWriteTime(At("A.dat"), &time));
  EXPECT_EQ(DirResult::kAlreadyExists, files_.MakeDirectory(At("A.DAT")));
  EXPECT_EQ(DirResult::kAlreadyExists, files_.MakeDirectory(At(kBRUECKE)));
  std::string err;
  ASSERT_TRUE(files_.Copy(At("A.DAT"), At(std::string(kBRUECKE) + "\\New.dat"), &err)) << err;
  EXPECT_EQ("a", Content(std::string(kBruecke) + "\\New.dat"));
  std::vector<std::string> names;
  ASSERT_TRUE(files_.ListDirectory(At(kBruecke), &names));
  ASSERT_EQ(1u, names.size());
  EXPECT_EQ("new.dat", FoldCase(names[0]));
}

TEST_P(FileSystemContractTest, LocksExcludeEachOtherAndLapse) {
  std::unique_ptr<FileLock> first;
  std::unique_ptr<FileLock> second;
  std::string err;
  ASSERT_EQ(LockResult::kLocked, files_.LockFile(At("run.lock"), &first, &err)) << err;
  EXPECT_EQ(LockResult::kBusy, files_.LockFile(At("run.lock"), &second, &err));
  EXPECT_EQ(LockResult::kLocked, files_.LockFile(At("other.lock"), &second, &err)) << err;
  first.reset();
  // The file stays, and blocks no one.
  EXPECT_TRUE(files_.Exists(At("run.lock")));
  EXPECT_EQ(LockResult::kLocked, files_.LockFile(At("run.lock"), &first, &err)) << err;
  EXPECT_EQ(LockResult::kFailed, files_.LockFile(At("missing\\run.lock"), &second, &err));
  EXPECT_FALSE(err.empty());
}

TEST_P(FileSystemContractTest, RealPathAddsWhatDoesNotExistAsWritten) {
  ASSERT_TRUE(subject_->MakeDir(At("sub")));
  std::string real = files_.RealPath(subject_->dir());
  ASSERT_FALSE(real.empty());
  EXPECT_EQ(real + "\\sub\\New\\x.dat", files_.RealPath(At("sub\\..\\sub\\New\\x.dat")));
}

INSTANTIATE_TEST_SUITE_P(Each, FileSystemContractTest, ::testing::ValuesIn(kSubjects),
                         [](const ::testing::TestParamInfo<SubjectKind>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
