#include "tool/texture_entry.h"

#include "textures/texture_catalogue.h"

bool TextureIdOf(const std::string& entry, std::uint32_t* id) {
  std::string::size_type mark = entry.find(">>");
  if (mark == std::string::npos)
    return false;
  std::string::size_type start = entry.find("Textur", mark + 2);
  std::string::size_type end = entry.rfind('}');
  if (start == std::string::npos || end == std::string::npos || end < start)
    return false;
  return FindEntryId(entry.substr(start, end - start + 1), id);
}
