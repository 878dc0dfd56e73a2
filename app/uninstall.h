// "Uninstall this package..." from the main dialog's system menu: takes
// back every install on record of the package that Packwright runs from,
// known by its script (engine/package_identity.h) and not by its folder's
// name, after asking, and reports the outcome in a message box. The dialog
// ends after every install, so this is what a second start from the same
// folder offers.
#ifndef PACKWRIGHT_APP_UNINSTALL_H_
#define PACKWRIGHT_APP_UNINSTALL_H_

#include <string>
#include <vector>

#include "platform/platform.h"
#include "record/undo.h"

// The undo that UninstallPackage runs; UndoPackage unless a test stands in
// for it.
using UndoFunction = UndoReport (*)(Platform& platform, const std::string& hostDir,
                                    const PackageIdentity& identity, const UndoOptions& options);

// The package's name: the name of the folder holding the program at
// `module_path` ("C:\Pakete\Signale\Packwright.exe" gives "Signale"). Empty
// when the path names no such folder (no backslash, or a drive's root).
std::string PackageName(const std::string& module_path);

// The items that an undo left alone, one a line, a path inside Kestrova's
// directory `host_dir` (ending in a backslash) shown relative to it; past
// `kMaxListedItems` the list is cut and ends in a line "...", so that the
// box stays on the screen.
constexpr std::size_t kMaxListedItems = 10;
std::string LeftAloneList(const std::vector<std::string>& items, const std::string& host_dir);

// Finds Kestrova as an install does and reports IDS_HOST_MISSING when it is
// not found. Otherwise looks first: with no install of the package on
// record (InstallsOf; none when its script cannot be read), it says so
// (IDS_UNDO_NOTHING) without asking. Else it asks (Yes/No), naming each
// install it will take back with its date and number of files, and on Yes
// runs `undo` without force, waiting through `wait` while another run holds
// Kestrova, and shows its outcome: IDS_UNDO_OK, IDS_UNDO_NOTHING,
// IDS_UNDO_PARTLY with what was left alone, IDS_UNDO_FAILED, or
// IDS_INSTALL_BUSY when the other run did not end. The package is named
// after its folder in every box.
void UninstallPackage(Platform& platform, UndoFunction undo = UndoPackage,
                      ILockWait* wait = nullptr);

#endif  // PACKWRIGHT_APP_UNINSTALL_H_
