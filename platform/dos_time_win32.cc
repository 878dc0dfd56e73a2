#include <windows.h>

#include "platform/dos_time.h"

bool LocalDosTime(std::uint64_t file_time, std::uint32_t* dos_time) {
  FILETIME utc_time;
  utc_time.dwLowDateTime = static_cast<DWORD>(file_time);
  utc_time.dwHighDateTime = static_cast<DWORD>(file_time >> 32);
  SYSTEMTIME utc, local;
  // FileTimeToLocalFileTime would apply today's daylight saving to every
  // date; this takes the rule of the file's own date.
  if (!FileTimeToSystemTime(&utc_time, &utc) ||
      !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
    return false;
  *dos_time =
      DosTimeOf({local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond});
  return true;
}
