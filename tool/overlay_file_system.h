// A file system that records instead of writing. It reads a base file
// system and never writes to it: every file written, folder made, file
// removed or attribute reset is kept in memory, and every read sees what has
// been written so far. A run over it therefore takes the course it would
// take over the base, and nothing reaches the disk.
//
// Paths are told apart by the base's full path, compared without regard to
// case (FoldCase), as Windows compares names. It keeps the contract of
// FileSystem as the base does, with two exceptions that a run never meets:
// a wildcard pattern is matched against the base only, and a file that the
// run wrote, or whose read-only flag it cleared, has no attributes to read
// until SetAttributes gives it some.
#ifndef PACKWRIGHT_TOOL_OVERLAY_FILE_SYSTEM_H_
#define PACKWRIGHT_TOOL_OVERLAY_FILE_SYSTEM_H_

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"

class OverlayFileSystem : public FileSystem {
 public:
  enum class Change { kCreated, kReplaced, kFolderMade, kReadOnlyCleared, kRemoved };
  struct ChangeRecord {
    Change change;
    // The path as the run first wrote it.
    std::string path;
  };

  explicit OverlayFileSystem(FileSystem& base);

  bool Exists(const std::string& path) override;
  TimeResult LastWriteTime(const std::string& path, std::uint64_t* time) override;
  // Counts as a question for the file's time, as the newer-file test asks
  // for the existing file's status.
  FileStatus Status(const std::string& path) override;
  DirResult MakeDirectory(const std::string& path) override;
  bool Copy(const std::string& from, const std::string& to, std::string* err) override;
  bool IsReadOnly(const std::string& path) override;
  bool Replace(const std::string& from, const std::string& to, std::string* err) override;
  // Nothing reaches the disk, so there is nothing to flush; a file that is
  // not there still fails as it would on the base.
  bool FlushFile(const std::string& path, std::string* err) override;
  bool SyncFiles(const std::vector<std::string>& paths, std::string* err) override;
  bool Remove(const std::string& path) override;
  bool SetNormalAttributes(const std::string& path) override;
  // What the run set reads back as set; what else it made or changed reads
  // as the base's attributes where the base has the name, else as 0; what
  // it removed cannot be examined.
  bool GetAttributes(const std::string& path, std::uint32_t* attrs) override;
  // A folder's attributes are the base's and stay so: false for a folder.
  bool SetAttributes(const std::string& path, std::uint32_t attrs) override;
  bool ReadOnlyIn(std::uint32_t attrs) override { return base_.ReadOnlyIn(attrs); }
  bool RemoveEmptyDirectory(const std::string& path) override;
  // The base's names less those the run removed, and those it made.
  bool ListDirectory(const std::string& path, std::vector<std::string>* names) override;
  std::unique_ptr<InputFile> OpenRead(const std::string& path, std::string* err) override;
  std::unique_ptr<OutputFile> CreateWrite(const std::string& path, std::string* err) override;
  std::unique_ptr<OutputFile> CreateNew(const std::string& path, std::string* err) override;
  std::string FullPath(const std::string& path) override;
  std::string RealPath(const std::string& path) override;
  // A lock held in memory, against the overlay's other locks only; it must
  // not outlive the overlay. A run that locks makes the lock's file.
  LockResult LockFile(const std::string& path, std::unique_ptr<FileLock>* lock,
                      std::string* err) override;

  // What the run changed against the base, in the order in which the paths
  // were first touched. A file written and removed again (a temporary one)
  // is no change.
  std::vector<ChangeRecord> Changes();

  // Used by the files that CreateWrite and CreateNew hand out.
  void AppendWritten(const std::string& key, const char* data, std::size_t size);
  void StampWritten(const std::string& key, std::uint64_t time);

 private:
  enum class Kind { kAbsent, kDir, kFile };
  struct Node {
    Kind kind = Kind::kAbsent;
    std::string shown;
    bool written = false;
    bool has_data = false;
    std::string data;
    // The base file whose bytes this file holds, when it has no data.
    std::string origin;
    std::uint64_t time = 0;
    bool read_only = false;
    // Attributes given by SetAttributes, which GetAttributes then returns.
    bool has_attrs = false;
    std::uint32_t attrs = 0;
  };

  // A node of that kind with nothing else known.
  static Node Bare(Kind kind, const std::string& shown);
  std::string Key(const std::string& path);
  Node* Find(const std::string& path);
  Node& Touch(const std::string& path);
  // The file's state as the run sees it; false when it is not a file.
  bool FileState(const std::string& path, Node* file);
  bool IsDirectory(const std::string& path);
  bool ParentIsDirectory(const std::string& path);
  // Adds the names of the nodes directly in the folder whose key is `dir`
  // (ending in a backslash) that are there and not `listed` (folded).
  void AddNodeNames(const std::string& dir, const std::set<std::string>& listed,
                    std::vector<std::string>* names);
  bool Refuse(std::string* err, const std::string& what);

  FileSystem& base_;
  std::map<std::string, Node> nodes_;
  std::vector<std::string> order_;
  std::set<std::string> locked_;
};

#endif  // PACKWRIGHT_TOOL_OVERLAY_FILE_SYSTEM_H_
