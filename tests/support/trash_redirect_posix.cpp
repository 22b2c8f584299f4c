#include "platform/native_path_posix.h"
#include "platform/text.h"
#include "tests/support/trash_redirect.h"

namespace vk::test {

std::u16string UnixPathOf(const std::u16string& path) {
  return platform::Utf8ToUtf16(platform::NativePath(path));
}

}  // namespace vk::test
