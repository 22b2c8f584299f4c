// UTF-8 and UTF-16 conversion for the document code page (UTF-8). The node
// model depends on nothing outside the standard library, so it carries its own.
#pragma once

#include <cstddef>

namespace vk::xml {

// Converts up to `size` bytes, stopping early at a zero byte, into `out`, which
// must hold `size` units; returns the units written. Each maximal invalid
// sequence becomes one U+FFFD, so no ASCII byte is ever swallowed by one.
size_t Utf8ToUtf16(const char* in, size_t size, char16_t* out);

// Converts `count` units into `out`, which must hold 3 bytes per unit; returns
// the bytes written. An unpaired surrogate becomes U+FFFD.
size_t Utf16ToUtf8(const char16_t* in, size_t count, char* out);

}  // namespace vk::xml
