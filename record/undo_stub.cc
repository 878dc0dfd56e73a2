// A stand-in for the undo engine, so that the program builds and runs
// before the engine is in: there is never a record, so there is never
// anything to undo. Remove this file and record/undo_stub.cmake once the
// engine's own sources are listed.
#include "record/undo.h"

UndoOutcome UndoLatestInstall(Platform& /*platform*/, const std::string& /*hostDir*/,
                              const std::string& /*name*/, const UndoOptions& /*options*/) {
  UndoOutcome outcome;
  outcome.status = UndoStatus::kNothingToUndo;
  return outcome;
}
