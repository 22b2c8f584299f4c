#include "profile/addon_profile.h"

#include <string>

#include "launchlog/launch_log.h"
#include "platform/files.h"
#include "platform/place_file.h"
#include "platform/registry.h"
#include "profile/launcher_items.h"
#include "profile/registry_access.h"
#include "profile/registry_script.h"
#include "profile/registry_tree.h"
#include "profile/uninstall_log.h"

namespace vk::profile {
namespace {

using platform::CurrentUserRoot;
using platform::kErrorSuccess;
using settings::kAddonProfileName;
using settings::Setting;

// Menu resource files that AutoCAD compiles from the add-on's menus; stale
// ones would hide the menus of a changed installation.
constexpr std::u16string_view kMenuResources[] = {u"\\adt.mnr", u"\\aca.mnr", u"\\flyouts.mnr",
                                                  u"\\velkor_a.mnr"};

void PointProfileAtAddonFolders(const settings::Settings& settings) {
  platform::ScopedKey general;
  if (platform::OpenKey(CurrentUserRoot(), AddonProfileKeyPath(settings) + u"\\General",
                        platform::kKeyWrite, general.Receive()) != kErrorSuccess) {
    return;
  }
  static_cast<void>(platform::SetStringValue(
      general.get(), u"ProfileStorage", platform::kRegSz,
      ProfileWorkspaceFolder(settings[Setting::AcadOneUserPath], kAddonProfileName) +
          u"\\Profile.aws"));
  static_cast<void>(platform::SetStringValue(
      general.get(), u"ToolPalettePath", platform::kRegSz,
      settings[Setting::OneUserPath] + u"\\Support\\WorkspaceCatalog (Metric)"));
}

}  // namespace

bool PrepareAddonProfile(settings::Settings* settings, uint32_t editionFlags,
                         uint32_t userEditionFlags) {
  bool exists;
  {
    platform::ScopedKey profile;
    exists = platform::OpenKey(CurrentUserRoot(), AddonProfileKeyPath(*settings),
                               platform::kKeyQueryValue, profile.Receive()) == kErrorSuccess;
  }
  if (exists) {
    launchlog::Record("profile", "the add-on profile exists: kept");
    if ((editionFlags & settings::kEditionDT) != 0 &&
        (userEditionFlags & settings::kEditionDT) == 0) {
      PointProfileAtAddonFolders(*settings);
      launchlog::Record("profile", "pointed at the add-on's folders for the new DT edition");
    }
    return true;
  }
  launchlog::Record(
      "profile", u"making the add-on profile HKEY_CURRENT_USER\\" + AddonProfileKeyPath(*settings));

  // Without a menu folder the names would point at the drive's root.
  const std::u16string& menus = (*settings)[Setting::MenusPath];
  if (!menus.empty()) {
    for (std::u16string_view name : kMenuResources) {
      static_cast<void>(platform::RemoveFile(menus + std::u16string(name)));
    }
  }
  const std::u16string projectProfile =
      ProjectProfilePath((*settings)[Setting::AcadOneUserPath], kAddonProfileName);
  static_cast<void>(platform::RemoveFile(projectProfile));
  static_cast<void>(CreateAddonProfileKey(settings));
  static_cast<void>(ImportProfileScript(*settings, editionFlags));

  static_cast<void>(AddUninstallEntry(*settings, kKeyRecord + AddonProfileKeyPath(*settings)));
  static_cast<void>(
      AddUninstallEntry(*settings, kKeyRecord + std::u16string(settings::kAddonKeyPath)));
  static_cast<void>(AddUninstallEntry(*settings, kFileRecord + projectProfile));
  return true;
}

bool ImportProfileScript(const settings::Settings& settings, uint32_t editionFlags) {
  const std::u16string script = settings[Setting::StartLocation] + u"\\prof_tmp.txt";
  // Without an installation folder the name points at the drive's root.
  if (platform::BeginsWithBareBackslash(script)) return false;
  return ImportRegistryScript(script, settings, editionFlags);
}

bool ImportCatalogScript(const settings::Settings& settings, uint32_t editionFlags) {
  if (settings[Setting::Modules].find(u"DT") == std::u16string::npos) {
    launchlog::Record("profile", "no tool catalogs to import without the DT edition");
    return true;
  }
  uint32_t catalogs = 0;
  {
    platform::ScopedKey key;
    uint8_t bytes[4] = {};
    uint32_t size = sizeof bytes;
    if (platform::OpenKey(CurrentUserRoot(), settings::kAddonKeyPath, platform::kKeyRead,
                          key.Receive()) == kErrorSuccess &&
        platform::QueryValue(key.get(), u"Catalogs", nullptr, bytes, &size) == kErrorSuccess) {
      catalogs = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (uint32_t{bytes[3]} << 24);
    }
  }
  if (catalogs == 1) {
    launchlog::Record("profile", "tool catalogs imported before (\"Catalogs\" is 1)");
    return true;
  }
  const std::u16string script = settings[Setting::StartLocation] + u"\\prof_cat.txt";
  // Without an installation folder the name points at the drive's root; not
  // recorded, so a repaired installation still imports its catalogs.
  if (platform::BeginsWithBareBackslash(script)) return false;

  const bool imported = ImportRegistryScript(script, settings, editionFlags);
  // Recorded whatever the import gave, so a missing file is not tried again.
  platform::ScopedKey key;
  if (platform::OpenKey(CurrentUserRoot(), settings::kAddonKeyPath, platform::kKeyWrite,
                        key.Receive()) == kErrorSuccess) {
    static_cast<void>(SetDwordValue(key.get(), u"Catalogs", 1));
  }
  return imported;
}

}  // namespace vk::profile
