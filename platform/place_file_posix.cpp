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

}  // namespace

long PlaceFile(std::u16string_view source, std::u16string_view target, bool replace) {
  // The target is resolved once (its folder as written first, then its name
  // without regard to case), and the temporary file named beside what it found.
  bool exists = false;
  const std::string targetNative = NativePath(target, &exists);
  if (!replace && exists) return kErrorFileExists;
  const std::string tempNative = targetNative + Utf16ToUtf8(kPlacementSuffix);
  unlink(tempNative.c_str());
  // Placed files are never read-only, whatever the source is.
  const long copied = CopyNativeFileNoReplace(NativePath(source), tempNative, S_IWUSR);
  if (copied != kErrorSuccess) return copied;
  if (replace) {
    const long replaced = ReplaceFileAtomically(Utf8ToUtf16(tempNative), target);
    if (replaced == kErrorSuccess) return kErrorSuccess;
    unlink(tempNative.c_str());
    return replaced;
  }
  // Never over a file that appeared during the copy.
  const int error = MoveNoReplace(tempNative, targetNative);
  if (error == 0) return kErrorSuccess;
  unlink(tempNative.c_str());
  return error == EEXIST ? kErrorFileExists : Win32ErrorFromErrno(error);
}

}  // namespace vk::platform
