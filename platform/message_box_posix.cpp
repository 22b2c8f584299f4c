#include <stdlib.h>

#include <cstdio>
#include <string>

#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/text.h"

namespace vk::platform {

int ShowMessageBox(std::u16string_view text, std::u16string_view caption, uint32_t /*style*/) {
  const std::string utf8 = Utf16ToUtf8(text);
  std::fprintf(stderr, "%s: %s\n", Utf16ToUtf8(caption).c_str(), utf8.c_str());
  // The record file lets tests read exactly what a user would have seen.
  if (const char* log = getenv("VKSTART_MSGBOX_LOG"); log != nullptr && *log != 0) {
    if (std::FILE* f = OpenFile(Utf8ToUtf16(log), u"ab")) {
      std::fwrite(utf8.data(), 1, utf8.size(), f);
      std::fputc(0x1E, f);
      std::fclose(f);
    }
  }
  return kIdOk;
}

}  // namespace vk::platform
