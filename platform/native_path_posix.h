// How the posix backend finds the file a Windows path names.
#pragma once

#include <dirent.h>

#include <memory>
#include <string>
#include <string_view>

namespace vk::platform {

// The native path of a Windows-style path: separators become "/", and each
// component that does not exist as written is matched against its folder's
// entries without regard to letter case (a component with no match stays as
// written, so new files can be named).
std::string NativePath(std::u16string_view path);

// A folder listing that is closed when it goes away, even when an allocation
// fails while its entries are read.
struct FolderCloser {
  void operator()(DIR* folder) const { closedir(folder); }
};
using UniqueFolder = std::unique_ptr<DIR, FolderCloser>;

// The Win32 error code that best matches an errno value.
long Win32ErrorFromErrno(int error);

}  // namespace vk::platform
