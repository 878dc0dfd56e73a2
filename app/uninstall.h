// "Uninstall this package..." from the main dialog's system menu: undoes
// the latest install of the package that Packwright runs from, after
// asking, and reports the outcome in a message box. The dialog ends after
// every install, so this is what a second start from the same folder
// offers.
#ifndef PACKWRIGHT_APP_UNINSTALL_H_
#define PACKWRIGHT_APP_UNINSTALL_H_

#include <string>
#include <vector>

#include "platform/platform.h"
#include "record/undo.h"

// The undo that UninstallPackage runs; UndoLatestInstall unless a test
// stands in for it.
using UndoFunction = UndoOutcome (*)(Platform& platform, const std::string& hostDir,
                                     const std::string& name, const UndoOptions& options);

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
// not found. Otherwise asks whether to uninstall the package (Yes/No) and,
// on Yes, runs `undo` without force, waiting through `wait` while another
// run holds Kestrova, and shows its outcome: IDS_UNDO_OK, IDS_UNDO_NOTHING,
// IDS_UNDO_PARTLY with what was left alone, IDS_UNDO_FAILED, or
// IDS_INSTALL_BUSY when the other run did not end. A package without a name has nothing on record:
// it is reported as such without asking.
void UninstallPackage(Platform& platform, UndoFunction undo = UndoLatestInstall,
                      ILockWait* wait = nullptr);

#endif  // PACKWRIGHT_APP_UNINSTALL_H_
