// Small POSIX I/O helpers shared by the POSIX platform layer. Each returns
// false on failure with errno telling why.
#ifndef PACKWRIGHT_PLATFORM_IO_POSIX_H_
#define PACKWRIGHT_PLATFORM_IO_POSIX_H_

#include <cstddef>
#include <string>

// Writes all `size` bytes to `fd`, retrying short and interrupted writes.
bool WriteAll(int fd, const char* data, std::size_t size);

// Reads from `fd` until its end, appending to `*data`.
bool ReadAll(int fd, std::string* data);

// The directory part of POSIX path `path` ("/" for "/x", "." for "x").
std::string ParentDirectory(const std::string& path);

// Forces the directory entry of `path` (a rename into its directory, say)
// onto the disk by syncing the directory that holds it.
bool SyncParentDirectory(const std::string& path);

// Replaces the file `path` atomically with `data`: writes a temporary file
// beside it with the given permission bits, syncs it, renames it over
// `path` and syncs the directory. On failure `path` is untouched and no
// temporary file remains.
bool ReplaceFileContents(const std::string& path, const std::string& data, unsigned mode);

#endif  // PACKWRIGHT_PLATFORM_IO_POSIX_H_
