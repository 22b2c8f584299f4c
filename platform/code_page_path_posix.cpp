#include "platform/code_page_path.h"

namespace vk::platform {

// Posix file systems keep no short names.
bool ShortComponentName(std::u16string_view, std::u16string*) {
  return false;
}

}  // namespace vk::platform
