#include <windows.h>

#include "platform/code_page_path.h"
#include "platform/wide_win32.h"

static_assert(sizeof(wchar_t) == 2);

namespace vk::platform {

std::u16string LongPathName(std::u16string_view path) {
  // GetLongPathNameW needs a path that exists: the longest existing head is
  // expanded and the rest follows as written. A drive ("C:") alone is no head:
  // it would name that drive's current folder.
  // No path longer than the system's limit names a file (and Wine's call
  // fails badly on one).
  if (path.size() > kLongestWidePath) return std::u16string(path);
  const std::wstring query(reinterpret_cast<const wchar_t*>(path.data()), path.size());
  for (size_t end = query.size(); end != std::wstring::npos && end > 2;
       end = query.find_last_of(L"\\/", end - 1)) {
    const std::wstring head = query.substr(0, end);
    const DWORD needed = GetLongPathNameW(head.c_str(), nullptr, 0);
    if (needed == 0) continue;
    std::wstring expanded(needed, L'\0');
    const DWORD length = GetLongPathNameW(head.c_str(), expanded.data(), needed);
    if (length == 0 || length >= needed) continue;
    expanded.resize(length);
    expanded += query.substr(end);
    return std::u16string(reinterpret_cast<const char16_t*>(expanded.data()), expanded.size());
  }
  return std::u16string(path);
}

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
