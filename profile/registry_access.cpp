#include "profile/registry_access.h"

#include "platform/known_folders.h"
#include "platform/text.h"

namespace vk::profile {

using platform::kErrorMoreData;
using platform::kErrorSuccess;

long QueryRegistryValue(platform::RegKey key, std::u16string_view name, uint32_t bufferSize,
                        bool expand, RegistryValue* value) {
  std::vector<uint8_t> buffer(bufferSize);
  uint32_t type = platform::kRegNone;
  uint32_t size = bufferSize;
  long result =
      platform::QueryValue(key, name, &type, bufferSize == 0 ? nullptr : buffer.data(), &size);
  if (result == kErrorMoreData || (result == kErrorSuccess && bufferSize == 0)) {
    buffer.assign(size, 0);
    result = platform::QueryValue(key, name, &type, size == 0 ? nullptr : buffer.data(), &size);
  }
  if (result != kErrorSuccess) return result;
  buffer.resize(size);

  if (expand && type == platform::kRegExpandSz) {
    const std::u16string expanded = platform::ExpandEnvironmentVariables(RegistryValueText(buffer));
    buffer = platform::StringToUtf16Le(expanded);
    buffer.insert(buffer.end(), {0, 0});
  }
  value->type = type;
  value->data = std::move(buffer);
  return kErrorSuccess;
}

std::u16string RegistryValueText(const std::vector<uint8_t>& data) {
  std::u16string text = platform::Utf16LeToString(data.data(), data.size());
  const size_t zero = text.find(u'\0');
  if (zero != std::u16string::npos) text.resize(zero);
  return text;
}

long SetDwordValue(platform::RegKey key, std::u16string_view name, uint32_t number) {
  const uint8_t data[4] = {static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8),
                           static_cast<uint8_t>(number >> 16), static_cast<uint8_t>(number >> 24)};
  return platform::SetValue(key, name, platform::kRegDword, data, sizeof data);
}

}  // namespace vk::profile
