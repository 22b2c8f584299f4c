#include "uninstall/uninstall_records.h"

#include <algorithm>
#include <iterator>

#include "platform/code_page_path.h"
#include "platform/text.h"
#include "profile/launcher_items.h"
#include "profile/uninstall_log.h"

namespace vk::uninstall {
namespace {

// "\" for every separator, runs of them as one (a "\\" share's start kept),
// no separator at the end.
std::u16string Normalised(std::u16string_view path) {
  std::u16string out;
  for (size_t i = 0; i < path.size(); ++i) {
    if (!platform::IsSeparator(path[i])) {
      out += path[i];
    } else if (out.empty() || out.back() != u'\\' || i == 1) {
      out += u'\\';
    }
  }
  while (out.size() > 1 && out.back() == u'\\') out.pop_back();
  return out;
}

// Whether every component of `relative` ("a\b") names a file as written:
// Windows drops a trailing dot or blank, and ":" opens a stream.
bool PlainComponents(std::u16string_view relative) {
  size_t begin = 0;
  while (begin <= relative.size()) {
    size_t end = relative.find(u'\\', begin);
    if (end == std::u16string_view::npos) end = relative.size();
    const std::u16string_view component = relative.substr(begin, end - begin);
    if (component.empty() || component.back() == u'.' || component.back() == u' ' ||
        component.find(u':') != std::u16string_view::npos) {
      return false;
    }
    begin = end + 1;
  }
  return true;
}

// Whether `path` is `root` or lies below it, comparing whole components.
bool WithinFolder(std::u16string_view path, std::u16string_view root, bool rootItself) {
  if (!platform::RegistryNameStartsWith(path, root)) return false;
  if (path.size() == root.size()) return rootItself;
  return path[root.size()] == u'\\' && PlainComponents(path.substr(root.size() + 1));
}

// Whether `relative` ("\a\b\Support\...", below the roaming "\Autodesk")
// is one of the launcher's items there: AutoCAD's per-user folder is at most
// two folders (product and language, either may be empty) below "\Autodesk".
bool IsAcadUserItem(std::u16string_view relative, ItemKind kind, std::u16string_view product) {
  for (const profile::AcadUserItem& form : profile::AcadUserItems(product)) {
    if (form.isFolder != (kind == ItemKind::kFolder) || relative.size() < form.tail.size() ||
        !platform::RegistryNamesEqual(relative.substr(relative.size() - form.tail.size()),
                                      form.tail)) {
      continue;
    }
    const std::u16string_view between = relative.substr(0, relative.size() - form.tail.size());
    if (between.empty()) return true;
    const size_t folders = static_cast<size_t>(std::count(between.begin(), between.end(), u'\\'));
    if (folders <= 2 && PlainComponents(between.substr(1))) return true;
  }
  return false;
}

bool ReadKeyRecord(std::u16string_view key, std::u16string_view product, UninstallItem* item,
                   std::u16string* reason) {
  const std::u16string addonKey = u"Software\\Kavrin\\" + std::u16string(product);
  // The launcher writes "\" only; a "/" would be read as one when deleting.
  const bool plain = key.find(u'/') == std::u16string_view::npos;
  if (plain &&
      (platform::RegistryNamesEqual(key, addonKey) || !ProfilesKeyOf(key, product).empty())) {
    *item = {ItemKind::kKey, std::u16string(key)};
    return true;
  }
  *reason = u"not the product's key or AutoCAD profile";
  return false;
}

bool ReadPathRecord(std::u16string_view path, ItemKind kind, std::u16string_view product,
                    const UserFolders& folders, UninstallItem* item, std::u16string* reason) {
  const std::u16string target = NormalisedPath(path);
  if (!IsLaunchersItem(target, kind, product, NormalisedPath(folders.roamingAppData))) {
    *reason = u"not an item the launcher places in the user's add-on and AutoCAD folders";
    return false;
  }
  *item = {kind, target};
  return true;
}

}  // namespace

std::u16string NormalisedPath(std::u16string_view path) {
  return Normalised(platform::LongPathName(Normalised(path)));
}

bool IsLaunchersItem(std::u16string_view path, ItemKind kind, std::u16string_view product,
                     std::u16string_view roaming) {
  if (roaming.empty()) return false;
  if (WithinFolder(path, std::u16string(roaming) + u"\\Kavrin\\" + std::u16string(product), true)) {
    return true;
  }
  const std::u16string autodesk = std::u16string(roaming) + u"\\Autodesk";
  return WithinFolder(path, autodesk, false) &&
         IsAcadUserItem(path.substr(autodesk.size()), kind, product);
}

std::u16string ProfilesKeyOf(std::u16string_view key, std::u16string_view product) {
  const std::u16string tail = u"\\Profiles\\" + std::u16string(product);
  if (!platform::RegistryNameStartsWith(key, u"Software\\") || key.size() <= tail.size() + 9 ||
      !platform::RegistryNamesEqual(key.substr(key.size() - tail.size()), tail)) {
    return {};
  }
  const std::u16string_view profiles = key.substr(0, key.size() - product.size() - 1);
  // Every key on the way has a name.
  if (profiles.find(u"\\\\") != std::u16string_view::npos) return {};
  return std::u16string(profiles);
}

bool ReadUninstallRecord(std::u16string_view line, std::u16string_view product,
                         const UserFolders& folders, UninstallItem* item, std::u16string* reason) {
  // A zero byte would cut the path where the system reads it.
  if (std::any_of(line.begin(), line.end(), [](char16_t c) { return c < u' ' || c == 0x7F; })) {
    *reason = u"holds a control character";
    return false;
  }
  if (line.find(u"..") != std::u16string_view::npos ||
      line.find_first_of(u"*?") != std::u16string_view::npos) {
    *reason = u"holds \"..\", \"*\" or \"?\"";
    return false;
  }
  if (line.starts_with(profile::kKeyRecord)) {
    return ReadKeyRecord(line.substr(std::size(profile::kKeyRecord) - 1), product, item, reason);
  }
  if (line.starts_with(profile::kFolderRecord)) {
    return ReadPathRecord(line.substr(std::size(profile::kFolderRecord) - 1), ItemKind::kFolder, product, folders,
                          item, reason);
  }
  if (line.starts_with(profile::kFileRecord)) {
    return ReadPathRecord(line.substr(std::size(profile::kFileRecord) - 1), ItemKind::kFile, product, folders, item,
                          reason);
  }
  *reason = u"no record of the launcher";
  return false;
}

}  // namespace vk::uninstall
