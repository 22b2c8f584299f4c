#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "profile/uninstall_log.h"
#include "tests/support/test_paths.h"

namespace vk::profile {
namespace {

using settings::Setting;
namespace pf = vk::platform;

class UninstallLogShortNameTest : public testing::Test {
 protected:
  void SetUp() override {
    s_[Setting::AppDataPath] = root_.Join(u"Roaming");
    ASSERT_EQ(pf::MakeFolder(s_[Setting::AppDataPath]), pf::kErrorSuccess);
  }

  std::string Log() const {
    std::string bytes;
    return vk::test::ReadWholeFile(
               s_[Setting::AppDataPath] + u"\\Kavrin\\VELKOR RUR15\\KvUnInstall.log", &bytes)
               ? bytes
               : "<missing>";
  }

  vk::test::TempFolder root_;
  settings::Settings s_;
};

// "Ж" is in no Latin code page; "Ž" is in both Windows-1250 and 1252.
TEST_F(UninstallLogShortNameTest, AFolderTheCodePageCannotHoldIsLoggedByItsShortName) {
  const std::u16string folder = root_.Join(u"Živá Ж");
  ASSERT_EQ(pf::MakeFolder(folder), pf::kErrorSuccess);
  ASSERT_EQ(pf::MakeFolder(folder + u"\\Sub"), pf::kErrorSuccess);
  ASSERT_TRUE(vk::test::WriteWholeFile(folder + u"\\Sub\\marker.txt", "x"));
  const std::u16string line = u"3," + folder + u"/Sub/";

  EXPECT_TRUE(AddUninstallEntry(s_, line));
  EXPECT_TRUE(AddUninstallEntry(s_, line));
  const std::string log = Log();
  ASSERT_GE(log.size(), 2u);
  ASSERT_EQ(log.find("\r\n"), log.size() - 2) << "one line";
  const std::u16string logged = pf::CodePageToUtf16(log.substr(0, log.size() - 2));

  EXPECT_NE(logged, line);
  EXPECT_EQ(logged.find(u'?'), std::u16string::npos);
  EXPECT_EQ(logged.rfind(u"3," + root_.path() + u"\\", 0), 0u);
  EXPECT_EQ(logged.substr(logged.size() - 5), u"/Sub/");
  // The uninstaller reading the line finds the same folder.
  EXPECT_TRUE(pf::PathExists(logged.substr(2) + u"marker.txt"));
}

TEST_F(UninstallLogShortNameTest, APathThatDoesNotExistKeepsQuestionMarks) {
  const std::u16string line = u"4," + root_.Join(u"Ж missing\\file.txt");
  EXPECT_TRUE(AddUninstallEntry(s_, line));
  EXPECT_TRUE(AddUninstallEntry(s_, line));
  EXPECT_EQ(Log(), pf::Utf16ToUtf8(u"4," + root_.Join(u"? missing\\file.txt")) + "\r\n");
}

}  // namespace
}  // namespace vk::profile
