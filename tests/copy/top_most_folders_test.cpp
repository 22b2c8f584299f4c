#include "copy/top_most_folders.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/text.h"

namespace vk::copy {
namespace {

// The walk as written for the copied-folder list, one entry after another.
void AddByWalk(std::vector<std::u16string>* list, std::u16string_view folder) {
  for (std::u16string& entry : *list) {
    if (platform::RegistryNamesEqual(folder, entry)) return;
    if (folder.find(entry) != std::u16string_view::npos) return;
    if (entry.find(folder) != std::u16string::npos) {
      entry = folder;
      return;
    }
  }
  list->emplace_back(folder);
}

// Random trees, files arriving in random folders in random order: the same
// list, entry for entry, as the walk gives. The names are few and short, so
// that case variants, repeats, parents after children and siblings that
// start alike are common; some runs put the root's text inside a folder name
// (one folder then occurs in another other than at its start), or record
// folders that share no start at all.
TEST(TopMostFoldersTest, KeepsTheListTheWalkKeepsOnRandomTrees) {
  const std::u16string names[] = {u"a", u"ab", u"b", u"A", u"Support", u"SUPPORT", u"ř", u"Ř"};
  std::mt19937 random(20261208);
  for (int run = 0; run < 400; ++run) {
    const int shape = run % 4;
    const std::u16string root = shape == 3 ? u"" : u"C:\\U/";
    // The root inside names: few names, so that such folders meet.
    std::uniform_int_distribution<int> depth(0, 4), odd(0, 30),
        name(0, shape == 2 ? 2 : static_cast<int>(std::size(names)) - 1);
    TopMostFolders folders;
    std::vector<std::u16string> walked;
    const int count = 1 + run % 150;
    for (int i = 0; i < count; ++i) {
      std::u16string folder = root;
      for (int level = depth(random); level > 0; --level) {
        folder += names[name(random)];
        // The root inside a name: "C:\U/a/C:\U/".
        if (shape == 2 && odd(random) < 8) folder += root;
        folder += u'/';
      }
      if (shape == 3 && odd(random) < 3) folder = folder.substr(odd(random) % (folder.size() + 1));
      folders.Add(folder);
      AddByWalk(&walked, folder);
      ASSERT_EQ(folders.list(), walked)
          << "run " << run << ", folder " << i << ": " << platform::Utf16ToUtf8(folder);
    }
    // What stays after some entries leave is indexed as afresh.
    int index = 0;
    folders.RemoveIf([&index](const std::u16string&) { return index++ % 3 == 0; });
    std::vector<std::u16string> kept;
    for (size_t i = 0; i < walked.size(); ++i) {
      if (i % 3 != 0) kept.push_back(walked[i]);
    }
    ASSERT_EQ(folders.list(), kept);
    for (const std::u16string& folder : {root + u"a/", root, root + u"b/ab/"}) {
      folders.Add(folder);
      AddByWalk(&kept, folder);
    }
    EXPECT_EQ(folders.list(), kept) << "run " << run;
  }

  // A recorded folder holds the next one only past its start.
  TopMostFolders folders;
  for (const char16_t* folder : {u"C:\\U/a/", u"C:\\U/c/", u"C:\\U/ab/C:\\U/b/", u"C:\\U/b/"}) {
    folders.Add(folder);
  }
  EXPECT_EQ(folders.list(), (std::vector<std::u16string>{u"C:\\U/a/", u"C:\\U/c/", u"C:\\U/b/"}));
}

}  // namespace
}  // namespace vk::copy
