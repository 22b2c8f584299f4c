#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/text.h"
#include "tests/support/test_paths.h"

namespace vk::test {

TempFolder::TempFolder() {
  const char* base = getenv("TMPDIR");
  std::string pattern =
      std::string(base != nullptr && *base != 0 ? base : "/tmp") + "/vk_test_XXXXXX";
  if (mkdtemp(pattern.data()) != nullptr) path_ = platform::Utf8ToUtf16(pattern);
}

TempFolder::~TempFolder() {
  if (path_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(platform::Utf16ToUtf8(path_), ignored);
}

}  // namespace vk::test
