#include "tool/prop_world.h"

#include "platform/fake_platform.h"
#include "platform/test_dir.h"
#include "record/record_reader.h"

const char kPropKey[] = "HKEY_CLASSES_ROOT\\Software\\Brindlewood\\KSVX";

namespace {

// A case's paths stay where the case says: plain names below their folder.
bool PlainPath(const std::string& path) {
  return !path.empty() && path[0] != '\\' && path.find(':') == std::string::npos &&
         path.find("..") == std::string::npos;
}

std::uint64_t TimeOf(const std::string& text) {
  std::uint64_t time = 0;
  for (char c : text)
    time = time * 10 + static_cast<std::uint64_t>(c >= '0' && c <= '9' ? c - '0' : 0);
  // Seconds since 1601, as FILETIME counts, past 1970 so that POSIX holds them.
  return (11644473600ULL + 1700000000ULL + time) * 10000000ULL;
}

class FakeWorld : public PropWorld {
 public:
  Platform& platform() override { return fake_.platform; }
  FakeRegistry& registry() override { return fake_.registry; }
  const std::string& root() const override { return root_; }
  bool AddFile(const std::string& path, const std::string& data, std::uint64_t time,
               bool read_only) override {
    // As on disk, no file name ends in a separator, and a folder in the
    // way stays a folder.
    const FakeFileSystem::Node* node = fake_.files.Find(path);
    if (path.back() == '\\' || (node && node->dir))
      return false;
    fake_.files.AddFile(path, data, time);
    fake_.files.Find(path)->read_only = read_only;
    return true;
  }
  // As on disk, a file in the way stays a file; the fake's own AddDir
  // would make it a folder.
  bool AddDir(const std::string& path) override {
    const FakeFileSystem::Node* node = fake_.files.Find(path);
    if (node && !node->dir)
      return false;
    fake_.files.AddDir(path);
    return true;
  }
  bool AddLink(const std::string&, const std::string&) override { return false; }

 private:
  FakePlatform fake_;
  std::string root_ = "D:\\W";
};

class DiskWorld : public PropWorld {
 public:
  Platform& platform() override { return platform_; }
  FakeRegistry& registry() override { return registry_; }
  const std::string& root() const override { return temp_.path(); }
  bool AddFile(const std::string& path, const std::string& data, std::uint64_t time,
               bool read_only) override {
    return TestWriteFile(path, data) && TestSetWriteTime(path, time) &&
           (!read_only || TestSetReadOnly(path, true));
  }
  bool AddDir(const std::string& path) override {
    return platform_.files.Exists(path) || TestMakeDir(path);
  }
  bool AddLink(const std::string& path, const std::string& target) override {
    return TestMakeLink(path, target);
  }

 private:
  ScopedTempDir temp_;
  FakeRegistry registry_;
  FakeShell shell_;
  Platform platform_{SystemPlatform().files, registry_, shell_};
};

void TakeInto(FileSystem& files, const std::string& dir, const std::string& prefix, Tree* tree) {
  std::vector<std::string> names;
  if (!files.ListDirectory(dir, &names))
    return;
  for (const std::string& name : names) {
    std::string path = dir + "\\" + name;
    TreeItem& item = (*tree)[prefix + name];
    std::vector<std::string> inner;
    item.dir = files.ListDirectory(path, &inner);
    files.GetAttributes(path, &item.attrs);
    item.read_only = files.IsReadOnly(path);
    if (item.dir) {
      TakeInto(files, path, prefix + name + "\\", tree);
      continue;
    }
    files.LastWriteTime(path, &item.time);
    if (!ReadWholeFile(files, path, &item.data))
      item.data = "<unreadable>";
  }
}

}  // namespace

bool PropWorld::AddTree(const std::string& path) {
  for (std::size_t at = path.find('\\', root().size() + 1); at != std::string::npos;
       at = path.find('\\', at + 1)) {
    if (!AddDir(path.substr(0, at)))
      return false;
  }
  return true;
}

bool PropWorld::Build(const PropCase& c) {
  std::string package = Package(c), host = Host() + "\\", outside = root() + "\\Outside\\";
  bool ok = AddTree(package + "\\x") && AddTree(host + "x") && AddTree(outside + "x") &&
            AddTree(root() + "\\Other\\x") &&
            AddFile(root() + "\\Other\\Kestrova.exe", "exe", TimeOf("0"), false) &&
            AddFile(package + "\\InstSkript.txt", c.Script(), TimeOf("0"), false);
  // A line that cannot be laid out (a file where its folder should be, say)
  // is passed over: the case still runs, on what could be made.
  for (const auto& f : c.Of("pkg")) {
    if (f.size() == 3 && PlainPath(f[0]) && AddTree(package + "\\" + f[0]))
      AddFile(package + "\\" + f[0], f[2], TimeOf(f[1]), false);
  }
  for (const auto& f : c.Of("outside")) {
    if (f.size() == 3 && PlainPath(f[0]) && AddTree(outside + f[0]))
      AddFile(outside + f[0], f[2], TimeOf(f[1]), false);
  }
  for (const auto& f : c.Of("link")) {
    if (f.size() == 2 && PlainPath(f[0]) && PlainPath(f[1]) && AddTree(host + f[0]))
      AddLink(host + f[0], outside + f[1]);
  }
  for (const auto& f : c.Of("dir")) {
    if (f.size() == 1 && PlainPath(f[0]))
      AddTree(host + f[0] + "\\x");
  }
  for (const auto& f : c.Of("file")) {
    if (f.size() == 4 && PlainPath(f[0]) && !platform().files.Exists(host + f[0]) &&
        AddTree(host + f[0]))
      AddFile(host + f[0], f[3], TimeOf(f[1]), f[2] == "1");
  }
  std::string registry = c.Value("registry", "host");
  if (registry != "none") {
    std::string exe = registry == "host" ? host : root() + "\\Other\\";
    this->registry().SetString(kPropKey, "AppPath", exe + "Kestrova.exe");
    this->registry().SetDwordValue(kPropKey, "Scan", 0);
  }
  return ok;
}

std::unique_ptr<PropWorld> MakeFakeWorld() {
  return std::make_unique<FakeWorld>();
}

std::unique_ptr<PropWorld> MakeDiskWorld() {
  auto world = std::make_unique<DiskWorld>();
  if (world->root().empty())
    return nullptr;
  return world;
}

Tree TakeTree(FileSystem& files, const std::string& dir) {
  Tree tree;
  TakeInto(files, dir, "", &tree);
  return tree;
}
