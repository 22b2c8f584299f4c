#include "platform/files.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/registry.h"
#include "tests/support/test_paths.h"

namespace vk::platform {
namespace {

using test::ReadWholeFile;
using test::TempFolder;
using test::WriteWholeFile;

std::vector<std::u16string> Names(const std::vector<FolderItem>& items) {
  std::vector<std::u16string> names;
  for (const FolderItem& item : items) names.push_back(item.name + (item.isFolder ? u"\\" : u""));
  std::sort(names.begin(), names.end());
  return names;
}

TEST(FilesTest, CopyNeverOverwritesAnExistingTarget) {
  TempFolder dir;
  ASSERT_TRUE(WriteWholeFile(dir.Join(u"zdroj č.txt"), "new"));
  ASSERT_TRUE(WriteWholeFile(dir.Join(u"cíl.txt"), "users own"));
  EXPECT_EQ(CopyFileNoReplace(dir.Join(u"zdroj č.txt"), dir.Join(u"cíl.txt")), kErrorFileExists);
  std::string kept;
  ASSERT_TRUE(ReadWholeFile(dir.Join(u"cíl.txt"), &kept));
  EXPECT_EQ(kept, "users own");

  EXPECT_EQ(CopyFileNoReplace(dir.Join(u"zdroj č.txt"), dir.Join(u"nový.txt")), kErrorSuccess);
  ASSERT_TRUE(ReadWholeFile(dir.Join(u"nový.txt"), &kept));
  EXPECT_EQ(kept, "new");
  EXPECT_NE(CopyFileNoReplace(dir.Join(u"chybí.txt"), dir.Join(u"x.txt")), kErrorSuccess);
  EXPECT_FALSE(PathExists(dir.Join(u"x.txt")));
}

TEST(FilesTest, NamesResolveWithoutRegardToLetterCase) {
  TempFolder dir;
  ASSERT_EQ(MakeFolder(dir.Join(u"Kavrin")), kErrorSuccess);
  ASSERT_TRUE(WriteWholeFile(dir.Join(u"Kavrin\\KvUnInstall.log"), "2,0,x\r\n"));
  EXPECT_TRUE(PathExists(dir.Join(u"KAVRIN\\KVUnInstall.log")));
  EXPECT_TRUE(FolderExists(dir.Join(u"kavrin")));
  EXPECT_FALSE(FolderExists(dir.Join(u"kavrin\\kvuninstall.log")));
  EXPECT_EQ(
      CopyFileNoReplace(dir.Join(u"KAVRIN\\KVUNINSTALL.LOG"), dir.Join(u"kavrin\\kvuninstall.log")),
      kErrorFileExists);
  // Appending through another spelling reaches the same file.
  std::FILE* f = OpenFile(dir.Join(u"KAVRIN\\kvuninstall.LOG"), u"ab");
  ASSERT_NE(f, nullptr);
  std::fputs("3,y\r\n", f);
  std::fclose(f);
  std::string all;
  ASSERT_TRUE(ReadWholeFile(dir.Join(u"Kavrin\\KvUnInstall.log"), &all));
  EXPECT_EQ(all, "2,0,x\r\n3,y\r\n");
  // A reader that bounds what it takes refuses a larger file.
  all.clear();
  EXPECT_TRUE(platform::ReadWholeFile(dir.Join(u"kavrin\\kvuninstall.log"), &all, 12));
  EXPECT_FALSE(platform::ReadWholeFile(dir.Join(u"kavrin\\kvuninstall.log"), &all, 11));
}

TEST(FilesTest, FoldersAreMadeOneLevelAtATime) {
  TempFolder dir;
  EXPECT_EQ(MakeFolder(dir.Join(u"a\\b")), kErrorPathNotFound);
  EXPECT_EQ(MakeFolder(dir.Join(u"a")), kErrorSuccess);
  EXPECT_EQ(MakeFolder(dir.Join(u"A")), kErrorAlreadyExists);
  EXPECT_EQ(MakeFolder(dir.Join(u"a\\b")), kErrorSuccess);
  EXPECT_EQ(RemoveFile(dir.Join(u"a\\missing.txt")), kErrorFileNotFound);
}

TEST(FilesTest, ListingMatchesMasksAndTellsFoldersApart) {
  TempFolder dir;
  ASSERT_TRUE(WriteWholeFile(dir.Join(u"acad.CUIX"), ""));
  ASSERT_TRUE(WriteWholeFile(dir.Join(u"Profil.aws"), ""));
  ASSERT_TRUE(WriteWholeFile(dir.Join(u"readme"), ""));
  ASSERT_EQ(MakeFolder(dir.Join(u"Podpora")), kErrorSuccess);
  std::vector<FolderItem> items;
  ASSERT_TRUE(ListFolder(dir.path(), u"*", &items));
  EXPECT_EQ(Names(items),
            (std::vector<std::u16string>{u"Podpora\\", u"Profil.aws", u"acad.CUIX", u"readme"}));
  ASSERT_TRUE(ListFolder(dir.path(), u"*.cuix", &items));
  EXPECT_EQ(Names(items), std::vector<std::u16string>{u"acad.CUIX"});
  ASSERT_TRUE(ListFolder(dir.path(), u"Pro?il.*", &items));
  EXPECT_EQ(Names(items), std::vector<std::u16string>{u"Profil.aws"});
  ASSERT_TRUE(ListFolder(dir.path(), u"*.dwg", &items));
  EXPECT_TRUE(items.empty());
  EXPECT_FALSE(ListFolder(dir.Join(u"chybí"), u"*", &items));
}

TEST(FilesTest, ReplacementSwapsTheWholeFile) {
  TempFolder dir;
  ASSERT_TRUE(WriteWholeFile(dir.Join(u"acad.cuix"), "old"));
  ASSERT_TRUE(WriteWholeFile(dir.Join(u"acad.cuix.new"), "new"));
  EXPECT_EQ(ReplaceFileAtomically(dir.Join(u"acad.cuix.new"), dir.Join(u"acad.cuix")),
            kErrorSuccess);
  std::string now;
  ASSERT_TRUE(ReadWholeFile(dir.Join(u"acad.cuix"), &now));
  EXPECT_EQ(now, "new");
  EXPECT_FALSE(PathExists(dir.Join(u"acad.cuix.new")));
  EXPECT_NE(ReplaceFileAtomically(dir.Join(u"missing"), dir.Join(u"acad.cuix")), kErrorSuccess);
  ASSERT_TRUE(ReadWholeFile(dir.Join(u"acad.cuix"), &now));
  EXPECT_EQ(now, "new");
}

TEST(FilesTest, TempFilesAreNewEmptyAndNamedFromThreePrefixCharacters) {
  std::u16string first, second;
  ASSERT_TRUE(MakeTempFile(u"VK_CUI_", &first));
  ASSERT_TRUE(MakeTempFile(u"VK_CUI_", &second));
  EXPECT_NE(first, second);
  const size_t slash = first.find_last_of(u"\\/");
  EXPECT_EQ(first.substr(slash + 1, 3), u"VK_");
  std::string content = "x";
  ASSERT_TRUE(ReadWholeFile(first, &content));
  EXPECT_TRUE(content.empty());
  EXPECT_EQ(RemoveFile(first), kErrorSuccess);
  EXPECT_EQ(RemoveFile(second), kErrorSuccess);
}

}  // namespace
}  // namespace vk::platform
