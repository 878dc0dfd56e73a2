#include <time.h>

#include "platform/dos_time.h"

bool LocalDosTime(std::uint64_t file_time, std::uint32_t* dos_time) {
  const std::int64_t kUnixEpoch = 11644473600LL;  // seconds from 1601 to 1970
  time_t seconds =
      static_cast<time_t>(static_cast<std::int64_t>(file_time / 10000000) - kUnixEpoch);
  struct tm local;
  if (!localtime_r(&seconds, &local))
    return false;
  *dos_time = DosTimeOf({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                         local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec});
  return true;
}
