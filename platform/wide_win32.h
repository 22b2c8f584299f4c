// The program's UTF-16 text as the wide Win32 API takes it (wchar_t is two
// bytes on Windows): the one place of these casts for the platform layer.
#pragma once

#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == 2);

namespace vk::platform {

// The longest path the wide API takes; no file has a longer one.
inline constexpr size_t kLongestWidePath = 32767;

// A zero-terminated copy, for calls that take a string without its length.
inline std::wstring Wide(std::u16string_view text) {
  return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

// The same characters in place; zero-terminated only when `text` is (a
// std::u16string's c_str(), for one).
inline const wchar_t* WideData(std::u16string_view text) {
  return reinterpret_cast<const wchar_t*>(text.data());
}

// A caller's buffer for the API to fill.
inline wchar_t* WideBuffer(char16_t* buffer) {
  return reinterpret_cast<wchar_t*>(buffer);
}

}  // namespace vk::platform
