// What tells one package from another: not the folder it was unpacked into
// (players unpack many packages into folders of the same name), but its
// script's checksum and the destinations its script names. Every install
// keeps both in its record (engine/install_record.h), so that an uninstall
// can tell from the record alone which installs were of this package.
#ifndef PACKWRIGHT_ENGINE_PACKAGE_IDENTITY_H_
#define PACKWRIGHT_ENGINE_PACKAGE_IDENTITY_H_

#include <string>
#include <vector>

#include "platform/file_system.h"

struct PackageIdentity {
  // The script's checksum as SumText writes it; "-" when it could not be
  // read.
  std::string script_sum = "-";
  // The destinations of section Dateinstallation that lie inside Kestrova,
  // in the script's order, each as the record writes a path: Kestrova's
  // directory followed by the resolved path relative to it.
  std::vector<std::string> destinations;
};

// The identity of the package whose script is `scriptPath`, for Kestrova's
// directory `hostDir` (ending in a backslash). False, with the identity
// left as far as it was read, when the script cannot be read whole.
bool ReadPackageIdentity(FileSystem& files, const std::string& scriptPath,
                         const std::string& hostDir, PackageIdentity* identity);

// `path` as a record writes it: resolved (FileSystem::FullPath), and
// relative to `hostDir` (ending in a backslash) when it lies inside it.
std::string RecordPath(FileSystem& files, const std::string& hostDir, const std::string& path);

#endif  // PACKWRIGHT_ENGINE_PACKAGE_IDENTITY_H_
