// Text conversions and name comparisons: the one place where the program's
// UTF-16 text meets bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vk::platform {

// UTF-8 to UTF-16; an invalid sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

// UTF-16LE bytes to text; an odd last byte is dropped.
std::u16string Utf16LeToString(const uint8_t* bytes, size_t size);
// Text to UTF-16LE bytes, without a terminating zero.
std::vector<uint8_t> StringToUtf16Le(std::u16string_view text);

// The 8-bit code page of the launcher's own text files: the system ANSI code
// page on Windows, Windows-1250 on posix.
std::u16string CodePageToUtf16(std::string_view bytes);
// Characters the code page cannot hold become "?" (never a look-alike); none
// when the system cannot convert (Windows: an unknown or unusable code page).
[[nodiscard]] std::optional<std::string> Utf16ToCodePage(std::u16string_view text);

// A blank between words of a line: a space or a tab.
[[nodiscard]] bool IsBlank(char16_t c);
inline constexpr std::u16string_view kBlanks = u" \t";
// A path separator: a backslash or a slash.
[[nodiscard]] bool IsSeparator(char16_t c);
// `text` without the characters of `chars` at either end; empty when nothing
// else is left.
[[nodiscard]] std::u16string_view Trim(std::u16string_view text,
                                       std::u16string_view chars = kBlanks);
// The value of a hexadecimal digit of either case; -1 for any other character.
[[nodiscard]] int HexDigit(char16_t c);

// Folds A-Z to a-z and leaves every other character as it is.
char16_t FoldAsciiCase(char16_t c);
std::u16string FoldAsciiCase(std::u16string_view text);
// Comparison with A-Z folded (<0, 0, >0).
int CompareAsciiNoCase(std::u16string_view a, std::u16string_view b);
// Whether `text` begins with `prefix`, A-Z folded; true for an empty prefix.
[[nodiscard]] bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix);

// The registry's comparison of key and value names: letters of every script
// compare without regard to case, as Windows upper-cases them.
int CompareRegistryNames(std::u16string_view a, std::u16string_view b);
bool RegistryNamesEqual(std::u16string_view a, std::u16string_view b);
// Whether `text` begins with `prefix` by the registry's comparison.
[[nodiscard]] bool RegistryNameStartsWith(std::u16string_view text, std::u16string_view prefix);

// Case-insensitive comparison under the user's locale (Windows:
// CompareStringW with NORM_IGNORECASE; posix: the registry's comparison).
int CollateNoCase(std::u16string_view a, std::u16string_view b);

}  // namespace vk::platform
