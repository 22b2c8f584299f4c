// UTF-8 and UTF-16 conversion for the document code page (UTF-8). The node
// model depends on nothing outside the standard library, so it carries its own.
#pragma once

#include <cstddef>
#include <string_view>

namespace vk::xml {

// Result of Utf8ToUtf16 for bytes that are not valid UTF-8.
inline constexpr size_t kInvalidText = static_cast<size_t>(-1);

// Converts `size` bytes into `out`, which must hold `size` units: the units
// written, or kInvalidText when the bytes hold a sequence that is not UTF-8
// (a stray or missing continuation byte, an overlong form, an encoded
// surrogate, a code point beyond U+10FFFF). Nothing is ever replaced, so a
// conversion can never lose the bytes it was given.
[[nodiscard]] size_t Utf8ToUtf16(const char* in, size_t size, char16_t* out);

// True when every surrogate of the text is part of a pair.
[[nodiscard]] bool IsUtf16(std::u16string_view text);

// Converts `count` units into `out`, which must hold 3 bytes per unit; returns
// the bytes written. An unpaired surrogate becomes U+FFFD.
size_t Utf16ToUtf8(const char16_t* in, size_t count, char* out);

}  // namespace vk::xml
