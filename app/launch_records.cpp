#include "app/launch_records.h"

#include "launchlog/launch_log.h"
#include "platform/command_line.h"
#include "platform/text.h"
#include "resources/version.h"

namespace vk::app {
namespace {

using settings::Setting;

}  // namespace

void BeginLaunchLog(const std::vector<std::u16string>& args) {
  launchlog::Open(launchlog::LogFolder(settings::kAddonProfileName));
  launchlog::Record("start", "vkstart " VK_VERSION_TEXT);
  launchlog::Record("start", u"command line: " + platform::ArgumentsAsTyped(args));
  launchlog::Record("start", u"machine key: HKEY_LOCAL_MACHINE\\" +
                                 std::u16string(settings::kAddonMachineKeyPath));
  launchlog::Record("start",
                    u"user key: HKEY_CURRENT_USER\\" + std::u16string(settings::kAddonKeyPath));
}

void RecordSettings(const settings::Settings& s, uint32_t editionFlags, uint32_t userEditionFlags) {
  // The entries that decide where things are read and written; the others
  // are joined from these.
  static constexpr struct {
    const char16_t* name;
    Setting setting;
  } kShown[] = {
      {u"AppDataPath", Setting::AppDataPath},
      {u"CommonAppDataPath", Setting::CommonAppDataPath},
      {u"CommonPath", Setting::CommonPath},
      {u"StartLocation", Setting::StartLocation},
      {u"AcadPathReg", Setting::AcadPathReg},
      {u"AcadLocation", Setting::AcadLocation},
      {u"ProductNameShort", Setting::ProductNameShort},
      {u"LangAbbrev", Setting::LangAbbrev},
      {u"AcadOneUserPath", Setting::AcadOneUserPath},
      {u"CdMenus", Setting::CdMenus},
      {u"MenusPath", Setting::MenusPath},
      {u"Modules", Setting::Modules},
      {u"Version", Setting::Version},
      {u"VersionH", Setting::VersionH},
      {u"UserModules", Setting::UserModules},
      {u"UserVersion", Setting::UserVersion},
      {u"UserVersionH", Setting::UserVersionH},
  };
  for (const auto& shown : kShown) {
    const std::u16string& value = s[shown.setting];
    launchlog::Record("settings", std::u16string(shown.name) + u" = " +
                                      (value.empty() ? std::u16string(u"(empty)") : value));
  }
  launchlog::Record("settings", "edition flags: machine " + launchlog::Hex(editionFlags) +
                                    ", user " + launchlog::Hex(userEditionFlags));
}

void EndLaunchLog(std::string_view result) {
  launchlog::Record("result", result);
  launchlog::Close();
}

}  // namespace vk::app
