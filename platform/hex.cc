#include "platform/hex.h"

#include <charconv>

bool ParseHex(std::string_view text, std::size_t max_digits, std::uint64_t* value) {
  if (text.empty() || text.size() > max_digits || text.size() > 16)
    return false;
  std::uint64_t parsed = 0;
  const char* end = text.data() + text.size();
  std::from_chars_result result = std::from_chars(text.data(), end, parsed, 16);
  if (result.ec != std::errc() || result.ptr != end)
    return false;
  *value = parsed;
  return true;
}
