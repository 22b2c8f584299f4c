#include <windows.h>

#include <string>

#include "platform/files.h"
#include "platform/place_file.h"
#include "platform/registry.h"
#include "platform/wide_win32.h"

namespace vk::platform {
namespace {

// Removes a file even when it is read-only.
void RemoveAnyFile(const std::wstring& path) {
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(path.c_str());
}

}  // namespace

long PlaceFile(std::u16string_view source, std::u16string_view target, bool replace) {
  const std::wstring to = Wide(target);
  if (!replace && GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES) {
    return kErrorFileExists;
  }
  const std::wstring temp = Wide(PlacementTempPath(target));
  RemoveAnyFile(temp);
  if (!CopyFileW(Wide(source).c_str(), temp.c_str(), TRUE)) {
    return static_cast<long>(GetLastError());
  }
  // CopyFileW carries the source's read-only attribute over.
  const DWORD attributes = GetFileAttributesW(temp.c_str());
  BOOL ok = attributes != INVALID_FILE_ATTRIBUTES &&
            ((attributes & FILE_ATTRIBUTE_READONLY) == 0 ||
             SetFileAttributesW(temp.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY}));
  if (ok && replace) {
    const long replaced = ReplaceFileAtomically(PlacementTempPath(target), target);
    if (replaced == kErrorSuccess) return kErrorSuccess;
    RemoveAnyFile(temp);
    return replaced;
  }
  // Without MOVEFILE_REPLACE_EXISTING an existing target makes the move fail.
  ok = ok && MoveFileExW(temp.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH);
  if (ok) return kErrorSuccess;
  const DWORD error = GetLastError();
  RemoveAnyFile(temp);
  return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? kErrorFileExists
                                                                     : static_cast<long>(error);
}

}  // namespace vk::platform
