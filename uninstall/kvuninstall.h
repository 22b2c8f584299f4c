// KVUnInstall: the per-user clean-up that the launcher registers for the
// user's logon. A machine-wide uninstaller cannot reach other users'
// profiles, so each user's traces go at that user's next logon.
#pragma once

#include <string>
#include <vector>

namespace vk::uninstall {

// Exit codes.
inline constexpr int kEverythingHandled = 0;
inline constexpr int kSomethingStays = 1;
inline constexpr int kBadSwitches = 2;

// The program with its arguments (after its path). Without any, the logon
// run: each registered product whose machine key is gone (the open fails
// with "not found", nothing else) and for which the launcher has run on this
// machine (its launch log folder exists) has its switches run, and its value
// removed once every item was handled; with none left, the "Run" value goes.
// With switches, they run at once for the current user, whatever the machine
// key says; with -n nothing changes.
[[nodiscard]] int RunKvUnInstall(const std::vector<std::u16string>& args);

}  // namespace vk::uninstall
