// Text as the registry and .reg files hold it, for building fixtures.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "platform/text.h"

namespace vk::test {

// A REG_SZ, REG_EXPAND_SZ or REG_MULTI_SZ value's data: UTF-16LE with the
// terminating zero.
inline std::vector<uint8_t> StoredText(std::u16string_view text) {
  std::u16string withZero(text);
  withZero.push_back(u'\0');
  return platform::StringToUtf16Le(withZero);
}

inline long SetText(platform::RegKey key, std::u16string_view name, std::u16string_view text) {
  const std::vector<uint8_t> data = StoredText(text);
  return platform::SetValue(key, name, platform::kRegSz, data.data(),
                            static_cast<uint32_t>(data.size()));
}

// A file's bytes in UTF-16LE after a byte-order mark, as regedit writes them.
inline std::string Utf16LeFile(std::u16string_view text) {
  const std::vector<uint8_t> bytes = platform::StringToUtf16Le(text);
  return "\xFF\xFE" + std::string(bytes.begin(), bytes.end());
}

}  // namespace vk::test
