// The last-write times that zip archives keep: MS-DOS date and time in
// local time, to two seconds.
#ifndef PACKWRIGHT_PLATFORM_DOS_TIME_H_
#define PACKWRIGHT_PLATFORM_DOS_TIME_H_

#include <cstdint>

// A local calendar time.
struct CalendarTime {
  int year, month, day, hour, minute, second;
};

// The DOS date (high 16 bits) and time (low 16 bits) of `time`; an odd
// second is taken down to the even one before it. Years before 1980 give
// 1980-01-01 00:00:00, years after 2107 the last time DOS can hold.
std::uint32_t DosTimeOf(const CalendarTime& time);

// The DOS time of `file_time` (FileSystem::LastWriteTime's count: 100 ns
// since 1601, UTC) in the system's local time zone at that moment, daylight
// saving included. False when the system cannot convert it.
bool LocalDosTime(std::uint64_t file_time, std::uint32_t* dos_time);

#endif  // PACKWRIGHT_PLATFORM_DOS_TIME_H_
