#include "app/vk_start_app.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "tests/support/known_folder_redirect.h"
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

}  // namespace
}  // namespace vk::app
