#include "engine/checksum.h"

#include <vector>

namespace {

const std::uint64_t kFnvOffset = 14695981039346656037ULL;
const std::uint64_t kFnvPrime = 1099511628211ULL;

}  // namespace

bool ChecksumFile(FileSystem& files, const std::string& path, FileSum* out) {
  std::string err;
  std::unique_ptr<InputFile> in = files.OpenRead(path, &err);
  if (!in)
    return false;
  FileSum result;
  result.sum = kFnvOffset;
  std::vector<char> buf(64 * 1024);
  for (;;) {
    long n = in->Read(buf.data(), buf.size());
    if (n < 0)
      return false;
    if (n == 0)
      break;
    for (long i = 0; i < n; ++i)
      result.sum = (result.sum ^ static_cast<unsigned char>(buf[i])) * kFnvPrime;
    result.size += static_cast<std::uint64_t>(n);
  }
  *out = result;
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
