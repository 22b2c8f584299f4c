// Registry helpers shared by the profile operations: reading a value of any
// size and writing numbers (strings and keys that close themselves are in
// platform/registry.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace vk::profile {

// A value as read: its type and its bytes.
struct RegistryValue {
  uint32_t type = platform::kRegNone;
  std::vector<uint8_t> data;
};

// Reads value `name` of `key` (empty: the default value), first into a buffer
// of `bufferSize` bytes (0: none, so the size is asked first), then again at
// the reported size when it did not fit. With `expand`, a REG_EXPAND_SZ comes
// back with its %NAME% references expanded (the type stays REG_EXPAND_SZ).
// Returns the registry's code; `value` is untouched unless it is 0.
[[nodiscard]] long QueryRegistryValue(platform::RegKey key, std::u16string_view name,
                                      uint32_t bufferSize, bool expand, RegistryValue* value);

// The text of string data: up to its first zero, an odd last byte ignored;
// empty for no data.
std::u16string RegistryValueText(const std::vector<uint8_t>& data);

// Writes a REG_DWORD; the registry's code.
[[nodiscard]] long SetDwordValue(platform::RegKey key, std::u16string_view name, uint32_t number);

}  // namespace vk::profile
