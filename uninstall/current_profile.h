// Moving AutoCAD off a profile that the clean-up removes.
#pragma once

#include <string_view>

namespace vk::uninstall {

// When the current profile of the AutoCAD profiles key `profilesKey` (its
// default value, below HKEY_CURRENT_USER) is `product`, makes the first other
// profile that the key lists current, so that AutoCAD does not start in a
// profile that is gone; with `listOnly`, reports that it would. True when
// nothing needs to change or the change is made (or a key without another
// profile is left to AutoCAD, reported); false when the key cannot be read
// or written.
[[nodiscard]] bool LeaveCurrentProfile(std::u16string_view profilesKey, std::u16string_view product,
                                       bool listOnly);

}  // namespace vk::uninstall
