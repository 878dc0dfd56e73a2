// The file operations of the file installation step, on any FileSystem.
#ifndef PACKWRIGHT_ENGINE_FILE_OPS_H_
#define PACKWRIGHT_ENGINE_FILE_OPS_H_

#include <string>
#include <vector>

#include "platform/file_system.h"

// True when something of that name exists, as a directory search reports it
// (directories and wildcard matches count).
bool FileExists(FileSystem& files, const std::string& path);

// True when `existing` should be treated as newer than `candidate`: its
// last-write time is strictly later, or the candidate cannot be examined
// while the existing file can. False when `existing` does not open. The
// two sides are not alike: an existing file whose time cannot be read
// counts as older, unless the candidate does not open at all.
bool IsFileNewer(FileSystem& files, const std::string& existing, const std::string& candidate);

// The same test from what has been looked up already: the existing file's
// status, and the candidate's time as its open file gave it
// (kOpenFailed when it did not open).
bool IsNewer(const FileStatus& existing, TimeResult candidate_result, std::uint64_t candidate_time);

// Creates directory `path` and any missing parents, level by level, never
// the drive root. True when the directory was created, or was found to exist
// on the first attempt. Each level it made is appended to `made` (if given),
// the outermost first, whether or not the whole tree was made.
bool CreateDirectoryTree(FileSystem& files, const std::string& path,
                         std::vector<std::string>* made = nullptr);

#endif  // PACKWRIGHT_ENGINE_FILE_OPS_H_
