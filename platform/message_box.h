// The one primitive behind every message the user sees.
#pragma once

#include <cstdint>
#include <string_view>

namespace vk::platform {

inline constexpr uint32_t kMbIconError = 0x10;
inline constexpr uint32_t kMbIconInformation = 0x40;
inline constexpr int kIdOk = 1;

// Shows a modal message box without an owner window and returns the button
// pressed (posix: writes the caption and text to standard error, returns OK).
int ShowMessageBox(std::u16string_view text, std::u16string_view caption, uint32_t style);

}  // namespace vk::platform
