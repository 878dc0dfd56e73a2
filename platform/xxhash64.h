// XXH64, the 64-bit xxHash of Yann Collet, fed in pieces: the checksum of
// what a copy writes, taken from the buffer just read, and of a package's
// sealed files. It finds accidental damage (a cut, a changed byte, a
// swapped block) and runs faster than the disk; it is no defence against a
// forged file.
#ifndef PACKWRIGHT_PLATFORM_XXHASH64_H_
#define PACKWRIGHT_PLATFORM_XXHASH64_H_

#include <cstddef>
#include <cstdint>

class Xxh64 {
 public:
  explicit Xxh64(std::uint64_t seed = 0);

  // Adds `size` bytes; any split of the same bytes gives the same digest.
  void Update(const void* data, std::size_t size);
  // The hash of every byte added so far; more may be added afterwards.
  std::uint64_t Digest() const;

  // The hash of one buffer.
  static std::uint64_t Of(const void* data, std::size_t size, std::uint64_t seed = 0);

 private:
  std::uint64_t seed_;
  std::uint64_t acc_[4];
  unsigned char pending_[32];
  std::size_t pending_size_ = 0;
  std::uint64_t total_ = 0;
};

#endif  // PACKWRIGHT_PLATFORM_XXHASH64_H_
