// The checksums that the install record keeps of each file it writes and
// of the script. They tell a changed file from the one written, not a
// forged one.
#ifndef PACKWRIGHT_ENGINE_CHECKSUM_H_
#define PACKWRIGHT_ENGINE_CHECKSUM_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/file_system.h"
#include "platform/xxhash64.h"

// The size and checksum of a file's bytes.
struct FileSum {
  std::uint64_t size = 0;
  std::uint64_t sum = 0;
  bool operator==(const FileSum& other) const { return size == other.size && sum == other.sum; }
  bool operator!=(const FileSum& other) const { return !(*this == other); }
};

// The hash a record's sums are taken with, as its header names it: 64-bit
// FNV-1a in the first format's records, XXH64 since.
enum class SumKind { kFnv1a, kXxh64 };

// The size and sum of bytes fed in pieces; any split gives the same result.
class FileSummer {
 public:
  explicit FileSummer(SumKind kind = SumKind::kXxh64);
  void Add(const char* data, std::size_t size);
  FileSum Result() const;

 private:
  SumKind kind_;
  Xxh64 xxh_;
  std::uint64_t fnv_;
  std::uint64_t size_ = 0;
};

// Reads `path` to its end. False when it does not open or a read fails.
bool ChecksumFile(FileSystem& files, const std::string& path, FileSum* out,
                  SumKind kind = SumKind::kXxh64);

// The checksum as 16 lower-case hex digits, and back; ParseSum is false for
// any other text.
std::string SumText(std::uint64_t sum);
bool ParseSum(const std::string& text, std::uint64_t* sum);

#endif  // PACKWRIGHT_ENGINE_CHECKSUM_H_
