#include "platform/wide_win32.h"

#include <cstdint>

#include "platform/utf16.h"

std::wstring Widen(const std::string& text) {
  std::string bytes = Utf8ToUtf16(text);
  std::wstring out(bytes.size() / 2, L'\0');
  for (std::size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                  static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  return out;
}

std::string Narrow(const wchar_t* text, std::size_t length) {
  std::string bytes;
  bytes.reserve(2 * length);
  for (std::size_t i = 0; i < length; ++i) {
    std::uint16_t unit = static_cast<std::uint16_t>(text[i]);
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  std::string out;
  Utf16ToUtf8(bytes, 0, &out);
  return out;
}
