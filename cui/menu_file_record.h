// The menu-file record: which AutoCAD profile a save names as the profile's
// menu file, and the registry key path joined from pieces that it uses.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace vk::cui {

// Remembers the profile that later saves record their path for: the key of
// the AutoCAD product, the profile name and extra access bits for opening
// the key. The record is set only while both texts are given (not null);
// it is process-wide and lasts until changed.
void SetMenuFileRecord(const char16_t* keyPath, const char16_t* profileName, uint32_t extraAccess);

// Sets "MenuFile" of the recorded profile's "General Configuration" key to
// `savedPath`; nothing when no record is set. Failures are not reported.
void WriteMenuFileRecord(std::u16string_view savedPath);

// Joins key-path pieces with single backslashes: one leading "\" or "/" of a
// piece is dropped, and one trailing one is removed after each piece. False
// when the path would exceed kMaxKeyPathLength characters.
inline constexpr size_t kMaxKeyPathLength = 4095;
[[nodiscard]] bool JoinKeyPath(std::initializer_list<std::u16string_view> pieces,
                               std::u16string* path);

// Opens (or with `create`, creates) the key joined from `pieces` under
// HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE, with read or all access plus
// `extraAccess`; null when the path is too long or the registry refuses.
// The caller closes the key.
[[nodiscard]] platform::RegKey OpenRegistryKeyFromParts(
    bool currentUser, bool readOnly, bool create, uint32_t extraAccess,
    std::initializer_list<std::u16string_view> pieces);

}  // namespace vk::cui
