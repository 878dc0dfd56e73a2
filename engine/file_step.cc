// The file installation step: section Dateinstallation of the script lists
// entries "source>>destination", the source relative to the package's
// directory and the destination relative to Kestrova's.
#include "engine/installer.h"

#include "engine/confine.h"
#include "engine/file_ops.h"
#include "engine/messages.h"
#include "engine/safe_copy.h"

namespace {

const char kSection[] = "Dateinstallation";
const char kSeparator[] = ">>";

// The directory that must exist before `destination` is written: its text
// up to the last backslash. Forward slashes do not divide it.
std::string DirectoryOf(const std::string& destination) {
  std::string::size_type slash = destination.rfind('\\');
  return slash == std::string::npos ? std::string() : destination.substr(0, slash);
}

// Asks whether an existing destination newer than the package's file is to be
// kept. True when it is kept; after a Cancel every later one is kept without
// asking.
bool KeepNewer(Shell& shell, bool* silently, const std::string& destination,
               const std::string& source) {
  if (*silently)
    return true;
  int answer = ShowMessage(shell, IDS_KEEP_NEWER, kMbYesNoCancel, {destination, source});
  if (answer == kIdCancel)
    *silently = true;
  // Only an explicit No replaces the newer file.
  return answer != kIdNo;
}

void ReportCopyFailed(Shell& shell, const std::string& source, const std::string& destination) {
  ShowMessage(shell, IDS_COPY_FAILED, kMbOk, {source, destination});
}

// Installs one entry. False only when a file was to be copied and was not.
bool InstallEntry(Platform& platform, CInstaller& installer, const std::string& entry) {
  std::string::size_type separator = entry.find(kSeparator);
  if (separator == std::string::npos)
    return true;
  std::string source = installer.scriptDir + "\\" + entry.substr(0, separator);
  if (!FileExists(platform.files, source)) {
    ShowMessage(platform.shell, IDS_SOURCE_MISSING, kMbOk, {source});
    return true;
  }
  std::string tail = entry.substr(separator + sizeof(kSeparator) - 1);
  std::string destination = installer.hostDir + tail;
  if (!StaysInside(platform.files, installer.hostDir, tail)) {
    // Refused before anything is looked at or touched outside Kestrova's
    // tree, the attribute reset included.
    ReportCopyFailed(platform.shell, source, destination);
    return false;
  }
  if (IsFileNewer(platform.files, destination, source) &&
      KeepNewer(platform.shell, &installer.keepNewerSilently, destination, source))
    return true;
  bool copied = CreateDirectoryTree(platform.files, DirectoryOf(destination)) &&
                CopyFileSafely(platform.files, source, destination, nullptr);
  if (!copied)
    ReportCopyFailed(platform.shell, source, destination);
  // Whatever happened, so that a file left read-only is replaceable next run.
  platform.files.SetNormalAttributes(destination);
  return copied;
}

}  // namespace

bool CInstaller::InstallFiles() {
  bool result = true;
  if (script.FindSection(kSection)) {
    std::string entry;
    while (script.NextEntry(&entry)) {
      if (!InstallEntry(platform_, *this, entry))
        result = false;
    }
  }
  // A read error passes for the end of the file or of the section; entries
  // after it were never installed, so the step must not report success.
  if (script.ReadFailed())
    result = false;
  // The next step reopens the script; nothing is held open between steps.
  script.Close();
  return result;
}
