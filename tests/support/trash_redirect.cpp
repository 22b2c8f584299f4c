#include "tests/support/trash_redirect.h"

#include <algorithm>

#include "platform/files.h"

namespace vk::test {

ScopedTrash::ScopedTrash(const std::u16string& dataFolder) : dataFolder_(dataFolder) {
  const std::u16string unixPath = UnixPathOf(dataFolder);
  if (!unixPath.empty()) variable_.emplace(u"XDG_DATA_HOME", unixPath);
}

std::vector<std::u16string> ScopedTrash::Items() const {
  std::vector<platform::FolderItem> items;
  std::vector<std::u16string> names;
  if (!platform::ListFolder(dataFolder_ + u"\\Trash\\files", u"*", &items)) return names;
  for (const platform::FolderItem& item : items) names.push_back(item.name);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace vk::test
