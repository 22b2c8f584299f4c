// Registry helpers shared by the profile operations: reading a value of any
// size, writing strings and numbers, and keys that close themselves.
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

// The byte size a string value is written with: (characters + 1) x 2, the
// terminating zero included; 2 for the empty string.
uint32_t StringValueSize(std::u16string_view text);

// The text of string data: up to its first zero, an odd last byte ignored;
// empty for no data.
std::u16string RegistryValueText(const std::vector<uint8_t>& data);

// Writes `text` with its terminating zero as a value of string `type`
// (REG_SZ or REG_EXPAND_SZ), StringValueSize bytes; the registry's code.
[[nodiscard]] long SetStringValue(platform::RegKey key, std::u16string_view name, uint32_t type,
                                  std::u16string_view text);
// Writes a REG_DWORD; the registry's code.
[[nodiscard]] long SetDwordValue(platform::RegKey key, std::u16string_view name, uint32_t number);

// An open key that is closed when it goes away (or is reset); null when no
// key is held.
class ScopedKey {
 public:
  ScopedKey() = default;
  ~ScopedKey() { Reset(); }
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;

  platform::RegKey get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }
  // Closes the key held, if any.
  void Reset();
  // Closes the key held and gives the slot an open call fills.
  platform::RegKey* Receive() {
    Reset();
    return &key_;
  }

 private:
  platform::RegKey key_ = nullptr;
};

}  // namespace vk::profile
