// A FileSystem that hands every call to another one; a base for layers that
// watch or change a few calls.
#ifndef PACKWRIGHT_TOOL_FORWARDING_FILE_SYSTEM_H_
#define PACKWRIGHT_TOOL_FORWARDING_FILE_SYSTEM_H_

#include "platform/file_system.h"

class ForwardingFileSystem : public FileSystem {
 public:
  explicit ForwardingFileSystem(FileSystem& inner) : inner_(inner) {}

  bool Exists(const std::string& path) override { return inner_.Exists(path); }
  TimeResult LastWriteTime(const std::string& path, std::uint64_t* time) override {
    return inner_.LastWriteTime(path, time);
  }
  FileStatus Status(const std::string& path) override { return inner_.Status(path); }
  DirResult MakeDirectory(const std::string& path) override { return inner_.MakeDirectory(path); }
  bool Copy(const std::string& from, const std::string& to, std::string* err) override {
    return inner_.Copy(from, to, err);
  }
  bool IsReadOnly(const std::string& path) override { return inner_.IsReadOnly(path); }
  bool Replace(const std::string& from, const std::string& to, std::string* err) override {
    return inner_.Replace(from, to, err);
  }
  bool FlushFile(const std::string& path, std::string* err) override {
    return inner_.FlushFile(path, err);
  }
  bool SyncFiles(const std::vector<std::string>& paths, std::string* err) override {
    return inner_.SyncFiles(paths, err);
  }
  bool Remove(const std::string& path) override { return inner_.Remove(path); }
  bool SetNormalAttributes(const std::string& path) override {
    return inner_.SetNormalAttributes(path);
  }
  bool GetAttributes(const std::string& path, std::uint32_t* attrs) override {
    return inner_.GetAttributes(path, attrs);
  }
  bool SetAttributes(const std::string& path, std::uint32_t attrs) override {
    return inner_.SetAttributes(path, attrs);
  }
  bool RemoveEmptyDirectory(const std::string& path) override {
    return inner_.RemoveEmptyDirectory(path);
  }
  bool ListDirectory(const std::string& path, std::vector<std::string>* names) override {
    return inner_.ListDirectory(path, names);
  }
  std::unique_ptr<InputFile> OpenRead(const std::string& path, std::string* err) override {
    return inner_.OpenRead(path, err);
  }
  std::unique_ptr<OutputFile> CreateWrite(const std::string& path, std::string* err) override {
    return inner_.CreateWrite(path, err);
  }
  std::unique_ptr<OutputFile> CreateNew(const std::string& path, std::string* err) override {
    return inner_.CreateNew(path, err);
  }
  std::string FullPath(const std::string& path) override { return inner_.FullPath(path); }
  std::string RealPath(const std::string& path) override { return inner_.RealPath(path); }
  LockResult LockFile(const std::string& path, std::unique_ptr<FileLock>* lock,
                      std::string* err) override {
    return inner_.LockFile(path, lock, err);
  }

 private:
  FileSystem& inner_;
};

#endif  // PACKWRIGHT_TOOL_FORWARDING_FILE_SYSTEM_H_
