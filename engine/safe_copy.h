// Copying a file so that its destination is never seen half written.
//
// The data goes to the destination's name + kReplaceTempSuffix in the same
// directory, which then replaces the destination in one step, so the
// destination is always either the file it was or a complete copy. The
// temporary is made new (FileSystem::CreateNew): whatever had its name,
// a link included, is removed as a name first and never written through.
#ifndef PACKWRIGHT_ENGINE_SAFE_COPY_H_
#define PACKWRIGHT_ENGINE_SAFE_COPY_H_

#include <cstdint>
#include <string>

#include "engine/checksum.h"
#include "platform/file_system.h"

// What a copy wrote: the size and XXH64 sum of the bytes as they were read,
// and the last-write time that the file system kept.
struct CopyResult {
  FileSum written;
  std::uint64_t time = 0;
};

// Writes what is left of the open `from` into the new file `temp`, summing
// each buffer as it is read, then gives it `from`'s last-write time and
// plain attributes (OutputFile::StampFrom), and forces it onto the disk
// when `flush`. False (and
// `err`) when anything fails, a source whose time cannot be read included;
// a temporary it made is removed then.
bool WriteTemporary(FileSystem& files, InputFile& from, const std::string& temp, bool flush,
                    CopyResult* result, std::string* err);

// Moves `temp` over `to` (FileSystem::Replace); on failure removes `temp`.
bool PutInPlace(FileSystem& files, const std::string& temp, const std::string& to,
                std::string* err);

// Removes a temporary that this run made, clearing a read-only attribute
// that would keep it.
void DiscardTemporary(FileSystem& files, const std::string& temp);

// Copies file `from` over `to`, creating or replacing it, through the
// temporary. When `to` exists, the temporary is flushed to disk before it
// replaces `to`, so that not even a power cut loses the old file; a new
// `to` is not flushed, and the caller makes it durable later
// (FileSystem::SyncFiles). A read-only `to` is refused and left as it is,
// as Windows refuses to copy onto one. On failure no temporary remains and
// `err` (if given) names the operation that failed; `to`'s directory must
// already exist.
bool CopyFileSafely(FileSystem& files, const std::string& from, const std::string& to,
                    std::string* err);

#endif  // PACKWRIGHT_ENGINE_SAFE_COPY_H_
