// A clean-up run for the current user: the switches of one request.
#pragma once

#include "uninstall/uninstall_switches.h"

namespace vk::uninstall {

// Runs `request`: the uninstall log of each product it names (the roaming
// application data + "\Kavrin\" + product + "\KvUnInstall.log") is read once,
// before any switch acts; every -p acts first, then every -r removes what its
// log names, then, when all of it is gone, the log, the launch log folder and
// the product's and "Kavrin" folders that are left empty. True when every
// item was handled; false when something stays for a later run (an item the
// Recycle Bin cannot take, a key that cannot be saved or deleted, a log that
// cannot be read).
[[nodiscard]] bool RunUninstallRequest(const UninstallRequest& request);

}  // namespace vk::uninstall
