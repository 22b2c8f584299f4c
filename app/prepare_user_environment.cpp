#include "app/prepare_user_environment.h"

#include <string>

#include "app/string_table.h"
#include "app/vk_start_app.h"
#include "app/wait_dialog.h"
#include "copy/kvcpyfiles.h"
#include "launchlog/launch_log.h"
#include "merge/menu_merge.h"
#include "platform/fail_on_exception.h"
#include "platform/files.h"
#include "platform/place_file.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "profile/addon_profile.h"
#include "profile/launcher_items.h"
#include "profile/registry_access.h"
#include "profile/uninstall_log.h"

namespace vk::app {
namespace {

using platform::FailOnException;
using settings::Setting;

constexpr unsigned kStrRibbonCatalogPlk = 20;
constexpr unsigned kStrRibbonCatalogCsy = 21;
constexpr char16_t kUninstallCommand[] = u"-r \"VELKOR RUR15\" -p \"VELKOR RUR15\"";
constexpr char16_t kToolCatalogs[] = u"\\UserDataCacheAdt\\RegisteredTools\\";

// The wait dialog as the copy engine's status line.
class WaitDialogStatus final : public copy::CopyStatus {
 public:
  explicit WaitDialogStatus(CWaitDialog* dialog) : dialog_(dialog) {}
  void Show() override { dialog_->Show(); }
  void SetText(std::u16string_view fileName) override { dialog_->SetStatus(fileName); }
  // The wait dialog takes no typing: keys are dispatched untranslated.
  void DispatchMessages() override {
    platform::DispatchPendingMessages(platform::KeyTranslation::kNone);
  }

 private:
  CWaitDialog* dialog_;
};

// Places one installed file where the user's target does not exist yet;
// whether it arrived. A source from an empty setting is never read.
bool PlaceInstalledFile(std::string_view step, const std::u16string& source,
                        const std::u16string& target) {
  if (platform::BeginsWithBareBackslash(source) || platform::BeginsWithBareBackslash(target)) {
    launchlog::Record(step,
                      u"skipped, a path built from an empty setting: " + source + u" to " + target);
    return false;
  }
  const long placed = platform::PlaceFile(source, target, false);
  if (placed == platform::kErrorSuccess) {
    launchlog::Record(step, u"placed " + target);
  } else if (placed == platform::kErrorFileExists) {
    launchlog::Record(step, u"already present: " + target);
  } else {
    launchlog::Record(step, u"not placed " + target + u" from " + source + u": system error " +
                                launchlog::WideSystemError(placed));
  }
  return placed == platform::kErrorSuccess;
}

// The localised ribbon catalog's file name; empty for other languages.
std::u16string LocalisedRibbonCatalog(std::u16string_view langAbbrev) {
  if (platform::CompareAsciiNoCase(langAbbrev, u"plk") == 0) {
    return LoadMessageText(kStrRibbonCatalogPlk);
  }
  if (platform::CompareAsciiNoCase(langAbbrev, u"csy") == 0) {
    return LoadMessageText(kStrRibbonCatalogCsy);
  }
  return {};
}

// The user's data tree, its folders recorded in the uninstall log.
void CopyUserData(const settings::Settings& s, CWaitDialog* dialog) {
  WaitDialogStatus status(dialog);
  copy::kvcpyfiles copier;
  copier.SetStatusWindow(&status);
  // A copy cut short still records the folders it filled: a later launch
  // skips their files and would never record them.
  if (FailOnException(-1, [&] {
        return copier.CopyFiles(s[Setting::StartLocation] + u"\\UserDataCache",
                                s[Setting::OneUserPath], u"", false);
      }) < 0) {
    launchlog::Record("copy", "stopped: out of memory");
  }
  copier.WriteUninstallLog(s[Setting::OneUserPath] + u"\\KVUnInstall.log");
}

// The ribbon catalogs, present only in the launch that made the add-on profile.
void PlaceRibbonCatalogs(const settings::Settings& s) {
  const std::u16string& palettes = s[Setting::ToolPalettePath];
  if (palettes.empty()) {
    launchlog::Record("catalogs", "none: the add-on profile was not made in this launch");
    return;
  }
  const std::u16string catalogs = s[Setting::OneUserPath] + u"\\Support\\WorkspaceCatalog (Metric)";
  static_cast<void>(PlaceInstalledFile("catalogs", palettes + u"\\Ribbon Tools.atc",
                                       catalogs + u"\\Ribbon Tools.atc"));
  const std::u16string localised = LocalisedRibbonCatalog(s[Setting::LangAbbrev]);
  if (localised.empty()) return;
  static_cast<void>(PlaceInstalledFile("catalogs", palettes + u"\\Palettes\\" + localised,
                                       catalogs + u"\\Palettes\\" + localised));
}

// The registered stock tools. Logged even when the copy failed: the next
// launch tries again, and the log keeps one line for each.
void PlaceStockTools(const settings::Settings& s) {
  for (const char16_t* name : profile::kStockToolNames) {
    const std::u16string target = profile::StockToolPath(s[Setting::AcadOneUserPath], name);
    if (platform::PathExists(target)) {
      launchlog::Record("tools", u"already present: " + target);
      continue;
    }
    static_cast<void>(
        PlaceInstalledFile("tools", s[Setting::StartLocation] + kToolCatalogs + name, target));
    static_cast<void>(profile::AddUninstallEntry(s, profile::kFileRecord + target));
  }
}

// The add-on profile's workspace file, which its "ProfileStorage" names.
void PlaceProfileWorkspace(const settings::Settings& s) {
  const std::u16string folder =
      profile::ProfileWorkspaceFolder(s[Setting::AcadOneUserPath], settings::kAddonProfileName);
  if (!platform::PathExists(folder)) {
    const long made = platform::MakeFolder(folder);
    if (made == platform::kErrorSuccess) {
      static_cast<void>(profile::AddUninstallEntry(s, profile::kFolderRecord + folder));
    } else {
      launchlog::Record("workspace", u"cannot create " + folder + u": system error " +
                                         launchlog::WideSystemError(made));
    }
  }
  static_cast<void>(PlaceInstalledFile(
      "workspace", s[Setting::StartLocation] + u"\\UserDataCacheAdt\\Profile.aws",
      folder + u"\\Profile.aws"));
}

void RecordRegistration(const std::u16string& what, long result) {
  launchlog::Record("uninstaller", what + (result == platform::kErrorSuccess
                                               ? std::u16string(u": set")
                                               : u": not set, system error " +
                                                     launchlog::WideSystemError(result)));
}

// The uninstaller, started at logon, and its entry for this profile.
void RegisterUninstaller(const settings::Settings& s) {
  std::u16string program = s[Setting::CommonAppDataPath] + u"\\Kavrin\\KVUnInstall.exe";
  // Unquoted, "D:\Program Data\..." would first start "D:\Program.exe".
  if (program.find(u' ') != std::u16string::npos) program = u'"' + program + u'"';
  platform::ScopedKey run;
  long result = platform::OpenKey(platform::CurrentUserRoot(), profile::kRunKeyPath,
                                  platform::kKeyWrite, run.Receive());
  if (result == platform::kErrorSuccess) {
    result = platform::SetStringValue(run.get(), profile::kRunValueName, platform::kRegSz, program);
  }
  RecordRegistration(u"Run value KVUNINSTALL = " + program, result);
  platform::ScopedKey uninstall;
  result = platform::CreateKey(platform::CurrentUserRoot(), profile::kUninstallKeyPath,
                               platform::kKeyAllAccess, uninstall.Receive(), nullptr);
  if (result == platform::kErrorSuccess) {
    result = platform::SetStringValue(uninstall.get(), settings::kAddonProfileName,
                                      platform::kRegSz, kUninstallCommand);
  }
  RecordRegistration(u"uninstall value " + std::u16string(settings::kAddonProfileName) + u" = " +
                         kUninstallCommand,
                     result);
}

// Runs one step; running out of memory in it skips the step.
template <typename Step>
void RunStep(std::string_view name, Step step) {
  if (!FailOnException(false, [&] {
        step();
        return true;
      })) {
    launchlog::Record(name, "stopped: out of memory");
  }
}

}  // namespace

bool PrepareUserEnvironment(VkStartApp& app) {
  settings::Settings& s = app.settings();
  if (s[Setting::AcadOneUserPath].empty()) {
    launchlog::Record("prepare", "AcadOneUserPath is empty: nothing prepared");
    return false;
  }
  CWaitDialog dialog;
  if (!FailOnException(false, [&] { return dialog.Create(app.splash()); })) {
    launchlog::Record("prepare", "the wait dialog cannot be created: nothing prepared");
    return false;
  }
  dialog.CenterWindow();

  RunStep("profile", [&] {
    static_cast<void>(profile::PrepareAddonProfile(&s, app.EditionFlags, app.UserEditionFlags));
  });
  RunStep("profile", [&] { static_cast<void>(profile::ImportCatalogScript(s, app.EditionFlags)); });
  RunStep("copy", [&] { CopyUserData(s, &dialog); });
  RunStep("catalogs", [&] { PlaceRibbonCatalogs(s); });
  RunStep("tools", [&] { PlaceStockTools(s); });
  if ((app.EditionFlags & settings::kEditionDT) != 0) {
    RunStep("workspace", [&] { PlaceProfileWorkspace(s); });
  } else {
    launchlog::Record("workspace", "none without the DT edition");
  }
  RunStep("merge", [&] {
    static_cast<void>(cui::MergeAddonMenus(s, app.EditionFlags, app.UserEditionFlags));
  });
  RunStep("uninstaller", [&] { RegisterUninstaller(s); });
  dialog.DestroyWindow();
  return true;
}

}  // namespace vk::app
