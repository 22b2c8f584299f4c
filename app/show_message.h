// The one routine behind every message of the string table the user sees.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace vk::app {

using MessageArgument = std::optional<std::u16string_view>;

// `format` with each "%s" replaced by the next argument in order ("" once
// they run out) and "%%" by "%"; every other character is kept.
[[nodiscard]] std::u16string FormatText(std::u16string_view format,
                                        std::initializer_list<std::u16string_view> args);

// Error numbers in messages: hexadecimal, lower case, no prefix.
[[nodiscard]] std::u16string HexNumber(uint32_t number);

// Shows string `id` in a box without an owner, captioned "VELKOR", with
// `style`, and returns the button pressed. No first argument: the text
// unchanged; all three: formatted with third, first, second; otherwise with
// first and, when given, second. A missing id shows an empty text.
int ShowMessage(unsigned id, uint32_t style, MessageArgument first = std::nullopt,
                MessageArgument second = std::nullopt, MessageArgument third = std::nullopt);

}  // namespace vk::app
