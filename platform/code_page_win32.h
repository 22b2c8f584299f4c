// The 8-bit conversion for a given Windows code page, so that every code page
// the system may use as its ANSI one can be tried on any machine.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vk::platform {

// Utf16ToCodePage for `codePage` instead of the system's ANSI code page;
// none when that code page cannot convert.
[[nodiscard]] std::optional<std::string> Utf16ToCodePageOf(unsigned codePage,
                                                           std::u16string_view text);

}  // namespace vk::platform
