#include <unistd.h>

#include "platform/native_path_posix.h"
#include "tests/support/test_paths.h"

namespace vk::test {

bool ResizeFile(std::u16string_view path, uint64_t size) {
  return truncate(platform::NativePath(path).c_str(), static_cast<off_t>(size)) == 0;
}

}  // namespace vk::test
