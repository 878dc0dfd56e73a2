#include "platform/fake_platform.h"

#include <algorithm>
#include <cstring>

#include "platform/paths.h"
#include "res/string_table.h"

namespace {

std::string ParentOf(const std::string& key) {
  std::size_t slash = key.rfind('\\');
  if (slash == std::string::npos || slash <= 2)
    return key.substr(0, 3);
  return key.substr(0, slash);
}

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
  FakeInput(FakeFileSystem* fs, std::string key, std::string data)
      : fs_(fs), key_(std::move(key)), data_(std::move(data)) {}
  ~FakeInput() override { fs_->FileClosed(); }
  long Read(char* buf, std::size_t size) override {
    if (!fs_->Call("Read", key_))
      return -1;
    std::size_t n = std::min(size, data_.size() - pos_);
    std::memcpy(buf, data_.data() + pos_, n);
    pos_ += n;
    return static_cast<long>(n);
  }

 private:
  FakeFileSystem* fs_;
  std::string key_;
  std::string data_;
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
    if (!fs_->Call("Write", path_)) {
      // A failing write, like a full disk, leaves part of the data behind.
      if (node)
        node->data.append(data, size / 2);
      return false;
    }
    if (node)
      node->data.append(data, size);
    return node != nullptr;
  }
  bool Flush() override { return fs_->Call("Flush", path_); }
  bool Close() override {
    if (closed_)
      return false;
    closed_ = true;
    fs_->FileClosed();
    return fs_->Call("Close", path_);
  }

 private:
  FakeFileSystem* fs_;
  std::string path_;
  bool closed_ = false;
};

}  // namespace

FakeFileSystem::FakeFileSystem() {}

std::string FakeFileSystem::Key(const std::string& path) {
  return LowerAscii(ResolvePathLexically(path, "C:\\"));
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

void FakeFileSystem::FailFrom(int n, bool persistent) {
  fail_at_ = call_count_ + n;
  fail_persistent_ = persistent;
}

void FakeFileSystem::FailOp(const std::string& op, const std::string& path_part) {
  fail_ops_.emplace_back(op, LowerAscii(path_part));
}

void FakeFileSystem::ClearFaults() {
  fail_at_ = 0;
  fail_ops_.clear();
}

bool FakeFileSystem::Call(const std::string& op, const std::string& path) {
  ++call_count_;
  calls_.push_back(op + "(" + path + ")");
  if (fail_at_ > 0 && (call_count_ == fail_at_ || (fail_persistent_ && call_count_ > fail_at_)))
    return false;
  std::string lower = LowerAscii(path);
  for (const auto& fault : fail_ops_) {
    if (op == fault.first && lower.find(fault.second) != std::string::npos)
      return false;
  }
  return true;
}

bool FakeFileSystem::Exists(const std::string& path) {
  if (!Call("Exists", path))
    return false;
  std::string key = Key(path);
  if (path.find_first_of("*?") == std::string::npos)
    return !path.empty() && nodes_.count(key) > 0 && path.back() != '\\';
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
  if (!Call("LastWriteTime", path))
    return TimeResult::kOpenFailed;
  Node* node = Find(path);
  if (!node || node->dir || node->locked || path.find_first_of("*?") != std::string::npos)
    return TimeResult::kOpenFailed;
  if (node->time_unreadable)
    return TimeResult::kTimeFailed;
  *time = node->time;
  return TimeResult::kOk;
}

DirResult FakeFileSystem::MakeDirectory(const std::string& path) {
  if (!Call("MakeDirectory", path))
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
  bool ok = Call("Copy", from + ", " + to);
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
  if (!Call("IsReadOnly", path))
    return false;
  Node* node = Find(path);
  return node && node->read_only;
}

bool FakeFileSystem::Replace(const std::string& from, const std::string& to, std::string* err) {
  bool ok = Call("Replace", from + ", " + to);
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

bool FakeFileSystem::Remove(const std::string& path) {
  if (!Call("Remove", path))
    return false;
  Node* node = Find(path);
  if (!node || node->dir || node->read_only || node->locked)
    return false;
  nodes_.erase(Key(path));
  return true;
}

bool FakeFileSystem::SetNormalAttributes(const std::string& path) {
  if (!Call("SetNormalAttributes", path))
    return false;
  Node* node = Find(path);
  if (!node)
    return false;
  node->read_only = false;
  return true;
}

std::unique_ptr<InputFile> FakeFileSystem::OpenRead(const std::string& path, std::string* err) {
  Node* node = Find(path);
  if (!Call("OpenRead", path) || !node || node->dir || node->locked) {
    *err = "OpenRead(" + path + "): cannot open";
    return nullptr;
  }
  ++open_files_;
  return std::unique_ptr<InputFile>(new FakeInput(this, Key(path), node->data));
}

std::unique_ptr<OutputFile> FakeFileSystem::CreateWrite(const std::string& path, std::string* err) {
  Node* node = Find(path);
  if (!Call("CreateWrite", path) || (node && (node->dir || node->read_only || node->locked)) ||
      !ParentIsDir(Key(path))) {
    *err = "CreateWrite(" + path + "): cannot open";
    return nullptr;
  }
  nodes_[Key(path)] = Node();
  ++open_files_;
  return std::unique_ptr<OutputFile>(new FakeOutput(this, path));
}

std::string FakeFileSystem::FullPath(const std::string& path) {
  return ResolvePathLexically(path, "C:\\");
}

bool FakeRegistry::Fails(const std::string& call) {
  calls_.push_back(call);
  for (const std::string& part : fail_parts_) {
    if (call.find(part) != std::string::npos)
      return true;
  }
  return false;
}

void FakeRegistry::AddKey(const std::string& key) {
  std::string lower = LowerAscii(key);
  for (std::size_t pos = lower.find('\\'); pos != std::string::npos;
       pos = lower.find('\\', pos + 1))
    keys_[lower.substr(0, pos)];
  keys_[lower];
}

void FakeRegistry::SetRaw(const std::string& key, const std::string& name, std::uint32_t type,
                          const std::string& bytes) {
  AddKey(key);
  keys_[LowerAscii(key)][LowerAscii(name)] = Value{type, bytes};
}

void FakeRegistry::SetString(const std::string& key, const std::string& name,
                             const std::string& text, std::uint32_t type) {
  SetRaw(key, name, type, text + std::string(1, '\0'));
}

void FakeRegistry::SetDwordValue(const std::string& key, const std::string& name,
                                 std::uint32_t value) {
  SetRaw(key, name, kRegDword, DwordBytes(value));
}

const FakeRegistry::Value* FakeRegistry::Get(const std::string& key, const std::string& name) {
  auto k = keys_.find(LowerAscii(key));
  if (k == keys_.end())
    return nullptr;
  auto v = k->second.find(LowerAscii(name));
  return v == k->second.end() ? nullptr : &v->second;
}

long FakeRegistry::OpenKey(RegKey parent, const std::string& name, std::uint32_t access,
                           RegKey* out) {
  std::string base;
  if (parent == kHkeyClassesRoot)
    base = "hkey_classes_root";
  else if (parent == kHkeyCurrentUser)
    base = "hkey_current_user";
  else if (parent == kHkeyLocalMachine)
    base = "hkey_local_machine";
  else if (handles_.count(parent))
    base = handles_[parent].key;
  else
    return kErrorInvalidHandle;
  std::string key = base + "\\" + LowerAscii(name);
  if (Fails("OpenKey(" + key + ")"))
    return kErrorAccessDenied;
  if (!keys_.count(key) || name.empty() || name.find('\\') != std::string::npos)
    return kErrorFileNotFound;
  if ((access & ~kKeyRead & 0xFFFF) && deny_write_.count(key))
    return kErrorAccessDenied;
  *out = next_handle_++;
  handles_[*out] = Handle{key, access};
  return kErrorSuccess;
}

long FakeRegistry::QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                              unsigned char* data, std::uint32_t* size) {
  auto h = handles_.find(key);
  if (h == handles_.end())
    return kErrorInvalidHandle;
  if (Fails("QueryValue(" + h->second.key + ", " + name + ")"))
    return kErrorAccessDenied;
  const Value* value = Get(h->second.key, name);
  if (!value)
    return kErrorFileNotFound;
  *type = value->type;
  std::uint32_t needed = static_cast<std::uint32_t>(value->bytes.size());
  bool fits = data && *size >= needed;
  if (fits)
    std::memcpy(data, value->bytes.data(), needed);
  std::uint32_t given = *size;
  *size = needed;
  if (data && given < needed)
    return kErrorMoreData;
  return kErrorSuccess;
}

long FakeRegistry::SetDword(RegKey key, const std::string& name, std::uint32_t value) {
  auto h = handles_.find(key);
  if (h == handles_.end())
    return kErrorInvalidHandle;
  if (Fails("SetDword(" + h->second.key + ", " + name + ")") ||
      (h->second.access & 0x2) == 0)  // KEY_SET_VALUE
    return kErrorAccessDenied;
  SetDwordValue(h->second.key, name, value);
  return kErrorSuccess;
}

long FakeRegistry::CloseKey(RegKey key) {
  auto h = handles_.find(key);
  if (h == handles_.end())
    return kErrorInvalidHandle;
  bool fail = Fails("CloseKey(" + h->second.key + ")");
  handles_.erase(h);
  return fail ? kErrorInvalidHandle : kErrorSuccess;
}

std::string FakeShell::LoadText(unsigned id) {
  const char* text = BuiltInString(id);
  return text ? text : "";
}

int FakeShell::ShowMessageBox(const std::string& caption, const std::string& text, unsigned type) {
  boxes.push_back(Box{caption, text, type});
  if (!answers.empty()) {
    int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  return (type & kMbTypeMask) == kMbYesNoCancel ? kIdYes : kIdOk;
}
