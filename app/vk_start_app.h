// The application object: owns the settings, the edition flags, the switch
// list and the splash window for the one run of the launcher.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/switch_list.h"
#include "app/vkstart_dlg.h"
#include "settings/settings.h"

namespace vk::app {

class VkStartApp {
 public:
  VkStartApp() = default;
  ~VkStartApp();
  VkStartApp(const VkStartApp&) = delete;
  VkStartApp& operator=(const VkStartApp&) = delete;

  // Start-up: settings, switch list, splash window. False ends the process at
  // once (a missing known folder, already reported).
  [[nodiscard]] bool InitInstance();
  // The same with a given argument vector (program path first).
  [[nodiscard]] bool InitInstance(const std::vector<std::u16string>& args);
  // Releases the splash window and the switch list; the process exit code.
  int ExitInstance();
  // Fills the settings and the three flag words; false when a known folder is
  // missing (its message has been shown).
  [[nodiscard]] bool LoadSettings();

  uint32_t MenusInAcadFolder = 0;
  uint32_t UserEditionFlags = 0;
  uint32_t EditionFlags = 0;

  const settings::Settings& settings() const { return settings_; }
  settings::Settings& settings() { return settings_; }
  const SwitchList* switches() const { return switches_.get(); }
  const CVkstartDlg* splash() const { return splash_.get(); }

 private:
  settings::Settings settings_;
  std::unique_ptr<CVkstartDlg> splash_;
  std::unique_ptr<SwitchList> switches_;
};

}  // namespace vk::app
