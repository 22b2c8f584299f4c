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

}  // namespace

long PlaceFile(std::u16string_view source, std::u16string_view target, bool replace) {
  // The case-insensitive test: a target spelt in other letter case exists.
  if (!replace && PathExists(target)) return kErrorFileExists;
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
