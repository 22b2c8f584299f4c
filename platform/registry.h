// The Windows registry, as the launcher uses it. Every call returns the Win32
// error code (0 on success); out-parameters are left untouched on failure,
// except that a read that does not fit returns kErrorMoreData with the needed
// size. The win32 backend is the real registry; the posix backend is a store
// kept in a .reg file (see registry_store.h).
#pragma once

#include <cstdint>
#include <string_view>

namespace vk::platform {

// Win32 error codes that callers and tests name.
inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorInvalidHandle = 6;
inline constexpr long kErrorNotEnoughMemory = 8;
inline constexpr long kErrorInvalidParameter = 87;
// A key path that begins with a backslash.
inline constexpr long kErrorBadPathname = 161;
inline constexpr long kErrorMoreData = 234;
inline constexpr long kErrorNoMoreItems = 259;
// A call through a handle whose key was deleted meanwhile.
inline constexpr long kErrorKeyDeleted = 1018;

// Access rights.
inline constexpr uint32_t kKeyQueryValue = 0x0001;
inline constexpr uint32_t kKeySetValue = 0x0002;
inline constexpr uint32_t kKeyCreateSubKey = 0x0004;
inline constexpr uint32_t kKeyEnumerateSubKeys = 0x0008;
inline constexpr uint32_t kKeyRead = 0x20019;
inline constexpr uint32_t kKeyWrite = 0x20006;
inline constexpr uint32_t kKeyAllAccess = 0xF003F;

// Value types.
inline constexpr uint32_t kRegNone = 0;
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;
inline constexpr uint32_t kRegMultiSz = 7;
inline constexpr uint32_t kRegQword = 11;

// Dispositions reported by CreateKey.
inline constexpr uint32_t kRegCreatedNewKey = 1;
inline constexpr uint32_t kRegOpenedExistingKey = 2;

// An open key; the two roots are predefined and never closed.
struct RegKeyHandle;
using RegKey = RegKeyHandle*;
RegKey CurrentUserRoot();
RegKey LocalMachineRoot();

// Opens an existing key; an empty subkey opens `parent` itself again.
[[nodiscard]] long OpenKey(RegKey parent, std::u16string_view subkey, uint32_t access, RegKey* key);
// Creates a key with its missing ancestors, or opens it when it exists;
// `disposition` may be null.
[[nodiscard]] long CreateKey(RegKey parent, std::u16string_view subkey, uint32_t access,
                             RegKey* key, uint32_t* disposition);
// Closes a key opened by OpenKey or CreateKey; closing a root does nothing.
long CloseKey(RegKey key);

// Reads a value (empty name: the default value). `type` and `data` may be null;
// with null data `size` receives the needed byte size. A buffer that is too
// small gives kErrorMoreData and the needed size in `size`.
[[nodiscard]] long QueryValue(RegKey key, std::u16string_view name, uint32_t* type, uint8_t* data,
                              uint32_t* size);
// Writes a value of any type, byte for byte.
[[nodiscard]] long SetValue(RegKey key, std::u16string_view name, uint32_t type,
                            const uint8_t* data, uint32_t size);
// Deletes one value; kErrorFileNotFound when it does not exist.
[[nodiscard]] long DeleteValue(RegKey key, std::u16string_view name);

// Value number `index`: its name into `name` (capacity `*nameChars` characters
// with the terminating zero; on success `*nameChars` is the length without it),
// and, as QueryValue does, its type and data. kErrorNoMoreItems past the last.
[[nodiscard]] long EnumValue(RegKey key, uint32_t index, char16_t* name, uint32_t* nameChars,
                             uint32_t* type, uint8_t* data, uint32_t* dataSize);
// Subkey number `index`, with its class (may be null; posix keys have none).
// Same buffer rules as EnumValue; kErrorNoMoreItems past the last.
[[nodiscard]] long EnumSubkey(RegKey key, uint32_t index, char16_t* name, uint32_t* nameChars,
                              char16_t* className, uint32_t* classChars);

// Counts and longest lengths (characters without the zero; data in bytes).
struct RegKeyInfo {
  uint32_t subkeys = 0;
  uint32_t maxSubkeyLength = 0;
  uint32_t maxClassLength = 0;
  uint32_t values = 0;
  uint32_t maxValueNameLength = 0;
  uint32_t maxValueDataSize = 0;
};
[[nodiscard]] long QueryKeyInfo(RegKey key, RegKeyInfo* info);

// Deletes a key that has no subkeys (kErrorAccessDenied when it has some).
[[nodiscard]] long DeleteKey(RegKey parent, std::u16string_view subkey);
// Deletes a key with its whole subtree; kErrorFileNotFound when it is missing.
[[nodiscard]] long DeleteKeyTree(RegKey parent, std::u16string_view subkey);

// The byte size a string value is written with: (characters + 1) x 2, the
// terminating zero included; 2 for the empty string.
uint32_t StringValueSize(std::u16string_view text);
// Writes `text` with its terminating zero as a value of string `type`
// (REG_SZ or REG_EXPAND_SZ), StringValueSize bytes; the registry's code.
[[nodiscard]] long SetStringValue(RegKey key, std::u16string_view name, uint32_t type,
                                  std::u16string_view text);

// An open key that is closed when it goes away (or is reset); null when no
// key is held.
class ScopedKey {
 public:
  ScopedKey() = default;
  // Takes over `key`, as returned by an open call; null holds nothing.
  explicit ScopedKey(RegKey key) : key_(key) {}
  ~ScopedKey() { Reset(); }
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;

  RegKey get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }
  // Closes the key held, if any.
  void Reset();
  // Closes the key held and gives the slot an open call fills.
  RegKey* Receive() {
    Reset();
    return &key_;
  }

 private:
  RegKey key_ = nullptr;
};

}  // namespace vk::platform
