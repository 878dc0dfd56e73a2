// Feeds arbitrary bytes to the texture catalogue: the input up to its first
// byte 0x00 is the catalogue file, the rest one entry for AddEntry. Whatever
// they hold, a catalogue that loaded whole and was saved must load back
// whole with the same ids, and saving it again must not change it further
// than the first reload's normalisation.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/fake_platform.h"
#include "textures/texture_catalogue.h"

namespace {

const char kPath[] = "D:\\Sim\\Resourcen\\Parallels\\Texturen.txt";

std::vector<std::uint32_t> Ids(const CTextureCatalogue& catalogue) {
  std::vector<std::uint32_t> ids;
  catalogue.entries().ForEach([&ids](std::uint32_t id, std::string_view) { ids.push_back(id); });
  return ids;
}

void Require(bool condition) {
  if (!condition)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  std::size_t split = input.find('\0');
  std::string file = input.substr(0, split);
  std::string entry = split == std::string::npos ? "" : input.substr(split + 1);

  FakeFileSystem files;
  files.AddFile(kPath, file);
  CTextureCatalogue catalogue(files);
  if (!catalogue.Load(kPath) || !catalogue.loaded_whole()) {
    Require(!catalogue.Save(kPath));
    Require(files.Content(kPath) == file);
    return 0;
  }
  catalogue.AddEntry(entry);
  std::vector<std::uint32_t> ids = Ids(catalogue);
  Require(catalogue.Save(kPath));

  CTextureCatalogue reread(files);
  Require(reread.Load(kPath) && reread.loaded_whole());
  Require(Ids(reread) == ids);
  Require(reread.Save(kPath));
  std::string normalised = files.Content(kPath);
  CTextureCatalogue again(files);
  Require(again.Load(kPath) && again.Save(kPath));
  Require(files.Content(kPath) == normalised);
  Require(files.open_files() == 0);
  return 0;
}
