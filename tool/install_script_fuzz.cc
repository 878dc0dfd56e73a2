// Feeds arbitrary bytes to the script reader as InstSkript.txt. Whatever the
// bytes, the reader must end, and every entry it delivers must hold no
// whitespace and balanced braces, be its raw text without the whitespace,
// and stand after the one before it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/install_script.h"
#include "platform/fake_platform.h"

namespace {

void CheckEntry(const ScriptEntry& entry, const ScriptPos& before) {
  int depth = 0;
  std::string stripped;
  for (char c : entry.raw) {
    if (!IsScriptBlank(c))
      stripped.push_back(c);
  }
  for (char c : entry.text) {
    if (IsScriptBlank(c))
      std::abort();
    depth += c == '{' ? 1 : c == '}' ? -1 : 0;
    if (depth < 0)
      std::abort();
  }
  if (depth != 0 || stripped != entry.text || entry.pos.line < before.line ||
      (entry.pos.line == before.line && entry.pos.column <= before.column))
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FakeFileSystem files;
  const char path[] = "C:\\Paket\\InstSkript.txt";
  files.AddFile(path, std::string(reinterpret_cast<const char*>(data), size));
  CInstallScript script(files);
  if (!script.CheckOpen(path))
    std::abort();
  for (const char* name : {"Dateinstallation", "Texturskript"}) {
    if (!script.FindSection(name))
      continue;
    ScriptPos before = script.name_pos();
    ScriptEntry entry;
    std::size_t count = 0;
    while (script.NextEntry(&entry)) {
      CheckEntry(entry, before);
      before = entry.pos;
      // Each entry takes at least two bytes of the file.
      if (++count > size)
        std::abort();
    }
  }
  script.Close();
  if (files.open_files() != 0)
    std::abort();
  return 0;
}
