// <windows.h> must come before the other Windows headers.
#include <windows.h>

#include <shlwapi.h>

#include <string>

#include "platform/registry.h"
#include "platform/wide_win32.h"

namespace vk::platform {
namespace {

HKEY ToHkey(RegKey key) {
  return reinterpret_cast<HKEY>(key);
}
RegKey ToRegKey(HKEY key) {
  return reinterpret_cast<RegKey>(key);
}

bool IsRoot(RegKey key) {
  return ToHkey(key) == HKEY_CURRENT_USER || ToHkey(key) == HKEY_LOCAL_MACHINE;
}

}  // namespace

RegKey CurrentUserRoot() {
  return ToRegKey(HKEY_CURRENT_USER);
}
RegKey LocalMachineRoot() {
  return ToRegKey(HKEY_LOCAL_MACHINE);
}

long OpenKey(RegKey parent, std::u16string_view subkey, uint32_t access, RegKey* key) {
  if (parent == nullptr) return kErrorInvalidHandle;
  if (key == nullptr) return kErrorInvalidParameter;
  HKEY opened = nullptr;
  const LONG result = RegOpenKeyExW(ToHkey(parent), Wide(subkey).c_str(), 0, access, &opened);
  if (result == ERROR_SUCCESS) *key = ToRegKey(opened);
  return result;
}

long CreateKey(RegKey parent, std::u16string_view subkey, uint32_t access, RegKey* key,
               uint32_t* disposition) {
  if (parent == nullptr) return kErrorInvalidHandle;
  if (key == nullptr) return kErrorInvalidParameter;
  HKEY created = nullptr;
  DWORD how = 0;
  const LONG result = RegCreateKeyExW(ToHkey(parent), Wide(subkey).c_str(), 0, nullptr,
                                      REG_OPTION_NON_VOLATILE, access, nullptr, &created, &how);
  if (result == ERROR_SUCCESS) {
    *key = ToRegKey(created);
    if (disposition != nullptr) *disposition = how;
  }
  return result;
}

long CloseKey(RegKey key) {
  if (key == nullptr) return kErrorInvalidHandle;
  if (IsRoot(key)) return kErrorSuccess;
  return RegCloseKey(ToHkey(key));
}

long QueryValue(RegKey key, std::u16string_view name, uint32_t* type, uint8_t* data,
                uint32_t* size) {
  if (key == nullptr) return kErrorInvalidHandle;
  if (data != nullptr && size == nullptr) return kErrorInvalidParameter;
  DWORD gotType = 0;
  DWORD gotSize = size != nullptr ? *size : 0;
  const LONG result = RegQueryValueExW(ToHkey(key), Wide(name).c_str(), nullptr, &gotType, data,
                                       size != nullptr ? &gotSize : nullptr);
  if (result == ERROR_SUCCESS) {
    if (type != nullptr) *type = gotType;
    if (size != nullptr) *size = gotSize;
  } else if (result == ERROR_MORE_DATA && size != nullptr) {
    *size = gotSize;
  }
  return result;
}

long SetValue(RegKey key, std::u16string_view name, uint32_t type, const uint8_t* data,
              uint32_t size) {
  if (key == nullptr) return kErrorInvalidHandle;
  if (data == nullptr && size != 0) return kErrorInvalidParameter;
  return RegSetValueExW(ToHkey(key), Wide(name).c_str(), 0, type, data, size);
}

long DeleteValue(RegKey key, std::u16string_view name) {
  if (key == nullptr) return kErrorInvalidHandle;
  return RegDeleteValueW(ToHkey(key), Wide(name).c_str());
}

long EnumValue(RegKey key, uint32_t index, char16_t* name, uint32_t* nameChars, uint32_t* type,
               uint8_t* data, uint32_t* dataSize) {
  if (key == nullptr) return kErrorInvalidHandle;
  if (name == nullptr || nameChars == nullptr || (data != nullptr && dataSize == nullptr)) {
    return kErrorInvalidParameter;
  }
  DWORD gotChars = *nameChars;
  DWORD gotType = 0;
  DWORD gotSize = dataSize != nullptr ? *dataSize : 0;
  const LONG result = RegEnumValueW(ToHkey(key), index, WideBuffer(name), &gotChars, nullptr,
                                    &gotType, data, dataSize != nullptr ? &gotSize : nullptr);
  if (result == ERROR_SUCCESS) {
    *nameChars = gotChars;
    if (type != nullptr) *type = gotType;
    if (dataSize != nullptr) *dataSize = gotSize;
  } else if (result == ERROR_MORE_DATA && dataSize != nullptr) {
    *dataSize = gotSize;
  }
  return result;
}

long EnumSubkey(RegKey key, uint32_t index, char16_t* name, uint32_t* nameChars,
                char16_t* className, uint32_t* classChars) {
  if (key == nullptr) return kErrorInvalidHandle;
  if (name == nullptr || nameChars == nullptr) return kErrorInvalidParameter;
  const bool wantsClass = className != nullptr && classChars != nullptr;
  DWORD gotChars = *nameChars;
  DWORD gotClassChars = wantsClass ? *classChars : 0;
  const LONG result = RegEnumKeyExW(ToHkey(key), index, WideBuffer(name), &gotChars, nullptr,
                                    wantsClass ? WideBuffer(className) : nullptr,
                                    wantsClass ? &gotClassChars : nullptr, nullptr);
  if (result == ERROR_SUCCESS) {
    *nameChars = gotChars;
    if (wantsClass) *classChars = gotClassChars;
  }
  return result;
}

long QueryKeyInfo(RegKey key, RegKeyInfo* info) {
  if (key == nullptr) return kErrorInvalidHandle;
  if (info == nullptr) return kErrorInvalidParameter;
  DWORD subkeys = 0, maxSubkey = 0, maxClass = 0, values = 0, maxValueName = 0, maxValueData = 0;
  const LONG result =
      RegQueryInfoKeyW(ToHkey(key), nullptr, nullptr, nullptr, &subkeys, &maxSubkey, &maxClass,
                       &values, &maxValueName, &maxValueData, nullptr, nullptr);
  if (result == ERROR_SUCCESS)
    *info = {subkeys, maxSubkey, maxClass, values, maxValueName, maxValueData};
  return result;
}

long DeleteKey(RegKey parent, std::u16string_view subkey) {
  if (parent == nullptr) return kErrorInvalidHandle;
  return RegDeleteKeyW(ToHkey(parent), Wide(subkey).c_str());
}

long DeleteKeyTree(RegKey parent, std::u16string_view subkey) {
  if (parent == nullptr) return kErrorInvalidHandle;
  return static_cast<long>(SHDeleteKeyW(ToHkey(parent), Wide(subkey).c_str()));
}

}  // namespace vk::platform
