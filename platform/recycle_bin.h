// The user's Recycle Bin, from which a person can restore what a clean-up
// removed. Never a permanent delete: what the bin cannot take stays in place.
#pragma once

#include <string_view>

namespace vk::platform {

inline constexpr long kErrorNotSupported = 50;

// Moves the file or folder (with everything in it) at `path`, a full path, to
// the Recycle Bin; posix: the freedesktop trash, $XDG_DATA_HOME/Trash (else
// ~/.local/share/Trash). 0 when it went; kErrorFileNotFound when nothing is
// there; another error, the item left as it was, when it could not be
// recycled (no bin for its volume, a policy, a trash on another device).
[[nodiscard]] long RecycleItem(std::u16string_view path);

}  // namespace vk::platform
