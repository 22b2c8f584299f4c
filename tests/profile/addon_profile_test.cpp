#include "profile/addon_profile.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "profile/uninstall_log.h"
#include "tests/profile/profile_test_support.h"
#include "tests/support/reg_fixture.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_paths.h"

namespace vk::profile {
namespace {

using settings::kEditionA;
using settings::kEditionDT;
using settings::Setting;
using test::kAcadPathReg;
using test::ReadNumber;
using test::ReadText;
using test::Snapshot;
namespace pf = vk::platform;

const std::u16string kProfiles = std::u16string(kAcadPathReg) + u"\\Profiles";
const std::u16string kAddon = kProfiles + u"\\VELKOR RUR15";
const std::u16string kCzechGeneral =
    kProfiles + u"\\AutoCAD Architecture - Metrické jednotky\\General";
constexpr char16_t kMenuResources[][16] = {u"adt.mnr", u"aca.mnr", u"flyouts.mnr", u"velkor_a.mnr"};

class AddonProfileTest : public test::RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    const std::u16string appData = root_.Join(u"Roaming");
    for (const char16_t* folder : {u"Roaming", u"Roaming\\Autodesk", u"Roaming\\Autodesk\\ACA 2024",
                                   u"Roaming\\Autodesk\\ACA 2024\\csy", u"Install", u"Menus"}) {
      ASSERT_EQ(pf::MakeFolder(root_.Join(folder)), pf::kErrorSuccess);
    }
    s_[Setting::AppDataPath] = appData;
    s_[Setting::OneUserPath] = appData + u"\\Kavrin\\VELKOR RUR15";
    s_[Setting::AcadOneUserPath] = appData + u"\\Autodesk\\ACA 2024\\csy";
    s_[Setting::StartLocation] = root_.Join(u"Install");
    s_[Setting::MenusPath] = root_.Join(u"Menus");
    s_[Setting::AcadPathReg] = kAcadPathReg;
    s_[Setting::LangAbbrev] = u"csy";
    s_[Setting::Modules] = u"DT A";
    test::WriteScript(root_.Join(u"Install\\prof_tmp.txt"),
                      u"[HKEY_CURRENT_USER\\$$ACAD$$\\Profiles\\VELKOR RUR15\\General]\r\n"
                      u"\"Script\"=\"$$VK_PATH$$\"\r\n"
                      u"{OPTIONS: Prep}\r\n"
                      u"\"ACAD\"=\"$$VK_PATH$$\\Support;\"\r\n");
  }

  void ApplyProfiles() {
    ASSERT_TRUE(vk::test::ApplyRegFile(vk::test::TestDataPath(u"profile\\acad_profiles.reg")));
  }

  void PlaceStaleFiles() {
    for (const char16_t* name : kMenuResources) {
      ASSERT_TRUE(vk::test::WriteWholeFile(s_[Setting::MenusPath] + u"\\" + name, "stale"));
    }
    ASSERT_TRUE(vk::test::WriteWholeFile(s_[Setting::MenusPath] + u"\\other.mnr", "kept"));
    for (const char16_t* folder :
         {u"\\Support", u"\\Support\\Profiles", u"\\Support\\Profiles\\ProjectProfiles"}) {
      static_cast<void>(pf::MakeFolder(s_[Setting::AcadOneUserPath] + folder));
    }
    ASSERT_TRUE(vk::test::WriteWholeFile(ProjectProfile(), "stale"));
  }

  std::u16string ProjectProfile() const {
    return s_[Setting::AcadOneUserPath] +
           u"\\Support\\Profiles\\ProjectProfiles\\ADTNonProjectProfile_VELKOR RUR15.aws";
  }

  std::string Log() const {
    std::string bytes;
    return vk::test::ReadWholeFile(UninstallLogPath(s_), &bytes) ? bytes : "<missing>";
  }

  std::string ExpectedLog() const {
    return "2,0," + pf::Utf16ToUtf8(kAddon) + "\r\n2,0,Software\\Kavrin\\VELKOR RUR15\r\n4," +
           pf::Utf16ToUtf8(ProjectProfile()) + "\r\n";
  }

  vk::test::ScopedEnv roaming_{u"VK_TEST_ROAMING", u"C:\\Users\\Jan\\AppData\\Roaming"};
  vk::test::TempFolder root_;
  settings::Settings s_;
};

TEST_F(AddonProfileTest, FirstStartCreatesTheProfileImportsItsScriptAndLogsIt) {
  ApplyProfiles();
  PlaceStaleFiles();
  EXPECT_TRUE(PrepareAddonProfile(&s_, kEditionDT | kEditionA, 0));

  for (const char16_t* name : kMenuResources) {
    EXPECT_FALSE(pf::PathExists(s_[Setting::MenusPath] + u"\\" + name)) << pf::Utf16ToUtf8(name);
  }
  EXPECT_TRUE(pf::PathExists(s_[Setting::MenusPath] + u"\\other.mnr"));
  EXPECT_FALSE(pf::PathExists(ProjectProfile()));

  const std::u16string general = kAddon + u"\\General";
  EXPECT_EQ(ReadText(general, u"Script"), s_[Setting::StartLocation]);
  EXPECT_EQ(ReadText(general, u"ACAD"),
            s_[Setting::StartLocation] +
                u"\\Support;C:\\Program Files\\Autodesk\\AutoCAD 2024\\support;");
  EXPECT_EQ(ReadNumber(general, u"MaxArray"), 10000000);
  EXPECT_EQ(s_[Setting::ToolPalettePath],
            u"C:\\Users\\Jan\\AppData\\Roaming\\Autodesk\\ACA 2024\\csy\\Support\\ToolPalette");
  EXPECT_EQ(Log(), ExpectedLog());
}

TEST_F(AddonProfileTest, SecondStartChangesNothing) {
  ApplyProfiles();
  ASSERT_TRUE(PrepareAddonProfile(&s_, kEditionDT | kEditionA, 0));
  const std::vector<std::u16string> profile = Snapshot(kAddon);
  const std::string log = Log();
  PlaceStaleFiles();
  s_[Setting::ToolPalettePath].clear();

  EXPECT_TRUE(PrepareAddonProfile(&s_, kEditionDT | kEditionA, kEditionDT | kEditionA));
  EXPECT_EQ(Snapshot(kAddon), profile);
  EXPECT_EQ(Log(), log);
  EXPECT_TRUE(pf::PathExists(s_[Setting::MenusPath] + u"\\adt.mnr"));
  EXPECT_TRUE(pf::PathExists(ProjectProfile()));
  EXPECT_EQ(s_[Setting::ToolPalettePath], u"");
}

TEST_F(AddonProfileTest, DtNewForTheUserRepointsTheExistingProfile) {
  ApplyProfiles();
  ASSERT_TRUE(PrepareAddonProfile(&s_, kEditionA, 0));
  const std::u16string general = kAddon + u"\\General";
  const std::vector<std::u16string> before = Snapshot(kAddon);
  const std::string log = Log();
  PlaceStaleFiles();

  // Without DT installed nothing changes.
  EXPECT_TRUE(PrepareAddonProfile(&s_, kEditionA, 0));
  EXPECT_EQ(Snapshot(kAddon), before);

  EXPECT_TRUE(PrepareAddonProfile(&s_, kEditionDT | kEditionA, kEditionA));
  EXPECT_EQ(ReadText(general, u"ProfileStorage"),
            s_[Setting::AcadOneUserPath] + u"\\Support\\Profiles\\VELKOR RUR15\\Profile.aws");
  EXPECT_EQ(ReadText(general, u"ToolPalettePath"),
            s_[Setting::OneUserPath] + u"\\Support\\WorkspaceCatalog (Metric)");
  RegistryValue value;
  ASSERT_TRUE(test::ReadValue(general, u"ToolPalettePath", &value));
  EXPECT_EQ(value.type, pf::kRegSz);
  // Nothing else: the two values are all that differ.
  const std::vector<std::u16string> after = Snapshot(kAddon);
  std::vector<std::u16string> changed;
  std::set_symmetric_difference(before.begin(), before.end(), after.begin(), after.end(),
                                std::back_inserter(changed));
  EXPECT_EQ(changed.size(), 3u);  // ToolPalettePath before and after, ProfileStorage after
  EXPECT_EQ(Log(), log);
  EXPECT_TRUE(pf::PathExists(s_[Setting::MenusPath] + u"\\adt.mnr"));
}

TEST_F(AddonProfileTest, WithoutASourceProfileTheScriptStillRunsAndIsLogged) {
  EXPECT_TRUE(PrepareAddonProfile(&s_, kEditionDT, 0));
  EXPECT_EQ(Snapshot(kAddon).size(), 4u);  // the key, "General" and its two values
  EXPECT_EQ(ReadText(kAddon + u"\\General", u"ACAD"), s_[Setting::StartLocation] + u"\\Support;");
  EXPECT_EQ(Log(), ExpectedLog());
}

TEST_F(AddonProfileTest, WithoutAMenuFolderNoMenuFileIsDeleted) {
  ApplyProfiles();
  PlaceStaleFiles();
  const std::u16string menus = s_[Setting::MenusPath];
  s_[Setting::MenusPath].clear();
  EXPECT_TRUE(PrepareAddonProfile(&s_, kEditionDT, 0));
  EXPECT_TRUE(pf::PathExists(menus + u"\\adt.mnr"));
  EXPECT_TRUE(test::KeyExists(kAddon));
}

class CatalogScriptTest : public AddonProfileTest {
 protected:
  void SetUp() override {
    AddonProfileTest::SetUp();
    pf::ScopedKey key;
    ASSERT_EQ(pf::CreateKey(pf::CurrentUserRoot(), settings::kAddonKeyPath, pf::kKeyAllAccess,
                            key.Receive(), nullptr),
              pf::kErrorSuccess);
    test::WriteScript(catalogScript_,
                      u"[HKEY_CURRENT_USER\\Software\\VkTestProfile\\Catalogs]\r\n"
                      u"{OPTIONS: Prep}\r\n"
                      u"\"Imported\"=\"x;\"\r\n",
                      test::ScriptEncoding::kCodePage);
  }

  std::u16string Imported() const {
    return ReadText(u"Software\\VkTestProfile\\Catalogs", u"Imported");
  }
  int64_t Catalogs() const { return ReadNumber(settings::kAddonKeyPath, u"Catalogs"); }

  const std::u16string catalogScript_ = root_.Join(u"Install\\prof_cat.txt");
};

TEST_F(CatalogScriptTest, RunsOncePerUser) {
  EXPECT_TRUE(ImportCatalogScript(s_, kEditionDT));
  EXPECT_EQ(Catalogs(), 1);
  EXPECT_TRUE(ImportCatalogScript(s_, kEditionDT));
  EXPECT_EQ(Imported(), u"x;");
}

TEST_F(CatalogScriptTest, RunsAgainWhenCatalogsIsNotOne) {
  {
    pf::ScopedKey key;
    ASSERT_EQ(
        pf::OpenKey(pf::CurrentUserRoot(), settings::kAddonKeyPath, pf::kKeyWrite, key.Receive()),
        pf::kErrorSuccess);
    ASSERT_EQ(SetDwordValue(key.get(), u"Catalogs", 2), pf::kErrorSuccess);
  }
  EXPECT_TRUE(ImportCatalogScript(s_, kEditionDT));
  EXPECT_EQ(Imported(), u"x;");
  EXPECT_EQ(Catalogs(), 1);
}

TEST_F(CatalogScriptTest, AMissingScriptIsRecordedAsImported) {
  ASSERT_EQ(pf::RemoveFile(catalogScript_), pf::kErrorSuccess);
  EXPECT_FALSE(ImportCatalogScript(s_, kEditionDT));
  EXPECT_EQ(Catalogs(), 1);
  test::WriteScript(
      catalogScript_,
      u"[HKEY_CURRENT_USER\\Software\\VkTestProfile\\Catalogs]\r\n\"Imported\"=\"x;\"");
  EXPECT_TRUE(ImportCatalogScript(s_, kEditionDT));
  EXPECT_EQ(Imported(), u"<missing>");
}

TEST_F(CatalogScriptTest, NeedsDtInTheModules) {
  for (const char16_t* modules : {u"A H", u"dt", u"D T", u""}) {
    s_[Setting::Modules] = modules;
    EXPECT_TRUE(ImportCatalogScript(s_, kEditionDT));
  }
  EXPECT_EQ(Imported(), u"<missing>");
  EXPECT_EQ(Catalogs(), -1);
}

TEST_F(CatalogScriptTest, WithoutTheAddonsUserKeyItRunsEachTime) {
  ASSERT_EQ(pf::DeleteKeyTree(pf::CurrentUserRoot(), settings::kAddonKeyPath), pf::kErrorSuccess);
  EXPECT_TRUE(ImportCatalogScript(s_, kEditionDT));
  EXPECT_TRUE(ImportCatalogScript(s_, kEditionDT));
  EXPECT_EQ(Imported(), u"x;x;");
  EXPECT_FALSE(test::KeyExists(settings::kAddonKeyPath));
}

}  // namespace
}  // namespace vk::profile
