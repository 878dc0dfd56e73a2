#include "tool/plan.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "platform/fake_platform.h"
#include "platform/unicode.h"
#include "textures/texture_catalogue.h"
#include "tool/commands.h"
#include "tool/test_console.h"

namespace {

const char kKey[] = "HKEY_CLASSES_ROOT\\Software\\Brindlewood\\KSVX";
const char kCatalogue[] = "D:\\Sim\\Resourcen\\Parallels\\Texturen.txt";

// The package: a file into a folder that may be missing, two into one that
// exists, and a texture whose id Kestrova's catalogue holds.
void AddPackage(FakePlatform& p) {
  p.files.AddFile("C:\\Paket\\InstSkript.txt",
                  "Dateinstallation{ {a.dat>>Modelle\\Neu\\a.dat} {b.dat>>Modelle\\b.dat}\n"
                  "  {c.dat>>Modelle\\c.dat} }\n"
                  "Texturskript{ {t>>Textur{name(T)id(5101)}} {u>>Textur{name(U)id(12)}} }\n");
  for (const char* name : {"a", "b", "c"})
    p.files.AddFile(std::string("C:\\Paket\\") + name + ".dat", std::string("new ") + name, 10);
  p.registry.SetString(kKey, "AppPath", "D:\\Sim\\Kestrova.exe");
  p.files.AddFile("D:\\Sim\\Kestrova.exe", "MZ");
  p.registry.SetDwordValue(kKey, "Scan", 0);
  p.files.AddDir("D:\\Sim\\Modelle");
  p.files.AddFile(kCatalogue, "Basis{ Textur{name(Kies)id(12)} }");
}

struct Snapshot {
  std::map<std::string, FakeFileSystem::Node> nodes;
  std::string scan;
};

Snapshot Take(FakePlatform& p) {
  const FakeRegistry::Value* scan = p.registry.Get(kKey, "Scan");
  return {p.files.nodes(), scan ? scan->bytes : "-"};
}

// What changed between two snapshots, in the plan's words.
// The changes outside the install's record, which the plan does not show.
std::set<std::string> Diff(const Snapshot& before, const Snapshot& after) {
  std::set<std::string> changes;
  for (const auto& [key, node] : after.nodes) {
    if (key.find("\\packwright") != std::string::npos)
      continue;
    auto old = before.nodes.find(key);
    if (old == before.nodes.end())
      changes.insert((node.dir ? "folder: " : "create: ") + key);
    else if (node.data != old->second.data || node.time != old->second.time)
      changes.insert("replace: " + key);
    else if (old->second.read_only && !node.read_only)
      changes.insert("read-only cleared: " + key);
  }
  for (const auto& [key, node] : before.nodes) {
    if (!after.nodes.count(key))
      changes.insert("remove: " + key);
  }
  return changes;
}

std::set<std::string> Listed(const PlanReport& plan) {
  static const char* kNames[] = {
      "create: ", "replace: ", "folder: ", "read-only cleared: ", "remove: "};
  std::set<std::string> changes;
  for (const auto& change : plan.changes)
    changes.insert(kNames[static_cast<int>(change.change)] + FoldCase(change.path));
  return changes;
}

std::set<std::uint32_t> Ids(FakeFileSystem& files) {
  CTextureCatalogue catalogue(files);
  std::set<std::uint32_t> ids;
  if (catalogue.Load(kCatalogue))
    catalogue.entries().ForEach([&](std::uint32_t id, std::string_view) { ids.insert(id); });
  return ids;
}

struct PlanCase {
  const char* name;
  NewerAnswer newer;
  std::function<void(FakePlatform&)> tree;
  std::size_t kept;
  int status;
};

const PlanCase kCases[] = {
    {"new files and folder", NewerAnswer::kKeep, [](FakePlatform&) {}, 0, kExitOk},
    {"newer file kept", NewerAnswer::kKeep,
     [](FakePlatform& p) { p.files.AddFile("D:\\Sim\\Modelle\\b.dat", "mine", 20); }, 1, kExitOk},
    {"newer file replaced", NewerAnswer::kReplace,
     [](FakePlatform& p) { p.files.AddFile("D:\\Sim\\Modelle\\b.dat", "mine", 20); }, 0, kExitOk},
    {"newer file asked", NewerAnswer::kAsk,
     [](FakePlatform& p) { p.files.AddFile("D:\\Sim\\Modelle\\b.dat", "mine", 20); }, 1, kExitOk},
    {"older read-only file", NewerAnswer::kKeep,
     [](FakePlatform& p) {
       p.files.AddFile("D:\\Sim\\Modelle\\c.dat", "old", 5);
       p.files.Find("D:\\Sim\\Modelle\\c.dat")->read_only = true;
     },
     0, kExitFailed},
    {"missing catalogue", NewerAnswer::kKeep, [](FakePlatform& p) { p.files.Remove(kCatalogue); },
     0, kExitFailed},
    {"missing script", NewerAnswer::kKeep,
     [](FakePlatform& p) { p.files.Remove("C:\\Paket\\InstSkript.txt"); }, 0, kExitCannotRun},
};

// A plan changes nothing, and lists exactly what the install then changes:
// files, folders, attributes, textures, Scan and the result.
TEST(PlanTest, ListsWhatInstallChangesAndChangesNothing) {
  for (const PlanCase& c : kCases) {
    SCOPED_TRACE(c.name);
    FakePlatform p;
    AddPackage(p);
    c.tree(p);
    ToolOptions options;
    options.package = "C:\\Paket";
    options.newer = c.newer;
    options.newer_given = true;
    Snapshot before = Take(p);
    std::set<std::uint32_t> ids_before = Ids(p.files);

    TestConsole plan_console;
    PlanReport plan;
    EXPECT_EQ(c.status, MakePlan(p.platform, plan_console, options, &plan));
    Snapshot untouched = Take(p);
    EXPECT_EQ(before.scan, untouched.scan);
    EXPECT_TRUE(Diff(before, untouched).empty());
    EXPECT_EQ(c.kept, plan.kept.size());
    for (const PlanReport::Kept& kept : plan.kept)
      EXPECT_EQ("D:\\Sim\\Modelle\\b.dat", kept.path);
    if (c.status == kExitOk) {
      EXPECT_EQ(1u, plan.passed_over.size());  // id 12, held by Kies
    }

    TestConsole console;
    console.input.assign({"x", "yes"});
    EXPECT_EQ(c.status, RunInstall(p.platform, console, options));
    Snapshot after = Take(p);
    EXPECT_EQ(Diff(before, after), Listed(plan));
    std::set<std::uint32_t> added;
    for (const auto& texture : plan.added)
      added.insert(texture.id);
    std::set<std::uint32_t> ids_after = Ids(p.files);
    for (std::uint32_t id : ids_before)
      ids_after.erase(id);
    EXPECT_EQ(ids_after, added);
    EXPECT_EQ(after.scan == before.scan, plan.registry.empty());
    if (c.status != kExitCannotRun) {
      EXPECT_FALSE(Listed(plan).empty());
    }
  }
}

}  // namespace
