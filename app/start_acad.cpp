// AutoCAD's start: its command line from the settings and the switches.
#include "app/show_message.h"
#include "app/string_table.h"
#include "app/vk_start_app.h"
#include "platform/message_box.h"
#include "platform/process.h"

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
    ShowMessage(kMsgAcadPathsNotFound, platform::kMbIconError);
    return false;
  }
  const std::u16string executable = location + u"\\acad.exe";
  if (const int error = platform::AccessError(executable); error != 0) {
    ShowMessage(kMsgFileNotAccessible, platform::kMbIconError, executable,
                HexNumber(static_cast<uint32_t>(error)));
  }
  switches_->SetValue(SwitchList::kObjectEnabler, location + u"\\AecBase.dbx");
  const std::u16string commandLine = u"\"" + executable + u"\"" + switches_->Compose() +
                                     settings_[Setting::ProductSwitch] +
                                     settings_[Setting::LanguageSwitch];
  // A longer current directory leaves AutoCAD in the launcher's own.
  const long error = platform::StartProcess(
      commandLine, platform::CurrentDirectory(kDirectoryCapacity), &acadProcess_);
  if (error != 0) {
    ShowMessage(kMsgCannotStart, platform::kMbIconError, commandLine,
                HexNumber(static_cast<uint32_t>(error)));
    return false;
  }
  return true;
}

}  // namespace vk::app
