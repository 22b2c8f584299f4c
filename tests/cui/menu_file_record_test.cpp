#include "cui/menu_file_record.h"

#include <gtest/gtest.h>

#include <string>

#include "cui/package_file.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "tests/cui/package_test_support.h"
#include "tests/support/test_paths.h"
#include "xml/node.h"

namespace vk::cui::test {
namespace {

namespace pf = vk::platform;

constexpr char16_t kProductKey[] = u"Software\\VkTestCui\\ACAD-7100:405";
constexpr char16_t kConfigKey[] =
    u"Software\\VkTestCui\\ACAD-7100:405\\profiles\\VELKOR RUR15\\General Configuration";

// The "MenuFile" text of the test profile, or "<missing>".
std::u16string RecordedMenuFile() {
  pf::RegKey key = nullptr;
  if (pf::OpenKey(pf::CurrentUserRoot(), kConfigKey, pf::kKeyRead, &key) != pf::kErrorSuccess) {
    return u"<missing>";
  }
  uint8_t data[2048];
  uint32_t size = sizeof data;
  uint32_t type = 0;
  const long result = pf::QueryValue(key, u"MenuFile", &type, data, &size);
  pf::CloseKey(key);
  if (result != pf::kErrorSuccess || type != pf::kRegSz || size < 2) return u"<missing>";
  // Written with its terminating zero, as every string value is.
  EXPECT_EQ(data[size - 1], 0);
  EXPECT_EQ(data[size - 2], 0);
  return pf::Utf16LeToString(data, size - 2);
}

class MenuFileRecordTest : public testing::Test {
 protected:
  void SetUp() override { Clear(); }
  void TearDown() override { Clear(); }
  static void Clear() {
    SetMenuFileRecord(nullptr, nullptr, 0);
    [[maybe_unused]] const long deleted =
        pf::DeleteKeyTree(pf::CurrentUserRoot(), u"Software\\VkTestCui");
  }

  vk::test::TempFolder folder_;
};

TEST_F(MenuFileRecordTest, SaveWithRecordNamesTheSavedFile) {
  const std::u16string path = folder_.Join(u"Profile.aws");
  xml::XmlDocument document(xml::NodeNew(u"Profile", nullptr));
  SetMenuFileRecord(kProductKey, u"VELKOR RUR15", 0);
  ASSERT_EQ(SaveCustomisationFile(path, document.get(), false), kSaveOk);
  EXPECT_EQ(RecordedMenuFile(), u"<missing>");
  ASSERT_EQ(SaveCustomisationFile(path, document.get(), true), kSaveOk);
  EXPECT_EQ(RecordedMenuFile(), path);
}

TEST_F(MenuFileRecordTest, PackageSaveWithRecordNamesThePackage) {
  const std::u16string path = folder_.Join(u"aca.cuix");
  ASSERT_TRUE(WriteTestPackage(path, {{"Header.cui", PartXml("CustSection")}}));
  xml::XmlDocument package(OpenCustomisationFile(path));
  ASSERT_NE(package, nullptr);
  SetMenuFileRecord(kProductKey, u"VELKOR RUR15", 0);
  ASSERT_EQ(SaveCustomisationFile(path, package.get(), true), kSaveOk);
  EXPECT_EQ(RecordedMenuFile(), path);
}

TEST_F(MenuFileRecordTest, NothingIsRecordedWithoutARecordOrAfterAFailedSave) {
  xml::XmlDocument document(xml::NodeNew(u"Profile", nullptr));
  SetMenuFileRecord(kProductKey, nullptr, 0);
  ASSERT_EQ(SaveCustomisationFile(folder_.Join(u"a.aws"), document.get(), true), kSaveOk);
  EXPECT_EQ(RecordedMenuFile(), u"<missing>");
  SetMenuFileRecord(kProductKey, u"VELKOR RUR15", 0);
  ASSERT_EQ(SaveCustomisationFile(folder_.Join(u"missing\\a.aws"), document.get(), true),
            kSaveFailed);
  EXPECT_EQ(RecordedMenuFile(), u"<missing>");
}

TEST(JoinKeyPathTest, JoinsWithSingleBackslashes) {
  std::u16string path;
  ASSERT_TRUE(JoinKeyPath({u"Software\\A\\", u"\\profiles", u"/P/", u"General"}, &path));
  EXPECT_EQ(path, u"Software\\A\\profiles\\P\\General");
  ASSERT_TRUE(JoinKeyPath({u"\\A", u"", u"B"}, &path));
  EXPECT_EQ(path, u"A\\B");
  ASSERT_TRUE(JoinKeyPath({}, &path));
  EXPECT_EQ(path, u"");
}

TEST(JoinKeyPathTest, RejectsPathsOverTheLimit) {
  std::u16string path = u"unchanged";
  const std::u16string half(2047, u'k');
  EXPECT_TRUE(JoinKeyPath({half, half}, &path));
  EXPECT_EQ(path.size(), kMaxKeyPathLength);
  path = u"unchanged";
  EXPECT_FALSE(JoinKeyPath({half, half, u"x"}, &path));
  EXPECT_EQ(path, u"unchanged");
}

TEST_F(MenuFileRecordTest, OpensOrCreatesTheJoinedKey) {
  EXPECT_EQ(OpenRegistryKeyFromParts(true, true, false, 0, {u"Software\\VkTestCui", u"New"}),
            nullptr);
  pf::RegKey created =
      OpenRegistryKeyFromParts(true, false, true, 0, {u"Software\\VkTestCui", u"/New/"});
  ASSERT_NE(created, nullptr);
  pf::CloseKey(created);
  pf::RegKey opened = OpenRegistryKeyFromParts(true, true, false, 0, {u"Software\\VkTestCui\\new"});
  ASSERT_NE(opened, nullptr);
  // Read-only access refuses writes.
  const uint8_t zero[2] = {0, 0};
  EXPECT_NE(pf::SetValue(opened, u"v", pf::kRegSz, zero, 2), pf::kErrorSuccess);
  pf::CloseKey(opened);
}

}  // namespace
}  // namespace vk::cui::test
