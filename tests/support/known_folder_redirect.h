// Points the known folders somewhere else for the length of a test; a path
// that does not exist makes that folder missing. Without a local application
// data folder the posix backend has none (no launch log), while Windows keeps
// its own.
#pragma once

#include <memory>
#include <string>

namespace vk::test {

class ScopedKnownFolders {
 public:
  ScopedKnownFolders(const std::u16string& commonFiles, const std::u16string& commonAppData,
                     const std::u16string& appData, const std::u16string& localAppData = {});
  ~ScopedKnownFolders();
  ScopedKnownFolders(const ScopedKnownFolders&) = delete;
  ScopedKnownFolders& operator=(const ScopedKnownFolders&) = delete;

 private:
  struct Saved;
  std::unique_ptr<Saved> saved_;
};

}  // namespace vk::test
