#include <errno.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <memory>
#include <string>

#include "platform/item_location.h"
#include "platform/native_path_posix.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace vk::platform {
namespace {

struct FreeDeleter {
  void operator()(char* text) const { free(text); }
};

long RealNativeFolder(const std::string& folder, std::string* real) {
  const std::unique_ptr<char, FreeDeleter> resolved(realpath(folder.c_str(), nullptr));
  if (resolved == nullptr) return Win32ErrorFromErrno(errno);
  *real = resolved.get();
  return kErrorSuccess;
}

}  // namespace

long RealFolderPath(std::u16string_view folder, std::u16string* real) {
  std::string resolved;
  const long result = RealNativeFolder(NativePath(folder), &resolved);
  if (result == kErrorSuccess) *real = Utf8ToUtf16(resolved);
  return result;
}

long LocateItem(std::u16string_view path, ItemLocation* location) {
  std::string item = NativePath(path);
  while (item.size() > 1 && item.back() == '/') item.pop_back();
  const size_t slash = item.rfind('/');
  if (item.front() != '/' || slash == std::string::npos || slash + 1 == item.size()) {
    return kErrorInvalidParameter;
  }
  struct stat info;
  if (lstat(item.c_str(), &info) != 0) return Win32ErrorFromErrno(errno);
  std::string folder;
  if (const long result = RealNativeFolder(slash == 0 ? "/" : item.substr(0, slash), &folder);
      result != kErrorSuccess) {
    return result;
  }
  if (folder.back() != '/') folder += '/';
  location->realPath = Utf8ToUtf16(folder + item.substr(slash + 1));
  location->isLink = S_ISLNK(info.st_mode);
  location->isFolder = S_ISDIR(info.st_mode);
  return kErrorSuccess;
}

}  // namespace vk::platform
