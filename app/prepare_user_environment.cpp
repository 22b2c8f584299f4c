#include "app/prepare_user_environment.h"

#include <string>

#include "app/string_table.h"
#include "app/vk_start_app.h"
#include "app/wait_dialog.h"
#include "copy/kvcpyfiles.h"
#include "cui/menu_merge.h"
#include "platform/fail_on_exception.h"
#include "platform/files.h"
#include "platform/place_file.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "profile/addon_profile.h"
#include "profile/registry_access.h"
#include "profile/uninstall_log.h"

namespace vk::app {
namespace {

using platform::FailOnException;
using settings::Setting;

constexpr unsigned kStrRibbonCatalogPlk = 20;
constexpr unsigned kStrRibbonCatalogCsy = 21;
constexpr char16_t kRunKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char16_t kUninstallKey[] = u"SOFTWARE\\Kavrin\\Uninstall";
constexpr char16_t kUninstallCommand[] = u"-r \"VELKOR RUR15\" -p \"VELKOR RUR15\"";
constexpr char16_t kRegisteredTools[] = u"\\Support\\RegisteredTools\\";
constexpr char16_t kToolCatalogs[] = u"\\UserDataCacheAdt\\RegisteredTools\\";
constexpr const char16_t* kStockTools[] = {u"KvAdIsolationStockTools.atc",
                                           u"KvAdDormerStockTools.atc"};

// The wait dialog as the copy engine's status line.
class WaitDialogStatus final : public copy::CopyStatus {
 public:
  explicit WaitDialogStatus(CWaitDialog* dialog) : dialog_(dialog) {}
  void Show() override { dialog_->Show(); }
  void SetText(std::u16string_view fileName) override { dialog_->SetStatus(fileName); }
  void DispatchMessages() override { platform::DispatchPendingMessages(); }

 private:
  CWaitDialog* dialog_;
};

// Places one installed file where the user's target does not exist yet;
// whether it arrived. A source from an empty setting is never read.
bool PlaceInstalledFile(const std::u16string& source, const std::u16string& target) {
  if (platform::BeginsWithBareBackslash(source) || platform::BeginsWithBareBackslash(target)) {
    return false;
  }
  return platform::PlaceFile(source, target, false) == platform::kErrorSuccess;
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
  static_cast<void>(FailOnException(0, [&] {
    return copier.CopyFiles(s[Setting::StartLocation] + u"\\UserDataCache", s[Setting::OneUserPath],
                            u"", false);
  }));
  copier.WriteUninstallLog(s[Setting::OneUserPath] + u"\\KVUnInstall.log");
}

// The ribbon catalogs, present only in the launch that made the add-on profile.
void PlaceRibbonCatalogs(const settings::Settings& s) {
  const std::u16string& palettes = s[Setting::ToolPalettePath];
  if (palettes.empty()) return;
  const std::u16string catalogs = s[Setting::OneUserPath] + u"\\Support\\WorkspaceCatalog (Metric)";
  static_cast<void>(
      PlaceInstalledFile(palettes + u"\\Ribbon Tools.atc", catalogs + u"\\Ribbon Tools.atc"));
  const std::u16string localised = LocalisedRibbonCatalog(s[Setting::LangAbbrev]);
  if (localised.empty()) return;
  static_cast<void>(PlaceInstalledFile(palettes + u"\\Palettes\\" + localised,
                                       catalogs + u"\\Palettes\\" + localised));
}

// The registered stock tools. Logged even when the copy failed: the next
// launch tries again, and the log keeps one line for each.
void PlaceStockTools(const settings::Settings& s) {
  for (const char16_t* name : kStockTools) {
    const std::u16string target = s[Setting::AcadOneUserPath] + kRegisteredTools + name;
    if (platform::PathExists(target)) continue;
    static_cast<void>(PlaceInstalledFile(s[Setting::StartLocation] + kToolCatalogs + name, target));
    static_cast<void>(profile::AddUninstallEntry(s, u"4," + target));
  }
}

// The add-on profile's workspace file, which its "ProfileStorage" names.
void PlaceProfileWorkspace(const settings::Settings& s) {
  const std::u16string folder =
      s[Setting::AcadOneUserPath] + u"\\Support\\Profiles\\" + settings::kAddonProfileName;
  if (!platform::PathExists(folder) && platform::MakeFolder(folder) == platform::kErrorSuccess) {
    static_cast<void>(profile::AddUninstallEntry(s, u"3," + folder));
  }
  static_cast<void>(PlaceInstalledFile(
      s[Setting::StartLocation] + u"\\UserDataCacheAdt\\Profile.aws", folder + u"\\Profile.aws"));
}

// The uninstaller, started at logon, and its entry for this profile.
void RegisterUninstaller(const settings::Settings& s) {
  profile::ScopedKey run;
  if (platform::OpenKey(platform::CurrentUserRoot(), kRunKey, platform::kKeyWrite, run.Receive()) ==
      platform::kErrorSuccess) {
    static_cast<void>(
        profile::SetStringValue(run.get(), u"KVUNINSTALL", platform::kRegSz,
                                s[Setting::CommonAppDataPath] + u"\\Kavrin\\KVUnInstall.exe"));
  }
  profile::ScopedKey uninstall;
  if (platform::CreateKey(platform::CurrentUserRoot(), kUninstallKey, platform::kKeyAllAccess,
                          uninstall.Receive(), nullptr) == platform::kErrorSuccess) {
    static_cast<void>(profile::SetStringValue(uninstall.get(), settings::kAddonProfileName,
                                              platform::kRegSz, kUninstallCommand));
  }
}

// Runs one step; running out of memory in it skips the step.
template <typename Step>
void RunStep(Step step) {
  static_cast<void>(FailOnException(false, [&] {
    step();
    return true;
  }));
}

}  // namespace

bool PrepareUserEnvironment(VkStartApp& app) {
  settings::Settings& s = app.settings();
  if (s[Setting::AcadOneUserPath].empty()) return false;
  CWaitDialog dialog;
  if (!FailOnException(false, [&] { return dialog.Create(app.splash()); })) return false;
  dialog.CenterWindow();

  RunStep([&] {
    static_cast<void>(profile::PrepareAddonProfile(&s, app.EditionFlags, app.UserEditionFlags));
  });
  RunStep([&] { static_cast<void>(profile::ImportCatalogScript(s, app.EditionFlags)); });
  RunStep([&] { CopyUserData(s, &dialog); });
  RunStep([&] { PlaceRibbonCatalogs(s); });
  RunStep([&] { PlaceStockTools(s); });
  if ((app.EditionFlags & settings::kEditionDT) != 0) RunStep([&] { PlaceProfileWorkspace(s); });
  RunStep(
      [&] { static_cast<void>(cui::MergeAddonMenus(s, app.EditionFlags, app.UserEditionFlags)); });
  RunStep([&] { RegisterUninstaller(s); });
  dialog.DestroyWindow();
  return true;
}

}  // namespace vk::app
