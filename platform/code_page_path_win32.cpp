#include <windows.h>

#include "platform/code_page_path.h"

static_assert(sizeof(wchar_t) == 2);

namespace vk::platform {

bool ShortComponentName(std::u16string_view path, std::u16string* name) {
  std::wstring query(reinterpret_cast<const wchar_t*>(path.data()), path.size());
  for (wchar_t& c : query) {
    if (c == L'/') c = L'\\';
  }
  std::wstring shortPath(MAX_PATH, L'\0');
  DWORD length = GetShortPathNameW(query.c_str(), shortPath.data(), MAX_PATH);
  if (length >= MAX_PATH) {
    shortPath.resize(length);
    length = GetShortPathNameW(query.c_str(), shortPath.data(), length);
  }
  if (length == 0 || length >= shortPath.size()) return false;
  shortPath.resize(length);
  const size_t last = shortPath.find_last_of(L'\\');
  const std::wstring component =
      last == std::wstring::npos ? shortPath : shortPath.substr(last + 1);
  if (component.empty()) return false;
  name->assign(reinterpret_cast<const char16_t*>(component.data()), component.size());
  return true;
}

}  // namespace vk::platform
