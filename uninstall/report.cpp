#include "uninstall/report.h"

#include <string>

#include "launchlog/launch_log.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/text.h"
#include "resources/version.h"

namespace vk::uninstall {
namespace {

struct ReportState {
  bool open = false;
  std::u16string arguments;
};

ReportState& State() {
  static ReportState state;
  return state;
}

void Write(std::u16string_view subject, std::u16string_view text) {
  launchlog::Record(platform::Utf16ToUtf8(subject), text);
  platform::WriteConsoleLine(std::u16string(subject) + u": " + std::u16string(text));
}

}  // namespace

void BeginReport(std::u16string_view arguments) {
  State() = {false, std::u16string(arguments)};
}

void Report(std::u16string_view subject, std::u16string_view text) {
  ReportState& state = State();
  if (!state.open) {
    state.open = true;
    std::u16string temp;
    if (platform::GetTempFolder(&temp)) launchlog::Open(temp, kReportFileName);
    Write(kProgramName, u"version " VK_VERSION_TEXT ", " + (state.arguments.empty()
                                                                ? std::u16string(u"at logon")
                                                                : u"switches " + state.arguments));
  }
  Write(subject, text);
}

void EndReport(std::u16string_view result) {
  if (!State().open) return;
  Write(kProgramName, result);
  launchlog::Close();
  State().open = false;
}

}  // namespace vk::uninstall
