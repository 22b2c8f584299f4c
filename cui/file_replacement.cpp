#include "cui/file_replacement.h"

#include "cui/save_fault.h"
#include "platform/files.h"
#include "platform/registry.h"

namespace vk::cui {

std::u16string ReplacementPath(std::u16string_view target) {
  std::u16string path(target);
  path += u".vk-save";
  return path;
}

bool CommitReplacement(std::u16string_view replacement, std::u16string_view target, bool complete) {
  if (complete && !SaveStepFails() &&
      platform::ReplaceFileAtomically(replacement, target) == platform::kErrorSuccess) {
    return true;
  }
  [[maybe_unused]] const long removed = platform::RemoveFile(replacement);
  return false;
}

}  // namespace vk::cui
