#include "platform/fake_file_system.h"

#include <algorithm>
#include <cstring>

#include "platform/paths.h"
#include "platform/unicode.h"

namespace {

std::string ParentOf(const std::string& key) {
  std::size_t slash = key.rfind('\\');
  if (slash == std::string::npos || slash <= 2)
    return key.substr(0, 3);
  return key.substr(0, slash);
}

const std::uint32_t kReadOnlyBit = 0x1;
const std::uint32_t kDirBit = 0x10;
const std::uint32_t kNormalBit = 0x80;
// Hidden, system and archive: what SetAttributes writes besides read-only.
const std::uint32_t kFileOwnBits = 0x2 | 0x4 | 0x20;

bool IsRoot(const std::string& key) {
  return key.size() <= 3;
}

bool WildMatch(const char* pattern, const char* name) {
  if (*pattern == '\0')
    return *name == '\0';
  if (*pattern == '*')
    return WildMatch(pattern + 1, name) || (*name && WildMatch(pattern, name + 1));
  if (*name == '\0')
    return false;
  return (*pattern == '?' || *pattern == *name) && WildMatch(pattern + 1, name + 1);
}

class FakeInput : public InputFile {
 public:
  FakeInput(FakeFileSystem* fs, std::string path, const FakeFileSystem::Node& node)
      : fs_(fs), path_(std::move(path)), data_(node.data), node_(node) {}
  ~FakeInput() override { fs_->FileClosed(); }
  TimeResult LastWriteTime(std::uint64_t* time) override {
    if (fs_->Fails("InputLastWriteTime", path_) || node_.time_unreadable)
      return TimeResult::kTimeFailed;
    *time = node_.time;
    return TimeResult::kOk;
  }
  long Read(char* buf, std::size_t size) override {
    if (fs_->Fails("Read", path_))
      return -1;
    std::size_t n = std::min(size, data_.size() - pos_);
    std::memcpy(buf, data_.data() + pos_, n);
    pos_ += n;
    return static_cast<long>(n);
  }

 private:
  FakeFileSystem* fs_;
  std::string path_;
  std::string data_;
  FakeFileSystem::Node node_;
  std::size_t pos_ = 0;
};

class FakeOutput : public OutputFile {
 public:
  FakeOutput(FakeFileSystem* fs, std::string path) : fs_(fs), path_(std::move(path)) {}
  ~FakeOutput() override {
    if (!closed_)
      fs_->FileClosed();
  }
  bool Write(const char* data, std::size_t size) override {
    FakeFileSystem::Node* node = fs_->Find(path_);
    if (fs_->Fails("Write", path_)) {
      // A failing write, like a full disk, leaves part of the data behind.
      if (node)
        node->data.append(data, size / 2);
      return false;
    }
    if (node)
      node->data.append(data, size);
    return node != nullptr;
  }
  bool Flush() override { return !fs_->Fails("Flush", path_); }
  bool StampFrom(InputFile& source, std::uint64_t* kept) override {
    FakeFileSystem::Node* node = fs_->Find(path_);
    std::uint64_t time = 0;
    if (fs_->Fails("StampFrom", path_) || !node || source.LastWriteTime(&time) != TimeResult::kOk)
      return false;
    node->time = time;
    node->read_only = false;
    node->attributes = 0;
    *kept = time;
    return true;
  }
  bool Close() override {
    if (closed_)
      return false;
    closed_ = true;
    fs_->FileClosed();
    return !fs_->Fails("Close", path_);
  }

 private:
  FakeFileSystem* fs_;
  std::string path_;
  bool closed_ = false;
};

}  // namespace

FakeFileSystem::FakeFileSystem() {}

std::string FakeFileSystem::Key(const std::string& path) {
  return FoldCase(ResolvePathLexically(path, "C:\\"));
}

bool FakeFileSystem::ParentIsDir(const std::string& key) {
  std::string parent = ParentOf(key);
  if (IsRoot(parent))
    return true;
  auto it = nodes_.find(parent);
  return it != nodes_.end() && it->second.dir;
}

void FakeFileSystem::AddDir(const std::string& path) {
  std::string key = Key(path);
  if (IsRoot(key))
    return;
  AddDir(ParentOf(key));
  nodes_[key].dir = true;
}

void FakeFileSystem::AddFile(const std::string& path, const std::string& data, std::uint64_t time) {
  std::string key = Key(path);
  AddDir(ParentOf(key));
  Node& node = nodes_[key];
  node = Node();
  node.data = data;
  node.time = time;
}

FakeFileSystem::Node* FakeFileSystem::Find(const std::string& path) {
  auto it = nodes_.find(Key(path));
  return it == nodes_.end() ? nullptr : &it->second;
}

std::string FakeFileSystem::Content(const std::string& path) {
  Node* node = Find(path);
  return node ? node->data : std::string();
}

bool FakeFileSystem::Exists(const std::string& path) {
  if (Fails("Exists", path))
    return false;
  std::string key = Key(path);
  if (path.find_first_of("*?") == std::string::npos)
    // A name ending in a separator is found by no search, directory or not.
    return !path.empty() && nodes_.count(key) > 0 && path.back() != '\\' && path.back() != '/';
  std::string dir = ParentOf(key);
  std::string pattern = key.substr(key.rfind('\\') + 1);
  for (const auto& entry : nodes_) {
    if (ParentOf(entry.first) == dir &&
        WildMatch(pattern.c_str(), entry.first.substr(dir.size() + 1).c_str()))
      return true;
  }
  return false;
}

TimeResult FakeFileSystem::LastWriteTime(const std::string& path, std::uint64_t* time) {
  if (Fails("LastWriteTime", path))
    return TimeResult::kOpenFailed;
  Node* node = Find(path);
  if (!node || node->dir || node->locked || path.find_first_of("*?") != std::string::npos)
    return TimeResult::kOpenFailed;
  if (node->time_unreadable)
    return TimeResult::kTimeFailed;
  *time = node->time;
  return TimeResult::kOk;
}

FileStatus FakeFileSystem::Status(const std::string& path) {
  FileStatus status;
  if (Fails("Status", path)) {
    // What cannot be examined is not written over.
    status.exists = true;
    status.read_only = true;
    return status;
  }
  Node* node = Find(path);
  if (!node)
    return status;
  status.exists = true;
  status.folder = node->dir;
  status.read_only = node->read_only;
  if (!node->dir && !node->locked)
    status.time_result = node->time_unreadable ? TimeResult::kTimeFailed : TimeResult::kOk;
  status.time = node->time;
  return status;
}

DirResult FakeFileSystem::MakeDirectory(const std::string& path) {
  if (Fails("MakeDirectory", path))
    return DirResult::kFailed;
  std::string key = Key(path);
  if (IsRoot(key) || nodes_.count(key))
    return DirResult::kAlreadyExists;
  if (!ParentIsDir(key))
    return DirResult::kFailed;
  nodes_[key].dir = true;
  return DirResult::kCreated;
}

bool FakeFileSystem::Copy(const std::string& from, const std::string& to, std::string* err) {
  bool ok = !Fails("Copy", from + ", " + to);
  Node* source = Find(from);
  Node* target = Find(to);
  std::string to_key = Key(to);
  if (!source || source->dir || source->locked || from.find_first_of("*?") != std::string::npos ||
      (target && (target->dir || target->read_only || target->locked)) || !ParentIsDir(to_key) ||
      to.empty() || to.back() == '\\') {
    *err = "Copy(" + from + ", " + to + "): refused";
    return false;
  }
  Node copy = *source;
  if (!ok) {
    // Like a disk that fills up part way: half the file arrives.
    copy.data.resize(copy.data.size() / 2);
    copy.read_only = false;
    nodes_[to_key] = copy;
    *err = "Copy(" + from + ", " + to + "): injected failure";
    return false;
  }
  nodes_[to_key] = copy;
  return true;
}

bool FakeFileSystem::IsReadOnly(const std::string& path) {
  if (Fails("IsReadOnly", path))
    return false;
  Node* node = Find(path);
  return node && node->read_only;
}

bool FakeFileSystem::Replace(const std::string& from, const std::string& to, std::string* err) {
  bool ok = !Fails("Replace", from + ", " + to);
  Node* source = Find(from);
  Node* target = Find(to);
  if (!ok || !source || source->dir ||
      (target && (target->dir || target->read_only || target->locked)) || !ParentIsDir(Key(to))) {
    *err = "Replace(" + from + ", " + to + "): refused";
    return false;
  }
  Node moved = *source;
  nodes_.erase(Key(from));
  nodes_[Key(to)] = moved;
  return true;
}

bool FakeFileSystem::FlushFile(const std::string& path, std::string* err) {
  Node* node = Find(path);
  if (Fails("FlushFile", path) || !node || node->dir) {
    *err = "FlushFile(" + path + "): refused";
    return false;
  }
  return true;
}

bool FakeFileSystem::SyncFiles(const std::vector<std::string>& paths, std::string* err) {
  std::string joined;
  for (const std::string& path : paths)
    joined += (joined.empty() ? "" : ", ") + path;
  if (Fails("SyncFiles", joined)) {
    *err = "SyncFiles(" + joined + "): injected failure";
    return false;
  }
  // Both systems open each file to sync it, so a missing one fails.
  for (const std::string& path : paths) {
    if (!Find(path)) {
      *err = "SyncFiles(" + path + "): no such file";
      return false;
    }
  }
  return true;
}

bool FakeFileSystem::Remove(const std::string& path) {
  if (Fails("Remove", path))
    return false;
  Node* node = Find(path);
  if (!node || node->dir || node->read_only || node->locked)
    return false;
  nodes_.erase(Key(path));
  return true;
}

bool FakeFileSystem::SetNormalAttributes(const std::string& path) {
  if (Fails("SetNormalAttributes", path))
    return false;
  Node* node = Find(path);
  if (!node)
    return false;
  node->read_only = false;
  node->attributes = 0;
  return true;
}

bool FakeFileSystem::GetAttributes(const std::string& path, std::uint32_t* attrs) {
  Node* node = Find(path);
  if (Fails("GetAttributes", path) || !node)
    return false;
  *attrs = node->attributes | (node->read_only ? kReadOnlyBit : 0) | (node->dir ? kDirBit : 0);
  if (*attrs == 0)
    *attrs = kNormalBit;
  return true;
}

bool FakeFileSystem::SetAttributes(const std::string& path, std::uint32_t attrs) {
  Node* node = Find(path);
  if (Fails("SetAttributes", path) || !node)
    return false;
  node->read_only = (attrs & kReadOnlyBit) != 0;
  node->attributes = attrs & kFileOwnBits;
  return true;
}

bool FakeFileSystem::RemoveEmptyDirectory(const std::string& path) {
  Node* node = Find(path);
  if (Fails("RemoveEmptyDirectory", path) || !node || !node->dir)
    return false;
  std::string key = Key(path);
  for (const auto& entry : nodes_) {
    if (entry.first != key && ParentOf(entry.first) == key)
      return false;
  }
  nodes_.erase(key);
  return true;
}

bool FakeFileSystem::ListDirectory(const std::string& path, std::vector<std::string>* names) {
  Node* node = Find(path);
  if (Fails("ListDirectory", path) || !node || !node->dir)
    return false;
  std::string key = Key(path);
  names->clear();
  for (const auto& entry : nodes_) {
    if (entry.first != key && ParentOf(entry.first) == key)
      names->push_back(entry.first.substr(key.size() + 1));
  }
  return true;
}

std::unique_ptr<InputFile> FakeFileSystem::OpenRead(const std::string& path, std::string* err) {
  Node* node = Find(path);
  if (Fails("OpenRead", path) || !node || node->dir || node->locked) {
    *err = "OpenRead(" + path + "): cannot open";
    return nullptr;
  }
  ++open_files_;
  return std::unique_ptr<InputFile>(new FakeInput(this, path, *node));
}

std::unique_ptr<OutputFile> FakeFileSystem::CreateWrite(const std::string& path, std::string* err) {
  Node* node = Find(path);
  if (Fails("CreateWrite", path) || (node && (node->dir || node->read_only || node->locked)) ||
      !ParentIsDir(Key(path))) {
    *err = "CreateWrite(" + path + "): cannot open";
    return nullptr;
  }
  nodes_[Key(path)] = Node();
  ++open_files_;
  return std::unique_ptr<OutputFile>(new FakeOutput(this, path));
}

std::unique_ptr<OutputFile> FakeFileSystem::CreateNew(const std::string& path, std::string* err) {
  Node* node = Find(path);
  // A leftover goes as the Win32 layer takes it: a read-only one too, but
  // not a folder or a locked file.
  if (Fails("CreateNew", path) || (node && (node->dir || node->locked)) ||
      !ParentIsDir(Key(path))) {
    *err = "CreateNew(" + path + "): cannot create";
    return nullptr;
  }
  nodes_[Key(path)] = Node();
  ++open_files_;
  return std::unique_ptr<OutputFile>(new FakeOutput(this, path));
}

std::string FakeFileSystem::FullPath(const std::string& path) {
  return ResolvePathLexically(path, "C:\\");
}

std::string FakeFileSystem::RealPath(const std::string& path) {
  return FullPath(path);
}

namespace {

class FakeLock : public FileLock {
 public:
  FakeLock(std::set<std::string>* locked, std::string key) : locked_(locked), key_(key) {}
  ~FakeLock() override { locked_->erase(key_); }

 private:
  std::set<std::string>* locked_;
  std::string key_;
};

}  // namespace

LockResult FakeFileSystem::LockFile(const std::string& path, std::unique_ptr<FileLock>* lock,
                                    std::string* err) {
  std::string key = Key(path);
  Node* node = Find(path);
  if (Fails("LockFile", path) || (node && node->dir) || (!node && !ParentIsDir(key))) {
    *err = "LockFile(" + path + "): cannot open";
    return LockResult::kFailed;
  }
  if (!node)
    nodes_[key] = Node();
  if (!locked_.insert(key).second)
    return LockResult::kBusy;
  lock->reset(new FakeLock(&locked_, key));
  return LockResult::kLocked;
}
