// Test doubles for the platform: an in-memory file system and registry that
// behave like Windows (case-insensitive paths, read-only files refused), and
// a shell whose message boxes are recorded and answered from a script.
//
// Fault injection follows SQLite's model: every operation of the fake file
// system (and of the files it opens) counts as one call, and FailFrom(n)
// makes the nth call fail, and every later one too if `persistent`.
#ifndef PACKWRIGHT_PLATFORM_FAKE_PLATFORM_H_
#define PACKWRIGHT_PLATFORM_FAKE_PLATFORM_H_

#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "platform/platform.h"

class FakeFileSystem : public FileSystem {
 public:
  struct Node {
    bool dir = false;
    std::string data;
    std::uint64_t time = 0;
    bool read_only = false;
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

  // Fault injection: the nth call from now fails (1 = the next call).
  void FailFrom(int n, bool persistent = false);
  // Every call whose operation name and path contain these texts fails.
  void FailOp(const std::string& op, const std::string& path_part);
  void ClearFaults();
  // The number of calls made so far, and their descriptions ("Copy(a, b)").
  int call_count() const { return call_count_; }
  const std::vector<std::string>& calls() const { return calls_; }
  // Files opened through OpenRead or CreateWrite and not yet closed.
  int open_files() const { return open_files_; }

  bool Exists(const std::string& path) override;
  TimeResult LastWriteTime(const std::string& path, std::uint64_t* time) override;
  DirResult MakeDirectory(const std::string& path) override;
  bool Copy(const std::string& from, const std::string& to, std::string* err) override;
  bool IsReadOnly(const std::string& path) override;
  bool Replace(const std::string& from, const std::string& to, std::string* err) override;
  bool Remove(const std::string& path) override;
  bool SetNormalAttributes(const std::string& path) override;
  std::unique_ptr<InputFile> OpenRead(const std::string& path, std::string* err) override;
  std::unique_ptr<OutputFile> CreateWrite(const std::string& path, std::string* err) override;
  std::string FullPath(const std::string& path) override;

  // Used by the files the fake hands out.
  bool Call(const std::string& op, const std::string& path);
  void FileClosed() { --open_files_; }

 private:
  std::string Key(const std::string& path);
  bool ParentIsDir(const std::string& key);

  std::map<std::string, Node> nodes_;
  int call_count_ = 0;
  int fail_at_ = 0;
  bool fail_persistent_ = false;
  std::vector<std::pair<std::string, std::string>> fail_ops_;
  std::vector<std::string> calls_;
  int open_files_ = 0;
};

class FakeRegistry : public Registry {
 public:
  struct Value {
    std::uint32_t type = 0;
    std::string bytes;
  };

  // Set-up; `key` is a full path such as
  // "HKEY_CLASSES_ROOT\Software\Brindlewood\KSVX". Setting a value creates
  // the key and its parents.
  void AddKey(const std::string& key);
  void SetString(const std::string& key, const std::string& name, const std::string& text,
                 std::uint32_t type = kRegSz);
  void SetRaw(const std::string& key, const std::string& name, std::uint32_t type,
              const std::string& bytes);
  void SetDwordValue(const std::string& key, const std::string& name, std::uint32_t value);
  // Null when there is no such key or value.
  const Value* Get(const std::string& key, const std::string& name);

  // Opening `key` with any write access fails with access denied.
  void DenyWrite(const std::string& key) { deny_write_.insert(LowerAscii(key)); }
  // Every call whose description contains `part` fails.
  void FailCallsMatching(const std::string& part) { fail_parts_.push_back(part); }

  const std::vector<std::string>& calls() const { return calls_; }
  int open_keys() const { return static_cast<int>(handles_.size()); }

  long OpenKey(RegKey parent, const std::string& name, std::uint32_t access, RegKey* out) override;
  long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, unsigned char* data,
                  std::uint32_t* size) override;
  long SetDword(RegKey key, const std::string& name, std::uint32_t value) override;
  long CloseKey(RegKey key) override;

 private:
  struct Handle {
    std::string key;
    std::uint32_t access;
  };
  bool Fails(const std::string& call);

  std::map<std::string, std::map<std::string, Value>> keys_;
  std::map<RegKey, Handle> handles_;
  RegKey next_handle_ = 0x1000;
  std::set<std::string> deny_write_;
  std::vector<std::string> fail_parts_;
  std::vector<std::string> calls_;
};

class FakeShell : public Shell {
 public:
  struct Box {
    std::string caption;
    std::string text;
    unsigned type;
  };

  std::string module_path = "C:\\Paket\\Packwright.exe";
  std::uint16_t language = 0x0407;
  // Answers for the next boxes, in order. When none is left a box returns
  // kIdOk, or kIdYes for a Yes/No/Cancel question.
  std::deque<int> answers;
  std::vector<Box> boxes;

  std::string ModulePath() override { return module_path; }
  std::uint16_t SystemLanguage() override { return language; }
  std::string LoadText(unsigned id) override;
  int ShowMessageBox(const std::string& caption, const std::string& text, unsigned type) override;
};

// The three fakes together, ready to hand to the engine as a Platform.
struct FakePlatform {
  FakeFileSystem files;
  FakeRegistry registry;
  FakeShell shell;
  Platform platform{files, registry, shell};
};

#endif  // PACKWRIGHT_PLATFORM_FAKE_PLATFORM_H_
