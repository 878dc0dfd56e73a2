// A zip archive of stored (uncompressed) entries, written front to back:
// each entry's CRC-32 and size are known before its header is written, and
// nothing beyond the names, times, sizes and CRCs goes in: no extra
// fields, no comments, no file attributes. The same entries in the same
// order give the same bytes.
#ifndef PACKWRIGHT_TOOL_ZIP_WRITER_H_
#define PACKWRIGHT_TOOL_ZIP_WRITER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"

// The CRC-32 that zip uses, continued from `crc` over `size` bytes (start
// from 0).
std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t size);

class ZipWriter {
 public:
  explicit ZipWriter(OutputFile& out) : out_(out) {}

  // Writes the local header of an entry named `name` (UTF-8, "/"-divided)
  // whose `size` bytes have CRC-32 `crc`; its bytes follow through Write.
  // False when the write fails, or the archive would pass the limits of a
  // zip without its 64-bit extension (4 GiB, 65,535 entries).
  bool Begin(const std::string& name, std::uint32_t dos_time, std::uint32_t crc,
             std::uint64_t size);
  bool Write(const char* data, std::size_t size);
  // Writes the central directory and its end. False when a write fails or
  // an entry's bytes did not add up to the size announced.
  bool Finish();

  // Why the last false came: a failed write or a limit passed.
  const std::string& error() const { return error_; }

 private:
  struct Entry {
    std::string name;
    std::uint32_t dos_time;
    std::uint32_t crc;
    std::uint32_t size;
    std::uint32_t offset;
  };
  bool Put(const char* data, std::size_t size);
  bool Put(const std::string& bytes);
  bool EndEntry();

  OutputFile& out_;
  std::vector<Entry> entries_;
  std::uint64_t offset_ = 0;
  std::uint64_t written_in_entry_ = 0;
  std::string error_;
};

#endif  // PACKWRIGHT_TOOL_ZIP_WRITER_H_
