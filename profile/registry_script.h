// Registry script files: profile settings written once for every machine as
// text that looks like a registry export, imported under HKEY_CURRENT_USER.
// Header lines "{OPTIONS:...}" select blocks by the installed editions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/settings.h"

namespace vk::profile {

// What a value line asks to write: a REG_SZ `text` or a REG_DWORD `number`
// under `name` (empty: the key's default value).
struct ScriptValue {
  std::u16string name;
  uint32_t type = 0;
  std::u16string text;
  uint32_t number = 0;
};

// Splits a value line at its first "=": the name loses spaces and quotes at
// both ends ("@" is the default value); a value text holding "dword" is a
// REG_DWORD read in hexadecimal after "dword:" (0 without digits, 0xFFFFFFFF
// beyond 32 bits); any other is a REG_SZ that loses all quotes at both ends.
// False for a line without "=".
[[nodiscard]] bool ParseValueLine(std::u16string_view line, ScriptValue* value);

// Whether a block with this options text is active for the edition bits: "&"
// (and), "|" (or) or "!" (not) before D, A and H, searched in that order for
// each letter, exact case, anywhere in the text. No condition at all: active;
// a violated one: inactive; three satisfied and/not conditions: active;
// otherwise active when an or-condition hit.
[[nodiscard]] bool OptionsMatch(std::u16string_view options, uint32_t editionFlags);

// Imports the script at `path`: UTF-16LE after a byte-order mark FF FE, the
// 8-bit code page otherwise; placeholders replaced from `settings` before a
// line is read. False, with nothing written, when the file cannot be opened
// or read; otherwise true, whatever was written.
[[nodiscard]] bool ImportRegistryScript(std::u16string_view path,
                                        const settings::Settings& settings, uint32_t editionFlags);

// What an import did: values written, and lines of active blocks that could
// not be applied (each named in the launch log, the first few by text).
struct ScriptImportCounts {
  int written = 0;
  int refused = 0;
};

// Imports a script's bytes exactly as a file holds them.
ScriptImportCounts ImportRegistryScriptBytes(std::string_view bytes,
                                             const settings::Settings& settings,
                                             uint32_t editionFlags);

}  // namespace vk::profile
