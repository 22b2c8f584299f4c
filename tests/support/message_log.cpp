#include "tests/support/message_log.h"

#include <string_view>

#include "platform/text.h"

namespace vk::test {
namespace {

constexpr char16_t kVariable[] = u"VKSTART_MSGBOX_LOG";
constexpr char kRecordEnd = '\x1E';

}  // namespace

std::vector<std::u16string> TakeMessageLog() {
  std::vector<std::u16string> texts;
  const std::optional<std::u16string> path = GetEnv(kVariable);
  std::string bytes;
  if (!path || path->empty() || !ReadWholeFile(*path, &bytes)) return texts;
  std::string_view rest = bytes;
  size_t end = rest.find(kRecordEnd);
  while (end != std::string_view::npos) {
    texts.push_back(platform::Utf8ToUtf16(rest.substr(0, end)));
    rest.remove_prefix(end + 1);
    end = rest.find(kRecordEnd);
  }
  // A box is answered only after its record is closed, so nothing is written
  // while a test reads and empties the log.
  if (!bytes.empty()) (void)WriteWholeFile(*path, "");
  return texts;
}

ScopedMessageLog::ScopedMessageLog() {
  const std::optional<std::u16string> path = GetEnv(kVariable);
  if (!path || path->empty()) variable_.emplace(kVariable, folder_.Join(u"messages.log"));
  (void)TakeMessageLog();
}

}  // namespace vk::test
