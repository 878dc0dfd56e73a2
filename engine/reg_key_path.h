// CRegKeyPath opens a registry key path one level at a time and keeps every
// level's handle open until Close, which closes them deepest first.
#ifndef PACKWRIGHT_ENGINE_REG_KEY_PATH_H_
#define PACKWRIGHT_ENGINE_REG_KEY_PATH_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"

class CRegKeyPath {
 public:
  explicit CRegKeyPath(Registry& registry);
  ~CRegKeyPath();

  // Forgets the old path (closing what is open) and splits `path` at
  // backslashes, skipping empty components. True when at least one component
  // results; a null path gives false.
  bool SetPath(RegKey root, const char* path);

  // Opens every component with `access`. False when there are no components
  // or any level fails to open; nothing stays open then.
  bool Open(std::uint32_t access);

  // Closes every open handle, deepest first. True only if every close
  // succeeded.
  bool Close();

  // Read or write a value of the deepest key; false when the path is not
  // open. ReadDword accepts REG_DWORD and REG_DWORD_BIG_ENDIAN and takes the
  // four bytes as stored. ReadString accepts REG_SZ, REG_EXPAND_SZ (not
  // expanded) and REG_MULTI_SZ (first string), at most 260 bytes; the text
  // ends at the first NUL or at the end of the data, whichever comes first.
  bool ReadDword(const std::string& name, std::uint32_t* value);
  bool ReadString(const std::string& name, std::string* value);
  bool WriteDword(const std::string& name, std::uint32_t value);

 private:
  Registry& registry_;
  RegKey root = 0;
  std::vector<std::string> components;
  std::vector<RegKey> handles;
  bool open = false;
};

#endif  // PACKWRIGHT_ENGINE_REG_KEY_PATH_H_
