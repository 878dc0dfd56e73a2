// What pack puts into the zip: the script (with the seal's remark added at
// its top), the seal, Packwright.exe and the files the script installs,
// each under the package's folder name, in the order of their names.
#ifndef PACKWRIGHT_TOOL_PACK_H_
#define PACKWRIGHT_TOOL_PACK_H_

#include <cstdint>
#include <string>
#include <vector>

#include "engine/checksum.h"
#include "platform/file_system.h"

struct PackedFile {
  // Package-relative, in the system's code page, backslash-divided.
  std::string name;
  // The file to copy in; empty when `bytes` holds what pack made.
  std::string path;
  std::string bytes;
  FileSum sum;  // XXH64, as the seal keeps it
  std::uint32_t crc = 0;
  std::uint32_t dos_time = 0;
  std::uint64_t time = 0;
};

struct PackList {
  std::vector<PackedFile> files;
  // The package's files that no entry installs, left out.
  std::vector<std::string> left_out;
};

// Gathers and sums the package's files for the zip: the sources of its
// file entries (which must lie inside the package) and the script, a
// Packwright.exe from the package or else `exe`, and the seal made from
// them. False, with `err` saying why, when a file cannot be read, or a
// source lies outside the package.
bool ListPack(FileSystem& files, const std::string& package, const std::string& exe, PackList* list,
              std::string* err);

// Writes the files of `list` into a zip at `out` under the folder name
// `folder`, through a temporary beside it moved over `out` when whole.
// False, with `err`, when it cannot be written or a file changed on the way;
// `out` is then as it was.
bool WriteZip(FileSystem& files, const std::string& out, const std::string& folder,
              const PackList& list, std::string* err);

#endif  // PACKWRIGHT_TOOL_PACK_H_
