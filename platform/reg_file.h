// The "Windows Registry Editor Version 5.00" file format that regedit and
// `reg export` write: read from UTF-16LE (with a byte-order mark) or UTF-8,
// written as UTF-16LE with a byte-order mark and CR LF line ends.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vk::platform {

// One `"name"=data` line: data exactly as the registry stores it (a REG_SZ is
// UTF-16LE with its terminating zero). An empty name is the default value.
struct RegFileValue {
  std::u16string name;
  bool remove = false;  // "name"=-
  uint32_t type = 0;
  std::vector<uint8_t> data;

  bool operator==(const RegFileValue&) const = default;
};

// One `[key]` section: the full path from its root name
// ("HKEY_CURRENT_USER\Software\X"), and the value lines below it.
struct RegFileKey {
  std::u16string path;
  bool remove = false;  // [-key]: delete the key with its subtree
  std::vector<RegFileValue> values;

  bool operator==(const RegFileKey&) const = default;
};

// Why a file could not be read: the 1-based line and what is wrong there.
struct RegFileError {
  uint32_t line = 0;
  std::u16string reason;

  // "line 12: reason".
  std::u16string Describe() const;
};

// The root names a key path may start with, in their canonical spelling.
inline constexpr std::u16string_view kRegRootNames[] = {u"HKEY_CLASSES_ROOT", u"HKEY_CURRENT_USER",
                                                        u"HKEY_LOCAL_MACHINE", u"HKEY_USERS"};

// Windows' limit on how deep a key lies below its root; a file with a deeper
// key is refused.
inline constexpr size_t kMaxRegKeyDepth = 512;

// Parses a whole file. On failure returns false, leaves `keys` empty and
// fills `error`; nothing of a bad file is ever returned.
[[nodiscard]] bool ReadRegFile(std::string_view bytes, std::vector<RegFileKey>* keys,
                               RegFileError* error);

enum class RegFileEncoding { kUtf16Le, kUtf8 };

// The file's bytes: header, then each key with its values and a blank line
// between keys, long hex data wrapped as regedit wraps it. UTF-16LE starts
// with a byte-order mark; UTF-8 has none.
std::string WriteRegFile(const std::vector<RegFileKey>& keys,
                         RegFileEncoding encoding = RegFileEncoding::kUtf16Le);

}  // namespace vk::platform
