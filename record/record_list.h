// The runs on record, as `packwright-tool list` shows them.
#ifndef PACKWRIGHT_RECORD_RECORD_LIST_H_
#define PACKWRIGHT_RECORD_RECORD_LIST_H_

#include <string>
#include <vector>

#include "platform/platform.h"
#include "record/record_reader.h"
#include "record/undo.h"

struct RecordSummary {
  RunRecord record;
  // Files created or replaced (not those whose copy failed), texture
  // entries added.
  int files = 0;
  int textures = 0;
  // What an undo would come to now: kNothingToUndo for a run undone
  // already, kUndone when it would undo cleanly, kPartly when it would leave
  // things alone (listed), kFailed when it could not.
  UndoOutcome undo;
};

// Every run on record under `hostDir` (ending in a backslash), newest
// first; each undo is tried as a dry run, which changes nothing.
std::vector<RecordSummary> ListRecords(Platform& platform, const std::string& hostDir);

#endif  // PACKWRIGHT_RECORD_RECORD_LIST_H_
