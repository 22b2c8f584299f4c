#include "app/vk_start_app.h"

#include <gtest/gtest.h>

#include "app/string_table.h"
#include "platform/files.h"
#include "settings/settings.h"
#include "tests/support/known_folder_redirect.h"
#include "tests/support/lock_holder.h"
#include "tests/support/message_log.h"
#include "tests/support/test_paths.h"

namespace vk::app {
namespace {

class VkStartAppTest : public testing::Test {
 protected:
  test::TempFolder root_;
  test::ScopedMessageLog log_;
};

TEST_F(VkStartAppTest, StartUpParsesTheSwitchesAndForcesTheProfile) {
  test::ScopedKnownFolders folders(root_.path(), root_.path(), root_.path());
  VkStartApp app;
  ASSERT_TRUE(app.InitInstance({u"vkstart.exe", u"-p", u"Other", u"/NOLOGO", u"výkres.dwg"}));
  ASSERT_NE(app.splash(), nullptr);
  EXPECT_FALSE(app.splash()->showBitmap);
  EXPECT_EQ(app.switches()->Compose(), u" /p \"VELKOR RUR15\" /NOLOGO \"výkres.dwg\"");
  EXPECT_EQ(app.settings()[settings::Setting::AppDataPath], root_.path());
  EXPECT_EQ(app.ExitInstance(), 0);
  EXPECT_EQ(app.splash(), nullptr);
  EXPECT_EQ(app.switches(), nullptr);
}

TEST_F(VkStartAppTest, WithoutArgumentsOnlyTheProfileIsHandedOn) {
  test::ScopedKnownFolders folders(root_.path(), root_.path(), root_.path());
  VkStartApp app;
  ASSERT_TRUE(app.InitInstance({u"vkstart.exe"}));
  EXPECT_TRUE(app.splash()->showBitmap);
  EXPECT_EQ(app.switches()->Compose(), u" /p \"VELKOR RUR15\"");
}

TEST_F(VkStartAppTest, MissingKnownFolderEndsStartUpWithoutAWindow) {
  const std::u16string missing = root_.Join(u"chybí");
  test::ScopedKnownFolders folders(root_.path(), root_.path(), missing);
  VkStartApp app;
  EXPECT_FALSE(app.InitInstance({u"vkstart.exe", u"/nologo"}));
  EXPECT_EQ(app.splash(), nullptr);
  EXPECT_EQ(test::TakeMessageLog(), std::vector<std::u16string>{u"Couldn't read AppData"});
}

// Another launch (or clean-up) of the user keeps the lock past the limit:
// message 22, and nothing else is done; without the lock this user, who
// never ran AutoCAD Architecture, would have seen message 17.
TEST_F(VkStartAppTest, ALockHeldPastTheLimitEndsTheLaunchWithMessage22) {
  test::ScopedKnownFolders folders(root_.path(), root_.path(), root_.path());
  test::ScopedLockHolder other(settings::kAddonProfileName);
  ASSERT_TRUE(other.holding());
  VkStartApp app;
  app.lockLimit = std::chrono::milliseconds(700);
  ASSERT_TRUE(app.InitInstance({u"vkstart.exe", u"/nologo"}));
  const auto start = std::chrono::steady_clock::now();
  app.Run();
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(700));
  EXPECT_EQ(test::TakeMessageLog(), std::vector<std::u16string>{LoadMessageText(22)});
  EXPECT_EQ(app.acadProcess().processId, 0u);
  EXPECT_EQ(app.ExitInstance(), 0);
}

}  // namespace
}  // namespace vk::app
