// Whole registry subtrees: copying, the add-on's AutoCAD profile key made as
// a copy of the user's AutoCAD Architecture profile, exporting and deleting.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/reg_file.h"
#include "platform/registry.h"
#include "settings/settings.h"

namespace vk::profile {

// AutoCAD's profiles key, relative to HKEY_CURRENT_USER: AcadPathReg + "\Profiles".
std::u16string ProfilesKeyPath(const settings::Settings& settings);
// The add-on's profile key below it, relative to HKEY_CURRENT_USER.
std::u16string AddonProfileKeyPath(const settings::Settings& settings);

// Copies every value and subkey of `source` (open with read rights) into
// `destination` (open with write rights), byte for byte; nothing in the
// destination is deleted, and a subkey that cannot be created is skipped with
// its subtree. Returns the code of the last subkey enumeration, so
// kErrorNoMoreItems after a complete copy, or the failed key query's code.
[[nodiscard]] long CopyRegistryTree(platform::RegKey source, platform::RegKey destination);

// Appends `key` (open with read rights), named `path` ("HKEY_CURRENT_USER\..."),
// and every key below it with their values to `keys`, as a .reg file holds
// them. 0, or the code of the first key that could not be read.
[[nodiscard]] long ExportRegistryTree(platform::RegKey key, const std::u16string& path,
                                      std::vector<platform::RegFileKey>* keys);

// Creates the add-on profile key as a copy of the profile preferred for
// LangAbbrev, else of the current profile, without its "Menus" key (when that
// has no subkeys) and without the value that marks express tools' menu as
// loaded; sets ToolPalettePath from the source's "General" key when it has
// one. False, with nothing written, when neither profile exists; true
// otherwise, even when the new key cannot be created.
[[nodiscard]] bool CreateAddonProfileKey(settings::Settings* settings);

// Deletes `path` below `root` with its whole subtree, "/" read as "\". False,
// touching nothing, for a null root, an empty path or one that begins with a
// separator; otherwise whether the deletion succeeded.
[[nodiscard]] bool DeleteRegistryTree(platform::RegKey root, std::u16string_view path);

}  // namespace vk::profile
