// The launch sequence that the splash window's timer runs once.
#include <chrono>

#include "app/prepare_user_environment.h"
#include "app/show_message.h"
#include "app/string_table.h"
#include "app/vk_start_app.h"
#include "launchlog/launch_log.h"
#include "platform/fail_on_exception.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "platform/user_lock.h"
#include "profile/registry_tree.h"

namespace vk::app {
namespace {

using settings::Setting;
constexpr uint32_t kIdleWaitMs = 20000;

// A REG_SZ value: the text and its terminating zero.
void WriteText(platform::RegKey key, std::u16string_view name, std::u16string_view text) {
  [[maybe_unused]] const long written = platform::SetStringValue(key, name, platform::kRegSz, text);
}

// Whether the recorded value still matches the installed one.
bool Recorded(std::u16string_view recorded, std::u16string_view installed) {
  return !recorded.empty() && recorded == installed;
}

}  // namespace

bool VkStartApp::TakeUserLock() {
  const auto start = std::chrono::steady_clock::now();
  // The splash stays painted and movable while another launch of the user
  // prepares; the lock is the product's, shared with the clean-up.
  bool waiting = false;
  userLock_ = std::make_unique<platform::UserLock>(settings::kAddonProfileName, lockLimit, [&] {
    if (!waiting) {
      launchlog::Record("lock", "another launch of this user holds it: waiting at most " +
                                    launchlog::Number(lockLimit.count()) + " ms");
      waiting = true;
    }
    platform::DispatchPendingMessages();
  });
  const std::string waited =
      launchlog::Number(std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count()) +
      " ms";
  switch (userLock_->state()) {
    case platform::UserLockState::kHeld:
      launchlog::Record("lock", "taken after " + waited);
      break;
    case platform::UserLockState::kUnavailable:
      launchlog::Record("lock", "cannot be made: the launch goes on without it");
      break;
    case platform::UserLockState::kTimedOut:
      launchlog::Record("lock", "another launch of this user kept it for " + waited);
      launchResult_ = "another launch of this user is running: message 22 shown, nothing done";
      userLock_.reset();
      static_cast<void>(ShowMessage(kMsgLaunchInProgress, platform::kMbIconInformation));
      return false;
  }
  // What a launch that held the lock recorded decides what this one does.
  if (!LoadSettings()) {
    launchResult_ = "a known folder is missing: nothing done";
    return false;
  }
  return true;
}

bool VkStartApp::UserHasRunAcad() const {
  platform::ScopedKey key;
  return platform::OpenKey(platform::CurrentUserRoot(), settings_[Setting::AcadPathReg],
                           platform::kKeyRead, key.Receive()) == platform::kErrorSuccess;
}

void VkStartApp::RecordInstalledState() {
  platform::ScopedKey key;
  if (const long made = platform::CreateKey(platform::CurrentUserRoot(), settings::kAddonKeyPath,
                                            platform::kKeyAllAccess, key.Receive(), nullptr);
      made != platform::kErrorSuccess) {
    launchlog::Record("modules", "the user's add-on key cannot be created: system error " +
                                     launchlog::SystemError(made));
    return;
  }
  const std::u16string& userModules = settings_[Setting::UserModules];
  if (!Recorded(userModules, settings_[Setting::Modules])) {
    WriteText(key.get(), u"Modules", settings_[Setting::Modules]);
    launchlog::Record("modules", u"recorded \"" + settings_[Setting::Modules] + u"\" (was \"" +
                                     userModules + u"\")");
    // Other modules need another profile: the preparation makes it afresh,
    // and imports the tool catalogs into it again, since their registrations
    // lived in the profile that goes.
    if (!userModules.empty()) {
      const bool deleted = profile::DeleteRegistryTree(platform::CurrentUserRoot(),
                                                       profile::AddonProfileKeyPath(settings_));
      [[maybe_unused]] const long reset = platform::DeleteValue(key.get(), u"Catalogs");
      launchlog::Record("modules", deleted ? "the add-on profile was deleted, to be made afresh"
                                           : "the add-on profile could not be deleted");
    }
  } else {
    launchlog::Record("modules", "unchanged");
  }
  if (!Recorded(settings_[Setting::UserVersion], settings_[Setting::Version])) {
    WriteText(key.get(), u"Version", settings_[Setting::Version]);
    launchlog::Record("modules", u"Version recorded: " + settings_[Setting::Version]);
  }
  if (!Recorded(settings_[Setting::UserVersionH], settings_[Setting::VersionH])) {
    WriteText(key.get(), u"VersionH", settings_[Setting::VersionH]);
    launchlog::Record("modules", u"VersionH recorded: " + settings_[Setting::VersionH]);
  }
}

void VkStartApp::RunLaunchSequence() {
  // Runs from the splash's timer: out of memory in a step fails that step
  // and the sequence goes on; nothing may cross the window procedure.
  using platform::FailOnException;
  if (!FailOnException(true, [&] { return TakeUserLock(); })) return;
  if (!FailOnException(false, [&] { return UserHasRunAcad(); })) {
    launchResult_ = "AutoCAD Architecture has not run for this user (no HKEY_CURRENT_USER\\" +
                    platform::Utf16ToUtf8(settings_[Setting::AcadPathReg]) +
                    "): message 17 shown, AutoCAD not started";
    userLock_.reset();
    static_cast<void>(
        FailOnException(0, [] { return ShowMessage(kMsgRunAcadFirst, platform::kMbIconError); }));
    return;
  }
  static_cast<void>(FailOnException(false, [&] {
    RecordInstalledState();
    return true;
  }));
  const bool prepared = FailOnException(false, [&] { return PrepareUserEnvironment(*this); });
  // Another launcher of this user may prepare now; AutoCAD's start is ours alone.
  userLock_.reset();
  if (!prepared) {
    launchResult_ = "nothing prepared: AutoCAD not started";
    return;
  }
  if (!FailOnException(false, [&] { return StartAcad(); })) {
    launchResult_ = "AutoCAD not started";
    return;
  }
  const auto waitStart = std::chrono::steady_clock::now();
  platform::WaitUntilIdle(acadProcess_, kIdleWaitMs);
  const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - waitStart);
  launchlog::Record("acad", "waited " + launchlog::Number(waited.count()) +
                                " ms for AutoCAD to accept input (at most " +
                                launchlog::Number(kIdleWaitMs) + " ms)");
  launchResult_ = "AutoCAD started";
}

}  // namespace vk::app
