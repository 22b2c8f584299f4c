#include "cui/menu_merge.h"

#include <string>
#include <string_view>

#include "cui/menu_file_record.h"
#include "cui/package_file.h"
#include "cui/partial_menus.h"
#include "cui/revision_stamps.h"
#include "cui/ribbon_tab.h"
#include "cui/uid_counters.h"
#include "cui/workspaces.h"
#include "platform/files.h"
#include "platform/place_file.h"
#include "platform/registry.h"
#include "xml/node.h"

namespace vk::cui {
namespace {

using settings::Setting;
using xml::XmlNode;

constexpr char16_t kMainPackage[] = u"\\aca.cuix";
constexpr char16_t kAddonWorkspace[] = u"VELKOR-DT+ Classic";

// An edition's partial menu and the pop-up menu that its workspace entry names.
struct EditionMenu {
  uint32_t bit;
  const char16_t* package;
  const char16_t* menuGroup;
  const char16_t* popUpId;
};
constexpr EditionMenu kMenuDT{settings::kEditionDT, u"flyouts.cuix", u"FLYOUTS", u"PMU_0002"};
constexpr EditionMenu kMenuA{settings::kEditionA, u"velkor_a.cuix", u"VELKOR_A",
                             u"VKID_MnVELKOR_A"};
constexpr EditionMenu kMenuH{settings::kEditionH, u"velkor_h.cuix", u"VELKOR_H",
                             u"VKID_MnVELKOR_H"};

// The "H" module's ribbon tab.
constexpr char16_t kTabId[] = u"RBNU_0023";
constexpr char16_t kTabTitle[] = u"Krovy";

// A path joined to an empty folder setting starts with a lone backslash and
// would name a file at the root of whatever drive is current.
bool IsUsablePath(std::u16string_view path) {
  return !path.empty() && !platform::BeginsWithBareBackslash(path);
}

bool Exists(std::u16string_view path) {
  return IsUsablePath(path) && platform::PathExists(path);
}

void AddAddonWorkspaceMenu(XmlNode* document, const EditionMenu& edition) {
  XmlNode* workspace = FindWorkspace(document, kAddonWorkspace);
  if (workspace == nullptr ||
      FindWorkspaceMenu(workspace, edition.menuGroup, edition.popUpId) != nullptr) {
    return;
  }
  (void)AddWorkspaceMenu(workspace, edition.menuGroup, edition.popUpId, 1, 0, nullptr, 1);
}

// Attaches the menu of an edition in `added` or detaches that of one in
// `removed`; true when it was attached.
bool FollowEdition(XmlNode* document, const EditionMenu& edition, uint32_t added,
                   uint32_t removed) {
  if ((added & edition.bit) != 0) {
    (void)AttachPartialMenu(document, edition.package);
    AddAddonWorkspaceMenu(document, edition);
    return true;
  }
  if ((removed & edition.bit) != 0) DetachPartialMenu(document, edition.package);
  return false;
}

// The Express Tools menu, when the user has it and AutoCAD has the tools.
void AttachExpressMenu(XmlNode* document, const settings::Settings& settings) {
  const std::u16string menu = settings[Setting::AcadOneUserPath] + u"\\Support\\acetmain.cuix";
  if (Exists(menu) && Exists(settings[Setting::AcadLocation] + u"\\Express")) {
    (void)AttachPartialMenu(document, menu.c_str());
  }
}

// The "H" tab in the workspace marked as the default one.
void PlaceTabInDefaultWorkspace(XmlNode* document) {
  XmlNode* workspace =
      xml::NodeFindByAttribute(FindWorkspace(document, nullptr), u"DefaultWorkspace", u"true");
  if (workspace == nullptr) return;
  const XmlNode* name = xml::NodeChild(workspace, u"Name", false);
  const XmlNode* uid = xml::NodeFindByName(workspace->firstAttribute, u"UID");
  if (name == nullptr || name->value.empty() || uid == nullptr || uid->value.empty()) return;
  const RibbonTabPlacement placement{
      uid->value.c_str(), name->value.c_str(), kTabId,           kTabId, kTabId,
      kTabTitle,          kTabTitle,           kMenuH.menuGroup, 1};
  (void)AddWorkspaceRibbonTab(document, placement);
}

// Drops the ribbon layout stored in the add-on profile, so that AutoCAD
// builds it anew with the new tab.
void ClearProfileRibbon(const settings::Settings& settings) {
  const std::u16string path = settings[Setting::AcadOneUserPath] + u"\\Support\\Profiles\\" +
                              settings::kAddonProfileName + u"\\Profile.aws";
  if (!Exists(path)) return;
  xml::XmlDocument profile(OpenCustomisationFile(path));
  if (!profile) return;
  if (XmlNode* ribbon = FindProfileRibbon(profile.get())) xml::NodeUnlink(ribbon, true);
  (void)SaveCustomisationFile(path, profile.get(), false);
}

// Keeps the file that a package rebuilt from AutoCAD's copy replaces as
// "aca.cuix.bak", since it may hold the user's own edits. False when it
// exists and could not be kept.
bool KeepReplacedPackage(const std::u16string& target) {
  if (!platform::PathExists(target)) return true;
  const std::u16string backup = target + u".bak";
  // Copied beside it first, so an interrupted copy never replaces an older backup.
  const std::u16string copy = backup + u".vk-copy";
  [[maybe_unused]] const long stale = platform::RemoveFile(copy);
  if (platform::CopyFileNoReplace(target, copy) == platform::kErrorSuccess &&
      platform::ReplaceFileAtomically(copy, backup) == platform::kErrorSuccess) {
    return true;
  }
  [[maybe_unused]] const long removed = platform::RemoveFile(copy);
  return false;
}

}  // namespace

bool MergeAddonMenus(const settings::Settings& settings, uint32_t editionFlags,
                     uint32_t userEditionFlags) {
  if (editionFlags == userEditionFlags) return true;
  const bool withDT = (editionFlags & settings::kEditionDT) != 0;
  const std::u16string target = settings[Setting::MenusPath] + kMainPackage;
  // Without "DT" the package is rebuilt from AutoCAD's own copy.
  const std::u16string source = withDT ? target : settings[Setting::CdMenus] + kMainPackage;
  if (!IsUsablePath(target) || !IsUsablePath(source)) return false;
  xml::XmlDocument document(OpenCustomisationFile(source));
  if (!document) return false;

  SetMenuFileRecord(settings[Setting::AcadPathReg].c_str(), settings::kAddonProfileName, 0);
  SetCustomisationVersion(18, 0);
  RaiseUidCounters(document.get());
  // AutoCAD's copy holds none of the references of earlier merges, so every
  // installed edition is applied to it, not only those new at this launch.
  const uint32_t added = withDT ? editionFlags & ~userEditionFlags : editionFlags;
  const uint32_t removed = userEditionFlags & ~editionFlags;
  XmlNode* package = document.get();

  if ((added & kMenuDT.bit) != 0) {
    (void)AttachPartialMenu(package, kMenuDT.package);
    AttachExpressMenu(package, settings);
    AddAddonWorkspaceMenu(package, kMenuDT);
  }
  (void)FollowEdition(package, kMenuA, added, removed);
  if (FollowEdition(package, kMenuH, added, removed)) {
    if (!withDT) PlaceTabInDefaultWorkspace(package);
    ClearProfileRibbon(settings);
  }

  if (withDT || KeepReplacedPackage(target)) {
    (void)SaveCustomisationFile(target, package, false);
  }
  document.reset();
  SetMenuFileRecord(nullptr, nullptr, 0);
  return true;
}

}  // namespace vk::cui
