// CInstaller is the engine of one press of Install: it finds Kestrova through
// the registry when constructed, and Run carries out the installation as a
// fixed sequence of steps, returning 0 or kInstallFailed.
#ifndef PACKWRIGHT_ENGINE_INSTALLER_H_
#define PACKWRIGHT_ENGINE_INSTALLER_H_

#include <cstdint>
#include <string>
#include <vector>

#include "engine/install_observer.h"
#include "engine/install_progress.h"
#include "engine/install_script.h"
#include "platform/platform.h"

// The system's generic failure code (E_FAIL); a run's result is 0 or this.
// Negative wherever long is wider than 32 bits too, since callers test the
// sign.
constexpr long kInstallFailed = static_cast<std::int32_t>(0x80004005u);

class CInstallRecord;
class ILockWait;

// Sets Kestrova's Scan value to 2 unless it reads as 1, so that Kestrova
// rescans its tree on its next start; with a record, the value before and
// after are written to it, and nothing is changed unless the first line
// was. True only when Scan was written.
bool UpdateScan(Registry& registry, CInstallRecord* record);

class CInstaller {
 public:
  // Looks Kestrova up in the registry; never fails and shows nothing. When
  // the key or its AppPath cannot be read, AppPath holds no backslash, or
  // what it names does not exist (a file, or a folder when it ends in a
  // backslash; a folder without the backslash counts as missing), hostDir
  // stays empty, so that nothing is written where Kestrova is not.
  explicit CInstaller(Platform& platform);

  // True when Kestrova's directory was found.
  bool IsHostFound() const { return !hostDir.empty(); }

  // Runs the installation, reporting progress 0..4 through `progress` (which
  // may be null). Without Kestrova's directory it returns kInstallFailed and
  // does nothing else. Returns kInstallFailed at once, at position 1 and with
  // IDS_SCRIPT_MISSING shown, when the script next to the program does not
  // open. When the package is sealed (engine/seal.h) and found damaged, it
  // returns kInstallFailed there too, still at position 1, with
  // IDS_PACKAGE_DAMAGED shown naming the file and damagedFile set, having
  // changed nothing. Otherwise, with keepRecord set, it takes the lock of
  // Kestrova's runs (engine/run_lock.h), waiting through lockWait; when
  // another run holds it, it returns kInstallFailed at position 2 with
  // IDS_INSTALL_BUSY shown, having changed nothing, and when it cannot be
  // taken, the same with IDS_RECORD_FAILED. Holding the lock to the end, it
  // begins the run's record
  // (engine/install_record.h) in Kestrova's Packwright folder; when that
  // fails it returns kInstallFailed at position 2, having changed nothing,
  // with IDS_HOST_NOT_WRITABLE naming the folder when a folder could not be
  // made in it, and IDS_RECORD_FAILED otherwise. Then runs both steps whatever the first
  // returned, updates Scan, ends the record, and returns 0 when both steps
  // returned true and the record was kept whole, and kInstallFailed
  // otherwise; the Scan update's outcome does not count (nor is it made
  // without setScan). A record write
  // that fails part-way stops the run's changes there: the change it would
  // have named is not made, later entries and the catalogue are left alone,
  // IDS_RECORD_FAILED is shown once at the end and the run fails.
  long Run(IInstallProgress* progress);

  // The observer, or one that listens to nothing.
  IInstallObserver& events();
  // Shows the localized message `base_id` in an OK box and tells the
  // observer its text. Returns the button pressed.
  int Tell(unsigned base_id, const std::vector<std::string>& args = {});

  // The two steps. Each finds its own section of the script from the start
  // of the file, so their order in the file does not matter.

  // Copies each "source>>destination" entry of section Dateinstallation from
  // the package into Kestrova's tree, creating directories as needed.
  // Returns false when a directory could not be made, a file could not be
  // copied, a destination lies outside Kestrova's directory, the script
  // could not be read to the end of the section, or the files written could
  // not be synced; each of these but the last two is reported in a box and
  // the step goes on with the next entry. A missing source (reported), an
  // entry without ">>", a kept newer file and a missing section leave the
  // result true. Closes the script.
  //
  // Durability: each entry is copied to a temporary beside its destination
  // and moved over it in one step before the next entry is read, so no
  // destination is ever seen half written. A temporary that replaces an
  // existing file is flushed to disk before the move, so a file that was
  // there is never lost, not even to a power cut; a new file is not flushed
  // on its own. Once every entry is done, the step syncs the files it wrote
  // in one go and returns true only after that sync. A power cut during a
  // run may thus leave a new file empty or missing, never an old one
  // damaged.
  bool InstallFiles();

  // Merges the entries of section Texturskript into Kestrova's texture
  // catalogue (defined in textures/texture_step.cc). Returns false, with the
  // catalogue left as it was, when the catalogue is missing or not read in
  // whole, the section is missing, the script could not be read to the end
  // of the section, or the catalogue could not be saved. Returns true only
  // after the saved catalogue's replace was synced to disk (FileSystem::
  // SyncFiles), false with the new catalogue in place when that sync failed.
  // Shows nothing.
  bool InstallTextures();

  // Kestrova's directory, ending in a backslash; empty when not found.
  std::string hostDir;
  // The installation script's reader.
  CInstallScript script;
  // The package's directory as the caller knows it, without trailing
  // backslash; when empty, a run takes the running program's directory.
  std::string packageDir;
  // The package's directory that the run in progress uses, without trailing
  // backslash; set at the start of a run.
  std::string scriptDir;
  // Told what the run does (engine/install_observer.h); may be null.
  IInstallObserver* observer = nullptr;
  // Whether Run keeps a record; the dry run of packwright-tool plan does not.
  bool keepRecord = true;
  // The record of the run in progress, null when none is kept; the steps
  // write their intents and outcomes to it.
  CInstallRecord* record = nullptr;
  // How Run waits for another run's lock; null: it does not wait.
  ILockWait* lockWait = nullptr;
  // Whether Run updates Scan: cleared when the run installs into another
  // Kestrova than the one the registry names, whose Scan it is.
  bool setScan = true;
  // The file at fault when Run refused a damaged package; empty otherwise.
  std::string damagedFile;
  // Set when the user answered Cancel to the newer-file question: later
  // newer files of this run are kept without asking.
  bool keepNewerSilently = false;

 private:
  void LookUpHost();
  // True when `app_path` names what AppPath must name (see the constructor).
  bool NamesKestrova(const std::string& app_path);
  bool BeginRecord(CInstallRecord* record);
  long Ended(RunOutcome outcome, long result);

  Platform& platform_;
};

#endif  // PACKWRIGHT_ENGINE_INSTALLER_H_
