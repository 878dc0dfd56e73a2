// Feeds arbitrary bytes to both script readers as InstSkript.txt. Whatever the
// bytes, the reader must end, and every entry it delivers must hold no
// whitespace and balanced braces. The tool's reader, which keeps positions,
// must find the same sections and deliver the same entries.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/install_script.h"
#include "platform/fake_platform.h"
#include "tool/positioned_script.h"

namespace {

bool IsWhitespace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

void CheckEntry(const std::string& entry) {
  int depth = 0;
  for (char c : entry) {
    if (IsWhitespace(c))
      std::abort();
    depth += c == '{' ? 1 : c == '}' ? -1 : 0;
    if (depth < 0)
      std::abort();
  }
  if (depth != 0)
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
  PositionedScript positioned;
  if (!positioned.Load(files, path))
    std::abort();
  for (const char* name : {"Dateinstallation", "Texturskript"}) {
    ScriptSection section = positioned.FindSection(name);
    if (!script.FindSection(name)) {
      if (section.found)
        std::abort();
      continue;
    }
    std::string entry;
    std::size_t count = 0;
    while (script.NextEntry(&entry)) {
      CheckEntry(entry);
      if (count >= section.entries.size() || section.entries[count].text != entry)
        std::abort();
      // Each entry takes at least two bytes of the file.
      if (++count > size)
        std::abort();
    }
    if (!section.found || count != section.entries.size())
      std::abort();
  }
  script.Close();
  if (files.open_files() != 0)
    std::abort();
  return 0;
}
