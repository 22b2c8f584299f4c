#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/item_location.h"
#include "platform/registry.h"
#include "platform/wide_win32.h"

namespace vk::platform {
namespace {

constexpr size_t kLongestComponent = 255;
constexpr long kErrorFilenameExcedRange = ERROR_FILENAME_EXCED_RANGE;

size_t LongestComponent(std::u16string_view path) {
  size_t longest = 0;
  size_t begin = 0;
  for (size_t end; (end = path.find_first_of(u"\\/", begin)) != std::u16string_view::npos;
       begin = end + 1) {
    longest = std::max(longest, end - begin);
  }
  return std::max(longest, path.size() - begin);
}

// "\\?\C:\..." becomes "C:\...", "\\?\UNC\server\share" "\\server\share".
std::u16string WithoutLongPathPrefix(std::u16string path) {
  if (path.starts_with(u"\\\\?\\UNC\\")) return u"\\" + path.substr(7);
  if (path.starts_with(u"\\\\?\\")) return path.substr(4);
  return path;
}

}  // namespace

long RealFolderPath(std::u16string_view folder, std::u16string* real) {
  // The handle follows every link and junction; the system then names the
  // folder it reached.
  const HANDLE handle = CreateFileW(Wide(folder).c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return static_cast<long>(GetLastError());
  std::u16string name(MAX_PATH, u'\0');
  DWORD length = 0;
  for (;;) {
    length = GetFinalPathNameByHandleW(handle, WideBuffer(name.data()),
                                       static_cast<DWORD>(name.size()), FILE_NAME_NORMALIZED);
    if (length == 0 || length < name.size()) break;
    name.resize(length);
  }
  const long error = length == 0 ? static_cast<long>(GetLastError()) : kErrorSuccess;
  CloseHandle(handle);
  if (error != kErrorSuccess) return error;
  name.resize(length);
  *real = WithoutLongPathPrefix(std::move(name));
  return kErrorSuccess;
}

long LocateItem(std::u16string_view path, ItemLocation* location) {
  std::u16string item(path);
  while (item.size() > 3 && (item.back() == u'\\' || item.back() == u'/')) item.pop_back();
  const size_t separator = item.find_last_of(u"\\/");
  if (separator == std::u16string::npos || separator + 1 == item.size()) {
    return kErrorInvalidParameter;
  }
  // Past the system's limits no file has that name, but "not found" would
  // claim it absent (Wine answers so).
  if (item.size() > kLongestWidePath || LongestComponent(item) > kLongestComponent) {
    return kErrorFilenameExcedRange;
  }
  // The item's own entry in its folder's listing: its attributes are the
  // link's, not its target's.
  WIN32_FIND_DATAW entry;
  const HANDLE found = FindFirstFileW(Wide(item).c_str(), &entry);
  if (found == INVALID_HANDLE_VALUE) return static_cast<long>(GetLastError());
  FindClose(found);
  std::u16string folder;
  if (const long result = RealFolderPath(item.substr(0, separator + 1), &folder);
      result != kErrorSuccess) {
    return result;
  }
  if (folder.back() != u'\\') folder += u'\\';
  location->realPath = folder + reinterpret_cast<const char16_t*>(entry.cFileName);
  location->isLink = (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  location->isFolder =
      !location->isLink && (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return kErrorSuccess;
}

}  // namespace vk::platform
