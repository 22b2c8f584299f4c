#include "profile/registry_tree.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/profile/profile_test_support.h"
#include "tests/support/reg_fixture.h"
#include "tests/support/scoped_env.h"

namespace vk::profile {
namespace {

using settings::Setting;
using test::kAcadPathReg;
using test::Snapshot;
namespace pf = vk::platform;

const std::u16string kProfiles = std::u16string(kAcadPathReg) + u"\\Profiles";
const std::u16string kCzech = kProfiles + u"\\AutoCAD Architecture - Metrické jednotky";
const std::u16string kGlobal = kProfiles + u"\\AutoCAD Architecture (Global)";
const std::u16string kUnnamed = kProfiles + u"\\<<Unnamed Profile>>";
const std::u16string kAddon = kProfiles + u"\\VELKOR RUR15";

std::vector<std::u16string> Without(std::vector<std::u16string> lines, std::u16string_view part) {
  std::erase_if(lines, [&](const std::u16string& line) { return line.find(part) != line.npos; });
  return lines;
}

class RegistryTreeTest : public test::RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    std::u16string error;
    ASSERT_TRUE(
        vk::test::ApplyRegFile(vk::test::TestDataPath(u"profile\\acad_profiles.reg"), &error))
        << pf::Utf16ToUtf8(error);
    settings_[Setting::AcadPathReg] = kAcadPathReg;
    settings_[Setting::ToolPalettePath] = u"earlier";
  }

  // Copies the key at `from` into the one at `to`, which is created.
  long Copy(std::u16string_view from, std::u16string_view to) {
    pf::ScopedKey source;
    pf::ScopedKey destination;
    EXPECT_EQ(pf::OpenKey(pf::CurrentUserRoot(), from, pf::kKeyRead, source.Receive()),
              pf::kErrorSuccess);
    EXPECT_EQ(
        pf::CreateKey(pf::CurrentUserRoot(), to, pf::kKeyWrite, destination.Receive(), nullptr),
        pf::kErrorSuccess);
    return CopyRegistryTree(source.get(), destination.get());
  }

  vk::test::ScopedEnv roaming_{u"VK_TEST_ROAMING", u"C:\\Users\\Jiří\\AppData\\Roaming"};
  settings::Settings settings_;
};

TEST_F(RegistryTreeTest, CopiesAWholeTreeByteForByte) {
  const std::u16string copy = std::u16string(test::kTestKey) + u"\\Copy";
  EXPECT_EQ(Copy(kCzech, copy), pf::kErrorNoMoreItems);
  const std::vector<std::u16string> source = Snapshot(kCzech);
  ASSERT_GT(source.size(), 15u);
  EXPECT_EQ(Snapshot(copy), source);
}

TEST_F(RegistryTreeTest, CopyOverwritesButDeletesNothing) {
  const std::u16string copy = std::u16string(test::kTestKey) + u"\\Copy";
  {
    pf::ScopedKey own;
    ASSERT_EQ(pf::CreateKey(pf::CurrentUserRoot(), copy + u"\\General\\Own", pf::kKeyAllAccess,
                            own.Receive(), nullptr),
              pf::kErrorSuccess);
    pf::ScopedKey general;
    ASSERT_EQ(
        pf::OpenKey(pf::CurrentUserRoot(), copy + u"\\General", pf::kKeyWrite, general.Receive()),
        pf::kErrorSuccess);
    ASSERT_EQ(pf::SetStringValue(general.get(), u"Extra", pf::kRegSz, u"mine"), pf::kErrorSuccess);
    ASSERT_EQ(SetDwordValue(general.get(), u"MaxArray", 1), pf::kErrorSuccess);
  }
  EXPECT_EQ(Copy(kCzech, copy), pf::kErrorNoMoreItems);
  EXPECT_EQ(test::ReadText(copy + u"\\General", u"Extra"), u"mine");
  EXPECT_TRUE(test::KeyExists(copy + u"\\General\\Own"));
  EXPECT_EQ(test::ReadNumber(copy + u"\\General", u"MaxArray"), 10000000);
}

TEST_F(RegistryTreeTest, CopyingAnEmptyKeyCopiesNothing) {
  const std::u16string copy = std::u16string(test::kTestKey) + u"\\Copy";
  EXPECT_EQ(Copy(kCzech + u"\\Editor Configuration", copy), pf::kErrorNoMoreItems);
  EXPECT_EQ(Snapshot(copy), std::vector<std::u16string>{u"|"});
}

TEST_F(RegistryTreeTest, ACopyFromAKeyThatIsGoneFails) {
  pf::ScopedKey source;
  pf::ScopedKey destination;
  ASSERT_EQ(pf::OpenKey(pf::CurrentUserRoot(), kGlobal, pf::kKeyRead, source.Receive()),
            pf::kErrorSuccess);
  ASSERT_EQ(
      pf::CreateKey(pf::CurrentUserRoot(), kAddon, pf::kKeyWrite, destination.Receive(), nullptr),
      pf::kErrorSuccess);
  ASSERT_EQ(pf::DeleteKeyTree(pf::CurrentUserRoot(), kGlobal), pf::kErrorSuccess);
  const long result = CopyRegistryTree(source.get(), destination.get());
  EXPECT_NE(result, pf::kErrorSuccess);
  EXPECT_NE(result, pf::kErrorNoMoreItems);
  EXPECT_EQ(Snapshot(kAddon), std::vector<std::u16string>{u"|"});
}

TEST_F(RegistryTreeTest, TheAddonProfileCopiesThePreferredProfile) {
  // The current profile enumerates first; the preferred one still wins, and
  // the language compares without regard to case.
  settings_[Setting::LangAbbrev] = u"CSY";
  ASSERT_TRUE(CreateAddonProfileKey(&settings_));
  EXPECT_EQ(Snapshot(kAddon), Without(Snapshot(kCzech), u"|acet-acetmain-menuloaded|"));
  // "Menus" has a subkey, so the single-key delete leaves it.
  EXPECT_TRUE(test::KeyExists(kAddon + u"\\Menus\\Group1"));
  EXPECT_EQ(settings_[Setting::ToolPalettePath],
            u"C:\\Users\\Jiří\\AppData\\Roaming\\Autodesk\\ACA 2024\\csy\\Support\\ToolPalette");
  // The copy keeps the value unexpanded.
  RegistryValue palettes;
  ASSERT_TRUE(test::ReadValue(kAddon + u"\\General", u"ToolPalettePath", &palettes));
  EXPECT_EQ(palettes.type, pf::kRegExpandSz);
  EXPECT_EQ(RegistryValueText(palettes.data),
            u"%VK_TEST_ROAMING%\\Autodesk\\ACA 2024\\csy\\Support\\ToolPalette");
}

TEST_F(RegistryTreeTest, AnyOtherLanguagePrefersTheGlobalProfile) {
  settings_[Setting::LangAbbrev] = u"enu";
  ASSERT_TRUE(CreateAddonProfileKey(&settings_));
  EXPECT_EQ(Snapshot(kAddon),
            Without(Without(Snapshot(kGlobal), u"|acet-acetmain-menuloaded|"), u"\\menus|"));
  EXPECT_FALSE(test::KeyExists(kAddon + u"\\Menus"));
  EXPECT_EQ(settings_[Setting::ToolPalettePath], u"C:\\Global\\ToolPalette");
  // The source profile is left as it was.
  EXPECT_EQ(test::ReadNumber(kGlobal + u"\\General", u"ACET-ACETMAIN-MENULOADED"), 1);
  EXPECT_TRUE(test::KeyExists(kGlobal + u"\\Menus"));
}

TEST_F(RegistryTreeTest, WithoutThePreferredProfileTheCurrentOneIsCopied) {
  settings_[Setting::LangAbbrev] = u"deu";
  ASSERT_TRUE(CreateAddonProfileKey(&settings_));
  EXPECT_EQ(Snapshot(kAddon), Snapshot(kUnnamed));
  EXPECT_EQ(settings_[Setting::ToolPalettePath], u"C:\\Unnamed\\ToolPalette");
}

TEST_F(RegistryTreeTest, ASourceWithoutToolPalettePathKeepsTheEarlierPath) {
  {
    pf::ScopedKey general;
    ASSERT_EQ(pf::OpenKey(pf::CurrentUserRoot(), kUnnamed + u"\\General", pf::kKeyWrite,
                          general.Receive()),
              pf::kErrorSuccess);
    ASSERT_EQ(pf::DeleteValue(general.get(), u"ToolPalettePath"), pf::kErrorSuccess);
  }
  settings_[Setting::LangAbbrev] = u"deu";
  ASSERT_TRUE(CreateAddonProfileKey(&settings_));
  EXPECT_TRUE(test::KeyExists(kAddon + u"\\General"));
  EXPECT_EQ(settings_[Setting::ToolPalettePath], u"earlier");
}

TEST_F(RegistryTreeTest, WithoutASourceNothingIsWritten) {
  {
    pf::ScopedKey profiles;
    ASSERT_EQ(pf::OpenKey(pf::CurrentUserRoot(), kProfiles, pf::kKeyWrite, profiles.Receive()),
              pf::kErrorSuccess);
    ASSERT_EQ(pf::SetStringValue(profiles.get(), u"", pf::kRegSz, u"Removed Profile"),
              pf::kErrorSuccess);
  }
  settings_[Setting::LangAbbrev] = u"deu";
  EXPECT_FALSE(CreateAddonProfileKey(&settings_));
  EXPECT_FALSE(test::KeyExists(kAddon));
  EXPECT_EQ(settings_[Setting::ToolPalettePath], u"earlier");

  settings_[Setting::AcadPathReg] = std::u16string(test::kTestKey) + u"\\NoAcad";
  EXPECT_FALSE(CreateAddonProfileKey(&settings_));
  EXPECT_FALSE(test::KeyExists(std::u16string(test::kTestKey) + u"\\NoAcad"));
}

TEST_F(RegistryTreeTest, DeletesOnlyRelativePaths) {
  const pf::RegKey root = pf::CurrentUserRoot();
  EXPECT_FALSE(DeleteRegistryTree(nullptr, u"Software\\VkTestProfile"));
  EXPECT_FALSE(DeleteRegistryTree(root, u""));
  EXPECT_FALSE(DeleteRegistryTree(root, u"\\Software\\VkTestProfile"));
  EXPECT_FALSE(DeleteRegistryTree(root, u"/Software/VkTestProfile"));
  EXPECT_TRUE(test::KeyExists(kCzech));

  EXPECT_TRUE(DeleteRegistryTree(root,
                                 u"Software/VkTestProfile/Acad/R24.3/ACAD-7100:405/Profiles/"
                                 u"AutoCAD Architecture - Metrické jednotky"));
  EXPECT_FALSE(test::KeyExists(kCzech));
  EXPECT_TRUE(test::KeyExists(kGlobal));
  EXPECT_FALSE(DeleteRegistryTree(root, kCzech));
}

}  // namespace
}  // namespace vk::profile
