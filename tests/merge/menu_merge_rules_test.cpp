// Rules of the menu merge that no whole scenario shows, one row each: text
// from the user's folder in the package, identifiers at the end of their
// range, the "MenuFile" record, and when the add-on profile's ribbon and the
// "H" menu are touched. Every package and profile the merge changes is also
// read by a standard XML reader (MergeSandbox::Merge).
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "cui/package_file.h"
#include "launchlog/launch_log.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "settings/settings.h"
#include "tests/merge/customisation_test_support.h"
#include "tests/merge/merge_sandbox.h"
#include "tests/support/test_paths.h"
#include "xml/node.h"

namespace vk::cui::test {
namespace {

namespace pf = vk::platform;
using settings::Setting;
using vk::test::WriteWholeFile;
using xml::XmlDocument;

constexpr char16_t kProductKey[] = u"Software\\VkTestMerge\\ACAD-8001:405";
constexpr char16_t kProfileConfigKey[] =
    u"Software\\VkTestMerge\\ACAD-8001:405\\profiles\\VELKOR RUR15\\General Configuration";

constexpr char kProfileWithRibbon[] =
    "<Profile><StorageRoot><Ribbon><Tab Id=\"ID_TabHome\"/></Ribbon></StorageRoot></Profile>";
constexpr char kProfileWithoutRibbon[] =
    "<Profile><StorageRoot><Palettes Count=\"2\"/></StorageRoot></Profile>";

// The add-on's workspace with pop-up entries of the given identifiers.
std::string AddonWorkspaceWith(std::initializer_list<const char*> uids) {
  std::string entries;
  for (const char* uid : uids) {
    entries += std::string("<WSPop MenuGroup=\"ACA\" pUID=\"ID_MnFile\" Display=\"1\" UID=\"") +
               uid + "\"/>";
  }
  return CuiPart(
      "<WorkspaceRoot><Workspace UID=\"WS_1\"><Name>VELKOR-DT+ Classic</Name>"
      "<WSPopRoot>" +
      entries + "</WSPopRoot></Workspace></WorkspaceRoot>");
}

class MenuMergeRulesTest : public MergeSandbox {
 protected:
  void SetUp() override {
    MergeSandbox::SetUp();
    settings_[Setting::AcadPathReg] = kProductKey;
    launchlog::Open(folder_.path(), u"rules.log");
  }
  void TearDown() override {
    launchlog::Close();
    [[maybe_unused]] const long deleted =
        pf::DeleteKeyTree(pf::CurrentUserRoot(), u"Software\\VkTestMerge");
    MergeSandbox::TearDown();
  }

  XmlDocument Merged() { return XmlDocument(OpenCustomisationFile(Target())); }
  std::string Log() { return Bytes(folder_.Join(u"rules.log")); }

  // Whether the profile of the record holds a "MenuFile" value.
  static bool HasMenuFileRecord() {
    pf::RegKey key = nullptr;
    if (pf::OpenKey(pf::CurrentUserRoot(), kProfileConfigKey, pf::kKeyRead, &key) !=
        pf::kErrorSuccess) {
      return false;
    }
    uint32_t size = 0;
    uint32_t type = 0;
    const long result = pf::QueryValue(key, u"MenuFile", &type, nullptr, &size);
    pf::CloseKey(key);
    return result == pf::kErrorSuccess;
  }
};

struct Rule {
  const char* name;
  std::function<void()> prepare;
  uint32_t editions;
  uint32_t userEditions;
  std::function<void()> check;
};

TEST_F(MenuMergeRulesTest, EachRuleHolds) {
  const std::vector<Rule> rules = {
      {"a user folder holding & is referenced escaped, and once after a second merge",
       [this] {
         settings_[Setting::AcadOneUserPath] = MakeFolders(u"R&D User\\R18.0\\csy");
         (void)MakeFolders(u"R&D User\\R18.0\\csy\\Support");
         (void)MakeFolders(u"Program Files\\ACA\\Express");
         ASSERT_TRUE(WriteWholeFile(Express(), "express"));
       },
       kDT, 0,
       [this] {
         std::u16string escaped = Express();
         escaped.replace(escaped.find(u"R&D"), 3, u"R&amp;D");
         const std::vector<std::u16string> expected{u"flyouts.cuix", escaped};
         EXPECT_EQ(References(Merged().get()), expected);
         EXPECT_TRUE(Merge(kDT, 0));
         EXPECT_EQ(References(Merged().get()), expected);
       }},
      {"a counter that has handed out 4294967295 hands out nothing",
       [this] {
         ASSERT_TRUE(WriteTestPackage(
             Target(), AcaMembers(HeaderPart(PartialMenuList({})),
                                  AddonWorkspaceWith({"WSPU_4294967294", "WSPU_0"}))));
       },
       kDT | kA, 0,
       [this] {
         XmlDocument merged = Merged();
         xml::XmlNode* root =
             Descend(WorkspaceNamed(PackageWorkspaceRoot(merged.get()), u"VELKOR-DT+ Classic"),
                     {u"WSPopRoot"});
         std::vector<std::u16string> uids;
         for (xml::XmlNode* entry = root->firstChild; entry != nullptr; entry = entry->next) {
           uids.emplace_back(xml::NodeFindByName(entry->firstAttribute, u"UID")->value.view());
         }
         EXPECT_EQ(uids, (std::vector<std::u16string>{u"WSPU_4294967294", u"WSPU_0",
                                                      u"WSPU_4294967295"}));
         // The rest of the merge goes on: "A"'s menu is attached all the same.
         EXPECT_EQ(References(merged.get()),
                   (std::vector<std::u16string>{u"flyouts.cuix", u"velkor_a.cuix"}));
         EXPECT_NE(Log().find("no identifier left after WSPU_4294967295"), std::string::npos);
       }},
      {"the merge's save writes no MenuFile record", [] {}, kDT | kA, 0,
       [] { EXPECT_FALSE(HasMenuFileRecord()); }},
      {"a profile without a ribbon is written back when H is new",
       [this] { ASSERT_TRUE(WriteWholeFile(Profile(), kProfileWithoutRibbon)); }, kDT | kH, kDT,
       [this] {
         EXPECT_NE(Bytes(Profile()), kProfileWithoutRibbon);
         XmlDocument profile(OpenCustomisationFile(Profile()));
         EXPECT_EQ(Render(profile.get()), kProfileWithoutRibbon);
       }},
      {"the profile's ribbon stays when H was installed before",
       [this] { ASSERT_TRUE(WriteWholeFile(Profile(), kProfileWithRibbon)); }, kDT | kA | kH,
       kDT | kH, [this] { EXPECT_EQ(Bytes(Profile()), kProfileWithRibbon); }},
      {"the profile's ribbon stays when H is removed",
       [this] { ASSERT_TRUE(WriteWholeFile(Profile(), kProfileWithRibbon)); }, kDT, kDT | kH,
       [this] { EXPECT_EQ(Bytes(Profile()), kProfileWithRibbon); }},
      {"velkor_h.cuix is detached when H is removed",
       [this] {
         ASSERT_TRUE(WriteTestPackage(
             Target(), AcaMembers(HeaderPart(PartialMenuList(
                           {"AecArchDACH.cuix", "flyouts.cuix", "velkor_h.cuix"})))));
       },
       kDT, kDT | kH,
       [this] {
         EXPECT_EQ(References(Merged().get()),
                   (std::vector<std::u16string>{u"AecArchDACH.cuix", u"flyouts.cuix"}));
       }},
  };
  const settings::Settings initial = settings_;
  for (const Rule& rule : rules) {
    SCOPED_TRACE(rule.name);
    settings_ = initial;
    ResetUidCountersForTesting();
    for (const std::u16string& path : {Target(), Profile()}) {
      [[maybe_unused]] const long removed = platform::RemoveFile(path);
    }
    ASSERT_TRUE(WriteTestPackage(Target(), AcaMembers(HeaderPart(PartialMenuList({})))));
    rule.prepare();
    EXPECT_TRUE(Merge(rule.editions, rule.userEditions));
    rule.check();
  }
}

}  // namespace
}  // namespace vk::cui::test
