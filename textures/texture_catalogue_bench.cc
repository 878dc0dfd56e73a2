// Load + 100 AddEntry + Save of a generated catalogue on the real file
// system, at 1,000, 100,000 and 1,000,000 entries, timed by the clock on
// the wall because Save waits for the disk. Time per entry should stay flat
// as the catalogue grows. Each iteration times the floor right after the
// step, so that step and floor alternate and the noise of a shared disk
// hits both alike: reading the same file, writing it to a temporary, fsync
// and rename. The ratio counter is the step's total over the floor's. The
// peak_rss_growth counter is the rise of the process's peak resident size
// since start-up, so it speaks for one size only when each size runs in a
// process of its own:
//   packwright_bench --benchmark_filter='CatalogueLoadAddSave/1000000/'
// PW_BENCH_DIR chooses where the files go (a real disk, not tmpfs).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/paths.h"
#include "platform/platform.h"
#include "textures/texture_catalogue.h"

namespace {

long PeakRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

const long kPeakRssAtStart = PeakRssKb();

// Writes a catalogue of `entries` entries in the form Save writes, with
// even ids, line by line so that the writing itself takes no memory.
bool WriteCatalogue(const std::filesystem::path& file, long entries) {
  std::FILE* out = std::fopen(file.c_str(), "wb");
  if (!out)
    return false;
  std::fputs("Basis{\r\n", out);
  for (long i = 1; i <= entries; ++i)
    std::fprintf(out, "\tTextur{\tname(T%ld)\tid(%ld)\t}\r\n", i, 2 * i);
  std::fputs("}", out);
  return std::fclose(out) == 0;
}

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Read + write + fsync + rename of `from` onto `to`; the seconds it took, or
// a negative number on failure.
double TimeFloor(const std::filesystem::path& from, const std::filesystem::path& to) {
  Clock::time_point start = Clock::now();
  std::string data;
  data.reserve(std::filesystem::file_size(from));
  std::FILE* in = std::fopen(from.c_str(), "rb");
  if (!in)
    return -1;
  char buf[64 * 1024];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, in)) > 0;)
    data.append(buf, n);
  std::fclose(in);
  std::string temp = to.string() + ".tmp";
  int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  bool ok = fd >= 0 && write(fd, data.data(), data.size()) == static_cast<ssize_t>(data.size()) &&
            fsync(fd) == 0;
  ok = fd >= 0 && close(fd) == 0 && ok && std::rename(temp.c_str(), to.c_str()) == 0;
  return ok ? Seconds(start) : -1;
}

void BM_CatalogueLoadAddSave(benchmark::State& state) {
  const long entries = static_cast<long>(state.range(0));
  const char* root = std::getenv("PW_BENCH_DIR");
  std::filesystem::path dir =
      (root ? std::filesystem::path(root) : std::filesystem::temp_directory_path()) /
      "packwright_bench_textures";
  std::filesystem::create_directories(dir);
  std::filesystem::path pristine = dir / "pristine.txt";
  std::filesystem::path working = dir / "Texturen.txt";
  if (!WriteCatalogue(pristine, entries)) {
    state.SkipWithError("cannot write the catalogue");
    return;
  }
  const std::string path = FromPosixPath(working.string());
  FileSystem& files = SystemPlatform().files;
  double save_total = 0;
  double floor_total = 0;
  long peak_rss_kb = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::copy_file(pristine, working,
                               std::filesystem::copy_options::overwrite_existing);
    state.ResumeTiming();
    Clock::time_point start = Clock::now();
    CTextureCatalogue catalogue(files);
    bool ok = catalogue.Load(path);
    for (long k = 0; k < 100; ++k) {
      // Odd ids: every one of them is new.
      ok = catalogue.AddEntry("Textur{\tname(Neu" + std::to_string(k) + ")\tid(" +
                              std::to_string(2 * k * (entries / 100) + 1) + ")\t}\n\t\t") &&
           ok;
    }
    if (!ok || !catalogue.Save(path)) {
      state.SkipWithError("load, add or save failed");
      break;
    }
    save_total += Seconds(start);
    // Taken before the floor's copy of the file can raise it, in the first
    // iteration of the process: the framework calls this function more
    // than once, and the later calls start after a floor.
    static const long first_peak_rss_kb = PeakRssKb();
    peak_rss_kb = first_peak_rss_kb;
    state.PauseTiming();
    double floor = TimeFloor(pristine, dir / "floor.txt");
    state.ResumeTiming();
    if (floor < 0) {
      state.SkipWithError("the floor's copy failed");
      break;
    }
    floor_total += floor;
  }
  const double file_mb = static_cast<double>(std::filesystem::file_size(pristine)) / 1e6;
  const double growth_mb = static_cast<double>(peak_rss_kb - kPeakRssAtStart) * 1024 / 1e6;
  state.counters["per_entry"] = benchmark::Counter(
      static_cast<double>(entries),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["floor_ms"] =
      benchmark::Counter(floor_total * 1e3, benchmark::Counter::kAvgIterations);
  state.counters["ratio"] = floor_total > 0 ? save_total / floor_total : 0;
  state.counters["file_MB"] = file_mb;
  state.counters["peak_rss_growth_MB"] = growth_mb;
  state.counters["growth_per_file_size"] = growth_mb / file_mb;
  std::filesystem::remove_all(dir);
}

}  // namespace

BENCHMARK(BM_CatalogueLoadAddSave)
    ->Arg(1000)
    ->Arg(100000)
    ->Arg(1000000)
    ->UseRealTime()
    ->MinTime(2)
    ->Unit(benchmark::kMillisecond);
