#include <unistd.h>

#include "platform/native_path_posix.h"
#include "tests/support/symbolic_link.h"

namespace vk::test {

bool MakeSymbolicLink(const std::u16string& target, const std::u16string& link) {
  return symlink(platform::NativePath(target).c_str(), platform::NativePath(link).c_str()) == 0;
}

}  // namespace vk::test
