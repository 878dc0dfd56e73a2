#include "platform/dos_time.h"

std::uint32_t DosTimeOf(const CalendarTime& t) {
  if (t.year < 1980)
    return (1u << 5 | 1u) << 16;
  if (t.year > 2107)
    return (127u << 9 | 12u << 5 | 31u) << 16 | (23u << 11 | 59u << 5 | 29u);
  std::uint32_t date = static_cast<std::uint32_t>((t.year - 1980) << 9 | t.month << 5 | t.day);
  std::uint32_t time = static_cast<std::uint32_t>(t.hour << 11 | t.minute << 5 | t.second / 2);
  return date << 16 | time;
}
