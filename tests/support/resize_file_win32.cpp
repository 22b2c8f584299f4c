#include <filesystem>
#include <system_error>

#include "tests/support/test_paths.h"

namespace vk::test {

bool ResizeFile(std::u16string_view path, uint64_t size) {
  std::error_code error;
  std::filesystem::resize_file(std::filesystem::path(path), size, error);
  return !error;
}

}  // namespace vk::test
