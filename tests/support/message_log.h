// The texts of the message boxes a test has shown. Each box's text is appended
// to the file named by VKSTART_MSGBOX_LOG: by the posix primitive itself, and
// under Wine by tools/msgbox_helper, which answers the boxes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tests/support/scoped_env.h"
#include "tests/support/test_paths.h"

namespace vk::test {

// The texts recorded since the last call, oldest first, and empties the log;
// empty when VKSTART_MSGBOX_LOG is not set or its file cannot be read.
std::vector<std::u16string> TakeMessageLog();

// Gives a test a message log that starts empty. When VKSTART_MSGBOX_LOG is
// not set (native runs), it names a file in a fresh folder until the object
// goes away; when it is set (the Windows tests under Wine), that file is used.
class ScopedMessageLog {
 public:
  ScopedMessageLog();

 private:
  TempFolder folder_;
  std::optional<ScopedEnv> variable_;
};

}  // namespace vk::test
