// The real-world customisation files that the tests read in place.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "tests/support/test_paths.h"

namespace vk::test {

// The files of the corpus's "cuix" folder whose names `keep(name)` accepts,
// as full paths; none when the corpus is absent.
template <typename Keep>
std::vector<std::u16string> CorpusCuixFiles(Keep keep) {
  std::vector<std::u16string> paths;
  const std::u16string dir = CorpusDir();
  if (dir.empty()) return paths;
  std::vector<platform::FolderItem> items;
  EXPECT_TRUE(platform::ListFolder(dir + u"\\cuix", u"*", &items));
  for (const platform::FolderItem& item : items) {
    if (keep(std::u16string_view(item.name))) paths.push_back(dir + u"\\cuix\\" + item.name);
  }
  return paths;
}

}  // namespace vk::test
