// Folder trees in a test's temporary folder, and what the copy engine showed.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "copy/copy_status.h"
#include "platform/files.h"
#include "tests/support/test_paths.h"

namespace vk::copy::test {

// Every file below `folder`, by its path relative to it ("a\b.txt"), with its
// bytes.
inline std::map<std::u16string, std::string> ReadTree(const std::u16string& folder,
                                                      const std::u16string& prefix = u"") {
  std::map<std::u16string, std::string> files;
  std::vector<platform::FolderItem> items;
  if (!platform::ListFolder(folder, u"*.*", &items)) return files;
  for (const platform::FolderItem& item : items) {
    const std::u16string path = folder + u"\\" + item.name;
    if (item.isFolder) {
      files.merge(ReadTree(path, prefix + item.name + u"\\"));
    } else {
      std::string bytes;
      EXPECT_TRUE(vk::test::ReadWholeFile(path, &bytes));
      files[prefix + item.name] = bytes;
    }
  }
  return files;
}

// Writes `bytes` to folder + "\" + relative, making every missing folder on
// the way.
inline void PutFile(const std::u16string& folder, std::u16string_view relative,
                    std::string_view bytes) {
  const std::u16string path = folder + u"\\" + std::u16string(relative);
  for (size_t at = path.find_first_of(u"\\/", 1); at != std::u16string::npos;
       at = path.find_first_of(u"\\/", at + 1)) {
    static_cast<void>(platform::MakeFolder(path.substr(0, at)));
  }
  ASSERT_TRUE(vk::test::WriteWholeFile(path, bytes));
}

// Records what the engine asks of its status line.
class RecordingStatus : public CopyStatus {
 public:
  void Show() override { ++shows; }
  void SetText(std::u16string_view fileName) override { names.emplace_back(fileName); }
  void DispatchMessages() override { ++dispatches; }

  int shows = 0;
  int dispatches = 0;
  std::vector<std::u16string> names;
};

}  // namespace vk::copy::test
