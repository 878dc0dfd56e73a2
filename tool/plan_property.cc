#include "tool/plan_property.h"

#include <cstdint>
#include <map>
#include <set>

#include "platform/paths.h"
#include "textures/texture_catalogue.h"
#include "tool/commands.h"
#include "tool/test_console.h"

namespace {

const char kKey[] = "HKEY_CLASSES_ROOT\\Software\\Brindlewood\\KSVX";

struct Snapshot {
  std::map<std::string, FakeFileSystem::Node> nodes;
  std::string scan;
};

Snapshot Take(FakePlatform& p) {
  const FakeRegistry::Value* scan = p.registry.Get(kKey, "Scan");
  return {p.files.nodes(), scan ? scan->bytes : "-"};
}

// What changed between two snapshots, in the plan's words.
std::set<std::string> Diff(const Snapshot& before, const Snapshot& after) {
  std::set<std::string> changes;
  for (const auto& [key, node] : after.nodes) {
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

// The plan names a path as the script spelled it; the fake keys it by its
// full path.
std::set<std::string> Listed(const PlanReport& plan, FakeFileSystem& files) {
  static const char* kNames[] = {
      "create: ", "replace: ", "folder: ", "read-only cleared: ", "remove: "};
  std::set<std::string> changes;
  for (const auto& change : plan.changes)
    changes.insert(kNames[static_cast<int>(change.change)] +
                   LowerAscii(files.FullPath(change.path)));
  return changes;
}

std::set<std::uint32_t> Ids(FakeFileSystem& files, const std::string& path) {
  CTextureCatalogue catalogue(files);
  std::set<std::uint32_t> ids;
  if (catalogue.Load(path))
    catalogue.entries().ForEach([&](std::uint32_t id, std::string_view) { ids.insert(id); });
  return ids;
}

}  // namespace

PlanOutcome PlanThenInstall(FakePlatform& p, const ToolOptions& options,
                            const std::string& catalogue) {
  PlanOutcome out;
  auto expect = [&out](bool holds, const char* what) {
    if (!holds)
      out.mismatches.push_back(what);
  };
  Snapshot before = Take(p);
  std::set<std::uint32_t> ids_before = Ids(p.files, catalogue);

  TestConsole plan_console;
  out.plan_status = MakePlan(p.platform, plan_console, options, &out.plan);
  Snapshot untouched = Take(p);
  expect(before.scan == untouched.scan, "the plan set Scan");
  expect(Diff(before, untouched).empty(), "the plan changed the tree");

  TestConsole console;
  console.input.assign({"x", "yes"});
  out.install_status = RunInstall(p.platform, console, options);
  expect(out.plan_status == out.install_status, "exit status");
  Snapshot after = Take(p);
  expect(Diff(before, after) == Listed(out.plan, p.files), "files and folders");
  std::set<std::uint32_t> added;
  for (const auto& texture : out.plan.added)
    added.insert(texture.id);
  std::set<std::uint32_t> ids_after = Ids(p.files, catalogue);
  for (std::uint32_t id : ids_before)
    ids_after.erase(id);
  expect(ids_after == added, "textures added");
  expect((after.scan == before.scan) == out.plan.registry.empty(), "Scan");
  return out;
}
