// The overlay joins the file system contract, over the fake and over the
// system's file system, so that a plan runs on what an install would see.
#include "tool/overlay_file_system.h"

#include "platform/file_system_contract_test.h"
#include "record/record_reader.h"

namespace {

// Set-up goes to the base, as the disk under a plan; reads go through the
// overlay, which alone holds what it wrote.
class OverlaySubject : public FileSystemSubject {
 public:
  explicit OverlaySubject(std::unique_ptr<FileSystemSubject> base)
      : base_(std::move(base)), overlay_(base_->files()) {}
  FileSystem& files() override { return overlay_; }
  std::string dir() const override { return base_->dir(); }
  bool WriteFile(const std::string& path, const std::string& data) override {
    return base_->WriteFile(path, data);
  }
  bool ReadFile(const std::string& path, std::string* data) override {
    return ReadWholeFile(overlay_, path, data);
  }
  bool SetWriteTime(const std::string& path, std::uint64_t time) override {
    return base_->SetWriteTime(path, time);
  }
  bool SetReadOnly(const std::string& path, bool read_only) override {
    return base_->SetReadOnly(path, read_only);
  }
  bool MakeDir(const std::string& path) override { return base_->MakeDir(path); }
  std::string MissingError(const std::string& op, const std::string& paths) override {
    if (op == "OpenRead")
      return base_->MissingError(op, paths);
    const char* reason = op == "Copy"      ? "the source does not open"
                         : op == "Replace" ? "cannot be moved"
                                           : "cannot be written";
    return op + "(" + paths + "): " + reason;
  }

 private:
  std::unique_ptr<FileSystemSubject> base_;
  OverlayFileSystem overlay_;
};

std::unique_ptr<FileSystemSubject> OverFake() {
  return std::make_unique<OverlaySubject>(MakeFakeSubject());
}

std::unique_ptr<FileSystemSubject> OverSystem() {
  return std::make_unique<OverlaySubject>(MakeSystemSubject());
}

const SubjectKind kOverlays[] = {{"OverlayOnFake", OverFake}, {"OverlayOnSystem", OverSystem}};

INSTANTIATE_TEST_SUITE_P(Overlay, FileSystemContractTest, ::testing::ValuesIn(kOverlays),
                         ContractSubjectName);

}  // namespace
