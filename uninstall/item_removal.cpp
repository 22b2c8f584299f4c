#include "uninstall/item_removal.h"

#include <string>
#include <vector>

#include "launchlog/launch_log.h"
#include "platform/files.h"
#include "platform/item_location.h"
#include "platform/recycle_bin.h"
#include "platform/reg_file.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "profile/registry_access.h"
#include "profile/registry_tree.h"
#include "uninstall/report.h"

namespace vk::uninstall {
namespace {

using platform::kErrorSuccess;

// The name a saved key has in the Recycle Bin, where a person looks for it:
// the product and the key's own name, with the characters a file name cannot
// hold (key names hold ":") as "_".
std::u16string BinExportName(std::u16string_view product, std::u16string_view key) {
  std::u16string name = u"kvuninstall-" + std::u16string(product) + u"-" +
                        std::u16string(key.substr(key.rfind(u'\\') + 1)) + u".reg";
  for (char16_t& c : name) {
    if (std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos) c = u'_';
  }
  return name;
}

// Puts a copy of `bytes` into the Recycle Bin as `name`, through a folder of
// its own in `exportFolder` (where the bin would restore it); the error of
// the step that failed.
long RecycleCopy(std::u16string_view exportFolder, const std::u16string& name,
                 std::string_view bytes) {
  std::u16string folder;
  long made = platform::kErrorAlreadyExists;
  for (unsigned n = 1; n < 10000 && made == platform::kErrorAlreadyExists; ++n) {
    folder =
        std::u16string(exportFolder) + u"\\kvuninstall-" + platform::Utf8ToUtf16(std::to_string(n));
    made = platform::MakeFolder(folder);
  }
  if (made != kErrorSuccess) return made;
  const std::u16string copy = folder + u"\\" + name;
  long result = platform::WriteWholeFile(copy, bytes) ? platform::RecycleItem(copy)
                                                      : platform::kErrorAccessDenied;
  if (result != kErrorSuccess) static_cast<void>(platform::RemoveFile(copy));
  static_cast<void>(platform::RemoveFolder(folder));
  return result;
}

// A .reg file name in `folder` that no file has yet; empty when none is left.
std::u16string NewExportPath(std::u16string_view folder, std::u16string_view product) {
  for (unsigned n = 1; n < 10000; ++n) {
    std::u16string path = std::u16string(folder) + u"\\kvuninstall-" + std::u16string(product) +
                          u"-" + platform::Utf8ToUtf16(std::to_string(n)) + u".reg";
    if (!platform::PathExists(path)) return path;
  }
  return {};
}

bool RemoveKey(const std::u16string& key, std::u16string_view product,
               std::u16string_view exportFolder, bool listOnly) {
  const std::u16string name = u"HKEY_CURRENT_USER\\" + key;
  std::vector<platform::RegFileKey> saved;
  {
    platform::ScopedKey open;
    long result =
        platform::OpenKey(platform::CurrentUserRoot(), key, platform::kKeyRead, open.Receive());
    if (result == platform::kErrorFileNotFound) {
      Report(product, u"already gone: " + name);
      return true;
    }
    if (result == kErrorSuccess) result = profile::ExportRegistryTree(open.get(), name, &saved);
    if (result != kErrorSuccess) {
      Report(product, u"kept key: " + name + u" (cannot be read: " +
                          launchlog::WideSystemError(result) + u")");
      return false;
    }
  }
  if (listOnly) {
    Report(product, u"would delete key: " + name);
    return true;
  }
  // Saved first, in both places: a key deleted without its copy could not
  // be brought back, and the temporary folder is emptied by disk clean-ups.
  const std::u16string file = exportFolder.empty() ? u"" : NewExportPath(exportFolder, product);
  const std::string bytes = platform::WriteRegFile(saved);
  if (file.empty() || !platform::WriteWholeFile(file, bytes)) {
    Report(product, u"kept key: " + name + u" (cannot be saved to " + file + u")");
    return false;
  }
  const std::u16string binName = BinExportName(product, key);
  if (const long recycled = RecycleCopy(exportFolder, binName, bytes); recycled != kErrorSuccess) {
    Report(product, u"kept key: " + name + u" (its copy " + binName +
                        u" cannot be put in the Recycle Bin: " +
                        launchlog::WideSystemError(recycled) + u")");
    return false;
  }
  if (!profile::DeleteRegistryTree(platform::CurrentUserRoot(), key)) {
    Report(product, u"kept key: " + name + u" (cannot be deleted; saved in " + file +
                        u" and in the Recycle Bin as " + binName + u")");
    return false;
  }
  Report(product, u"deleted key: " + name + u" (saved in " + file + u" and in the Recycle Bin as " +
                      binName + u")");
  return true;
}

bool RecyclePath(const UninstallItem& item, std::u16string_view product,
                 const RemovalOptions& options, bool recorded) {
  const std::u16string& path = item.target;
  platform::ItemLocation location;
  const long examined = platform::LocateItem(path, &location);
  if (examined == platform::kErrorFileNotFound || examined == platform::kErrorPathNotFound) {
    Report(product, u"already gone: " + path);
    return true;
  }
  if (examined != kErrorSuccess) {
    Report(product, u"kept: " + path + u" (cannot be examined: " +
                        launchlog::WideSystemError(examined) + u")");
    return false;
  }
  // A link or junction on the way may lead anywhere: what counts is where
  // the item really is.
  if (recorded && !IsLaunchersItem(NormalisedPath(location.realPath), item.kind, product,
                                   options.realRoamingAppData)) {
    Report(product, u"skipped: " + path + u" (really " + location.realPath +
                        u", not an item the launcher places)");
    return true;
  }
  if (!location.isLink && location.isFolder != (item.kind == ItemKind::kFolder)) {
    Report(product, u"skipped: " + path + u" (recorded as a " +
                        (item.kind == ItemKind::kFolder ? u"folder" : u"file") + u", is not one)");
    return true;
  }
  const std::u16string_view asLink = location.isLink ? u" (a link, recycled as one)" : u"";
  if (options.listOnly) {
    Report(product, u"would recycle: " + path + std::u16string(asLink));
    return true;
  }
  const long result = platform::RecycleItem(location.realPath);
  if (result == platform::kErrorFileNotFound || result == platform::kErrorPathNotFound) {
    Report(product, u"already gone: " + path);
    return true;
  }
  if (result != kErrorSuccess) {
    Report(product, u"kept: " + path + u" (cannot be recycled: " +
                        launchlog::WideSystemError(result) + u")");
    return false;
  }
  Report(product, u"recycled: " + path + std::u16string(asLink));
  return true;
}

}  // namespace

bool RemoveItem(const UninstallItem& item, std::u16string_view product,
                const RemovalOptions& options, bool recorded) {
  if (item.kind == ItemKind::kKey) {
    return RemoveKey(item.target, product, options.exportFolder, options.listOnly);
  }
  return RecyclePath(item, product, options, recorded);
}

}  // namespace vk::uninstall
