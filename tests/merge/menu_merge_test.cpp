// The menu merge as a whole, on a user's folders in a sandbox: which package
// it reads and writes, what it references, adds and removes, and what it
// leaves alone.
#include "merge/menu_merge.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "cui/package_contents.h"
#include "cui/package_entries.h"
#include "cui/package_file.h"
#include "merge/workspaces.h"
#include "platform/files.h"
#include "settings/settings.h"
#include "tests/merge/customisation_test_support.h"
#include "tests/merge/merge_sandbox.h"
#include "tests/support/test_paths.h"
#include "xml/node.h"

namespace vk::cui::test {
namespace {

using settings::Setting;
using vk::test::ReadWholeFile;
using vk::test::WriteWholeFile;
using xml::XmlDocument;
using xml::XmlNode;

constexpr char kProfile[] =
    "<Profile>\n <StorageRoot>\n  <Ribbon>\n   <Tab Id=\"ID_TabHome\"/>\n  </Ribbon>\n"
    "  <Palettes Count=\"2\"/>\n </StorageRoot>\n</Profile>\n";

std::string Entry(const std::string& group, const std::string& popUp, int number) {
  return "<WSPop MenuGroup=\"" + group + "\" pUID=\"" + popUp + "\" Display=\"1\" UID=\"WSPU_" +
         std::to_string(number) +
         "\"><ModifiedRev MajorVersion=\"18\" MinorVersion=\"0\" UserVersion=\"1\"/></WSPop>";
}

using MenuMergeTest = MergeSandbox;

const std::vector<std::string> kExistingEntries = {
    "<WSPop MenuGroup=\"ACA\" pUID=\"ID_MnFile\" Display=\"1\" UID=\"wspu_0041\"><ModifiedRev "
    "MajorVersion=\"18\" MinorVersion=\"0\" UserVersion=\"1\"/></WSPop>",
    "<WSPop MenuGroup=\"ACA\" pUID=\"ID_MnEdit\" Display=\"1\" UID=\"WSPU_7\"/>"};

std::vector<std::string> With(std::vector<std::string> entries,
                              const std::vector<std::string>& added) {
  entries.insert(entries.end(), added.begin(), added.end());
  return entries;
}

TEST_F(MenuMergeTest, FirstLaunchWithEveryEditionEditsTheUsersPackage) {
  ASSERT_TRUE(WriteTestPackage(
      Target(), AcaMembers(HeaderPart(PartialMenuList({"AecArchDACH.cuix", "velkor_a.cuix"})))));
  ASSERT_TRUE(WriteTestPackage(Source(), AcaMembers(HeaderPart(PartialMenuList({"cd.cuix"})))));
  ASSERT_TRUE(WriteWholeFile(Express(), "express"));
  (void)MakeFolders(u"Program Files\\ACA\\Express");
  ASSERT_TRUE(WriteWholeFile(Profile(), kProfile));
  const std::string source = Bytes(Source());
  PackageContents before;
  ASSERT_TRUE(LoadPackageEntries(&before, Target()));

  EXPECT_TRUE(Merge(kDT | kA | kH, 0));

  XmlDocument merged(OpenCustomisationFile(Target()));
  ASSERT_NE(merged, nullptr);
  EXPECT_EQ(References(merged.get()),
            (std::vector<std::u16string>{u"AecArchDACH.cuix", u"flyouts.cuix", Express(),
                                         u"velkor_a.cuix", u"velkor_h.cuix"}));
  EXPECT_EQ(AddonWorkspaceMenus(merged.get()),
            With(kExistingEntries,
                 {Entry("FLYOUTS", "PMU_0002", 42), Entry("VELKOR_A", "VKID_MnVELKOR_A", 43),
                  Entry("VELKOR_H", "VKID_MnVELKOR_H", 44)}));
  // With "DT" the tab comes from the add-on's own workspace, not from us.
  EXPECT_EQ(DefaultWorkspaceRibbon(merged.get()), "(none)");
  PackageContents after;
  ASSERT_TRUE(LoadPackageEntries(&after, Target()));
  ExpectSameNonPartMembers(before, after);

  XmlDocument profile(OpenCustomisationFile(Profile()));
  ASSERT_NE(profile, nullptr);
  EXPECT_EQ(Render(profile.get()),
            "<Profile><StorageRoot><Palettes Count=\"2\"/></StorageRoot></Profile>");
  EXPECT_EQ(Bytes(Source()), source);
  EXPECT_FALSE(platform::PathExists(Target() + u".bak"));
}

TEST_F(MenuMergeTest, HWithoutDTRebuildsFromAutoCadsPackageAndKeepsTheReplacedOne) {
  ASSERT_TRUE(
      WriteTestPackage(Source(), AcaMembers(HeaderPart(PartialMenuList({"AecArchDACH.cuix"})))));
  ASSERT_TRUE(WriteTestPackage(Target(), AcaMembers(HeaderPart(PartialMenuList({"mine.cuix"})))));
  ASSERT_TRUE(WriteWholeFile(Target() + u".bak", "an older backup"));
  ASSERT_TRUE(WriteWholeFile(Profile(), kProfile));
  const std::string source = Bytes(Source());
  const std::string replaced = Bytes(Target());
  PackageContents before;
  ASSERT_TRUE(LoadPackageEntries(&before, Source()));

  EXPECT_TRUE(Merge(kH, 0));

  XmlDocument merged(OpenCustomisationFile(Target()));
  ASSERT_NE(merged, nullptr);
  EXPECT_EQ(References(merged.get()),
            (std::vector<std::u16string>{u"AecArchDACH.cuix", u"velkor_h.cuix"}));
  EXPECT_EQ(AddonWorkspaceMenus(merged.get()),
            With(kExistingEntries, {Entry("VELKOR_H", "VKID_MnVELKOR_H", 42)}));
  EXPECT_EQ(DefaultWorkspaceRibbon(merged.get()),
            "<WSRibbonRoot AutoHideMode=\"None\" LockMode=\"None\" "
            "ShowPanelTitleInHorizontalOrientation=\"true\" "
            "ShowPanelTitleInVerticalOrientation=\"false\">"
            "<ModifiedRev MajorVersion=\"18\" MinorVersion=\"0\" UserVersion=\"0\"/>"
            "<WSRibbonTabSourceReference MenuGroup=\"VELKOR_H\" TabId=\"RBNU_0023\" "
            "Show=\"true\" IsActive=\"false\" UID=\"WSR_10\"/></WSRibbonRoot>");
  PackageContents after;
  ASSERT_TRUE(LoadPackageEntries(&after, Target()));
  ExpectSameNonPartMembers(before, after);

  XmlDocument profile(OpenCustomisationFile(Profile()));
  ASSERT_NE(profile, nullptr);
  EXPECT_EQ(FindProfileRibbon(profile.get()), nullptr);
  EXPECT_EQ(Bytes(Source()), source);
  EXPECT_EQ(Bytes(Target() + u".bak"), replaced);
}

TEST_F(MenuMergeTest, PackageWhoseCopyCannotBeKeptIsNotReplaced) {
  ASSERT_TRUE(WriteTestPackage(Source(), AcaMembers(HeaderPart(PartialMenuList({})))));
  ASSERT_TRUE(WriteTestPackage(Target(), AcaMembers(HeaderPart(PartialMenuList({"mine.cuix"})))));
  // A folder where the copy should go.
  (void)MakeFolders(u"User\\R18.0\\csy\\Support\\DT+\\aca.cuix.bak");
  const std::string mine = Bytes(Target());
  EXPECT_TRUE(Merge(kH, 0));
  EXPECT_EQ(Bytes(Target()), mine);
  EXPECT_FALSE(platform::PathExists(Target() + u".bak.vk-copy"));
}

TEST_F(MenuMergeTest, EditionsThatStayInstalledKeepTheirMenusWithoutDT) {
  ASSERT_TRUE(
      WriteTestPackage(Source(), AcaMembers(HeaderPart(PartialMenuList({"AecArchDACH.cuix"})))));
  const std::string source = Bytes(Source());
  EXPECT_TRUE(Merge(kA | kH, 0));
  const std::string first = Bytes(Target());
  EXPECT_FALSE(platform::PathExists(Target() + u".bak"));

  // "A" removed: the package is rebuilt from AutoCAD's copy once more.
  EXPECT_TRUE(Merge(kH, kA | kH));
  XmlDocument merged(OpenCustomisationFile(Target()));
  ASSERT_NE(merged, nullptr);
  EXPECT_EQ(References(merged.get()),
            (std::vector<std::u16string>{u"AecArchDACH.cuix", u"velkor_h.cuix"}));
  // The counters live for the process, so the second run continues after the first.
  EXPECT_EQ(AddonWorkspaceMenus(merged.get()),
            With(kExistingEntries, {Entry("VELKOR_H", "VKID_MnVELKOR_H", 44)}));
  // One tab reference: the rebuild starts from a package without one.
  const std::string ribbon = DefaultWorkspaceRibbon(merged.get());
  EXPECT_EQ(ribbon.find("RBNU_0023"), ribbon.rfind("RBNU_0023"));
  EXPECT_NE(ribbon.find("RBNU_0023"), std::string::npos);
  EXPECT_EQ(Bytes(Target() + u".bak"), first);
  EXPECT_EQ(Bytes(Source()), source);
}

TEST_F(MenuMergeTest, RemovedEditionLosesOnlyItsReference) {
  ASSERT_TRUE(WriteTestPackage(
      Target(), AcaMembers(HeaderPart(PartialMenuList(
                    {"AecArchDACH.cuix", "flyouts.cuix", "velkor_a.cuix", "velkor_h.cuix"})))));

  EXPECT_TRUE(Merge(kDT | kH, kDT | kA | kH));
  XmlDocument merged(OpenCustomisationFile(Target()));
  ASSERT_NE(merged, nullptr);
  EXPECT_EQ(References(merged.get()),
            (std::vector<std::u16string>{u"AecArchDACH.cuix", u"flyouts.cuix", u"velkor_h.cuix"}));
  EXPECT_EQ(AddonWorkspaceMenus(merged.get()), kExistingEntries);

  // An entry that exists (letter case ignored) is not added again, but the
  // reference still moves to the end.
  EXPECT_TRUE(Merge(kDT | kA | kH, kDT | kH));
  XmlDocument again(OpenCustomisationFile(Target()));
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(References(again.get()),
            (std::vector<std::u16string>{u"AecArchDACH.cuix", u"flyouts.cuix", u"velkor_h.cuix",
                                         u"velkor_a.cuix"}));
  EXPECT_EQ(AddonWorkspaceMenus(again.get()),
            With(kExistingEntries, {Entry("VELKOR_A", "VKID_MnVELKOR_A", 42)}));
  EXPECT_TRUE(Merge(kDT | kA, kDT));
  XmlDocument third(OpenCustomisationFile(Target()));
  EXPECT_EQ(AddonWorkspaceMenus(third.get()),
            With(kExistingEntries, {Entry("VELKOR_A", "VKID_MnVELKOR_A", 42)}));
  EXPECT_FALSE(platform::PathExists(Target() + u".bak"));
}

TEST_F(MenuMergeTest, EqualFlagsTouchNoFile) {
  ASSERT_TRUE(WriteTestPackage(Target(), AcaMembers(HeaderPart(PartialMenuList({})))));
  ASSERT_TRUE(WriteTestPackage(Source(), AcaMembers(HeaderPart(PartialMenuList({})))));
  ASSERT_TRUE(WriteWholeFile(Profile(), kProfile));
  namespace fs = std::filesystem;
  std::map<std::u16string, std::pair<std::string, fs::file_time_type>> files;
  for (const std::u16string& path : {Target(), Source(), Profile()}) {
    // Forward slashes name the same file on both backends.
    std::u16string slashed = path;
    for (char16_t& c : slashed) c = c == u'\\' ? u'/' : c;
    const fs::path native(slashed);
    const fs::file_time_type old = fs::last_write_time(native) - std::chrono::hours(2);
    fs::last_write_time(native, old);
    files[slashed] = {Bytes(path), old};
  }
  for (uint32_t flags : {0u, kDT, kA | kH, kDT | kA | kH}) {
    EXPECT_TRUE(Merge(flags, flags));
  }
  for (const auto& [path, state] : files) {
    EXPECT_EQ(Bytes(path), state.first);
    EXPECT_EQ(fs::last_write_time(fs::path(path)), state.second);
  }
  EXPECT_FALSE(platform::PathExists(Target() + u".bak"));
}

TEST_F(MenuMergeTest, PackageThatCannotBeOpenedFailsAndChangesNothing) {
  struct Row {
    const char* what;
    uint32_t editions;
    Setting emptied;
  };
  ASSERT_TRUE(WriteTestPackage(Source(), AcaMembers(HeaderPart(PartialMenuList({})))));
  for (const Row& row :
       std::vector<Row>{{"no package in MenusPath", kDT | kA, Setting::Unused20},
                        {"empty MenusPath", kDT | kA, Setting::MenusPath},
                        {"empty MenusPath, source in CdMenus", kA, Setting::MenusPath},
                        {"empty CdMenus", kA | kH, Setting::CdMenus}}) {
    SCOPED_TRACE(row.what);
    const settings::Settings kept = settings_;
    settings_[row.emptied].clear();
    EXPECT_FALSE(Merge(row.editions, 0));
    settings_ = kept;
    EXPECT_FALSE(platform::PathExists(Target()));
  }
  // A target that is no package, read because "DT" is installed.
  ASSERT_TRUE(WriteWholeFile(Target(), "not a package"));
  EXPECT_FALSE(Merge(kDT, 0));
  EXPECT_EQ(Bytes(Target()), "not a package");
}

TEST_F(MenuMergeTest, MissingPiecesSkipOnlyTheirOwnStep) {
  // No add-on workspace, no default workspace, a profile that is not XML.
  const std::string workspaces = CuiPart(
      "<WorkspaceRoot><Workspace UID=\"WS_1\"><Name>Other</Name></Workspace>"
      "</WorkspaceRoot>");
  ASSERT_TRUE(WriteTestPackage(Source(), AcaMembers(HeaderPart(PartialMenuList({})), workspaces)));
  ASSERT_TRUE(WriteWholeFile(Profile(), "<!DOCTYPE Profile>\n<Profile/>"));
  EXPECT_TRUE(Merge(kA | kH, 0));
  XmlDocument merged(OpenCustomisationFile(Target()));
  ASSERT_NE(merged, nullptr);
  EXPECT_EQ(References(merged.get()),
            (std::vector<std::u16string>{u"velkor_a.cuix", u"velkor_h.cuix"}));
  EXPECT_EQ(Render(WorkspaceNamed(PackageWorkspaceRoot(merged.get()), u"Other")),
            "<Workspace UID=\"WS_1\"><Name>Other</Name></Workspace>");
  EXPECT_EQ(Bytes(Profile()), "<!DOCTYPE Profile>\n<Profile/>");

  // Express Tools are attached only when both the menu and AutoCAD's folder exist.
  struct Row {
    bool menu, folder;
  };
  for (const Row& row : std::vector<Row>{{true, false}, {false, true}, {true, true}}) {
    SCOPED_TRACE(std::to_string(row.menu) + std::to_string(row.folder));
    ResetUidCountersForTesting();
    ASSERT_TRUE(WriteTestPackage(Target(), AcaMembers(HeaderPart(PartialMenuList({})))));
    [[maybe_unused]] const long gone = platform::RemoveFile(Express());
    if (row.menu) {
      ASSERT_TRUE(WriteWholeFile(Express(), "express"));
    }
    if (row.folder) (void)MakeFolders(u"Program Files\\ACA\\Express");
    EXPECT_TRUE(Merge(kDT, 0));
    XmlDocument result(OpenCustomisationFile(Target()));
    std::vector<std::u16string> expected{u"flyouts.cuix"};
    if (row.menu && row.folder) expected.push_back(Express());
    EXPECT_EQ(References(result.get()), expected);
  }
}

}  // namespace
}  // namespace vk::cui::test
