// Where a generated case runs: a folder holding the package, Kestrova, a
// second Kestrova (Other) and files beside them (Outside), over the fake
// platform or the real file system, with a fake registry and shell.
#ifndef PACKWRIGHT_TOOL_PROP_WORLD_H_
#define PACKWRIGHT_TOOL_PROP_WORLD_H_

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/fake_registry.h"
#include "platform/platform.h"
#include "tool/prop_case.h"

extern const char kPropKey[];

class PropWorld {
 public:
  virtual ~PropWorld() = default;
  virtual Platform& platform() = 0;
  virtual FakeRegistry& registry() = 0;
  // The folder that holds everything, without a trailing backslash.
  virtual const std::string& root() const = 0;
  // Set-up that does not go through the file system under test; parents
  // must exist. Each is false on failure.
  virtual bool AddFile(const std::string& path, const std::string& data, std::uint64_t time,
                       bool read_only) = 0;
  virtual bool AddDir(const std::string& path) = 0;
  // False where links cannot be made (the fake).
  virtual bool AddLink(const std::string& path, const std::string& target) = 0;

  // Lays out the case. False when part of it could not be made.
  bool Build(const PropCase& c);
  std::string Package(const PropCase& c) const { return root() + "\\" + c.Value("name", "Paket"); }
  std::string Host() const { return root() + "\\Kestrova"; }

 private:
  bool AddTree(const std::string& path);
};

std::unique_ptr<PropWorld> MakeFakeWorld();
// Null when no temporary folder could be made.
std::unique_ptr<PropWorld> MakeDiskWorld();

// One file or folder as a run sees it.
struct TreeItem {
  bool dir = false;
  bool read_only = false;
  std::uint32_t attrs = 0;
  std::uint64_t time = 0;
  std::string data;
  bool operator==(const TreeItem& o) const {
    return dir == o.dir && read_only == o.read_only && attrs == o.attrs && time == o.time &&
           data == o.data;
  }
};
// Everything below a folder, by path relative to it ("Modelle\a.ksm"),
// links followed.
using Tree = std::map<std::string, TreeItem>;
Tree TakeTree(FileSystem& files, const std::string& dir);

#endif  // PACKWRIGHT_TOOL_PROP_WORLD_H_
