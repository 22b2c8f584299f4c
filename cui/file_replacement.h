// Saves that never leave a half-written target: the new file is written
// beside the target and takes its place only once it is complete, so a
// failed save leaves the old file as it was.
#pragma once

#include <string>
#include <string_view>

namespace vk::cui {

// The path of the new file, beside `target` (same folder, so the final move
// stays on one volume).
[[nodiscard]] std::u16string ReplacementPath(std::u16string_view target);

// When `complete`, moves `replacement` over `target`; otherwise, or when the
// move fails, deletes `replacement`. True when the target holds the new file.
[[nodiscard]] bool CommitReplacement(std::u16string_view replacement, std::u16string_view target,
                                     bool complete);

}  // namespace vk::cui
