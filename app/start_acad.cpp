// AutoCAD's start: its command line from the settings and the switches.
#include "app/show_message.h"
#include "app/string_table.h"
#include "app/vk_start_app.h"
#include "launchlog/launch_log.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/text.h"

namespace vk::app {
namespace {

using settings::Setting;
// The working directory's buffer, in characters with the terminating zero.
constexpr size_t kDirectoryCapacity = 900;

}  // namespace

bool VkStartApp::StartAcad() {
  const std::u16string& location = settings_[Setting::AcadLocation];
  // "\acad.exe" alone would run whatever lies at the root of the current drive.
  if (location.empty()) {
    launchlog::Record("acad", "AcadLocation is empty: message 4 shown");
    ShowMessage(kMsgAcadPathsNotFound, platform::kMbIconError);
    return false;
  }
  const std::u16string executable = location + u"\\acad.exe";
  if (const int error = platform::AccessError(executable); error != 0) {
    launchlog::Record("acad", u"cannot reach " + executable + u": errno " +
                                  launchlog::WideNumber(error) + u", message 5 shown");
    ShowMessage(kMsgFileNotAccessible, platform::kMbIconError, executable,
                HexNumber(static_cast<uint32_t>(error)));
    // The start is still tried: its failure then shows message 9 with the command line.
  }
  switches_->SetValue(SwitchList::kObjectEnabler, location + u"\\AecBase.dbx");
  const std::u16string commandLine = u"\"" + executable + u"\"" + switches_->Compose() +
                                     settings_[Setting::ProductSwitch] +
                                     settings_[Setting::LanguageSwitch];
  launchlog::Record("acad", u"command line: " + commandLine);
  // A longer current directory leaves AutoCAD in the launcher's own.
  const long error = platform::StartProcess(
      commandLine, platform::CurrentDirectory(kDirectoryCapacity), &acadProcess_);
  if (error != 0) {
    launchlog::Record("acad", "start failed: system error " + launchlog::SystemError(error) +
                                  ", message 9 shown");
    ShowMessage(kMsgCannotStart, platform::kMbIconError, commandLine,
                HexNumber(static_cast<uint32_t>(error)));
    return false;
  }
  launchlog::Record("acad", "started");
  return true;
}

}  // namespace vk::app
