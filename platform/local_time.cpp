#include <cstdio>
#include <cstdlib>

#include "platform/local_time.h"

namespace vk::platform {

std::string FormatTimestamp(int year, int month, int day, int hour, int minute, int second,
                            int millisecond, int offsetMinutes) {
  const char sign = offsetMinutes < 0 ? '-' : '+';
  const int offset = std::abs(offsetMinutes);
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d", year, month,
                day, hour, minute, second, millisecond, sign, offset / 60, offset % 60);
  return text;
}

}  // namespace vk::platform
