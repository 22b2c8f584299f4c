// Placing a file in the user's folders: never over an existing file, never
// left half-written, never read-only.
#pragma once

#include <string>
#include <string_view>

namespace vk::platform {

// Copies `source` to `target`: the data goes to a temporary name beside the
// target first (a stale one of an earlier interrupted copy is removed), is
// made writable and is then moved into place. Without `replace` an existing
// target is never touched: kErrorFileExists, also when it appeared during the
// copy. With it the target is replaced in one step (as ReplaceFileAtomically,
// which refuses a read-only one). The copy's error otherwise; no temporary
// file is left behind.
[[nodiscard]] long PlaceFile(std::u16string_view source, std::u16string_view target, bool replace);

// What PlaceFile appends to a target's name for its temporary file.
inline constexpr char16_t kPlacementSuffix[] = u".vkpart~";
// The temporary name that PlaceFile uses for `target`.
[[nodiscard]] std::u16string PlacementTempPath(std::u16string_view target);

// Whether `path` begins with a single backslash: a path built from an empty
// setting, relative to the root of the current drive, where any user may put
// files. Such a path is never read, written, deleted or imported. A "\\"
// share path is not one of them.
[[nodiscard]] bool BeginsWithBareBackslash(std::u16string_view path);

}  // namespace vk::platform
