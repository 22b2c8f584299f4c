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
// The same, and whether an entry of that name exists (a link counts as
// itself); one resolution for callers that would test the path next.
std::string NativePath(std::u16string_view path, bool* exists);

// Copies the file `from` to the new file `to` (native paths), with the
// source's last-write time and permission bits plus `addedMode`; 0 or the
// Win32 error (kErrorFileExists when `to` exists). A failed copy leaves no `to`.
long CopyNativeFileNoReplace(const std::string& from, const std::string& to, unsigned addedMode);

// A folder listing that is closed when it goes away, even when an allocation
// fails while its entries are read.
struct FolderCloser {
  void operator()(DIR* folder) const { closedir(folder); }
};
using UniqueFolder = std::unique_ptr<DIR, FolderCloser>;

// The Win32 error code that best matches an errno value.
long Win32ErrorFromErrno(int error);

}  // namespace vk::platform
