#include <windows.h>

#include <shlobj.h>

#include "platform/known_folders.h"

static_assert(sizeof(wchar_t) == 2);

namespace vk::platform {

bool GetKnownFolder(KnownFolder folder, std::u16string* path) {
  const int csidl = folder == KnownFolder::kCommonFiles     ? CSIDL_PROGRAM_FILES_COMMON
                    : folder == KnownFolder::kCommonAppData ? CSIDL_COMMON_APPDATA
                    : folder == KnownFolder::kAppData       ? CSIDL_APPDATA
                                                            : CSIDL_LOCAL_APPDATA;
  wchar_t buffer[MAX_PATH + 1] = {};
  if (SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer) != S_OK) return false;
  path->assign(reinterpret_cast<const char16_t*>(buffer));
  return true;
}

std::u16string ExpandEnvironmentVariables(std::u16string_view text) {
  const std::wstring source(reinterpret_cast<const wchar_t*>(text.data()), text.size());
  DWORD size = ExpandEnvironmentStringsW(source.c_str(), nullptr, 0);
  for (;;) {
    std::wstring expanded(size, L'\0');
    const DWORD needed = ExpandEnvironmentStringsW(source.c_str(), expanded.data(), size);
    if (needed == 0) return std::u16string(text);
    if (needed <= size) {
      expanded.resize(needed - 1);
      return std::u16string(reinterpret_cast<const char16_t*>(expanded.data()), expanded.size());
    }
    size = needed;
  }
}

}  // namespace vk::platform
