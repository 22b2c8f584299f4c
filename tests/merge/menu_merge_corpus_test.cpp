// The menu merge on real users' main packages: each one still opens after
// the merge, its other members come back unchanged, and the references and
// workspace entries stand where they should.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cui/package_contents.h"
#include "cui/package_entries.h"
#include "cui/package_file.h"
#include "merge/uid_counters.h"
#include "merge/workspaces.h"
#include "platform/files.h"
#include "platform/text.h"
#include "tests/merge/customisation_test_support.h"
#include "tests/merge/merge_sandbox.h"
#include "tests/support/corpus_files.h"
#include "tests/support/test_paths.h"
#include "xml/node.h"

namespace vk::cui::test {
namespace {

using xml::XmlDocument;
using xml::XmlNode;

using MenuMergeCorpusTest = MergeSandbox;

// The corpus packages that are users' main packages ("...acad....cuix").
std::vector<std::u16string> MainPackages() {
  return vk::test::CorpusCuixFiles([](std::u16string_view name) {
    return platform::FoldAsciiCase(name).find(u"acad") != std::u16string::npos &&
           IsPackagePath(name);
  });
}

// The identifier that the next element of `prefix` gets in the document.
std::u16string NextUidIn(XmlNode* document, std::u16string_view prefix) {
  ResetUidCountersForTesting();
  RaiseUidCounters(document);
  std::u16string uid = NextUid(prefix);
  ResetUidCountersForTesting();
  return uid;
}

std::string WithNumberAfter(const std::u16string& uid, int step) {
  const size_t digits = uid.find_last_of(u'_') + 1;
  return Utf8(uid.substr(0, digits)) +
         std::to_string(std::stoul(Utf8(uid.substr(digits))) + static_cast<unsigned long>(step));
}

TEST_F(MenuMergeCorpusTest, FirstLaunchWithEveryEditionOnEveryMainPackage) {
  const std::vector<std::u16string> packages = MainPackages();
  if (vk::test::CorpusDir().empty()) GTEST_SKIP() << "no corpus";
  ASSERT_FALSE(packages.empty());
  for (const std::u16string& path : packages) {
    SCOPED_TRACE(Utf8(path));
    ResetUidCountersForTesting();
    std::string bytes;
    ASSERT_TRUE(vk::test::ReadWholeFile(path, &bytes));
    ASSERT_TRUE(vk::test::WriteWholeFile(Target(), bytes));
    PackageContents before;
    ASSERT_TRUE(LoadPackageEntries(&before, path));
    XmlDocument original(OpenCustomisationFile(path));
    ASSERT_NE(original, nullptr);
    std::vector<std::u16string> references = References(original.get());
    for (const char16_t* added : {u"flyouts.cuix", u"velkor_a.cuix", u"velkor_h.cuix"}) {
      references.push_back(added);
    }

    EXPECT_TRUE(Merge(kDT | kA | kH, 0));

    XmlDocument merged(OpenCustomisationFile(Target()));
    ASSERT_NE(merged, nullptr);
    EXPECT_EQ(References(merged.get()), references);
    // None of them has the add-on's workspace, so no entry is added anywhere.
    EXPECT_EQ(FindWorkspace(merged.get(), u"VELKOR-DT+ Classic"), nullptr);
    EXPECT_EQ(NextUidIn(merged.get(), u"WSPU_"), NextUidIn(original.get(), u"WSPU_"));
    PackageContents after;
    ASSERT_TRUE(LoadPackageEntries(&after, Target()));
    ExpectSameNonPartMembers(before, after);
  }
  std::printf("merged %zu corpus main packages\n", packages.size());
}

TEST_F(MenuMergeCorpusTest, AddonWorkspaceAndDefaultTabInEveryMainPackage) {
  const std::vector<std::u16string> packages = MainPackages();
  if (vk::test::CorpusDir().empty()) GTEST_SKIP() << "no corpus";
  ASSERT_FALSE(packages.empty());
  for (const std::u16string& path : packages) {
    SCOPED_TRACE(Utf8(path));
    // AutoCAD's copy in CdMenus, with the add-on's workspace added.
    XmlDocument prepared(OpenCustomisationFile(path));
    ASSERT_NE(prepared, nullptr);
    XmlNode* addon = xml::NodeNew(u"Workspace", nullptr);
    ASSERT_TRUE(xml::NodeAppendChild(addon, xml::NodeNew(u"Name", u"VELKOR-DT+ Classic")));
    ASSERT_TRUE(xml::NodeAppendChild(PackageWorkspaceRoot(prepared.get()), addon));
    ASSERT_EQ(SaveCustomisationFile(Source(), prepared.get(), false), kSaveOk);
    const std::u16string popUpUid = NextUidIn(prepared.get(), u"WSPU_");
    const std::u16string tabUid = NextUidIn(prepared.get(), u"WSR_");
    XmlNode* defaultWorkspace = xml::NodeFindByAttribute(FindWorkspace(prepared.get(), nullptr),
                                                         u"DefaultWorkspace", u"true");
    ASSERT_NE(defaultWorkspace, nullptr);
    const std::u16string defaultName(
        xml::NodeChild(defaultWorkspace, u"Name", false)->value.view());
    PackageContents before;
    ASSERT_TRUE(LoadPackageEntries(&before, Source()));

    EXPECT_TRUE(Merge(kA | kH, 0));

    XmlDocument merged(OpenCustomisationFile(Target()));
    ASSERT_NE(merged, nullptr);
    const std::vector<std::u16string> references = References(merged.get());
    ASSERT_GE(references.size(), 2u);
    EXPECT_EQ(references[references.size() - 2], u"velkor_a.cuix");
    EXPECT_EQ(references.back(), u"velkor_h.cuix");
    const std::string modified =
        "<ModifiedRev MajorVersion=\"18\" MinorVersion=\"0\" UserVersion=\"1\"/>";
    EXPECT_EQ(AddonWorkspaceMenus(merged.get()),
              (std::vector<std::string>{
                  "<WSPop MenuGroup=\"VELKOR_A\" pUID=\"VKID_MnVELKOR_A\" Display=\"1\" UID=\"" +
                      WithNumberAfter(popUpUid, 0) + "\">" + modified + "</WSPop>",
                  "<WSPop MenuGroup=\"VELKOR_H\" pUID=\"VKID_MnVELKOR_H\" Display=\"1\" UID=\"" +
                      WithNumberAfter(popUpUid, 1) + "\">" + modified + "</WSPop>"}));
    XmlNode* ribbonRoot =
        Descend(WorkspaceNamed(PackageWorkspaceRoot(merged.get()), defaultName), {u"WSRibbonRoot"});
    ASSERT_NE(ribbonRoot, nullptr);
    XmlNode* last = ribbonRoot->firstChild;
    while (last != nullptr && last->next != nullptr) last = last->next;
    EXPECT_EQ(Render(last),
              "<WSRibbonTabSourceReference MenuGroup=\"VELKOR_H\" TabId=\"RBNU_0023\" "
              "Show=\"true\" IsActive=\"false\" UID=\"" +
                  Utf8(tabUid) + "\"/>");
    PackageContents after;
    ASSERT_TRUE(LoadPackageEntries(&after, Target()));
    ExpectSameNonPartMembers(before, after);
  }
}

}  // namespace
}  // namespace vk::cui::test
