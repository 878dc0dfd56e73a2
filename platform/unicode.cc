#include "platform/unicode.h"

namespace {

// The small letter of capital `cp`, or `cp` itself.
std::uint32_t FoldCodePoint(std::uint32_t cp) {
  if (cp < 0x80)
    return cp >= 'A' && cp <= 'Z' ? cp + 0x20 : cp;
  if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7)
    return cp + 0x20;
  if (cp >= 0x100 && cp <= 0x17F) {
    if (cp == 0x130 || cp == 0x131 || cp == 0x138 || cp == 0x149 || cp == 0x17F)
      return cp;  // dotted I, dotless i, kra, 'n, long s: no simple pair
    if (cp == 0x178)
      return 0xFF;  // Ÿ
    bool odd_capitals = (cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E);
    bool capital = odd_capitals ? (cp % 2 == 1) : (cp % 2 == 0);
    return capital ? cp + 1 : cp;
  }
  if (cp >= 0x391 && cp <= 0x3AB && cp != 0x3A2)
    return cp + 0x20;
  if (cp >= 0x410 && cp <= 0x42F)
    return cp + 0x20;
  if (cp >= 0x400 && cp <= 0x40F)
    return cp + 0x50;
  return cp;
}

}  // namespace

std::size_t DecodeUtf8(const std::string& s, std::size_t i, std::uint32_t* cp) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  *cp = c;
  if (c < 0xC2 || c > 0xF4)
    return 1;
  std::size_t more = c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
  if (i + more >= s.size())
    return 1;
  std::uint32_t value = c & (0x7F >> (more + 1));
  for (std::size_t k = 1; k <= more; ++k) {
    unsigned char next = static_cast<unsigned char>(s[i + k]);
    if ((next & 0xC0) != 0x80)
      return 1;
    value = (value << 6) | (next & 0x3F);
  }
  // Overlong forms and values beyond Unicode are no characters. A
  // surrogate is taken, as Narrow writes a lone one, so that it goes back.
  static const std::uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
  if (value < kSmallest[more] || value > 0x10FFFF)
    return 1;
  *cp = value;
  return more + 1;
}

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

bool IsUtf8(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    std::uint32_t cp;
    std::size_t len = DecodeUtf8(text, i, &cp);
    if (len == 1 && cp >= 0x80)
      return false;
    i += len;
  }
  return true;
}

std::string FoldCase(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    std::uint32_t cp;
    std::size_t len = DecodeUtf8(text, i, &cp);
    if (len == 1)
      out += cp < 0x80 ? static_cast<char>(FoldCodePoint(cp)) : text[i];
    else
      AppendUtf8(FoldCodePoint(cp), &out);
    i += len;
  }
  return out;
}

std::size_t Utf16Length(const std::string& text) {
  std::size_t units = 0;
  for (std::size_t i = 0; i < text.size();) {
    std::uint32_t cp;
    i += DecodeUtf8(text, i, &cp);
    units += cp >= 0x10000 ? 2 : 1;
  }
  return units;
}
