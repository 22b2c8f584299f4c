// The wall-clock time as people read it in a log.
#pragma once

#include <string>

namespace vk::platform {

// Now in local time, ISO 8601 with milliseconds and the offset from UTC:
// "2026-12-07T22:45:01.123+01:00".
[[nodiscard]] std::string LocalTimestamp();

// Formats the fields of a local time; `offsetMinutes` east of UTC.
[[nodiscard]] std::string FormatTimestamp(int year, int month, int day, int hour, int minute,
                                          int second, int millisecond, int offsetMinutes);

}  // namespace vk::platform
