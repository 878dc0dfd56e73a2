// Dropping the backups of old runs, which an undo needs and nothing else.
#ifndef PACKWRIGHT_RECORD_PRUNE_H_
#define PACKWRIGHT_RECORD_PRUNE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"

struct PruneReport {
  // The folders whose backups were dropped, newest first, with the bytes
  // freed in each.
  std::vector<std::pair<std::string, std::uint64_t>> pruned;
  std::uint64_t freed = 0;
  // What could not be done, one line each; empty when all went well.
  std::vector<std::string> errors;
  // Another run held Kestrova's lock, and nothing was done.
  bool busy = false;
};

class ILockWait;

// Drops the backups (its *.bak files) of every run on record under
// `hostDir` (ending in a backslash) but the newest `keep`, undos counted.
// Each such record is first marked pruned, so that it is never undone
// without its backups; a run that has no backup left is neither marked nor
// listed, and a record that does not read is left as it is. A backup that
// cannot be removed is an error; the next prune tries it again. Holds
// Kestrova's lock (engine/run_lock.h) throughout, waiting through `wait`.
PruneReport PruneRecords(FileSystem& files, const std::string& hostDir, unsigned keep,
                         ILockWait* wait = nullptr);

#endif  // PACKWRIGHT_RECORD_PRUNE_H_
