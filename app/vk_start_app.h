// The application object: owns the settings, the edition flags, the switch
// list, the splash window and AutoCAD's process for the one run of the
// launcher.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/switch_list.h"
#include "app/vkstart_dlg.h"
#include "platform/process.h"
#include "platform/user_lock.h"
#include "settings/settings.h"

namespace vk::app {

class VkStartApp {
 public:
  VkStartApp() = default;
  ~VkStartApp();
  VkStartApp(const VkStartApp&) = delete;
  VkStartApp& operator=(const VkStartApp&) = delete;

  // Start-up: settings, switch list, splash window shown in the foreground. False ends the process
  // at once (a missing known folder, already reported).
  [[nodiscard]] bool InitInstance();
  // The same with a given argument vector (program path first).
  [[nodiscard]] bool InitInstance(const std::vector<std::u16string>& args);
  // Runs the message loop until the splash window is destroyed.
  void Run();
  // Releases the splash window, the switch list and the lock; the process
  // exit code.
  int ExitInstance();
  // Fills the settings and the three flag words; false when a known folder is
  // missing (its message has been shown).
  [[nodiscard]] bool LoadSettings();

  // The launch: the user's lock taken (message 22 and nothing else when
  // another launch keeps it past `lockLimit`) and the settings loaded again
  // under it; message 17 when the user never ran AutoCAD Architecture;
  // otherwise the installed state recorded, the user's environment prepared
  // and AutoCAD started and awaited until it accepts input.
  void RunLaunchSequence();
  // Starts AutoCAD with the composed command line; false, after its message,
  // when it could not be started.
  [[nodiscard]] bool StartAcad();

  uint32_t MenusInAcadFolder = 0;
  uint32_t UserEditionFlags = 0;
  uint32_t EditionFlags = 0;
  // The show command the process was started with.
  int showCommand = 1;
  // How long a launch waits for another launch or clean-up of the user.
  std::chrono::milliseconds lockLimit{60000};

  const settings::Settings& settings() const { return settings_; }
  settings::Settings& settings() { return settings_; }
  const SwitchList* switches() const { return switches_.get(); }
  const CVkstartDlg* splash() const { return splash_.get(); }
  const platform::ProcessInformation& acadProcess() const { return acadProcess_; }

 private:
  // Whether AcadPathReg opens under HKEY_CURRENT_USER.
  [[nodiscard]] bool UserHasRunAcad() const;
  // "Modules", "Version" and "VersionH" for the user, where they changed; a
  // changed modules string deletes the user's add-on profile.
  void RecordInstalledState();
  // Takes the user's lock, with the windows answering while it waits, and
  // reads the settings again under it; false when the launch must end.
  [[nodiscard]] bool TakeUserLock();

  std::unique_ptr<platform::UserLock> userLock_;
  // The launch log's last line.
  std::string launchResult_ = "ended before the launch ran";
  settings::Settings settings_;
  std::unique_ptr<CVkstartDlg> splash_;
  std::unique_ptr<SwitchList> switches_;
  platform::ProcessInformation acadProcess_;
};

}  // namespace vk::app
