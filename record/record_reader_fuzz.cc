// Feeds arbitrary bytes to the record reader as a record of Kestrova's
// Packwright folder, and lists and dry-runs an undo of it. Whatever they
// hold, nothing may crash or throw, and every path read must lie inside
// Kestrova's directory.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/fake_platform.h"
#include "record/record_list.h"
#include "record/record_reader.h"

namespace {

const char kHost[] = "D:\\Sim\\";

void Require(bool condition) {
  if (!condition)
    std::abort();
}

void RequireInside(const std::string& path) {
  Require(path.compare(0, sizeof(kHost) - 1, kHost) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FakePlatform p;
  p.files.AddFile("D:\\Sim\\Modelle\\a.ksm", "a");
  p.files.AddFile("D:\\Sim\\Resourcen\\Parallels\\Texturen.txt", "Basis{ Textur{name(a)id(1)} }");
  p.files.AddFile("D:\\Sim\\Packwright\\0001\\Record.txt",
                  std::string(reinterpret_cast<const char*>(data), size));
  p.files.AddFile("D:\\Sim\\Packwright\\0001\\1.bak", "b");
  RunRecord record;
  if (ReadRunRecord(p.files, kHost, 1, &record)) {
    for (const RecordedFile& file : record.files)
      RequireInside(file.path);
    for (const std::string& dir : record.folders_made)
      RequireInside(dir);
  }
  std::vector<RecordSummary> list = ListRecords(p.platform, kHost);
  Require(list.size() == 1);
  return 0;
}
