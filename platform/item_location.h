// Where a file or folder really is: what a clean-up decides by, since a path's
// text says nothing of the links and junctions on its way.
#pragma once

#include <string>
#include <string_view>

namespace vk::platform {

struct ItemLocation {
  // The real path of the item's folder (every link and junction on the way
  // resolved) + "\" + the item's own name as the folder lists it.
  std::u16string realPath;
  bool isFolder = false;  // a folder itself, not a link to one
  bool isLink = false;    // a symbolic link or junction, never followed
};

// Examines the item at `path`, a full path: kErrorSuccess with its location;
// kErrorFileNotFound or kErrorPathNotFound when it or a folder on its way is
// absent; any other error (a name too long, access denied) when it cannot be
// examined.
[[nodiscard]] long LocateItem(std::u16string_view path, ItemLocation* location);

// The real path of an existing folder, every link on the way resolved.
[[nodiscard]] long RealFolderPath(std::u16string_view folder, std::u16string* real);

}  // namespace vk::platform
