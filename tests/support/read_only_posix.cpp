#include <sys/stat.h>

#include "platform/native_path_posix.h"
#include "tests/support/read_only.h"

namespace vk::test {

ScopedReadOnly::ScopedReadOnly(std::u16string_view path) : path_(path) {
  applied_ = chmod(platform::NativePath(path_).c_str(), 0444) == 0;
}

ScopedReadOnly::~ScopedReadOnly() {
  if (applied_) chmod(platform::NativePath(path_).c_str(), 0644);
}

}  // namespace vk::test
