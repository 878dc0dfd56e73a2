// The file step with its record on the real file system, through
// CInstaller and the POSIX platform, on generated packages, each run into
// folders that do not exist yet: 10,000 files of 4 KiB, and one of 1 GiB,
// each unsealed and sealed (the sealed cases verify the package against its
// seal before the step, as a run does, and count that time in).
// Every iteration also times `cp -r` of the same data followed by one
// `sync`, the floor, so that step and floor alternate and the ratio
// compares the two on the same disk in the same minute. The ratio counter
// is the median of the iterations' ratios, step_s and floor_s the medians
// of their times; on a shared machine one slow iteration must not move
// them. PW_BENCH_DIR chooses where the data goes (it must be a real disk,
// not tmpfs, with room for 3 GiB).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/install_record.h"
#include "engine/installer.h"
#include "engine/seal.h"
#include "platform/paths.h"
#include "platform/platform.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

fs::path BenchRoot() {
  const char* dir = std::getenv("PW_BENCH_DIR");
  return fs::path(dir ? dir : fs::temp_directory_path().string()) / "packwright_bench_files";
}

bool Shell(const std::string& command) {
  return std::system(command.c_str()) == 0;
}

// Writes `files` files of `size` bytes, spread over `folders` folders under
// root/package/Dateien, and a script that installs each into the same
// folder under the host's directory.
bool WritePackage(const fs::path& root, int folders, int files, std::size_t size) {
  fs::path package = root / "package";
  std::ofstream script(package / "InstSkript.txt", std::ios::binary);
  script << "Dateinstallation\r\n{\r\n";
  std::string data(size, 'k');
  for (int i = 0; i < files; ++i) {
    std::string folder = "Ordner" + std::to_string(i % folders);
    std::string name = "Datei" + std::to_string(i) + ".dat";
    fs::create_directories(package / "Dateien" / folder);
    std::ofstream out(package / "Dateien" / folder / name, std::ios::binary);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    if (!out)
      return false;
    script << "  {Dateien\\" << folder << "\\" << name << ">>" << folder << "\\" << name << "}\r\n";
  }
  script << "}\r\n";
  return static_cast<bool>(script);
}

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Seals the package: Packwright.sum over the script and every file.
bool SealPackage(const fs::path& root, int folders, int files) {
  FileSystem& disk = SystemPlatform().files;
  std::string package = FromPosixPath((root / "package").string());
  std::vector<std::string> names = {"InstSkript.txt"};
  for (int i = 0; i < files; ++i)
    names.push_back("Dateien\\Ordner" + std::to_string(i % folders) + "\\Datei" +
                    std::to_string(i) + ".dat");
  std::vector<SealLine> lines;
  for (const std::string& name : names) {
    lines.push_back({{}, name});
    if (!SealSumOfFile(disk, package + "\\" + name, &lines.back().sum))
      return false;
  }
  std::ofstream seal(root / "package" / "Packwright.sum", std::ios::binary);
  seal << SealText(lines);
  return static_cast<bool>(seal);
}

// One install into an empty host directory, keeping its record as a run
// does, after verifying the seal when `sealed`; the seconds it took, or a
// negative number when the step failed.
double TimeInstall(const fs::path& root, bool sealed) {
  Platform& platform = SystemPlatform();
  CInstaller installer(platform);
  installer.hostDir = FromPosixPath((root / "host").string()) + "\\";
  installer.scriptDir = FromPosixPath((root / "package").string());
  if (!installer.script.CheckOpen(installer.scriptDir + "\\InstSkript.txt"))
    return -1;
  Clock::time_point start = Clock::now();
  if (sealed && VerifySeal(platform.files, installer.scriptDir, "InstSkript.txt").state !=
                    SealVerdict::kIntact)
    return -1;
  CInstallRecord record(platform.files, installer.hostDir);
  installer.record = &record;
  bool ok = record.Begin("install", "package", "-", platform.shell.Now()) &&
            installer.InstallFiles() && record.Finish("ok");
  return ok ? Seconds(start) : -1;
}

double Median(std::vector<double> values) {
  if (values.empty())
    return 0;
  std::sort(values.begin(), values.end());
  std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double TimeCopyAndSync(const fs::path& root) {
  Clock::time_point start = Clock::now();
  bool ok = Shell("cp -r '" + (root / "package" / "Dateien").string() + "' '" +
                  (root / "floor").string() + "' && sync");
  return ok ? Seconds(start) : -1;
}

double Median(std::vector<double> values) {
  if (values.empty())
    return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void BM_FileStep(benchmark::State& state, int folders, int files, std::size_t size,
                 bool sealed = false) {
  fs::path root = BenchRoot();
  fs::remove_all(root);
  fs::create_directories(root / "package");
  if (!WritePackage(root, folders, files, size) || (sealed && !SealPackage(root, folders, files))) {
    state.SkipWithError("cannot write the package");
    return;
  }
  std::vector<double> steps, floors, ratios;
  for (auto _ : state) {
    fs::remove_all(root / "host");
    fs::remove_all(root / "floor");
    fs::create_directories(root / "host");
    Shell("sync");
    double step = TimeInstall(root, sealed);
    double floor = TimeCopyAndSync(root);
    if (step < 0 || floor <= 0) {
      state.SkipWithError("the install or the copy failed");
      break;
    }
    state.SetIterationTime(step);
    steps.push_back(step);
    floors.push_back(floor);
    ratios.push_back(step / floor);
  }
  state.counters["step_s"] = Median(steps);
  state.counters["floor_s"] = Median(floors);
  state.counters["ratio"] = Median(ratios);
  fs::remove_all(root);
}

void BM_FileStepSmallFiles(benchmark::State& state) {
  BM_FileStep(state, 10, 10000, 4096);
}
void BM_FileStepOneGiB(benchmark::State& state) {
  BM_FileStep(state, 1, 1, std::size_t{1} << 30);
}
void BM_FileStepSmallFilesSealed(benchmark::State& state) {
  BM_FileStep(state, 10, 10000, 4096, true);
}
void BM_FileStepOneGiBSealed(benchmark::State& state) {
  BM_FileStep(state, 1, 1, std::size_t{1} << 30, true);
}

}  // namespace

BENCHMARK(BM_FileStepSmallFiles)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FileStepSmallFilesSealed)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FileStepOneGiB)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FileStepOneGiBSealed)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
