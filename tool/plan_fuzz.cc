// Feeds arbitrary bytes to a plan and then an install, as InstSkript.txt of a
// fixed small package and Kestrova tree. Whatever the script holds, the plan
// must change nothing and list exactly what the install then changes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/fake_platform.h"
#include "tool/plan_property.h"

namespace {

const char kKey[] = "HKEY_CLASSES_ROOT\\Software\\Brindlewood\\KSVX";
const char kCatalogue[] = "D:\\Sim\\Resourcen\\Parallels\\Texturen.txt";

// Package files a.dat, b.dat, c.dat and a folder; in Kestrova a folder, a
// newer b.dat, an older read-only c.dat and a catalogue holding id 12.
void AddTree(FakePlatform& p) {
  for (const char* name : {"a", "b", "c"})
    p.files.AddFile(std::string("C:\\Paket\\") + name + ".dat", std::string("new ") + name, 10);
  p.files.AddDir("C:\\Paket\\Dir");
  p.registry.SetString(kKey, "AppPath", "D:\\Sim\\Kestrova.exe");
  p.registry.SetDwordValue(kKey, "Scan", 0);
  p.files.AddFile("D:\\Sim\\Modelle\\b.dat", "mine", 20);
  p.files.AddFile("D:\\Sim\\Modelle\\c.dat", "old", 5);
  p.files.Find("D:\\Sim\\Modelle\\c.dat")->read_only = true;
  p.files.AddFile(kCatalogue, "Basis{ Textur{name(Kies)id(12)} }");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FakePlatform p;
  AddTree(p);
  p.files.AddFile("C:\\Paket\\InstSkript.txt",
                  std::string(reinterpret_cast<const char*>(data), size));
  ToolOptions options;
  options.package = "C:\\Paket";
  options.newer = NewerAnswer::kKeep;
  options.newer_given = true;
  PlanOutcome out = PlanThenInstall(p, options, kCatalogue);
  for (const std::string& mismatch : out.mismatches)
    std::fprintf(stderr, "plan and install differ: %s\n", mismatch.c_str());
  if (!out.mismatches.empty())
    std::abort();
  if (p.files.open_files() != 0)
    std::abort();
  return 0;
}
