// The checksum that the install record keeps of each file it writes and of
// the script: FNV-1a, 64 bits. It tells a changed file from the one written,
// not a forged one.
#ifndef PACKWRIGHT_ENGINE_CHECKSUM_H_
#define PACKWRIGHT_ENGINE_CHECKSUM_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/file_system.h"

// The size and checksum of a file's bytes.
struct FileSum {
  std::uint64_t size = 0;
  std::uint64_t sum = 0;
  bool operator==(const FileSum& other) const { return size == other.size && sum == other.sum; }
  bool operator!=(const FileSum& other) const { return !(*this == other); }
};

// Reads `path` to its end. False when it does not open or a read fails.
bool ChecksumFile(FileSystem& files, const std::string& path, FileSum* out);

// The checksum as 16 lower-case hex digits, and back; ParseSum is false for
// any other text.
std::string SumText(std::uint64_t sum);
bool ParseSum(const std::string& text, std::uint64_t* sum);

#endif  // PACKWRIGHT_ENGINE_CHECKSUM_H_
