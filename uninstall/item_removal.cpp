#include "uninstall/item_removal.h"

#include <vector>

#include "launchlog/launch_log.h"
#include "platform/files.h"
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
    profile::ScopedKey open;
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
  // Saved first: a key deleted without its copy could not be brought back.
  const std::u16string file = exportFolder.empty() ? u"" : NewExportPath(exportFolder, product);
  if (file.empty() || !platform::WriteWholeFile(file, platform::WriteRegFile(saved))) {
    Report(product, u"kept key: " + name + u" (cannot be saved to " + file + u")");
    return false;
  }
  if (!profile::DeleteRegistryTree(platform::CurrentUserRoot(), key)) {
    Report(product, u"kept key: " + name + u" (cannot be deleted; saved in " + file + u")");
    return false;
  }
  Report(product, u"deleted key: " + name + u" (saved in " + file + u")");
  return true;
}

bool RecyclePath(const UninstallItem& item, std::u16string_view product, bool listOnly) {
  const std::u16string& path = item.target;
  if (!platform::PathExists(path)) {
    Report(product, u"already gone: " + path);
    return true;
  }
  if (platform::FolderExists(path) != (item.kind == ItemKind::kFolder)) {
    Report(product, u"skipped: " + path + u" (recorded as a " +
                        (item.kind == ItemKind::kFolder ? u"folder" : u"file") + u", is not one)");
    return true;
  }
  if (listOnly) {
    Report(product, u"would recycle: " + path);
    return true;
  }
  const long result = platform::RecycleItem(path);
  if (result == platform::kErrorFileNotFound || result == platform::kErrorPathNotFound) {
    Report(product, u"already gone: " + path);
    return true;
  }
  if (result != kErrorSuccess) {
    Report(product, u"kept: " + path + u" (cannot be recycled: " +
                        launchlog::WideSystemError(result) + u")");
    return false;
  }
  Report(product, u"recycled: " + path);
  return true;
}

}  // namespace

bool RemoveItem(const UninstallItem& item, std::u16string_view product,
                std::u16string_view exportFolder, bool listOnly) {
  if (item.kind == ItemKind::kKey) return RemoveKey(item.target, product, exportFolder, listOnly);
  return RecyclePath(item, product, listOnly);
}

}  // namespace vk::uninstall
