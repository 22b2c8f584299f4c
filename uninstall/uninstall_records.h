// The records of a product's uninstall log that the clean-up acts on: only
// the forms the launcher writes, wherever a record came from.
#pragma once

#include <string>
#include <string_view>

namespace vk::uninstall {

enum class ItemKind { kKey, kFolder, kFile };

// Something a record names: a key path below HKEY_CURRENT_USER, or the full
// path of a folder or a file (separators "\", short names expanded).
struct UninstallItem {
  ItemKind kind = ItemKind::kKey;
  std::u16string target;
};

// The user's folders that records may name: the roaming application data.
struct UserFolders {
  std::u16string roamingAppData;
};

// The item of a log line of `product`: "2,0," + "Software\Kavrin\" + product,
// or a key below "Software\" ending in "\Profiles\" + product (letter case
// ignored); "3," + a folder or "4," + a file that IsLaunchersItem accepts.
// False, with `reason`, for any other line, and for one holding "..", "*",
// "?" or a control character.
[[nodiscard]] bool ReadUninstallRecord(std::u16string_view line, std::u16string_view product,
                                       const UserFolders& folders, UninstallItem* item,
                                       std::u16string* reason);

// `path` with "\" for every separator, runs of them as one (a "\\" share's
// start kept), no separator at the end, and short (8.3) names expanded.
[[nodiscard]] std::u16string NormalisedPath(std::u16string_view path);

// Whether `path` is an item the launcher places for `product` in the roaming
// application data `roaming` (both normalised): below "\Kavrin\" + product
// anything, that folder included; below "\Autodesk\" only AutoCAD's per-user
// folder's items of profile/launcher_items.h, of their kind.
[[nodiscard]] bool IsLaunchersItem(std::u16string_view path, ItemKind kind,
                                   std::u16string_view product, std::u16string_view roaming);

// The AutoCAD profiles key of a profile key "...\Profiles\" + product; empty
// when `key` is not one.
[[nodiscard]] std::u16string ProfilesKeyOf(std::u16string_view key, std::u16string_view product);

}  // namespace vk::uninstall
