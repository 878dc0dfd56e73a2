// record/undo.h
#include <string>
#include <vector>
#include "platform/platform.h"
struct UndoOptions { bool force = false; bool dry_run = false; };
enum class UndoStatus { kUndone, kNothingToUndo, kPartly, kFailed };
struct UndoOutcome {
  UndoStatus status = UndoStatus::kFailed;
  // What was left alone because it changed after the install, one item each: a full
  // path, or a catalogue entry as "Texturen.txt: id N".
  std::vector<std::string> left_alone;
};
// Undoes the latest install on record, in Kestrova's directory `hostDir` (ending in a
// backslash), of the package whose folder is named `name`.
UndoOutcome UndoLatestInstall(Platform& platform, const std::string& hostDir,
                              const std::string& name, const UndoOptions& options);
