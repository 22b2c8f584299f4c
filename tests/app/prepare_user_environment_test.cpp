#include "app/prepare_user_environment.h"

#include <gtest/gtest.h>

#include <string>

#include "app/string_table.h"
#include "app/vk_start_app.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "profile/registry_access.h"
#include "tests/copy/copy_test_support.h"
#include "tests/support/test_paths.h"

namespace vk::app {
namespace {

namespace pf = vk::platform;
using copy::test::PutFile;
using copy::test::ReadTree;
using settings::Setting;

constexpr char16_t kTestKey[] = u"Software\\VkTestPrepare";
constexpr char16_t kAcadKey[] = u"Software\\VkTestPrepare\\R24.3\\ACAD-7100:405";
constexpr char16_t kRunKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char16_t kUninstallKey[] = u"SOFTWARE\\Kavrin\\Uninstall";
constexpr char16_t kCsyCatalog[] =
    u"N\u00E1stroje na p\u00E1su karet \u2013 AutoCAD_0F6FF696-085B-48FD-A8AD-5278CA20EF54.atc";
constexpr char16_t kPlkCatalog[] =
    u"Narz\u0119dzia wst\u0105\u017Cki \u2014 AutoCAD "
    u"Arch_0F6FF696-085B-48FD-A8AD-5278CA20EF54.atc";

void DeleteTestKeys() {
  for (const char16_t* path : {kTestKey, u"Software\\Kavrin"}) {
    [[maybe_unused]] const long deleted = pf::DeleteKeyTree(pf::CurrentUserRoot(), path);
  }
  pf::ScopedKey run;
  if (pf::OpenKey(pf::CurrentUserRoot(), kRunKey, pf::kKeyWrite, run.Receive()) == 0) {
    for (const char16_t* name : {u"KVUNINSTALL", u"VkTestPrepare"}) {
      [[maybe_unused]] const long deleted = pf::DeleteValue(run.get(), name);
    }
  }
}

std::u16string ReadText(std::u16string_view path, std::u16string_view name) {
  pf::ScopedKey key;
  profile::RegistryValue value;
  if (pf::OpenKey(pf::CurrentUserRoot(), path, pf::kKeyRead, key.Receive()) != 0 ||
      profile::QueryRegistryValue(key.get(), name, 0, false, &value) != 0) {
    return u"<missing>";
  }
  return profile::RegistryValueText(value.data);
}

void SetText(std::u16string_view path, std::u16string_view name, std::u16string_view text) {
  pf::ScopedKey key;
  ASSERT_EQ(pf::CreateKey(pf::CurrentUserRoot(), path, pf::kKeyAllAccess, key.Receive(), nullptr),
            0);
  ASSERT_EQ(pf::SetStringValue(key.get(), name, pf::kRegSz, text), 0);
}

// An installation and a user who has run AutoCAD Architecture, with the
// settings a launch would load for them.
class PrepareTest : public testing::Test {
 protected:
  void SetUp() override {
    DeleteTestKeys();
    // Windows has it; the preparation only opens it.
    SetText(kRunKey, u"VkTestPrepare", u"");
    const std::u16string install = root_.Join(u"install");
    PutFile(install, u"UserDataCache\\Support\\acad.pgp", "add-on pgp");
    PutFile(install, u"UserDataCache\\Support\\DT+\\velkor.cuix", "menus");
    PutFile(install, u"UserDataCache\\Support\\WorkspaceCatalog (Metric)\\Palettes\\p.atc", "p");
    PutFile(install, u"UserDataCacheAdt\\RegisteredTools\\KvAdIsolationStockTools.atc", "iso");
    PutFile(install, u"UserDataCacheAdt\\Profile.aws", "<Profile/>");
    PutFile(root_.Join(u"palettes"), u"Ribbon Tools.atc", "ribbon");
    PutFile(root_.Join(u"palettes"), std::u16string(u"Palettes\\") + kCsyCatalog, "csy");
    PutFile(root_.Join(u"palettes"), std::u16string(u"Palettes\\") + kPlkCatalog, "plk");
    PutFile(AcadUser(), u"Support\\RegisteredTools\\keep.txt", "");
    PutFile(AcadUser(), u"Support\\Profiles\\keep.txt", "");
    // The user's own file, which the add-on's copy must not replace.
    PutFile(root_.Join(u"AppData"), u"Kavrin\\VELKOR RUR15\\Support\\acad.pgp", "mine");

    const std::u16string profiles = std::u16string(kAcadKey) + u"\\Profiles";
    SetText(profiles, u"", u"<<Unnamed Profile>>");
    SetText(profiles + u"\\<<Unnamed Profile>>\\General", u"ToolPalettePath",
            root_.Join(u"palettes"));

    settings::Settings& s = app_.settings();
    s[Setting::AppDataPath] = root_.Join(u"AppData");
    s[Setting::OneUserPath] = root_.Join(u"AppData\\Kavrin\\VELKOR RUR15");
    s[Setting::CommonAppDataPath] = root_.Join(u"ProgramData");
    s[Setting::StartLocation] = install;
    s[Setting::AcadOneUserPath] = AcadUser();
    s[Setting::AcadPathReg] = kAcadKey;
    s[Setting::LangAbbrev] = u"CSY";
    s[Setting::Modules] = u"DT A";
    app_.EditionFlags = settings::kEditionDT | settings::kEditionA;
  }
  void TearDown() override { DeleteTestKeys(); }

  std::u16string AcadUser() const { return root_.Join(u"AcadUser"); }
  std::u16string OneUser(std::u16string_view relative) const {
    return root_.Join(u"AppData\\Kavrin\\VELKOR RUR15\\") + std::u16string(relative);
  }
  std::string Log() const {
    std::string bytes;
    static_cast<void>(test::ReadWholeFile(OneUser(u"KvUnInstall.log"), &bytes));
    return bytes;
  }
  static std::string Line(std::u16string_view text) {
    return pf::Utf16ToCodePage(text).value_or("?") + "\r\n";
  }

  test::TempFolder root_;
  VkStartApp app_;
};

TEST_F(PrepareTest, FirstLaunchPlacesEverythingOnceAndTheSecondChangesNothing) {
  ASSERT_TRUE(PrepareUserEnvironment(app_));

  const auto user = ReadTree(root_.Join(u"AppData\\Kavrin\\VELKOR RUR15"));
  EXPECT_EQ(user.at(u"Support\\acad.pgp"), "mine");
  EXPECT_EQ(user.at(u"Support\\DT+\\velkor.cuix"), "menus");
  EXPECT_EQ(user.at(u"Support\\WorkspaceCatalog (Metric)\\Ribbon Tools.atc"), "ribbon");
  EXPECT_EQ(
      user.at(std::u16string(u"Support\\WorkspaceCatalog (Metric)\\Palettes\\") + kCsyCatalog),
      "csy");
  EXPECT_EQ(
      user.count(std::u16string(u"Support\\WorkspaceCatalog (Metric)\\Palettes\\") + kPlkCatalog),
      0u);
  const std::u16string tools = AcadUser() + u"\\Support\\RegisteredTools\\";
  const std::u16string workspace = AcadUser() + u"\\Support\\Profiles\\VELKOR RUR15";
  const auto acad = ReadTree(AcadUser());
  EXPECT_EQ(acad.at(u"Support\\RegisteredTools\\KvAdIsolationStockTools.atc"), "iso");
  EXPECT_EQ(acad.count(u"Support\\RegisteredTools\\KvAdDormerStockTools.atc"), 0u);
  EXPECT_EQ(acad.at(u"Support\\Profiles\\VELKOR RUR15\\Profile.aws"), "<Profile/>");

  const std::string log = Log();
  for (const std::u16string& line :
       {u"3," + OneUser(u"").substr(0, OneUser(u"").size() - 1) + u"/Support/DT+/",
        u"4," + tools + u"KvAdIsolationStockTools.atc", u"4," + tools + u"KvAdDormerStockTools.atc",
        u"3," + workspace}) {
    EXPECT_NE(log.find(Line(line)), std::string::npos) << pf::Utf16ToUtf8(line) << "\n" << log;
  }
  EXPECT_EQ(ReadText(kRunKey, u"KVUNINSTALL"),
            root_.Join(u"ProgramData") + u"\\Kavrin\\KVUnInstall.exe");
  EXPECT_EQ(ReadText(kUninstallKey, u"VELKOR RUR15"), u"-r \"VELKOR RUR15\" -p \"VELKOR RUR15\"");

  // The second launch: the profile exists, so no ribbon catalog is copied; the
  // dormer tools, whose source has come meanwhile, arrive without a second line.
  PutFile(root_.Join(u"install"), u"UserDataCacheAdt\\RegisteredTools\\KvAdDormerStockTools.atc",
          "dormer");
  ASSERT_EQ(pf::RemoveFile(OneUser(u"Support\\WorkspaceCatalog (Metric)\\Ribbon Tools.atc")), 0);
  VkStartApp second;
  second.settings() = app_.settings();
  second.settings()[Setting::ToolPalettePath].clear();
  second.settings()[Setting::UserModules] = u"DT A";
  second.EditionFlags = second.UserEditionFlags = app_.EditionFlags;
  ASSERT_TRUE(PrepareUserEnvironment(second));
  EXPECT_EQ(Log(), log);
  EXPECT_EQ(ReadTree(AcadUser()).at(u"Support\\RegisteredTools\\KvAdDormerStockTools.atc"),
            "dormer");
  auto expected = user;
  expected.erase(u"Support\\WorkspaceCatalog (Metric)\\Ribbon Tools.atc");
  EXPECT_EQ(ReadTree(root_.Join(u"AppData\\Kavrin\\VELKOR RUR15")), expected);
}

TEST_F(PrepareTest, TheRunValueQuotesAProgramPathHoldingABlank) {
  const struct {
    std::u16string programData;
    std::u16string run;
  } kCases[] = {
      {root_.Join(u"ProgramData"), root_.Join(u"ProgramData") + u"\\Kavrin\\KVUnInstall.exe"},
      {root_.Join(u"Program Data"),
       u"\"" + root_.Join(u"Program Data") + u"\\Kavrin\\KVUnInstall.exe\""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(pf::Utf16ToUtf8(c.programData));
    app_.settings()[Setting::CommonAppDataPath] = c.programData;
    ASSERT_TRUE(PrepareUserEnvironment(app_));
    EXPECT_EQ(ReadText(kRunKey, u"KVUNINSTALL"), c.run);
    // The clean-up's switches stay as they are.
    EXPECT_EQ(ReadText(kUninstallKey, u"VELKOR RUR15"), u"-r \"VELKOR RUR15\" -p \"VELKOR RUR15\"");
  }
}

TEST_F(PrepareTest, LanguageAndEditionsChooseTheCatalogsAndTheWorkspaceFolder) {
  struct Case {
    const char16_t* lang;
    uint32_t editions;
    const char16_t* localised;  // null: none
  };
  const Case cases[] = {{u"plk", settings::kEditionDT, kPlkCatalog},
                        {u"deu", settings::kEditionDT, nullptr},
                        {u"csy", settings::kEditionA | settings::kEditionH, kCsyCatalog}};
  for (const Case& c : cases) {
    SCOPED_TRACE(pf::Utf16ToUtf8(c.lang));
    DeleteTestKeys();
    const std::u16string profiles = std::u16string(kAcadKey) + u"\\Profiles";
    SetText(profiles, u"", u"<<Unnamed Profile>>");
    SetText(profiles + u"\\<<Unnamed Profile>>\\General", u"ToolPalettePath",
            root_.Join(u"palettes"));
    test::TempFolder user;
    VkStartApp app;
    app.settings() = app_.settings();
    app.settings()[Setting::LangAbbrev] = c.lang;
    app.settings()[Setting::AcadOneUserPath] = user.Join(u"acad");
    app.settings()[Setting::OneUserPath] = user.Join(u"velkor");
    app.EditionFlags = c.editions;
    PutFile(user.Join(u"acad"), u"Support\\Profiles\\keep.txt", "");
    ASSERT_TRUE(PrepareUserEnvironment(app));
    std::vector<std::u16string> palettes;
    for (const auto& [path, bytes] : ReadTree(user.Join(u"velkor"))) {
      if (path.find(u".atc") != std::u16string::npos &&
          path.find(u"p.atc") == std::u16string::npos) {
        palettes.push_back(path);
      }
    }
    std::vector<std::u16string> expected = {
        u"Support\\WorkspaceCatalog (Metric)\\Ribbon Tools.atc"};
    if (c.localised != nullptr) {
      expected.insert(
          expected.begin(),
          std::u16string(u"Support\\WorkspaceCatalog (Metric)\\Palettes\\") + c.localised);
    }
    EXPECT_EQ(palettes, expected);
    EXPECT_EQ(pf::FolderExists(user.Join(u"acad\\Support\\Profiles\\VELKOR RUR15")),
              (c.editions & settings::kEditionDT) != 0);
  }
}

TEST_F(PrepareTest, EmptyUserFolderPreparesNothingAndEmptyInstallationFolderCopiesNothing) {
  app_.settings()[Setting::AcadOneUserPath].clear();
  EXPECT_FALSE(PrepareUserEnvironment(app_));
  EXPECT_EQ(ReadTree(root_.Join(u"AppData")).size(), 1u);
  EXPECT_EQ(ReadText(kRunKey, u"KVUNINSTALL"), u"<missing>");

  app_.settings()[Setting::AcadOneUserPath] = AcadUser();
  app_.settings()[Setting::StartLocation].clear();
  EXPECT_TRUE(PrepareUserEnvironment(app_));
  const auto user = ReadTree(root_.Join(u"AppData\\Kavrin\\VELKOR RUR15"));
  EXPECT_EQ(user.count(u"Support\\DT+\\velkor.cuix"), 0u);
  EXPECT_EQ(ReadTree(AcadUser()).count(u"Support\\Profiles\\VELKOR RUR15\\Profile.aws"), 0u);
}

}  // namespace
}  // namespace vk::app
