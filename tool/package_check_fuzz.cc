// Feeds arbitrary bytes to the package check as InstSkript.txt of a fixed
// small package and Kestrova tree. Whatever the script holds, the check must
// end, leave no file open, keep each finding on one line with a known code,
// and find the same findings when run again on a fresh reading of the same
// file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/fake_platform.h"
#include "tool/check.h"

namespace {

const char kScript[] = "C:\\Paket\\InstSkript.txt";  // As CheckPackage finds it.

bool Same(const std::vector<Finding>& a, const std::vector<Finding>& b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].code != b[i].code || a[i].severity != b[i].severity || a[i].line != b[i].line ||
        a[i].column != b[i].column || a[i].message != b[i].message || a[i].file != b[i].file)
      return false;
  }
  return true;
}

std::vector<Finding> Check(FakeFileSystem& files, const CheckInput& input) {
  std::vector<Finding> findings;
  if (!CheckPackage(files, input, &findings))
    std::abort();
  for (const Finding& f : findings) {
    bool known = false;
    for (std::size_t i = 0; i < kCheckCodeCount; ++i)
      known = known || f.code == kCheckCodes[i];
    if (!known || f.message.empty() || f.line < 0 || f.column < 0 ||
        f.message.find_first_of("\r\n") != std::string::npos)
      std::abort();
  }
  return findings;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FakeFileSystem files;
  files.AddFile("C:\\Paket\\a.dat", "a");
  files.AddFile("C:\\Paket\\b c.dat", "b");
  files.AddDir("C:\\Paket\\Dir");
  files.AddFile("D:\\Sim\\Resourcen\\Parallels\\Texturen.txt", "Basis{Textur{name(k)id(12)}}");
  files.AddFile(kScript, std::string(reinterpret_cast<const char*>(data), size));
  CheckInput input{"C:\\Paket", "D:\\Sim\\", {"InstSkript.txt", "a.dat", "b c.dat"}};
  std::vector<Finding> first = Check(files, input);
  if (!Same(first, Check(files, input)))
    std::abort();
  if (files.open_files() != 0)
    std::abort();
  return 0;
}
