#include "app/vk_start_app.h"

#include "app/launch_records.h"
#include "platform/command_line.h"

namespace vk::app {

VkStartApp::~VkStartApp() = default;

bool VkStartApp::LoadSettings() {
  settings::LoadedSettings loaded;
  loaded.menusInAcadFolder = MenusInAcadFolder;
  if (!settings::LoadInstallationSettings(&loaded)) return false;
  settings_ = std::move(loaded.settings);
  EditionFlags = loaded.editionFlags;
  UserEditionFlags = loaded.userEditionFlags;
  MenusInAcadFolder = loaded.menusInAcadFolder;
  return true;
}

bool VkStartApp::InitInstance() {
  return InitInstance(platform::ProcessArguments());
}

bool VkStartApp::InitInstance(const std::vector<std::u16string>& args) {
  BeginLaunchLog(args);
  if (!LoadSettings()) {
    launchResult_ = "a known folder is missing: nothing done";
    return false;
  }
  RecordSettings(settings_, EditionFlags, UserEditionFlags);
  splash_ = std::make_unique<CVkstartDlg>([this] { RunLaunchSequence(); });
  switches_ = std::make_unique<SwitchList>();
  switches_->Parse(args);
  if (switches_->IsPresent(SwitchList::kNoLogo)) splash_->showBitmap = false;
  // AutoCAD always starts in the add-on's profile, whatever profile was asked for.
  switches_->SetValue(SwitchList::kProfile, settings::kAddonProfileName);
  // Neither a failed window nor a failed foreground change is reported.
  [[maybe_unused]] const bool created =
      splash_->Create(settings_[settings::Setting::StartLocation]);
  splash_->Show(showCommand);
  splash_->BringToForeground();
  return true;
}

void VkStartApp::Run() {
  if (splash_) splash_->RunMessageLoop();
}

int VkStartApp::ExitInstance() {
  EndLaunchLog(launchResult_);
  splash_.reset();
  switches_.reset();
  userLock_.reset();
  return 0;
}

}  // namespace vk::app
