#include "platform/xxhash64.h"

#include <cstring>

namespace {

const std::uint64_t kPrime1 = 0x9E3779B185EBCA87ULL;
const std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4FULL;
const std::uint64_t kPrime3 = 0x165667B19E3779F9ULL;
const std::uint64_t kPrime4 = 0x85EBCA77C2B2AE63ULL;
const std::uint64_t kPrime5 = 0x27D4EB2F165667C5ULL;

std::uint64_t Rotl(std::uint64_t x, int r) {
  return (x << r) | (x >> (64 - r));
}

// Little-endian loads, whatever the host's byte order.
std::uint64_t Read64(const unsigned char* p) {
  std::uint64_t v = 0;
  for (int i = 7; i >= 0; --i)
    v = v << 8 | p[i];
  return v;
}

std::uint32_t Read32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint64_t Round(std::uint64_t acc, std::uint64_t input) {
  acc += input * kPrime2;
  return Rotl(acc, 31) * kPrime1;
}

std::uint64_t MergeRound(std::uint64_t acc, std::uint64_t val) {
  acc ^= Round(0, val);
  return acc * kPrime1 + kPrime4;
}

}  // namespace

Xxh64::Xxh64(std::uint64_t seed) : seed_(seed) {
  acc_[0] = seed + kPrime1 + kPrime2;
  acc_[1] = seed + kPrime2;
  acc_[2] = seed;
  acc_[3] = seed - kPrime1;
}

void Xxh64::Update(const void* data, std::size_t size) {
  const unsigned char* p = static_cast<const unsigned char*>(data);
  total_ += size;
  if (pending_size_ + size < 32) {
    if (size)
      std::memcpy(pending_ + pending_size_, p, size);
    pending_size_ += size;
    return;
  }
  if (pending_size_) {
    std::size_t fill = 32 - pending_size_;
    std::memcpy(pending_ + pending_size_, p, fill);
    for (int i = 0; i < 4; ++i)
      acc_[i] = Round(acc_[i], Read64(pending_ + 8 * i));
    p += fill;
    size -= fill;
    pending_size_ = 0;
  }
  for (; size >= 32; p += 32, size -= 32) {
    acc_[0] = Round(acc_[0], Read64(p));
    acc_[1] = Round(acc_[1], Read64(p + 8));
    acc_[2] = Round(acc_[2], Read64(p + 16));
    acc_[3] = Round(acc_[3], Read64(p + 24));
  }
  if (size)
    std::memcpy(pending_, p, size);
  pending_size_ = size;
}

std::uint64_t Xxh64::Digest() const {
  std::uint64_t h;
  if (total_ >= 32) {
    h = Rotl(acc_[0], 1) + Rotl(acc_[1], 7) + Rotl(acc_[2], 12) + Rotl(acc_[3], 18);
    for (int i = 0; i < 4; ++i)
      h = MergeRound(h, acc_[i]);
  } else {
    h = seed_ + kPrime5;
  }
  h += total_;
  const unsigned char* p = pending_;
  std::size_t left = pending_size_;
  for (; left >= 8; p += 8, left -= 8)
    h = Rotl(h ^ Round(0, Read64(p)), 27) * kPrime1 + kPrime4;
  if (left >= 4) {
    h = Rotl(h ^ Read32(p) * kPrime1, 23) * kPrime2 + kPrime3;
    p += 4;
    left -= 4;
  }
  for (; left > 0; ++p, --left)
    h = Rotl(h ^ *p * kPrime5, 11) * kPrime1;
  h ^= h >> 33;
  h *= kPrime2;
  h ^= h >> 29;
  h *= kPrime3;
  h ^= h >> 32;
  return h;
}

std::uint64_t Xxh64::Of(const void* data, std::size_t size, std::uint64_t seed) {
  Xxh64 hash(seed);
  hash.Update(data, size);
  return hash.Digest();
}
