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

bool IsReadOnly(std::u16string_view path) {
  struct stat info;
  return stat(platform::NativePath(path).c_str(), &info) == 0 && (info.st_mode & 0222) == 0;
}

}  // namespace vk::test
