#include <windows.h>

#include <string>

#include "platform/files.h"
#include "platform/text.h"
#include "tests/support/scoped_env.h"
#include "tests/support/symbolic_link.h"
#include "tests/support/test_paths.h"
#include "tests/support/trash_redirect.h"

namespace vk::test {

bool MakeSymbolicLink(const std::u16string& target, const std::u16string& link) {
  const std::optional<std::u16string> requests = GetEnv(u"VKTEST_LINK_REQUESTS");
  const std::u16string unixTarget = UnixPathOf(target);
  const std::u16string unixLink = UnixPathOf(link);
  if (!requests || unixTarget.empty() || unixLink.empty()) return false;
  // A request is "target\nlink\n" in Unix paths; the harness answers by
  // renaming it to ".done" or ".failed".
  static unsigned count = 0;
  const std::u16string base = *requests + u"\\" +
                              platform::Utf8ToUtf16(std::to_string(GetCurrentProcessId()) + "-" +
                                                    std::to_string(++count));
  if (!WriteWholeFile(base + u".tmp", platform::Utf16ToUtf8(unixTarget + u"\n" + unixLink + u"\n")) ||
      !MoveFileW(reinterpret_cast<const wchar_t*>((base + u".tmp").c_str()),
                 reinterpret_cast<const wchar_t*>((base + u".req").c_str()))) {
    return false;
  }
  for (int waited = 0; waited < 400; ++waited) {
    if (platform::PathExists(base + u".done")) return true;
    if (platform::PathExists(base + u".failed")) return false;
    Sleep(50);
  }
  return false;
}

}  // namespace vk::test
