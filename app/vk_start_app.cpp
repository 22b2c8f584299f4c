#include "app/vk_start_app.h"

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
  if (!LoadSettings()) return false;
  splash_ = std::make_unique<CVkstartDlg>();
  switches_ = std::make_unique<SwitchList>();
  switches_->Parse(args);
  if (switches_->IsPresent(SwitchList::kNoLogo)) splash_->showBitmap = false;
  // AutoCAD always starts in the add-on's profile, whatever profile was asked for.
  switches_->SetValue(SwitchList::kProfile, settings::kAddonProfileName);
  return true;
}

int VkStartApp::ExitInstance() {
  splash_.reset();
  switches_.reset();
  return 0;
}

}  // namespace vk::app
