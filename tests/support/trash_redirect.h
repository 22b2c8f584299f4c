// Points the user's Recycle Bin at a test's own folder: the freedesktop trash
// that the posix backend and Wine both use, found through XDG_DATA_HOME,
// which programs started by the test inherit.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tests/support/scoped_env.h"

namespace vk::test {

class ScopedTrash {
 public:
  // The trash becomes `dataFolder` + "\Trash".
  explicit ScopedTrash(const std::u16string& dataFolder);

  // Whether the trash could be moved (Windows: only under Wine, whose trash
  // this is).
  bool active() const { return variable_.has_value(); }
  // The names of the items in the trash, sorted.
  std::vector<std::u16string> Items() const;

 private:
  std::u16string dataFolder_;
  std::optional<ScopedEnv> variable_;
};

// The Unix path of a path of this process (posix: itself; Windows: through
// Wine's own call); empty when there is none.
std::u16string UnixPathOf(const std::u16string& path);

}  // namespace vk::test
