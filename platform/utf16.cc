#include "platform/utf16.h"

#include <cstdint>

#include "platform/unicode.h"

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
