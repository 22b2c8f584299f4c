#include <stdlib.h>

#include "platform/text.h"
#include "tests/support/scoped_env.h"

namespace vk::test {

std::optional<std::u16string> GetEnv(std::u16string_view name) {
  const char* value = getenv(platform::Utf16ToUtf8(name).c_str());
  if (value == nullptr) return std::nullopt;
  return platform::Utf8ToUtf16(value);
}

void SetEnv(std::u16string_view name, const std::optional<std::u16string>& value) {
  const std::string narrowName = platform::Utf16ToUtf8(name);
  if (value) {
    setenv(narrowName.c_str(), platform::Utf16ToUtf8(*value).c_str(), 1);
  } else {
    unsetenv(narrowName.c_str());
  }
}

}  // namespace vk::test
