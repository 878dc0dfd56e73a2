// One run at a time on one Kestrova. Installs, undos and prune change
// Kestrova's tree and its records; each holds the lock on
// Kestrova\Packwright\Packwright.lock for its whole run, so that no two
// interleave. Runs that only read (list, plan, check) take no lock.
#ifndef PACKWRIGHT_ENGINE_RUN_LOCK_H_
#define PACKWRIGHT_ENGINE_RUN_LOCK_H_

#include <memory>
#include <string>

#include "platform/file_system.h"

extern const char kLockFileName[];

// How a run waits while another holds the lock.
class ILockWait {
 public:
  virtual ~ILockWait() = default;
  // Called each time the lock is found taken: waits a moment and returns
  // true to try again, or false to give up.
  virtual bool Wait() = 0;
};

// Takes the lock of Kestrova's directory `hostDir` (ending in a backslash),
// making the Packwright folder when missing. kLocked with `*lock` holding
// it; kBusy when another run holds it and `wait` (null: no waiting) gave
// up; kFailed, with `err`, when the Packwright folder is reached through a
// link or the lock file cannot be opened.
LockResult LockRuns(FileSystem& files, const std::string& hostDir, ILockWait* wait,
                    std::unique_ptr<FileLock>* lock, std::string* err);

// After LockRuns failed: the folder that could not be written, which is
// Kestrova's directory (without its backslash) when its Packwright folder
// is missing, or that folder when the lock file is; empty when both are
// there and the lock failed for another reason.
std::string UnwritableForLock(FileSystem& files, const std::string& hostDir);

#endif  // PACKWRIGHT_ENGINE_RUN_LOCK_H_
