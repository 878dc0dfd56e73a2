#include "platform/utf16.h"

#include <cstdint>

namespace {

void AppendUtf8(std::uint32_t cp, std::string* out) {
  if (cp < 0x80) {
    *out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    *out += static_cast<char>(0xC0 | (cp >> 6));
    *out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *out += static_cast<char>(0xE0 | (cp >> 12));
    *out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (cp >> 18));
    *out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes the UTF-8 sequence at `i` into `*cp` and returns its length. A
// byte that starts no valid sequence stands for itself (as Latin-1).
std::size_t DecodeUtf8(const std::string& s, std::size_t i, std::uint32_t* cp) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  std::size_t more = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : 3;
  *cp = c;
  if (more == 0 || (c & 0xF8) == 0xF8 || i + more >= s.size())
    return 1;
  std::uint32_t value = c & (0x7F >> (more + 1));
  for (std::size_t k = 1; k <= more; ++k) {
    unsigned char next = static_cast<unsigned char>(s[i + k]);
    if ((next & 0xC0) != 0x80)
      return 1;
    value = (value << 6) | (next & 0x3F);
  }
  if (value > 0x10FFFF)
    return 1;
  *cp = value;
  return more + 1;
}

}  // namespace

bool Utf16ToUtf8(const std::string& bytes, std::size_t start, std::string* out) {
  if ((bytes.size() - start) % 2 != 0)
    return false;
  auto unit = [&bytes](std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i]) |
                                      static_cast<unsigned char>(bytes[i + 1]) << 8);
  };
  for (std::size_t i = start; i < bytes.size(); i += 2) {
    std::uint32_t cp = unit(i);
    if (cp >= 0xD800 && cp < 0xDC00 && i + 3 < bytes.size()) {
      std::uint32_t low = unit(i + 2);
      if (low >= 0xDC00 && low < 0xE000) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    AppendUtf8(cp, out);
  }
  return true;
}

std::string Utf8ToUtf16(const std::string& text) {
  std::string out;
  auto append_unit = [&out](std::uint32_t unit) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
  };
  for (std::size_t i = 0; i < text.size();) {
    std::uint32_t cp;
    i += DecodeUtf8(text, i, &cp);
    if (cp >= 0x10000) {
      append_unit(0xD800 + ((cp - 0x10000) >> 10));
      append_unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      append_unit(cp);
    }
  }
  return out;
}
