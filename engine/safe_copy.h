// Copying a file so that its destination is never seen half written.
#ifndef PACKWRIGHT_ENGINE_SAFE_COPY_H_
#define PACKWRIGHT_ENGINE_SAFE_COPY_H_

#include <string>

#include "platform/file_system.h"

// Copies file `from` over `to`, creating or replacing it. The data goes to
// `to` + kReplaceTempSuffix in the same directory, which then replaces `to` in
// one step, so `to` is always either the file it was or a complete copy.
// When `to` exists, the temporary is flushed to disk before it replaces
// `to`, so that not even a power cut loses the old file; a new `to` is not
// flushed, and the caller makes it durable later (FileSystem::SyncFiles).
// A read-only `to` is refused and left as it is, as Windows refuses to copy
// onto one. On failure the temporary file is removed and `err` (if given)
// names the operation that failed; `to`'s directory must already exist.
bool CopyFileSafely(FileSystem& files, const std::string& from, const std::string& to,
                    std::string* err);

#endif  // PACKWRIGHT_ENGINE_SAFE_COPY_H_
