#include <windows.h>

#include <filesystem>
#include <string>

#include "tests/support/test_paths.h"

static_assert(sizeof(wchar_t) == 2);

namespace vk::test {

TempFolder::TempFolder() {
  wchar_t base[MAX_PATH + 1];
  DWORD length = GetTempPathW(MAX_PATH + 1, base);
  if (length == 0 || length > MAX_PATH) return;
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    std::wstring candidate = std::wstring(base) + L"vk_test_" +
                             std::to_wstring(GetCurrentProcessId()) + L"_" +
                             std::to_wstring(GetTickCount64() + attempt);
    if (CreateDirectoryW(candidate.c_str(), nullptr)) {
      path_.assign(reinterpret_cast<const char16_t*>(candidate.c_str()), candidate.size());
      return;
    }
  }
}

TempFolder::~TempFolder() {
  if (path_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(path_), ignored);
}

}  // namespace vk::test
