// CInstaller is the engine of one press of Install: it finds Kestrova through
// the registry when constructed, and Run carries out the installation as a
// fixed sequence of steps, returning 0 or kInstallFailed.
#ifndef PACKWRIGHT_ENGINE_INSTALLER_H_
#define PACKWRIGHT_ENGINE_INSTALLER_H_

#include <cstdint>
#include <string>

#include "engine/install_progress.h"
#include "engine/install_script.h"
#include "platform/platform.h"

// The system's generic failure code (E_FAIL); a run's result is 0 or this.
// Negative wherever long is wider than 32 bits too, since callers test the
// sign.
constexpr long kInstallFailed = static_cast<std::int32_t>(0x80004005u);

class CInstaller {
 public:
  // Looks Kestrova up in the registry; never fails and shows nothing.
  explicit CInstaller(Platform& platform);

  // True when Kestrova's directory was found.
  bool IsHostFound() const { return !hostDir.empty(); }

  // Runs the installation, reporting progress 0..4 through `progress` (which
  // may be null). Returns 0 on success, kInstallFailed when a step failed or
  // the script does not open (IDS_SCRIPT_MISSING is shown then). Updates
  // Scan at the end of a run that found its script.
  long Run(IInstallProgress* progress);

  // The two steps. Each reads its own section of the script.
  bool InstallFiles();
  bool InstallTextures();

  // Kestrova's directory, ending in a backslash; empty when not found.
  std::string hostDir;
  // The installation script's reader.
  CInstallScript script;
  // The package's directory (the running program's), without trailing
  // backslash; set at the start of a run.
  std::string scriptDir;
  // Set when the user answered Cancel to the newer-file question: later
  // newer files of this run are kept without asking.
  bool keepNewerSilently = false;

 private:
  void LookUpHost();
  bool UpdateScan();

  Platform& platform_;
};

#endif  // PACKWRIGHT_ENGINE_INSTALLER_H_
