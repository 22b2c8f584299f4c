#include <vector>

#include "tests/support/known_folder_redirect.h"
#include "tests/support/scoped_env.h"

namespace vk::test {

// The posix backend takes the folders from the variables Windows defines.
struct ScopedKnownFolders::Saved {
  std::vector<std::unique_ptr<ScopedEnv>> variables;
};

ScopedKnownFolders::ScopedKnownFolders(const std::u16string& commonFiles,
                                       const std::u16string& commonAppData,
                                       const std::u16string& appData,
                                       const std::u16string& localAppData)
    : saved_(std::make_unique<Saved>()) {
  saved_->variables.push_back(std::make_unique<ScopedEnv>(u"CommonProgramFiles", commonFiles));
  saved_->variables.push_back(std::make_unique<ScopedEnv>(u"ProgramData", commonAppData));
  saved_->variables.push_back(std::make_unique<ScopedEnv>(u"APPDATA", appData));
  saved_->variables.push_back(std::make_unique<ScopedEnv>(u"LOCALAPPDATA", localAppData));
}

ScopedKnownFolders::~ScopedKnownFolders() = default;

}  // namespace vk::test
