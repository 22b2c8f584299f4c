#include "platform/code_page_path.h"

namespace vk::platform {

// Posix file systems keep no short names.
std::u16string LongPathName(std::u16string_view path) {
  return std::u16string(path);
}

bool ShortComponentName(std::u16string_view, std::u16string*) {
  return false;
}

}  // namespace vk::platform
