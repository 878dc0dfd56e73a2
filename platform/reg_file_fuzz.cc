// Feeds arbitrary bytes to the registry file reader. Whatever they hold it
// must not crash, an untouched file must be written back byte for byte, and
// a DWORD set in it must read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/reg_file.h"
#include "platform/win_constants.h"

namespace {

const char kKey[] = "HKEY_CLASSES_ROOT\\Software\\Brindlewood\\KSVX";

void Require(bool condition) {
  if (!condition)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  RegFile file;
  if (!file.Parse(bytes))
    return 0;
  file.Find(kKey, "AppPath");
  Require(file.Serialize() == bytes);
  file.SetDword(kKey, "Scan", 2);
  RegFile reread;
  Require(reread.Parse(file.Serialize()));
  const RegValue* scan = reread.Find(kKey, "Scan");
  Require(scan && scan->type == kRegDword && scan->data == std::string("\x02\0\0\0", 4));
  return 0;
}
