#include "uninstall/uninstall_records.h"

#include "platform/code_page_path.h"
#include "platform/text.h"

namespace vk::uninstall {
namespace {

constexpr std::u16string_view kKeyRecord = u"2,0,";
constexpr std::u16string_view kFolderRecord = u"3,";
constexpr std::u16string_view kFileRecord = u"4,";

bool IsSeparator(char16_t c) {
  return c == u'\\' || c == u'/';
}

// Whether `text` begins with `head`, letter case ignored.
bool StartsWithNoCase(std::u16string_view text, std::u16string_view head) {
  return text.size() >= head.size() &&
         platform::RegistryNamesEqual(text.substr(0, head.size()), head);
}

// "\" for every separator, runs of them as one (a "\\" share's start kept),
// no separator at the end.
std::u16string NormalisedPath(std::u16string_view path) {
  std::u16string out;
  for (size_t i = 0; i < path.size(); ++i) {
    if (!IsSeparator(path[i])) {
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
  if (!StartsWithNoCase(path, root)) return false;
  if (path.size() == root.size()) return rootItself;
  return path[root.size()] == u'\\' && PlainComponents(path.substr(root.size() + 1));
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
  const std::u16string roaming = NormalisedPath(platform::LongPathName(folders.roamingAppData));
  const std::u16string target = NormalisedPath(platform::LongPathName(NormalisedPath(path)));
  if (roaming.empty() ||
      (!WithinFolder(target, roaming + u"\\Kavrin\\" + std::u16string(product), true) &&
       !WithinFolder(target, roaming + u"\\Autodesk", false))) {
    *reason = u"outside the user's add-on and AutoCAD folders";
    return false;
  }
  *item = {kind, target};
  return true;
}

}  // namespace

std::u16string ProfilesKeyOf(std::u16string_view key, std::u16string_view product) {
  const std::u16string tail = u"\\Profiles\\" + std::u16string(product);
  if (!StartsWithNoCase(key, u"Software\\") || key.size() <= tail.size() + 9 ||
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
  if (line.find(u"..") != std::u16string_view::npos ||
      line.find_first_of(u"*?") != std::u16string_view::npos) {
    *reason = u"holds \"..\", \"*\" or \"?\"";
    return false;
  }
  if (line.starts_with(kKeyRecord)) {
    return ReadKeyRecord(line.substr(kKeyRecord.size()), product, item, reason);
  }
  if (line.starts_with(kFolderRecord)) {
    return ReadPathRecord(line.substr(kFolderRecord.size()), ItemKind::kFolder, product, folders,
                          item, reason);
  }
  if (line.starts_with(kFileRecord)) {
    return ReadPathRecord(line.substr(kFileRecord.size()), ItemKind::kFile, product, folders, item,
                          reason);
  }
  *reason = u"no record of the launcher";
  return false;
}

}  // namespace vk::uninstall
