// Symbolic links for tests of what a link may lead to.
#pragma once

#include <string>

namespace vk::test {

// Makes `link` a symbolic link to the folder or file `target` (paths of this
// process). Posix: symlink(2). Wine 8 makes no links itself, so the Windows
// build asks the test harness (scripts/wine-tests.sh names its request
// folder in VKTEST_LINK_REQUESTS), which makes a Unix link; false where
// nothing can make one (Windows proper, or no harness).
bool MakeSymbolicLink(const std::u16string& target, const std::u16string& link);

}  // namespace vk::test
