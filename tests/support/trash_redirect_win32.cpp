#include <windows.h>

#include <string>

#include "platform/text.h"
#include "tests/support/trash_redirect.h"

static_assert(sizeof(wchar_t) == 2);

namespace vk::test {

std::u16string UnixPathOf(const std::u16string& path) {
  // Wine's kernel32 tells the Unix path of a Windows one; Windows has no
  // such call, and no freedesktop trash.
  using UnixFileName = char*(CDECL*)(const wchar_t*);
  const auto unixFileName = reinterpret_cast<UnixFileName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (unixFileName == nullptr) return {};
  char* unixPath = unixFileName(reinterpret_cast<const wchar_t*>(path.c_str()));
  if (unixPath == nullptr) return {};
  std::u16string result = platform::Utf8ToUtf16(unixPath);
  HeapFree(GetProcessHeap(), 0, unixPath);
  return result;
}

}  // namespace vk::test
