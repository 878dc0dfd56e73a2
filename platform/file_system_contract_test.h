// The contract of FileSystem as a suite that every implementation joins:
// it gives a FileSystemSubject and instantiates FileSystemContractTest with
// it (INSTANTIATE_TEST_SUITE_P in its own test file, named by
// ContractSubjectName). The cases are in file_system_contract_test.cc,
// which instantiates them for the fake and for the running system's file
// system.
#ifndef PACKWRIGHT_PLATFORM_FILE_SYSTEM_CONTRACT_TEST_H_
#define PACKWRIGHT_PLATFORM_FILE_SYSTEM_CONTRACT_TEST_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/file_system.h"

// A file system under test, a fresh directory in it, and set-up that goes
// around the file system's own operations.
class FileSystemSubject {
 public:
  virtual ~FileSystemSubject() = default;
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

// The fake, and the system's file system in a fresh directory, for a
// subject that stands on one of them.
std::unique_ptr<FileSystemSubject> MakeFakeSubject();
std::unique_ptr<FileSystemSubject> MakeSystemSubject();

struct SubjectKind {
  const char* name;
  std::unique_ptr<FileSystemSubject> (*make)();
};

inline void PrintTo(const SubjectKind& kind, std::ostream* out) {
  *out << kind.name;
}

std::string ContractSubjectName(const ::testing::TestParamInfo<SubjectKind>& info);

class FileSystemContractTest : public ::testing::TestWithParam<SubjectKind> {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::string At(const std::string& name) const { return subject_->dir() + "\\" + name; }
  std::string Content(const std::string& name) const;

  std::unique_ptr<FileSystemSubject> subject_ = GetParam().make();
  FileSystem& files_ = subject_->files();
};

#endif  // PACKWRIGHT_PLATFORM_FILE_SYSTEM_CONTRACT_TEST_H_
