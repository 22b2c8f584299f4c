#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/files.h"
#include "platform/native_path_posix.h"
#include "platform/place_file.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace vk::platform {
namespace {

// rename without replacing: renameat2 where the file system offers it, a
// hard link and an unlink elsewhere. Either way an existing target stays.
int MoveNoReplace(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  if (link(from.c_str(), to.c_str()) != 0) return errno;
  unlink(from.c_str());
  return 0;
}

// Whether a file of that name exists, letter case ignored. Tested as written
// first: a launch over a filled folder tests every file, and that is one call.
bool Exists(std::u16string_view target) {
  std::string direct = Utf16ToUtf8(target);
  for (char& c : direct) {
    if (c == '\\') c = '/';
  }
  struct stat info;
  return lstat(direct.c_str(), &info) == 0 || PathExists(target);
}

}  // namespace

long PlaceFile(std::u16string_view source, std::u16string_view target, bool replace) {
  if (!replace && Exists(target)) return kErrorFileExists;
  const std::u16string temp = PlacementTempPath(target);
  const std::string tempNative = NativePath(temp);
  unlink(tempNative.c_str());
  const long copied = CopyFileNoReplace(source, temp);
  if (copied != kErrorSuccess) return copied;
  struct stat info;
  int error = stat(tempNative.c_str(), &info) == 0 ? 0 : errno;
  if (error == 0 && (info.st_mode & S_IWUSR) == 0 &&
      chmod(tempNative.c_str(), (info.st_mode & 07777) | S_IWUSR) != 0) {
    error = errno;
  }
  if (error == 0 && replace) {
    const long replaced = ReplaceFileAtomically(temp, target);
    if (replaced == kErrorSuccess) return kErrorSuccess;
    unlink(tempNative.c_str());
    return replaced;
  }
  // Tested again: the target may have appeared during the copy.
  if (error == 0)
    error = PathExists(target) ? EEXIST : MoveNoReplace(tempNative, NativePath(target));
  if (error == 0) return kErrorSuccess;
  unlink(tempNative.c_str());
  return error == EEXIST ? kErrorFileExists : Win32ErrorFromErrno(error);
}

}  // namespace vk::platform
