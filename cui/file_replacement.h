// Saves that never leave a half-written target: the new file is written
// beside the target and takes its place only once it is complete, so a
// failed save leaves the old file as it was.
#pragma once

#include <string>
#include <string_view>

namespace vk::cui {

// Where one save writes.
struct FileReplacement {
  std::u16string target;  // the file replaced (a symbolic link followed)
  std::u16string
      replacement;  // the new file, beside the target, so the final move stays on one volume
};

// The files of a save of `path`.
[[nodiscard]] FileReplacement PlanReplacement(std::u16string_view path);

// When `complete`, moves the replacement over the target; otherwise, or when
// the move fails (a read-only target, for one), deletes the replacement. True
// when the target holds the new file.
[[nodiscard]] bool CommitReplacement(const FileReplacement& files, bool complete);

}  // namespace vk::cui
