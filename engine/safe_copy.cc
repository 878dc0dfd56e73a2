#include "engine/safe_copy.h"

namespace {

void Discard(FileSystem& files, const std::string& temp) {
  if (files.Remove(temp))
    return;
  // A copy of a read-only file is read-only too, and will not be removed
  // until that is cleared.
  files.SetNormalAttributes(temp);
  files.Remove(temp);
}

}  // namespace

bool CopyFileSafely(FileSystem& files, const std::string& from, const std::string& to,
                    std::string* err) {
  std::string ignored;
  if (!err)
    err = &ignored;
  // Replacing by rename would pass over the read-only flag on POSIX and
  // under Wine, so it is checked here before anything is written.
  if (files.IsReadOnly(to)) {
    *err = "CopyFileSafely(" + from + ", " + to + "): destination is read-only";
    return false;
  }
  std::string temp = to + kReplaceTempSuffix;
  bool replaces = files.Exists(to);
  if (!files.Copy(from, temp, err) || (replaces && !files.FlushFile(temp, err)) ||
      !files.Replace(temp, to, err)) {
    Discard(files, temp);
    return false;
  }
  return true;
}
