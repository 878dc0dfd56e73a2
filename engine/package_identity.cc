#include "engine/package_identity.h"

#include "engine/checksum.h"
#include "engine/confine.h"
#include "engine/install_script.h"
#include "engine/kestrova_names.h"

namespace {
const char kSeparator[] = ">>";
}  // namespace

bool ReadPackageIdentity(FileSystem& files, const std::string& scriptPath,
                         const std::string& hostDir, PackageIdentity* identity) {
  *identity = PackageIdentity();
  FileSum sum;
  if (!ChecksumFile(files, scriptPath, &sum))
    return false;
  identity->script_sum = SumText(sum.sum);
  CInstallScript script(files);
  if (!script.CheckOpen(scriptPath))
    return false;
  std::string entry;
  if (script.FindSection(kFileSection)) {
    while (script.NextEntry(&entry)) {
      std::string::size_type separator = entry.find(kSeparator);
      if (separator == std::string::npos)
        continue;
      std::string tail = entry.substr(separator + sizeof(kSeparator) - 1);
      if (StaysInside(files, hostDir, tail))
        identity->destinations.push_back(hostDir + RecordPath(files, hostDir, hostDir + tail));
    }
  }
  bool whole = !script.ReadFailed();
  script.Close();
  return whole;
}

std::string RecordPath(FileSystem& files, const std::string& hostDir, const std::string& path) {
  std::string full = files.FullPath(path);
  std::string host = files.FullPath(hostDir);
  if (!host.empty() && host.back() != '\\')
    host += '\\';
  return full.compare(0, host.size(), host) == 0 ? full.substr(host.size()) : full;
}
