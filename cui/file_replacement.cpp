#include "cui/file_replacement.h"

#include "cui/save_fault.h"
#include "platform/fail_on_exception.h"
#include "platform/files.h"
#include "platform/registry.h"

namespace vk::cui {

FileReplacement PlanReplacement(std::u16string_view path) {
  FileReplacement files{platform::SaveTargetPath(path), {}};
  files.replacement = files.target + u".vk-save";
  return files;
}

bool CommitReplacement(const FileReplacement& files, bool complete) {
  // Out of memory while moving fails the save like any failed move, and the
  // new file is still removed.
  using platform::FailOnException;
  using platform::kErrorNotEnoughMemory;
  if (complete && !SaveStepFails() && FailOnException(kErrorNotEnoughMemory, [&] {
                                        return platform::ReplaceFileAtomically(files.replacement,
                                                                               files.target);
                                      }) == platform::kErrorSuccess) {
    return true;
  }
  [[maybe_unused]] const long removed = FailOnException(
      kErrorNotEnoughMemory, [&] { return platform::RemoveFile(files.replacement); });
  return false;
}

}  // namespace vk::cui
