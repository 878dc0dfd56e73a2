#include "engine/checksum.h"

#include <vector>

namespace {

const std::uint64_t kFnvOffset = 14695981039346656037ULL;
const std::uint64_t kFnvPrime = 1099511628211ULL;

}  // namespace

FileSummer::FileSummer(SumKind kind) : kind_(kind), fnv_(kFnvOffset) {}

void FileSummer::Add(const char* data, std::size_t size) {
  size_ += size;
  if (kind_ == SumKind::kXxh64) {
    xxh_.Update(data, size);
    return;
  }
  for (std::size_t i = 0; i < size; ++i)
    fnv_ = (fnv_ ^ static_cast<unsigned char>(data[i])) * kFnvPrime;
}

FileSum FileSummer::Result() const {
  FileSum result;
  result.size = size_;
  result.sum = kind_ == SumKind::kXxh64 ? xxh_.Digest() : fnv_;
  return result;
}

bool ChecksumFile(FileSystem& files, const std::string& path, FileSum* out, SumKind kind) {
  std::string err;
  std::unique_ptr<InputFile> in = files.OpenRead(path, &err);
  if (!in)
    return false;
  FileSummer summer(kind);
  std::vector<char> buf(256 * 1024);
  for (;;) {
    long n = in->Read(buf.data(), buf.size());
    if (n < 0)
      return false;
    if (n == 0)
      break;
    summer.Add(buf.data(), static_cast<std::size_t>(n));
  }
  *out = summer.Result();
  return true;
}

std::string SumText(std::uint64_t sum) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text(16, '0');
  for (int i = 15; i >= 0; --i, sum >>= 4)
    text[i] = kDigits[sum & 0xF];
  return text;
}

bool ParseSum(const std::string& text, std::uint64_t* sum) {
  if (text.size() != 16)
    return false;
  std::uint64_t value = 0;
  for (char c : text) {
    int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (digit < 0)
      return false;
    value = value << 4 | static_cast<std::uint64_t>(digit);
  }
  *sum = value;
  return true;
}
