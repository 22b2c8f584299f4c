#include "platform/registry.h"

#include <vector>

#include "platform/text.h"

namespace vk::platform {

uint32_t StringValueSize(std::u16string_view text) {
  return static_cast<uint32_t>((text.size() + 1) * 2);
}

long SetStringValue(RegKey key, std::u16string_view name, uint32_t type, std::u16string_view text) {
  std::vector<uint8_t> data = StringToUtf16Le(text);
  data.insert(data.end(), {0, 0});
  return SetValue(key, name, type, data.data(), StringValueSize(text));
}

void ScopedKey::Reset() {
  if (key_ != nullptr) CloseKey(key_);
  key_ = nullptr;
}

}  // namespace vk::platform
