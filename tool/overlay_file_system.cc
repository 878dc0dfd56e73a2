#include "tool/overlay_file_system.h"

#include <chrono>
#include <cstring>
#include <set>

#include "platform/paths.h"
#include "platform/unicode.h"

namespace {

// The current time as a count of 100 ns since 1601, the unit of
// last-write times.
std::uint64_t Now() {
  using std::chrono::duration_cast;
  auto since_1970 = std::chrono::system_clock::now().time_since_epoch();
  auto ticks = duration_cast<std::chrono::microseconds>(since_1970).count() * 10;
  return static_cast<std::uint64_t>(ticks) + 11644473600ULL * 10000000ULL;
}

class MemoryInput : public InputFile {
 public:
  MemoryInput(std::string data, std::uint64_t time) : data_(std::move(data)), time_(time) {}
  TimeResult LastWriteTime(std::uint64_t* time) override {
    *time = time_;
    return TimeResult::kOk;
  }
  long Read(char* buf, std::size_t size) override {
    std::size_t n = std::min(size, data_.size() - pos_);
    std::memcpy(buf, data_.data() + pos_, n);
    pos_ += n;
    return static_cast<long>(n);
  }

 private:
  std::string data_;
  std::uint64_t time_;
  std::size_t pos_ = 0;
};

class MemoryOutput : public OutputFile {
 public:
  MemoryOutput(OverlayFileSystem& files, std::string key) : files_(files), key_(std::move(key)) {}
  bool Write(const char* data, std::size_t size) override {
    files_.AppendWritten(key_, data, size);
    return true;
  }
  bool Flush() override { return true; }
  bool StampFrom(InputFile& source, std::uint64_t* kept) override {
    std::uint64_t time = 0;
    if (source.LastWriteTime(&time) != TimeResult::kOk)
      return false;
    files_.StampWritten(key_, time);
    *kept = time;
    return true;
  }
  bool Close() override { return true; }

 private:
  OverlayFileSystem& files_;
  std::string key_;
};

// Held in the overlay's set of locked keys until destroyed.
class MemoryLock : public FileLock {
 public:
  MemoryLock(std::set<std::string>& locked, std::string key)
      : locked_(locked), key_(std::move(key)) {
    locked_.insert(key_);
  }
  ~MemoryLock() override { locked_.erase(key_); }

 private:
  std::set<std::string>& locked_;
  std::string key_;
};

}  // namespace

OverlayFileSystem::OverlayFileSystem(FileSystem& base) : base_(base) {}

OverlayFileSystem::Node OverlayFileSystem::Bare(Kind kind, const std::string& shown) {
  Node node;
  node.kind = kind;
  node.shown = shown;
  return node;
}

bool OverlayFileSystem::Exists(const std::string& path) {
  // A name ending in a separator is found by no search, directory or not.
  if (!path.empty() && (path.back() == '\\' || path.back() == '/'))
    return false;
  if (Node* node = Find(path))
    return node->kind != Kind::kAbsent;
  return base_.Exists(path);
}

TimeResult OverlayFileSystem::LastWriteTime(const std::string& path, std::uint64_t* time) {
  Node* node = Find(path);
  if (!node)
    return base_.LastWriteTime(path, time);
  if (node->kind != Kind::kFile)
    return TimeResult::kOpenFailed;
  *time = node->time;
  return TimeResult::kOk;
}

FileStatus OverlayFileSystem::Status(const std::string& path) {
  Node* node = Find(path);
  if (!node)
    return base_.Status(path);
  FileStatus status;
  status.exists = node->kind != Kind::kAbsent;
  status.folder = node->kind == Kind::kDir;
  if (node->kind == Kind::kFile) {
    status.read_only = node->read_only;
    status.time_result = TimeResult::kOk;
    status.time = node->time;
  }
  return status;
}

DirResult OverlayFileSystem::MakeDirectory(const std::string& path) {
  if (Exists(path))
    return DirResult::kAlreadyExists;
  if (!ParentIsDirectory(path))
    return DirResult::kFailed;
  Node& node = Touch(path);
  node = Bare(Kind::kDir, node.shown);
  return DirResult::kCreated;
}

bool OverlayFileSystem::Copy(const std::string& from, const std::string& to, std::string* err) {
  Node source;
  if (!FileState(from, &source))
    return Refuse(err, "Copy(" + from + ", " + to + "): the source does not open");
  if (IsDirectory(to) || IsReadOnly(to) || !ParentIsDirectory(to))
    return Refuse(err, "Copy(" + from + ", " + to + "): the destination cannot be written");
  Node& node = Touch(to);
  source.shown = node.shown;
  source.written = true;
  node = source;
  return true;
}

bool OverlayFileSystem::IsReadOnly(const std::string& path) {
  if (Node* node = Find(path))
    return node->kind == Kind::kFile && node->read_only;
  return base_.IsReadOnly(path);
}

bool OverlayFileSystem::Replace(const std::string& from, const std::string& to, std::string* err) {
  Node moved;
  if (!FileState(from, &moved) || IsDirectory(to))
    return Refuse(err, "Replace(" + from + ", " + to + "): cannot be moved");
  Node& gone = Touch(from);
  gone = Bare(Kind::kAbsent, gone.shown);
  Node& node = Touch(to);
  moved.shown = node.shown;
  moved.written = true;
  node = moved;
  return true;
}

bool OverlayFileSystem::FlushFile(const std::string& path, std::string* err) {
  Node file;
  return FileState(path, &file) || Refuse(err, "FlushFile(" + path + "): does not open");
}

bool OverlayFileSystem::SyncFiles(const std::vector<std::string>&, std::string*) {
  return true;
}

bool OverlayFileSystem::Remove(const std::string& path) {
  Node file;
  if (!FileState(path, &file) || file.read_only)
    return false;
  Node& node = Touch(path);
  node = Bare(Kind::kAbsent, node.shown);
  return true;
}

bool OverlayFileSystem::SetNormalAttributes(const std::string& path) {
  if (IsDirectory(path))
    return true;
  Node file;
  if (!FileState(path, &file))
    return false;
  if (file.read_only) {
    Node& node = Touch(path);
    file.shown = node.shown;
    file.read_only = false;
    node = file;
  }
  return true;
}

bool OverlayFileSystem::GetAttributes(const std::string& path, std::uint32_t* attrs) {
  Node* node = Find(path);
  if (!node)
    return base_.GetAttributes(path, attrs);
  if (node->kind == Kind::kAbsent)
    return false;
  if (node->has_attrs)
    *attrs = node->attrs;
  else if (!base_.GetAttributes(path, attrs))
    *attrs = 0;
  return true;
}

bool OverlayFileSystem::SetAttributes(const std::string& path, std::uint32_t attrs) {
  Node file;
  if (!FileState(path, &file))
    return false;
  Node& node = Touch(path);
  file.shown = node.shown;
  file.read_only = base_.ReadOnlyIn(attrs);
  file.has_attrs = true;
  file.attrs = attrs;
  node = file;
  return true;
}

bool OverlayFileSystem::RemoveEmptyDirectory(const std::string& path) {
  std::vector<std::string> names;
  if (!IsDirectory(path) || !ListDirectory(path, &names) || !names.empty())
    return false;
  Node& node = Touch(path);
  node = Bare(Kind::kAbsent, node.shown);
  return true;
}

bool OverlayFileSystem::ListDirectory(const std::string& path, std::vector<std::string>* names) {
  Node* node = Find(path);
  if (node && node->kind != Kind::kDir)
    return false;
  std::vector<std::string> listed;
  // A folder the run made is not in the base.
  if (!base_.ListDirectory(path, &listed) && !node)
    return false;
  std::string dir = Key(path);
  if (dir.empty() || dir.back() != '\\')
    dir += '\\';
  std::set<std::string> base_names;
  names->clear();
  for (const std::string& name : listed) {
    auto it = nodes_.find(dir + FoldCase(name));
    base_names.insert(FoldCase(name));
    if (it == nodes_.end() || it->second.kind != Kind::kAbsent)
      names->push_back(name);
  }
  AddNodeNames(dir, base_names, names);
  return true;
}

std::unique_ptr<InputFile> OverlayFileSystem::OpenRead(const std::string& path, std::string* err) {
  Node* node = Find(path);
  if (!node)
    return base_.OpenRead(path, err);
  if (node->kind != Kind::kFile) {
    Refuse(err, "OpenRead(" + path + "): not a file");
    return nullptr;
  }
  if (node->has_data)
    return std::make_unique<MemoryInput>(node->data, node->time);
  return base_.OpenRead(node->origin, err);
}

std::unique_ptr<OutputFile> OverlayFileSystem::CreateWrite(const std::string& path,
                                                           std::string* err) {
  if (IsDirectory(path) || IsReadOnly(path) || !ParentIsDirectory(path)) {
    Refuse(err, "CreateWrite(" + path + "): cannot be written");
    return nullptr;
  }
  Node& node = Touch(path);
  node = Node{Kind::kFile, node.shown, true, true, std::string(), std::string(), Now()};
  return std::make_unique<MemoryOutput>(*this, Key(path));
}

std::unique_ptr<OutputFile> OverlayFileSystem::CreateNew(const std::string& path,
                                                         std::string* err) {
  // A leftover of that name would be removed first, read-only or not.
  if (IsDirectory(path) || !ParentIsDirectory(path)) {
    Refuse(err, "CreateNew(" + path + "): cannot be written");
    return nullptr;
  }
  Node& node = Touch(path);
  node = Node{Kind::kFile, node.shown, true, true, std::string(), std::string(), Now()};
  return std::make_unique<MemoryOutput>(*this, Key(path));
}

std::string OverlayFileSystem::FullPath(const std::string& path) {
  return base_.FullPath(path);
}

std::string OverlayFileSystem::RealPath(const std::string& path) {
  return base_.RealPath(path);
}

LockResult OverlayFileSystem::LockFile(const std::string& path, std::unique_ptr<FileLock>* lock,
                                       std::string* err) {
  std::string key = Key(path);
  if (locked_.count(key))
    return LockResult::kBusy;
  if (IsDirectory(path) || (!Exists(path) && !ParentIsDirectory(path))) {
    Refuse(err, "LockFile(" + path + "): cannot be opened");
    return LockResult::kFailed;
  }
  // The lock's file is made where missing, as the system's lock makes it.
  if (!Exists(path)) {
    Node& node = Touch(path);
    node = Node{Kind::kFile, node.shown, true, true, std::string(), std::string(), Now()};
  }
  *lock = std::make_unique<MemoryLock>(locked_, key);
  return LockResult::kLocked;
}

std::vector<OverlayFileSystem::ChangeRecord> OverlayFileSystem::Changes() {
  std::vector<ChangeRecord> changes;
  for (const std::string& key : order_) {
    const Node& node = nodes_[key];
    bool in_base = base_.Exists(node.shown);
    if (node.kind == Kind::kDir)
      changes.push_back({Change::kFolderMade, node.shown});
    else if (node.kind == Kind::kFile && node.written)
      changes.push_back({in_base ? Change::kReplaced : Change::kCreated, node.shown});
    else if (node.kind == Kind::kFile)
      changes.push_back({Change::kReadOnlyCleared, node.shown});
    else if (in_base)
      changes.push_back({Change::kRemoved, node.shown});
  }
  return changes;
}

void OverlayFileSystem::AppendWritten(const std::string& key, const char* data, std::size_t size) {
  auto it = nodes_.find(key);
  if (it != nodes_.end() && it->second.has_data)
    it->second.data.append(data, size);
}

void OverlayFileSystem::StampWritten(const std::string& key, std::uint64_t time) {
  auto it = nodes_.find(key);
  if (it != nodes_.end() && it->second.has_data) {
    it->second.time = time;
    it->second.read_only = false;
  }
}

std::string OverlayFileSystem::Key(const std::string& path) {
  return FoldCase(base_.FullPath(path));
}

OverlayFileSystem::Node* OverlayFileSystem::Find(const std::string& path) {
  auto it = nodes_.find(Key(path));
  return it == nodes_.end() ? nullptr : &it->second;
}

OverlayFileSystem::Node& OverlayFileSystem::Touch(const std::string& path) {
  std::string key = Key(path);
  auto it = nodes_.find(key);
  if (it != nodes_.end())
    return it->second;
  // An untouched path stands as the base has it until the caller changes it.
  Node node;
  if (!FileState(path, &node) && base_.Exists(path))
    node.kind = Kind::kDir;
  node.shown = path;
  order_.push_back(key);
  return nodes_[key] = node;
}

bool OverlayFileSystem::FileState(const std::string& path, Node* file) {
  if (Node* node = Find(path)) {
    if (node->kind != Kind::kFile)
      return false;
    *file = *node;
    return true;
  }
  std::uint64_t time = 0;
  TimeResult result = base_.LastWriteTime(path, &time);
  if (result == TimeResult::kOpenFailed)
    return false;
  *file = Node{Kind::kFile, path, false, false, std::string(), path, time, base_.IsReadOnly(path)};
  return true;
}

bool OverlayFileSystem::IsDirectory(const std::string& path) {
  if (Node* node = Find(path))
    return node->kind == Kind::kDir;
  std::uint64_t time;
  return base_.Exists(path) && base_.LastWriteTime(path, &time) == TimeResult::kOpenFailed;
}

bool OverlayFileSystem::ParentIsDirectory(const std::string& path) {
  std::string full = base_.FullPath(path);
  if (full.find('\\') == std::string::npos)
    return false;
  // "X:" is the drive's root, which is there whenever the path resolved.
  std::string parent = DirectoryOf(full);
  return parent.size() <= 2 || IsDirectory(parent);
}

void OverlayFileSystem::AddNodeNames(const std::string& dir, const std::set<std::string>& listed,
                                     std::vector<std::string>* names) {
  for (auto it = nodes_.lower_bound(dir);
       it != nodes_.end() && it->first.compare(0, dir.size(), dir) == 0; ++it) {
    std::string key_name = it->first.substr(dir.size());
    if (it->second.kind == Kind::kAbsent || key_name.find('\\') != std::string::npos ||
        listed.count(key_name))
      continue;
    // The name as the run first spelled it.
    std::string full = base_.FullPath(it->second.shown);
    names->push_back(full.substr(full.rfind('\\') + 1));
  }
}

bool OverlayFileSystem::Refuse(std::string* err, const std::string& what) {
  if (err)
    *err = what;
  return false;
}
