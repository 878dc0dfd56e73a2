// An in-memory file system that behaves like Windows: paths compare
// without regard to case (FoldCase), "/" separates as "\" does, and a read-only
// or locked file is refused. Every operation, and every operation of the
// files it opens, is one call of FakeFaults.
#ifndef PACKWRIGHT_PLATFORM_FAKE_FILE_SYSTEM_H_
#define PACKWRIGHT_PLATFORM_FAKE_FILE_SYSTEM_H_

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "platform/fake_faults.h"
#include "platform/file_system.h"

class FakeFileSystem : public FileSystem, public FakeFaults {
 public:
  struct Node {
    bool dir = false;
    std::string data;
    std::uint64_t time = 0;
    bool read_only = false;
    // Attribute bits besides read-only and directory, as Win32 numbers them.
    std::uint32_t attributes = 0;
    // Held open for writing by another program: does not open for reading.
    bool locked = false;
    // Opens, but its last-write time cannot be read.
    bool time_unreadable = false;
  };

  FakeFileSystem();

  // Set-up. Files and directories get their missing parent directories.
  void AddDir(const std::string& path);
  void AddFile(const std::string& path, const std::string& data, std::uint64_t time = 1);
  // Null when nothing of that name exists.
  Node* Find(const std::string& path);
  // The file's content; empty when absent.
  std::string Content(const std::string& path);
  // Every file and directory, by resolved lower-case path.
  const std::map<std::string, Node>& nodes() const { return nodes_; }

  // Files opened through OpenRead, CreateWrite or CreateNew and not yet
  // closed.
  int open_files() const { return open_files_; }

  bool Exists(const std::string& path) override;
  TimeResult LastWriteTime(const std::string& path, std::uint64_t* time) override;
  FileStatus Status(const std::string& path) override;
  DirResult MakeDirectory(const std::string& path) override;
  bool Copy(const std::string& from, const std::string& to, std::string* err) override;
  bool IsReadOnly(const std::string& path) override;
  bool Replace(const std::string& from, const std::string& to, std::string* err) override;
  bool FlushFile(const std::string& path, std::string* err) override;
  bool SyncFiles(const std::vector<std::string>& paths, std::string* err) override;
  bool Remove(const std::string& path) override;
  bool SetNormalAttributes(const std::string& path) override;
  // Win32's numbers: 0x1 read-only (agrees with IsReadOnly), 0x10 a
  // directory, 0x80 a file with no other bit.
  bool GetAttributes(const std::string& path, std::uint32_t* attrs) override;
  bool SetAttributes(const std::string& path, std::uint32_t attrs) override;
  bool RemoveEmptyDirectory(const std::string& path) override;
  // Names come back in lower case, as the fake keeps them.
  bool ListDirectory(const std::string& path, std::vector<std::string>* names) override;
  std::unique_ptr<InputFile> OpenRead(const std::string& path, std::string* err) override;
  std::unique_ptr<OutputFile> CreateWrite(const std::string& path, std::string* err) override;
  std::unique_ptr<OutputFile> CreateNew(const std::string& path, std::string* err) override;
  std::string FullPath(const std::string& path) override;
  // The fake has no links: FullPath, and no call.
  std::string RealPath(const std::string& path) override;
  // Makes the file when missing (its folder must exist); kBusy while a lock
  // on it taken earlier lives.
  LockResult LockFile(const std::string& path, std::unique_ptr<FileLock>* lock,
                      std::string* err) override;

  // Used by the files the fake hands out.
  void FileClosed() { --open_files_; }

 private:
  std::string Key(const std::string& path);
  bool ParentIsDir(const std::string& key);

  std::map<std::string, Node> nodes_;
  std::set<std::string> locked_;
  int open_files_ = 0;
};

#endif  // PACKWRIGHT_PLATFORM_FAKE_FILE_SYSTEM_H_
