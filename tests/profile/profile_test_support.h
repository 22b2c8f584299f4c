// Shared pieces of the profile tests: the registry area they work in, reading
// it back, and script files in both encodings.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "platform/text.h"
#include "profile/registry_access.h"
#include "settings/settings.h"
#include "tests/support/registry_bytes.h"
#include "tests/support/test_paths.h"

namespace vk::profile::test {

namespace pf = vk::platform;

// Every test writes below this key (and the add-on's own user key), and
// removes both before and after it runs.
inline constexpr char16_t kTestKey[] = u"Software\\VkTestProfile";
inline constexpr char16_t kAcadPathReg[] = u"Software\\VkTestProfile\\Acad\\R24.3\\ACAD-7100:405";

inline void DeleteTestKeys() {
  for (const char16_t* path : {kTestKey, settings::kAddonKeyPath}) {
    [[maybe_unused]] const long deleted = pf::DeleteKeyTree(pf::CurrentUserRoot(), path);
  }
}

class RegistryTest : public testing::Test {
 protected:
  void SetUp() override { DeleteTestKeys(); }
  void TearDown() override { DeleteTestKeys(); }
};

inline bool KeyExists(std::u16string_view path) {
  pf::ScopedKey key;
  return pf::OpenKey(pf::CurrentUserRoot(), path, pf::kKeyRead, key.Receive()) == pf::kErrorSuccess;
}

// The value at a key path below HKEY_CURRENT_USER; false when it is missing.
inline bool ReadValue(std::u16string_view path, std::u16string_view name, RegistryValue* value) {
  pf::ScopedKey key;
  return pf::OpenKey(pf::CurrentUserRoot(), path, pf::kKeyRead, key.Receive()) ==
             pf::kErrorSuccess &&
         QueryRegistryValue(key.get(), name, 0, false, value) == pf::kErrorSuccess;
}

// A string value's text, or "<missing>".
inline std::u16string ReadText(std::u16string_view path, std::u16string_view name) {
  RegistryValue value;
  if (!ReadValue(path, name, &value)) return u"<missing>";
  return RegistryValueText(value.data);
}

// A REG_DWORD's number; -1 when the value is missing or of another type.
inline int64_t ReadNumber(std::u16string_view path, std::u16string_view name) {
  RegistryValue value;
  if (!ReadValue(path, name, &value) || value.type != pf::kRegDword || value.data.size() != 4)
    return -1;
  return value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
         (int64_t{value.data[3]} << 24);
}

inline std::u16string Hex(const std::vector<uint8_t>& data) {
  static constexpr char16_t kDigits[] = u"0123456789abcdef";
  std::u16string out;
  for (uint8_t b : data) {
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

// Every key and value below `key`, one sorted line each ("sub\key|" for a key,
// "sub\key|name|type|bytes" for a value); names are folded to lower case for
// A-Z so that copies compare whatever case the store keeps.
inline void AppendSnapshot(pf::RegKey key, const std::u16string& prefix,
                           std::vector<std::u16string>* lines) {
  pf::RegKeyInfo info;
  if (pf::QueryKeyInfo(key, &info) != pf::kErrorSuccess) return;
  lines->push_back(pf::FoldAsciiCase(prefix) + u"|");
  std::vector<char16_t> name(std::max(info.maxValueNameLength, info.maxSubkeyLength) + 1);
  std::vector<uint8_t> data(info.maxValueDataSize + 1);
  for (uint32_t i = 0;; ++i) {
    uint32_t chars = static_cast<uint32_t>(name.size());
    uint32_t size = static_cast<uint32_t>(data.size());
    uint32_t type = 0;
    if (pf::EnumValue(key, i, name.data(), &chars, &type, data.data(), &size) !=
        pf::kErrorSuccess) {
      break;
    }
    lines->push_back(pf::FoldAsciiCase(prefix) + u"|" +
                     pf::FoldAsciiCase(std::u16string_view(name.data(), chars)) + u"|" +
                     static_cast<char16_t>(u'0' + type) + u"|" +
                     Hex(std::vector<uint8_t>(data.begin(), data.begin() + size)));
  }
  for (uint32_t i = 0;; ++i) {
    uint32_t chars = static_cast<uint32_t>(name.size());
    if (pf::EnumSubkey(key, i, name.data(), &chars, nullptr, nullptr) != pf::kErrorSuccess) break;
    const std::u16string subkey(name.data(), chars);
    pf::ScopedKey child;
    if (pf::OpenKey(key, subkey, pf::kKeyRead, child.Receive()) != pf::kErrorSuccess) continue;
    AppendSnapshot(child.get(), prefix + u"\\" + subkey, lines);
  }
}

// The snapshot of the key at `path` below HKEY_CURRENT_USER; empty when it is missing.
inline std::vector<std::u16string> Snapshot(std::u16string_view path) {
  std::vector<std::u16string> lines;
  pf::ScopedKey key;
  if (pf::OpenKey(pf::CurrentUserRoot(), path, pf::kKeyRead, key.Receive()) == pf::kErrorSuccess) {
    AppendSnapshot(key.get(), u"", &lines);
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

enum class ScriptEncoding { kUtf16Le, kCodePage };

inline const char* EncodingName(ScriptEncoding encoding) {
  return encoding == ScriptEncoding::kUtf16Le ? "Utf16Le" : "CodePage";
}

// The bytes of a script file: UTF-16LE after its byte-order mark, or the
// 8-bit code page without one.
inline std::string ScriptBytes(std::u16string_view text, ScriptEncoding encoding) {
  if (encoding == ScriptEncoding::kCodePage) return pf::Utf16ToCodePage(text).value();
  return vk::test::Utf16LeFile(text);
}

inline void WriteScript(std::u16string_view path, std::u16string_view text,
                        ScriptEncoding encoding = ScriptEncoding::kUtf16Le) {
  ASSERT_TRUE(vk::test::WriteWholeFile(path, ScriptBytes(text, encoding)));
}

}  // namespace vk::profile::test
