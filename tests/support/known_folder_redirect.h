// Points the three known folders somewhere else for the length of a test; a
// path that does not exist makes that folder missing.
#pragma once

#include <memory>
#include <string>

namespace vk::test {

class ScopedKnownFolders {
 public:
  ScopedKnownFolders(const std::u16string& commonFiles, const std::u16string& commonAppData,
                     const std::u16string& appData);
  ~ScopedKnownFolders();
  ScopedKnownFolders(const ScopedKnownFolders&) = delete;
  ScopedKnownFolders& operator=(const ScopedKnownFolders&) = delete;

 private:
  struct Saved;
  std::unique_ptr<Saved> saved_;
};

}  // namespace vk::test
