// The posix Recycle Bin: the freedesktop trash, from which a file manager can
// put each item back where it was.
#include "platform/recycle_bin.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_paths.h"

namespace vk::platform {
namespace {

TEST(RecycleBinTest, ItemsArriveWithTheirOriginOrStayWhereTheyAre) {
  test::TempFolder root;
  test::ScopedEnv data(u"XDG_DATA_HOME", root.path() + u"/data");
  ASSERT_EQ(MakeFolder(root.Join(u"Stará složka")), kErrorSuccess);
  ASSERT_TRUE(test::WriteWholeFile(root.Join(u"Stará složka\\a b.txt"), "first"));
  ASSERT_EQ(RecycleItem(root.Join(u"Stará složka\\a b.txt")), kErrorSuccess);
  ASSERT_TRUE(test::WriteWholeFile(root.Join(u"Stará složka\\a b.txt"), "second"));
  ASSERT_EQ(RecycleItem(root.Join(u"Stará složka\\a b.txt")), kErrorSuccess);
  ASSERT_EQ(RecycleItem(root.Join(u"Stará složka")), kErrorSuccess);
  EXPECT_FALSE(PathExists(root.Join(u"Stará složka")));

  // A second item of the same name takes the next free one.
  std::string bytes;
  const std::u16string trash = root.path() + u"/data/Trash";
  ASSERT_TRUE(test::ReadWholeFile(trash + u"/files/a b.txt", &bytes));
  EXPECT_EQ(bytes, "first");
  ASSERT_TRUE(test::ReadWholeFile(trash + u"/files/a b.txt.2", &bytes));
  EXPECT_EQ(bytes, "second");
  EXPECT_TRUE(FolderExists(trash + u"/files/Stará složka"));
  ASSERT_TRUE(test::ReadWholeFile(trash + u"/info/a b.txt.2.trashinfo", &bytes));
  EXPECT_TRUE(bytes.starts_with("[Trash Info]\nPath=" + Utf16ToUtf8(root.path()) +
                                "/Star%C3%A1%20slo%C5%BEka/a%20b.txt\nDeletionDate="))
      << bytes;

  EXPECT_EQ(RecycleItem(root.Join(u"gone.txt")), kErrorFileNotFound);
  // A trash that cannot be made takes nothing, and nothing is deleted.
  ASSERT_TRUE(test::WriteWholeFile(root.Join(u"kept.txt"), "kept"));
  test::ScopedEnv broken(u"XDG_DATA_HOME", root.path() + u"/kept.txt");
  EXPECT_EQ(RecycleItem(root.Join(u"kept.txt")), kErrorNotSupported);
  EXPECT_TRUE(PathExists(root.Join(u"kept.txt")));
}

}  // namespace
}  // namespace vk::platform
