// Reading a large install script on the real file system: a package of
// 100,000 entries must read in well under a second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/install_script.h"
#include "platform/paths.h"
#include "platform/platform.h"

namespace {

const int kEntries = 100000;

// Writes a script whose file section holds kEntries entries, followed by a
// texture section of one entry, and returns its Windows-style path.
std::string WriteScript() {
  std::filesystem::path file =
      std::filesystem::temp_directory_path() / "packwright_bench_InstSkript.txt";
  std::ofstream out(file, std::ios::binary);
  out << "{Benchmark package}\r\nDateinstallation\r\n{\r\n";
  for (int i = 0; i < kEntries; ++i) {
    out << "  {Dateien\\Modell " << i << ".dat >> Resourcen\\Modelle\\Modell " << i << ".dat}\r\n";
  }
  out << "}\r\nTexturskript\r\n{\r\n  {name(Mast) id(1)}\r\n}\r\n";
  return FromPosixPath(file.string());
}

void ReadEveryEntry(benchmark::State& state, const char* section) {
  std::string path = WriteScript();
  CInstallScript script(SystemPlatform().files);
  if (!script.CheckOpen(path)) {
    state.SkipWithError("script does not open");
    return;
  }
  long entries = 0;
  for (auto _ : state) {
    entries = 0;
    std::string text;
    if (script.FindSection(section)) {
      while (script.NextEntry(&text))
        ++entries;
    }
    benchmark::DoNotOptimize(entries);
  }
  script.Close();
  state.counters["entries"] = static_cast<double>(entries);
  std::filesystem::remove(std::filesystem::path(ToPosixPath(path)));
}

void BM_ReadFileSection(benchmark::State& state) {
  ReadEveryEntry(state, "Dateinstallation");
}
void BM_FindSectionAfterLargeOne(benchmark::State& state) {
  ReadEveryEntry(state, "Texturskript");
}

}  // namespace

BENCHMARK(BM_ReadFileSection)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindSectionAfterLargeOne)->Unit(benchmark::kMillisecond);
