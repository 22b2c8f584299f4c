#include "platform/native_path_posix.h"

#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>

#include <optional>

#include "platform/files.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace vk::platform {
namespace {

bool Exists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

// The entry of `folder` that equals `name` without regard to case, or
// nullopt when there is none.
std::optional<std::string> MatchEntry(const std::string& folder, const std::string& name) {
  const UniqueFolder dir(opendir(folder.empty() ? "." : folder.c_str()));
  if (dir == nullptr) return std::nullopt;
  const std::u16string wanted = Utf8ToUtf16(name);
  while (const dirent* entry = readdir(dir.get())) {
    if (RegistryNamesEqual(Utf8ToUtf16(entry->d_name), wanted)) return entry->d_name;
  }
  return std::nullopt;
}

}  // namespace

std::string NativePath(std::u16string_view path) {
  bool exists = false;
  return NativePath(path, &exists);
}

std::string NativePath(std::u16string_view path, bool* exists) {
  std::string native = Utf16ToUtf8(path);
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  *exists = !native.empty() && Exists(native);
  if (native.empty() || *exists) return native;
  // A new file in a folder named as it is written: only its own name needs
  // matching, and the folder's components need no test each.
  const bool folderPath = native.back() == '/';
  const std::string named = folderPath ? native.substr(0, native.size() - 1) : native;
  if (const size_t slash = named.rfind('/'); slash != std::string::npos && slash > 0) {
    const std::string folder = named.substr(0, slash);
    const std::string name = named.substr(slash + 1);
    if (!name.empty() && name != "." && name != ".." && Exists(folder)) {
      const std::optional<std::string> match = MatchEntry(folder, name);
      *exists = match.has_value();
      return folder + "/" + match.value_or(name) + (folderPath ? "/" : "");
    }
  }

  std::string resolved;
  size_t start = 0;
  if (native[0] == '/') {
    resolved = "/";
    start = 1;
  }
  while (start <= native.size()) {
    size_t end = native.find('/', start);
    if (end == std::string::npos) end = native.size();
    const std::string component = native.substr(start, end - start);
    if (!component.empty()) {
      const std::string folder = resolved;
      if (!resolved.empty() && resolved.back() != '/') resolved += '/';
      if (component == "." || component == ".." || Exists(resolved + component)) {
        resolved += component;
      } else {
        resolved += MatchEntry(folder, component).value_or(component);
      }
    }
    if (end < native.size() && end + 1 == native.size()) resolved += '/';
    start = end + 1;
  }
  *exists = Exists(resolved);
  return resolved;
}

long Win32ErrorFromErrno(int error) {
  switch (error) {
    case 0:
      return kErrorSuccess;
    case ENOENT:
      return kErrorFileNotFound;
    case ENOTDIR:
      return kErrorPathNotFound;
    case EEXIST:
      return kErrorAlreadyExists;
    case ENOSPC:
      return 112;  // ERROR_DISK_FULL
    case ENOTEMPTY:
      return kErrorDirNotEmpty;
    case ENAMETOOLONG:
      return 206;  // ERROR_FILENAME_EXCED_RANGE
    case ELOOP:
      return 1921;  // ERROR_CANT_RESOLVE_FILENAME
    default:
      return kErrorAccessDenied;
  }
}

}  // namespace vk::platform
