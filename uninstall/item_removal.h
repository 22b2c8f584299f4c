// Removing what one record of an uninstall log names.
#pragma once

#include <string>
#include <string_view>

#include "uninstall/uninstall_records.h"

namespace vk::uninstall {

struct RemovalOptions {
  // Where each deleted key is saved first (a copy goes to the Recycle Bin).
  std::u16string exportFolder;
  // The real location of the roaming application data, normalised; a
  // recorded path must really lie where IsLaunchersItem accepts it.
  std::u16string realRoamingAppData;
  // Reports what a run would do and changes nothing.
  bool listOnly = false;
};

// Removes `item` of `product`, reporting what it did: a key is saved to a
// new .reg file in the export folder and to the Recycle Bin, then deleted
// with its subtree; a file or a folder goes to the Recycle Bin, a link as a
// link (or nowhere), never deleted outright. A `recorded` path (read from a
// log, unlike the clean-up's own traces) is acted on only where its real
// location takes one of the launcher's forms. True when the item is gone, was absent
// already or is not what its record says (outside those forms, a file
// recorded as a folder or the reverse), or with listOnly; false when it
// stays (it cannot be examined, saved, deleted or recycled), so that a later
// run tries again.
[[nodiscard]] bool RemoveItem(const UninstallItem& item, std::u16string_view product,
                              const RemovalOptions& options, bool recorded = true);

}  // namespace vk::uninstall
