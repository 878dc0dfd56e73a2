#include "tool/plan_property.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tool/commands.h"

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
  p.registry.SetDwordValue(kKey, "Scan", 0);
  p.files.AddDir("D:\\Sim\\Modelle");
  p.files.AddFile(kCatalogue, "Basis{ Textur{name(Kies)id(12)} }");
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
     [](FakePlatform& p) { p.files.AddFile("D:\\Sim\\Modelle\\b.dat", "mine", 20); }, 1, kExitOk},
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

// A plan changes nothing, and lists exactly what the install then changes.
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
    PlanOutcome out = PlanThenInstall(p, options, kCatalogue);
    EXPECT_EQ(std::vector<std::string>(), out.mismatches);
    EXPECT_EQ(c.status, out.install_status);
    EXPECT_EQ(c.kept, out.plan.kept.size());
    if (c.status == kExitOk) {
      EXPECT_EQ(1u, out.plan.passed_over.size());  // id 12, held by Kies
    }
    if (c.status != kExitCannotRun) {
      EXPECT_FALSE(out.plan.changes.empty());
    }
  }
}

}  // namespace
