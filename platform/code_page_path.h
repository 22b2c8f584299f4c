// The uninstall log's text: 8-bit lines that a separate uninstaller reads
// with the system code page. Every part that writes or looks up a log line
// goes through this one routine, so a line written by one is found by another.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vk::platform {

// `line` in the 8-bit code page of text.h. When the code page cannot hold a
// character of the path in the line (from a drive root "X:\" or a "\\" share
// on), each path component holding such a character is written in its short
// (8.3) name, which names the same file; a component without one (posix has
// none, nor has a file that does not exist) keeps "?" for each such character.
// None when the conversion fails.
[[nodiscard]] std::optional<std::string> PathLineToCodePage(std::u16string_view line);

// `path` with each short (8.3) component of its existing part replaced by the
// long name (the part that does not exist follows as written); posix, which
// keeps no short names, gives `path` itself.
[[nodiscard]] std::u16string LongPathName(std::u16string_view path);

// The short (8.3) name of the last component of an existing path, as the file
// system reports it; false when there is none.
[[nodiscard]] bool ShortComponentName(std::u16string_view path, std::u16string* name);

}  // namespace vk::platform
