#include "merge/menu_merge.h"

#include <string>
#include <string_view>

#include "cui/menu_file_record.h"
#include "cui/package_file.h"
#include "launchlog/launch_log.h"
#include "merge/partial_menus.h"
#include "merge/revision_stamps.h"
#include "merge/ribbon_tab.h"
#include "merge/uid_counters.h"
#include "merge/workspaces.h"
#include "platform/files.h"
#include "platform/place_file.h"
#include "platform/registry.h"
#include "platform/text.h"
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

// What the merge's edits carry: stamps of customisation version 18.0, user
// version 1 on new entries, and workspace menus that are shown.
constexpr uint32_t kMergeMajorVersion = 18;
constexpr uint32_t kMergeMinorVersion = 0;
constexpr uint32_t kNewUserVersion = 1;
constexpr int32_t kMenuShown = 1;
// A slot of 0 asks for the next free identifier number.
constexpr uint32_t kNextUidNumber = 0;

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
  (void)AddWorkspaceMenu(workspace, edition.menuGroup, edition.popUpId, kMenuShown, kNextUidNumber,
                         nullptr, kNewUserVersion);
}

// References a partial menu, and says so in the launch log.
void AttachMenu(XmlNode* document, const std::u16string& file) {
  const bool attached = AttachPartialMenu(document, file.c_str());
  launchlog::Record(
      "merge", u"partial menu " + file + (attached ? u" attached" : u" could not be attached"));
}

// Attaches the menu of an edition in `added` or detaches that of one in
// `removed`; true when it was attached.
bool FollowEdition(XmlNode* document, const EditionMenu& edition, uint32_t added,
                   uint32_t removed) {
  if ((added & edition.bit) != 0) {
    AttachMenu(document, edition.package);
    AddAddonWorkspaceMenu(document, edition);
    return true;
  }
  if ((removed & edition.bit) != 0) {
    DetachPartialMenu(document, edition.package);
    launchlog::Record("merge", u"partial menu " + std::u16string(edition.package) + u" detached");
  }
  return false;
}

// The Express Tools menu, when the user has it and AutoCAD has the tools.
void AttachExpressMenu(XmlNode* document, const settings::Settings& settings) {
  const std::u16string menu = settings[Setting::AcadOneUserPath] + u"\\Support\\acetmain.cuix";
  if (Exists(menu) && Exists(settings[Setting::AcadLocation] + u"\\Express")) {
    AttachMenu(document, menu);
  }
}

// The "H" tab in the workspace marked as the default one.
void PlaceTabInDefaultWorkspace(XmlNode* document) {
  XmlNode* workspace =
      xml::NodeFindByAttribute(FindWorkspace(document, nullptr), u"DefaultWorkspace", u"true");
  if (workspace == nullptr) {
    launchlog::Record("merge", "ribbon tab not placed: no default workspace");
    return;
  }
  const XmlNode* name = xml::NodeChild(workspace, u"Name", false);
  const XmlNode* uid = xml::NodeFindByName(workspace->firstAttribute, u"UID");
  if (name == nullptr || name->value.empty() || uid == nullptr || uid->value.empty()) {
    launchlog::Record("merge", "ribbon tab not placed: the default workspace has no name or UID");
    return;
  }
  const RibbonTabPlacement placement{.workspaceId = uid->value.c_str(),
                                     .workspaceName = name->value.c_str(),
                                     .tabSourceId = kTabId,
                                     .alias = kTabId,
                                     .tabId = kTabId,
                                     .title = kTabTitle,
                                     .tabName = kTabTitle,
                                     .menuGroup = kMenuH.menuGroup,
                                     .userVersion = kNewUserVersion};
  const bool placed = AddWorkspaceRibbonTab(document, placement) != nullptr;
  launchlog::Record("merge",
                    u"ribbon tab " + std::u16string(kTabId) +
                        (placed ? u" placed in workspace " : u" not placed in workspace ") +
                        name->value.c_str());
}

// Drops the ribbon layout stored in the add-on profile, so that AutoCAD
// builds it anew with the new tab.
void ClearProfileRibbon(const settings::Settings& settings) {
  const std::u16string path = settings[Setting::AcadOneUserPath] + u"\\Support\\Profiles\\" +
                              settings::kAddonProfileName + u"\\Profile.aws";
  if (!Exists(path)) return;
  xml::XmlDocument profile(OpenCustomisationFile(path));
  if (!profile) {
    launchlog::Record("merge", u"profile ribbon not cleared: cannot open " + path);
    return;
  }
  if (XmlNode* ribbon = FindProfileRibbon(profile.get())) xml::NodeUnlink(ribbon, true);
  const int saved = SaveCustomisationFile(path, profile.get(), false);
  launchlog::Record("merge", u"profile ribbon cleared in " + path + u": save result " +
                                 launchlog::WideNumber(saved));
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

// Saves the merged package over `target`; a package rebuilt from AutoCAD's
// copy only once the file it replaces is kept as the backup.
void SaveMergedPackage(const std::u16string& target, XmlNode* package, bool withDT) {
  if (!withDT && !KeepReplacedPackage(target)) {
    launchlog::Record("merge", u"not saved: " + target +
                                   u" could not be kept as aca.cuix.bak, so it stays as it was");
    return;
  }
  const int saved = SaveCustomisationFile(target, package, false);
  launchlog::Record("merge",
                    u"saved " + target + u": result " + launchlog::WideNumber(saved) +
                        (saved == kSaveOk ? u" (saved)" : u" (failed, the file is unchanged)"));
}

// Attaches the menus of the editions in `added`, detaches those of the
// editions in `removed`, and places the "H" tab when "H" arrives.
void ApplyEditions(XmlNode* package, const settings::Settings& settings, uint32_t added,
                   uint32_t removed, bool withDT) {
  if ((added & kMenuDT.bit) != 0) {
    AttachMenu(package, kMenuDT.package);
    AttachExpressMenu(package, settings);
    AddAddonWorkspaceMenu(package, kMenuDT);
  }
  (void)FollowEdition(package, kMenuA, added, removed);
  if (FollowEdition(package, kMenuH, added, removed)) {
    if (!withDT) PlaceTabInDefaultWorkspace(package);
    ClearProfileRibbon(settings);
  }
}

}  // namespace

bool MergeAddonMenus(const settings::Settings& settings, uint32_t editionFlags,
                     uint32_t userEditionFlags) {
  if (editionFlags == userEditionFlags) {
    launchlog::Record("merge", "skipped: the installed editions are those recorded for the user");
    return true;
  }
  const bool withDT = (editionFlags & settings::kEditionDT) != 0;
  const std::u16string target = settings[Setting::MenusPath] + kMainPackage;
  // Without "DT" the package is rebuilt from AutoCAD's own copy.
  const std::u16string source = withDT ? target : settings[Setting::CdMenus] + kMainPackage;
  if (!IsUsablePath(target) || !IsUsablePath(source)) {
    launchlog::Record("merge", u"skipped: no usable path for the package (MenusPath \"" +
                                   settings[Setting::MenusPath] + u"\", CdMenus \"" +
                                   settings[Setting::CdMenus] + u"\")");
    return false;
  }
  xml::XmlDocument document(OpenCustomisationFile(source));
  if (!document) {
    launchlog::Record("merge", u"cannot open " + source +
                                   (platform::PathExists(source) ? u": not a readable menu package"
                                                                 : u": the file does not exist"));
    return false;
  }
  launchlog::Record("merge", u"read " + source);

  SetMenuFileRecord(settings[Setting::AcadPathReg].c_str(), settings::kAddonProfileName, 0);
  SetCustomisationVersion(kMergeMajorVersion, kMergeMinorVersion);
  RaiseUidCounters(document.get());
  // AutoCAD's copy holds none of the references of earlier merges, so every
  // installed edition is applied to it, not only those new at this launch.
  const uint32_t added = withDT ? editionFlags & ~userEditionFlags : editionFlags;
  const uint32_t removed = userEditionFlags & ~editionFlags;
  launchlog::Record(
      "merge", "editions added " + launchlog::Hex(added) + ", removed " + launchlog::Hex(removed) +
                   (withDT ? "" : " (every installed edition, on AutoCAD's package)"));
  ApplyEditions(document.get(), settings, added, removed, withDT);

  SaveMergedPackage(target, document.get(), withDT);
  document.reset();
  SetMenuFileRecord(nullptr, nullptr, 0);
  return true;
}

}  // namespace vk::cui
