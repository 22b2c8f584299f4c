// Removing what one record of an uninstall log names.
#pragma once

#include <string>
#include <string_view>

#include "uninstall/uninstall_records.h"

namespace vk::uninstall {

// Removes `item` of `product`, reporting what it did: a key is saved to a
// new .reg file in `exportFolder` and then deleted with its subtree; a file
// or a folder goes to the Recycle Bin, never deleted outright. With
// `listOnly` it reports what it would do and changes nothing. True when the
// item is gone, was gone already or is not what its record says (a file
// recorded as a folder, or the reverse), or with `listOnly`; false when it
// stays (a key that could not be saved or deleted, an item the bin cannot
// take), so that a later run tries again.
[[nodiscard]] bool RemoveItem(const UninstallItem& item, std::u16string_view product,
                              std::u16string_view exportFolder, bool listOnly);

}  // namespace vk::uninstall
