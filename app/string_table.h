// The launcher's Czech string table.
#pragma once

#include <string>

namespace vk::app {

// Message ids that the launcher shows.
inline constexpr unsigned kMsgAcadPathsNotFound = 4;
inline constexpr unsigned kMsgFileNotAccessible = 5;
inline constexpr unsigned kMsgCannotStart = 9;
inline constexpr unsigned kMsgRunAcadFirst = 17;
inline constexpr unsigned kMsgLaunchInProgress = 22;

// The text of string `id` (Windows: the executable's string table; posix:
// the same texts compiled in), empty when there is no such string.
[[nodiscard]] std::u16string LoadMessageText(unsigned id);

}  // namespace vk::app
