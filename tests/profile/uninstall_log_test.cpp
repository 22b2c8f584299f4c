#include "profile/uninstall_log.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/files.h"
#include "platform/registry.h"
#include "tests/support/test_paths.h"

namespace vk::profile {
namespace {

using settings::Setting;
namespace pf = vk::platform;

class UninstallLogTest : public testing::Test {
 protected:
  void SetUp() override {
    s_[Setting::AppDataPath] = root_.Join(u"Roaming");
    ASSERT_EQ(pf::MakeFolder(s_[Setting::AppDataPath]), pf::kErrorSuccess);
  }

  std::u16string Folder() const { return root_.Join(u"Roaming\\Kavrin\\VELKOR RUR15"); }

  std::string Log() const {
    std::string bytes;
    return vk::test::ReadWholeFile(Folder() + u"\\KvUnInstall.log", &bytes) ? bytes : "<missing>";
  }

  vk::test::TempFolder root_;
  settings::Settings s_;
};

TEST_F(UninstallLogTest, KeepsEachLineOnceAndComparesCase) {
  EXPECT_TRUE(AddUninstallEntry(s_, u"3,C:\\Users\\Jan\\Support/"));
  EXPECT_TRUE(pf::FolderExists(Folder()));
  EXPECT_TRUE(AddUninstallEntry(s_, u"3,C:\\Users\\Jan\\Support/"));
  EXPECT_TRUE(AddUninstallEntry(s_, u"3,c:\\users\\jan\\support/"));
  EXPECT_TRUE(AddUninstallEntry(s_, u"2,0,Software\\Kavrin\\VELKOR RUR15"));
  EXPECT_TRUE(AddUninstallEntry(s_, u"3,C:\\Users\\Jan\\Support/"));
  EXPECT_EQ(Log(),
            "3,C:\\Users\\Jan\\Support/\r\n3,c:\\users\\jan\\support/\r\n"
            "2,0,Software\\Kavrin\\VELKOR RUR15\r\n");
}

TEST_F(UninstallLogTest, TheCopyEnginesSpellingNamesTheSameFile) {
  ASSERT_EQ(pf::MakeFolder(root_.Join(u"Roaming\\Kavrin")), pf::kErrorSuccess);
  ASSERT_EQ(pf::MakeFolder(Folder()), pf::kErrorSuccess);
  // A last line without its end gets one before the next entry.
  ASSERT_TRUE(vk::test::WriteWholeFile(Folder() + u"\\KVUnInstall.log", "3,C:\\A/\n4,C:\\B.txt"));
  EXPECT_TRUE(AddUninstallEntry(s_, u"3,C:\\A/"));
  EXPECT_TRUE(AddUninstallEntry(s_, u"4,C:\\B.txt"));
  EXPECT_TRUE(AddUninstallEntry(s_, u"4,C:\\C.txt"));
  std::vector<pf::FolderItem> items;
  ASSERT_TRUE(pf::ListFolder(Folder(), u"*", &items));
  EXPECT_EQ(items.size(), 1u);
  EXPECT_EQ(Log(), "3,C:\\A/\n4,C:\\B.txt\r\n4,C:\\C.txt\r\n");
}

TEST_F(UninstallLogTest, ALogThatCannotBeOpenedGivesFalse) {
  ASSERT_EQ(pf::MakeFolder(root_.Join(u"Roaming\\Kavrin")), pf::kErrorSuccess);
  ASSERT_EQ(pf::MakeFolder(Folder()), pf::kErrorSuccess);
  ASSERT_EQ(pf::MakeFolder(Folder() + u"\\KvUnInstall.log"), pf::kErrorSuccess);
  EXPECT_FALSE(AddUninstallEntry(s_, u"3,C:\\A/"));

  s_[Setting::AppDataPath] = root_.Join(u"Missing");
  EXPECT_FALSE(AddUninstallEntry(s_, u"3,C:\\A/"));
}

TEST_F(UninstallLogTest, ALogPastItsBoundIsLeftAsItIs) {
  ASSERT_TRUE(AddUninstallEntry(s_, u"3,C:\\A/"));
  const std::u16string log = Folder() + u"\\KvUnInstall.log";
  ASSERT_TRUE(vk::test::ResizeFile(log, kMaxUninstallLogSize + 1));
  EXPECT_FALSE(AddUninstallEntry(s_, u"3,C:\\B/"));
  uint64_t size = 0;
  ASSERT_TRUE(pf::FileSize(log, &size));
  EXPECT_EQ(size, kMaxUninstallLogSize + 1);
}

}  // namespace
}  // namespace vk::profile
