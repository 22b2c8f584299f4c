#include <gtest/gtest.h>

#include <memory>

#include "platform/files.h"
#include "platform/registry.h"
#include "settings/settings.h"
#include "tests/support/known_folder_redirect.h"
#include "tests/support/message_log.h"
#include "tests/support/reg_fixture.h"
#include "tests/support/test_paths.h"

namespace vk::settings {
namespace {

namespace pf = vk::platform;
using test::TempFolder;

class LoadSettingsTest : public testing::Test {
 protected:
  void SetUp() override {
    ClearKeys();
    for (const char16_t* name : {u"Common Files", u"ProgramData", u"Roaming Jiří"}) {
      ASSERT_EQ(pf::MakeFolder(root_.Join(name)), pf::kErrorSuccess);
    }
    // Known folders may end in a separator; the settings never do.
    folders_ = std::make_unique<test::ScopedKnownFolders>(
        root_.Join(u"Common Files\\"), root_.Join(u"ProgramData"), root_.Join(u"Roaming Jiří"));
  }
  void TearDown() override { ClearKeys(); }

  static void ClearKeys() {
    for (pf::RegKey root : {pf::LocalMachineRoot(), pf::CurrentUserRoot()}) {
      for (const char16_t* path : {u"SOFTWARE\\Kavrin", u"Software\\VkTestAcad"}) {
        [[maybe_unused]] const long deleted = pf::DeleteKeyTree(root, path);
      }
    }
  }

  void Apply(const std::u16string& name) {
    ASSERT_TRUE(test::ApplyRegFile(test::TestDataPath(u"settings\\" + name))) << "fixture";
  }

  LoadedSettings Load() {
    LoadedSettings loaded;
    EXPECT_TRUE(LoadInstallationSettings(&loaded));
    EXPECT_TRUE(test::TakeMessageLog().empty());
    return loaded;
  }

  TempFolder root_;
  test::ScopedMessageLog log_;
  std::unique_ptr<test::ScopedKnownFolders> folders_;
};

TEST_F(LoadSettingsTest, ReadsAFullInstallation) {
  Apply(u"installed.reg");
  const LoadedSettings loaded = Load();
  const Settings& s = loaded.settings;
  const std::u16string commonFiles = root_.Join(u"Common Files");
  const std::u16string appData = root_.Join(u"Roaming Jiří");

  EXPECT_EQ(s[Setting::CommonPath], commonFiles + u"\\Kavrin Shared");
  EXPECT_EQ(s[Setting::AutodeskSharedPath], commonFiles + u"\\Autodesk Shared");
  EXPECT_EQ(s[Setting::CommonAppDataPath], root_.Join(u"ProgramData"));
  EXPECT_EQ(s[Setting::AllUserPath], root_.Join(u"ProgramData\\Kavrin\\VELKOR RUR15"));
  EXPECT_EQ(s[Setting::AppDataPath], appData);
  EXPECT_EQ(s[Setting::OneUserPath], appData + u"\\Kavrin\\VELKOR RUR15");
  // Folders lose their trailing separators; other values stay exactly as read.
  EXPECT_EQ(s[Setting::StartLocation], u"C:\\Program Files\\Kavrin\\VELKOR RUR15");
  EXPECT_EQ(s[Setting::AcadPathReg], u"Software\\VkTestAcad\\R24.3\\ACAD-7100:405");
  EXPECT_EQ(s[Setting::Modules], u"DT A");
  EXPECT_EQ(s[Setting::Version], u"15.0");
  EXPECT_EQ(s[Setting::VersionH], u"15.0.3 ");
  EXPECT_EQ(s[Setting::UserModules], u"DT");
  EXPECT_EQ(s[Setting::UserVersion], u"14.0");
  EXPECT_EQ(s[Setting::UserVersionH], u"");
  EXPECT_EQ(s[Setting::AcadLocation], u"C:\\Program Files\\Autodesk\\AutoCAD 2024");
  EXPECT_EQ(s[Setting::LangAbbrev], u"CSY");
  EXPECT_EQ(s[Setting::ProductNameShort], u"ACA 2024");
  EXPECT_EQ(s[Setting::AcadAllUsersPath], root_.Join(u"ProgramData\\Autodesk\\ACA 2024\\CSY"));
  EXPECT_EQ(s[Setting::AcadOneUserPath], appData + u"\\Autodesk\\ACA 2024\\CSY");
  EXPECT_EQ(s[Setting::CdTemplates], u"C:\\Users\\Jiří\\Templates");
  EXPECT_EQ(s[Setting::CdMenus],
            u"C:\\Users\\Jiří\\AppData\\Roaming\\Autodesk\\ACA 2024\\csy\\Support");
  // CD_MENUS is the roaming support folder apart from letter case.
  EXPECT_EQ(s[Setting::MenusPath], appData + u"\\Kavrin\\VELKOR RUR15\\Support\\DT+");
  EXPECT_EQ(loaded.menusInAcadFolder, 0u);
  EXPECT_EQ(s[Setting::ToolPalettePath], u"");
  EXPECT_EQ(s[Setting::ProductSwitch], u" /product \"ACA\"");
  EXPECT_EQ(s[Setting::LanguageSwitch], u" /language \"cs-CZ\"");
  EXPECT_EQ(loaded.editionFlags, kEditionDT | kEditionA);
  EXPECT_EQ(loaded.userEditionFlags, kEditionDT);
}

TEST_F(LoadSettingsTest, MenusFolderFollowsCdMenus) {
  Apply(u"installed.reg");
  Apply(u"menus_in_acad_folder.reg");
  LoadedSettings loaded = Load();
  EXPECT_EQ(loaded.settings[Setting::MenusPath], u"D:\\Kancelář\\Menu\\DT+");
  EXPECT_EQ(loaded.menusInAcadFolder, 1u);

  // Without CD_MENUS the two folders differ: the menus go to "\DT+" alone.
  Apply(u"cd_menus_missing.reg");
  loaded = Load();
  EXPECT_EQ(loaded.settings[Setting::CdMenus], u"");
  EXPECT_EQ(loaded.settings[Setting::CdTemplates], u"");
  EXPECT_EQ(loaded.settings[Setting::MenusPath], u"\\DT+");
  EXPECT_EQ(loaded.menusInAcadFolder, 1u);
}

TEST_F(LoadSettingsTest, MachineWithoutTheAddonLoads) {
  const LoadedSettings loaded = Load();
  const Settings& s = loaded.settings;
  for (Setting empty :
       {Setting::StartLocation, Setting::Modules, Setting::Version, Setting::VersionH,
        Setting::AcadLocation, Setting::AcadPathReg, Setting::ProductNameShort, Setting::LangAbbrev,
        Setting::MenusPath, Setting::CdMenus}) {
    EXPECT_EQ(s[empty], u"") << static_cast<int>(empty);
  }
  // The empty product key path opens the root, so the derived folders are
  // built from their fixed parts.
  EXPECT_EQ(s[Setting::AcadAllUsersPath], root_.Join(u"ProgramData\\Autodesk\\\\"));
  EXPECT_EQ(s[Setting::AcadOneUserPath], root_.Join(u"Roaming Jiří\\Autodesk\\\\"));
  EXPECT_EQ(s[Setting::LanguageSwitch], u" /language \"en-US\"");
  EXPECT_EQ(loaded.editionFlags, 0u);
  EXPECT_EQ(loaded.userEditionFlags, 0u);
  EXPECT_EQ(loaded.menusInAcadFolder, 0u);
}

TEST_F(LoadSettingsTest, ReadsAtMost260CharactersAndNeverPastAValue) {
  Apply(u"installed.reg");
  Apply(u"odd_values.reg");
  const LoadedSettings loaded = Load();
  const Settings& s = loaded.settings;
  // Binary data without a terminating zero ends where the value ends.
  EXPECT_EQ(s[Setting::Modules], u"DTH");
  EXPECT_EQ(loaded.editionFlags, kEditionDT | kEditionH);
  EXPECT_EQ(s[Setting::Version], u"15");
  // 260 characters and the zero do not fit: the value reads as empty.
  EXPECT_EQ(s[Setting::StartLocation], u"");
  EXPECT_EQ(s[Setting::VersionH].size(), 259u);
}

TEST_F(LoadSettingsTest, LanguageSwitchFollowsTheAbbreviation) {
  for (const auto& [abbrev, tag] : {std::pair{u"plk", u"pl-PL"}, std::pair{u"PLK", u"pl-PL"},
                                    std::pair{u"csy", u"cs-CZ"}, std::pair{u"deu", u"en-US"}}) {
    Apply(u"installed.reg");
    pf::RegKey key = nullptr;
    ASSERT_EQ(pf::OpenKey(pf::LocalMachineRoot(), u"Software\\VkTestAcad\\R24.3\\ACAD-7100:405",
                          pf::kKeySetValue, &key),
              pf::kErrorSuccess);
    const std::u16string value = abbrev;
    std::vector<uint8_t> data(reinterpret_cast<const uint8_t*>(value.c_str()),
                              reinterpret_cast<const uint8_t*>(value.c_str() + value.size() + 1));
    ASSERT_EQ(pf::SetValue(key, u"LangAbbrev", pf::kRegSz, data.data(), uint32_t(data.size())),
              pf::kErrorSuccess);
    pf::CloseKey(key);
    EXPECT_EQ(Load().settings[Setting::LanguageSwitch],
              u" /language \"" + std::u16string(tag) + u"\"");
  }
}

TEST(EditionFlagsTest, SearchIsCaseSensitive) {
  EXPECT_EQ(EditionFlagsOf(u"DT"), kEditionDT);
  EXPECT_EQ(EditionFlagsOf(u"DT,A,H"), kEditionDT | kEditionA | kEditionH);
  EXPECT_EQ(EditionFlagsOf(u"dt a h"), 0u);
  EXPECT_EQ(EditionFlagsOf(u"D T"), 0u);
  EXPECT_EQ(EditionFlagsOf(u""), 0u);
}

class MissingKnownFolderTest : public testing::Test {
 protected:
  std::vector<std::u16string> LoadWith(const std::u16string& commonFiles,
                                       const std::u16string& commonAppData,
                                       const std::u16string& appData) {
    test::ScopedKnownFolders folders(commonFiles, commonAppData, appData);
    LoadedSettings loaded;
    EXPECT_FALSE(LoadInstallationSettings(&loaded));
    return test::TakeMessageLog();
  }

  TempFolder root_;
  test::ScopedMessageLog log_;
};

TEST_F(MissingKnownFolderTest, EachFolderHasItsMessageAndCommonFilesComesFirst) {
  const std::u16string there = root_.path();
  const std::u16string missing = root_.Join(u"chybí");
  EXPECT_EQ(LoadWith(missing, missing, missing),
            std::vector<std::u16string>{u"Couldn't read CommonFilesDir"});
  EXPECT_EQ(LoadWith(there, missing, there),
            std::vector<std::u16string>{u"Couldn't read Common AppData"});
  EXPECT_EQ(LoadWith(there, there, missing), std::vector<std::u16string>{u"Couldn't read AppData"});
}

}  // namespace
}  // namespace vk::settings
