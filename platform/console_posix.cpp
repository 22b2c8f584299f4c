#include <cstdio>
#include <string>

#include "platform/console.h"
#include "platform/text.h"

namespace vk::platform {

void WriteConsoleLine(std::u16string_view text) {
  const std::string line = Utf16ToUtf8(text) + "\n";
  static_cast<void>(std::fwrite(line.data(), 1, line.size(), stdout));
  static_cast<void>(std::fflush(stdout));
}

}  // namespace vk::platform
