#include <windows.h>

#include "platform/local_time.h"

namespace vk::platform {

std::string LocalTimestamp() {
  FILETIME utc{};
  GetSystemTimeAsFileTime(&utc);
  // The conversion applies the offset in force now, which is the one to show.
  FILETIME local{};
  SYSTEMTIME fields{};
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &fields)) {
    local = utc;
    static_cast<void>(FileTimeToSystemTime(&utc, &fields));
  }
  const auto ticks = [](const FILETIME& t) {
    return static_cast<long long>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                  t.dwLowDateTime);
  };
  constexpr long long kTicksPerMinute = 600000000LL;
  const int offsetMinutes = static_cast<int>((ticks(local) - ticks(utc)) / kTicksPerMinute);
  return FormatTimestamp(fields.wYear, fields.wMonth, fields.wDay, fields.wHour, fields.wMinute,
                         fields.wSecond, fields.wMilliseconds, offsetMinutes);
}

}  // namespace vk::platform
