#include <gtest/gtest.h>

#include "platform/files.h"
#include "profile/uninstall_log.h"
#include "tests/support/test_paths.h"

namespace vk::profile {
namespace {

using settings::Setting;
namespace pf = vk::platform;

// Posix keeps no short names: what Windows-1250 cannot hold becomes "?", and
// lines are compared in that form.
TEST(UninstallLogCodePageTest, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  vk::test::TempFolder root;
  settings::Settings s;
  s[Setting::AppDataPath] = root.path();
  EXPECT_TRUE(AddUninstallEntry(s, u"3,C:\\Users\\Jiří Ж\\Support/"));
  EXPECT_TRUE(AddUninstallEntry(s, u"3,C:\\Users\\Jiří Ж\\Support/"));
  EXPECT_TRUE(AddUninstallEntry(s, u"3,C:\\Users\\Jiří Ω\\Support/"));
  std::string log;
  ASSERT_TRUE(vk::test::ReadWholeFile(root.Join(u"Kavrin\\VELKOR RUR15\\KvUnInstall.log"), &log));
  EXPECT_EQ(log, "3,C:\\Users\\Ji\xF8\xED ?\\Support/\r\n");
}

}  // namespace
}  // namespace vk::profile
