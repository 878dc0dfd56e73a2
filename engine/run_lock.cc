#include "engine/run_lock.h"

#include "engine/confine.h"
#include "engine/install_record.h"

const char kLockFileName[] = "Packwright.lock";

LockResult LockRuns(FileSystem& files, const std::string& hostDir, ILockWait* wait,
                    std::unique_ptr<FileLock>* lock, std::string* err) {
  std::string folder = hostDir + kRecordsFolder;
  files.MakeDirectory(folder);
  if (IsLink(files, folder)) {
    *err = folder + " is a link, not a folder";
    return LockResult::kFailed;
  }
  for (;;) {
    LockResult result = files.LockFile(folder + "\\" + kLockFileName, lock, err);
    if (result != LockResult::kBusy || !wait || !wait->Wait())
      return result;
  }
}

std::string UnwritableForLock(FileSystem& files, const std::string& hostDir) {
  std::string folder = hostDir + kRecordsFolder;
  if (!files.Exists(folder))
    return hostDir.substr(0, hostDir.size() - 1);
  if (!IsLink(files, folder) && !files.Exists(folder + "\\" + kLockFileName))
    return folder;
  return std::string();
}
