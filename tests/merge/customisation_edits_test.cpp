// The edits on both document forms, checked on the document read back after
// a save: revision stamps, partial-menu references, workspaces and their
// pop-up menu entries, and the ribbon state of a workspace profile.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cui/package_contents.h"
#include "cui/package_file.h"
#include "merge/partial_menus.h"
#include "merge/revision_stamps.h"
#include "merge/workspaces.h"
#include "tests/merge/customisation_test_support.h"
#include "tests/support/test_paths.h"
#include "xml/node.h"
#include "xml/parser.h"

namespace vk::cui::test {
namespace {

using xml::XmlDocument;
using xml::XmlNode;

class CustomisationEditsTest : public CustomisationTest {
 protected:
  // Opens a package of `members` written to a fresh file.
  XmlDocument OpenPackage(const std::vector<TestMember>& members) {
    path_ = folder_.Join(u"aca.cuix");
    EXPECT_TRUE(WriteTestPackage(path_, members));
    return XmlDocument(OpenCustomisationFile(path_));
  }

  // Saves the document to the file it came from (or to `name` in the
  // folder) and opens it again.
  XmlDocument SaveAndReopen(XmlNode* document, std::u16string_view name = {}) {
    if (!name.empty()) path_ = folder_.Join(name);
    EXPECT_EQ(SaveCustomisationFile(path_, document, false), kSaveOk);
    // Packages only: a single file that lacked "CustSection" holds two
    // top-level elements after an edit, a form the merge never writes.
    if (IsPackagePath(path_)) ExpectStandardXml(path_);
    return XmlDocument(OpenCustomisationFile(path_));
  }

  vk::test::TempFolder folder_;
  std::u16string path_;
};

TEST_F(CustomisationEditsTest, RevisionStampFollowsTheCustomisationVersion) {
  struct Row {
    uint32_t majorVersion, minorVersion;
    std::string stamp;
  };
  for (const Row& row : std::vector<Row>{
           {16, 2, "<Revision MajorVersion=\"16\" MinorVersion=\"2\" UserVersion=\"5\"/>"},
           {16, 9, "<Revision MajorVersion=\"16\" MinorVersion=\"9\" UserVersion=\"5\"/>"},
           {17, 1, "<Revision MajorVersion=\"17\" MinorVersion=\"1\" UserVersion=\"5\"/>"},
           {17, 2, "<ModifiedRev MajorVersion=\"17\" MinorVersion=\"2\" UserVersion=\"5\"/>"},
           {18, 0, "<ModifiedRev MajorVersion=\"18\" MinorVersion=\"0\" UserVersion=\"5\"/>"},
           {4294967295u, 0,
            "<ModifiedRev MajorVersion=\"4294967295\" MinorVersion=\"0\" UserVersion=\"5\"/>"},
       }) {
    SetCustomisationVersion(row.majorVersion, row.minorVersion);
    XmlDocument stamp(MakeRevisionElement(5));
    EXPECT_EQ(Render(stamp.get()), row.stamp);
  }
  ResetCustomisationVersionForTesting();
  EXPECT_EQ(CustomisationVersion().majorVersion, 16u);
  EXPECT_EQ(CustomisationVersion().minorVersion, 2u);

  XmlDocument fixed(MakeModifiedRevElement(3, 4, 7));
  EXPECT_EQ(Render(fixed.get()),
            "<ModifiedRev MajorVersion=\"3\" MinorVersion=\"4\" UserVersion=\"7\"/>");
  // Existing version attributes are updated where they stand.
  XmlDocument element(NewElementWithAttributes(
      u"E", nullptr, {{u"userversion", u"9"}, {u"A", u"1"}, {u"B", nullptr}, {u"C", u"3"}}));
  SetVersionAttributes(element.get(), 2);
  EXPECT_EQ(Render(element.get()),
            "<E userversion=\"2\" A=\"1\" MajorVersion=\"16\" MinorVersion=\"2\"/>");
}

TEST_F(CustomisationEditsTest, AttachMovesTheReferenceToTheEndOfThePackageList) {
  XmlDocument package = OpenPackage(
      AcaMembers(HeaderPart(PartialMenuList({"velkor_a.cuix", "AecArchDACH.cuix", "flyouts.cuix",
                                             "d:\\menus\\FLYOUTS.cuix", "x.cuix", "x.cuix"}))));
  ASSERT_NE(package, nullptr);
  SetCustomisationVersion(18, 0);
  EXPECT_TRUE(AttachPartialMenu(package.get(), u"VELKOR_A.cuix"));
  // A full path replaces a reference by that path and one by its bare name.
  EXPECT_TRUE(AttachPartialMenu(package.get(), u"D:\\Menus\\flyouts.cuix"));
  EXPECT_TRUE(AttachPartialMenu(package.get(), u"new.cuix"));
  // Only the first of two equal references goes.
  DetachPartialMenu(package.get(), u"X.CUIX");
  DetachPartialMenu(package.get(), u"absent.cuix");

  XmlDocument reopened = SaveAndReopen(package.get());
  ASSERT_NE(reopened, nullptr);
  XmlNode* items = PackageCommonItems(reopened.get());
  EXPECT_EQ(ChildTexts(items, u"PartialMenuFile"),
            (std::vector<std::u16string>{u"AecArchDACH.cuix", u"x.cuix", u"VELKOR_A.cuix",
                                         u"D:\\Menus\\flyouts.cuix", u"new.cuix"}));
  // The list's stamp stays as it was.
  EXPECT_EQ(Render(items->firstChild),
            "<ModifiedRev MajorVersion=\"16\" MinorVersion=\"2\" UserVersion=\"0\"/>");
}

TEST_F(CustomisationEditsTest, AttachCreatesAMissingListWithAStamp) {
  SetCustomisationVersion(18, 0);
  const std::string stamp =
      "<ModifiedRev MajorVersion=\"18\" MinorVersion=\"0\" UserVersion=\"0\"/>";
  {
    // A package without a header part gets one, stored under the part's name.
    XmlDocument package = OpenPackage({{"MenuGroup.cui", PartXml("MenuGroup")}});
    ASSERT_NE(package, nullptr);
    DetachPartialMenu(package.get(), u"velkor_a.cuix");
    EXPECT_EQ(FindPart(package.get(), u"Header.cui"), nullptr);
    EXPECT_TRUE(AttachPartialMenu(package.get(), u"velkor_a.cuix"));
    XmlDocument reopened = SaveAndReopen(package.get());
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(Render(Descend(FindPart(reopened.get(), u"Header.cui"), {u"CustSection"})),
              "<CustSection><Header><CommonConfiguration><CommonItems>" + stamp +
                  "<PartialMenuFile>velkor_a.cuix</PartialMenuFile>"
                  "</CommonItems></CommonConfiguration></Header></CustSection>");
  }
  {
    // An empty list in a package.
    XmlDocument package = OpenPackage({{"Header.cui", PartXml("CustSection",
                                                              "<Header><CommonConfiguration>"
                                                              "<CommonItems/></CommonConfiguration>"
                                                              "</Header>")}});
    ASSERT_NE(package, nullptr);
    EXPECT_TRUE(AttachPartialMenu(package.get(), u"velkor_h.cuix"));
    XmlDocument reopened = SaveAndReopen(package.get());
    EXPECT_EQ(
        RenderChildren(PackageCommonItems(reopened.get())),
        (std::vector<std::string>{stamp, "<PartialMenuFile>velkor_h.cuix</PartialMenuFile>"}));
  }
  {
    // A single file without "CustSection" gets one right after its first node.
    const std::string text = "<?xml version=\"1.0\"?>\r\n<Other/>";
    XmlDocument single(xml::XmlParse(text.c_str(), text.size()));
    ASSERT_NE(single, nullptr);
    EXPECT_TRUE(AttachPartialMenu(single.get(), u"velkor_a.cuix"));
    XmlDocument reopened = SaveAndReopen(single.get(), u"acad.cui");
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->name.view(), u"?xml");
    EXPECT_EQ(Render(reopened->next),
              "<CustSection><Header><CommonConfiguration><CommonItems>" + stamp +
                  "<PartialMenuFile>velkor_a.cuix</PartialMenuFile>"
                  "</CommonItems></CommonConfiguration></Header></CustSection>");
    EXPECT_EQ(Render(reopened->next->next), "<Other/>");
  }
}

TEST_F(CustomisationEditsTest, FindsWorkspacesAndTheirMenusInBothForms) {
  XmlDocument package = OpenPackage(AcaMembers(HeaderPart(PartialMenuList({}))));
  ASSERT_NE(package, nullptr);
  const std::string single = CuiPart(
      "<CustSection><Header><WorkspaceRoot>"
      "<Workspace UID=\"WS_1\"><Description>no name</Description></Workspace>"
      "<Workspace UID=\"WS_2\"><Name></Name></Workspace>"
      "<Workspace UID=\"WS_3\"><Name>First</Name></Workspace>"
      "<Workspace UID=\"WS_4\"><Name>velkor-dt+ CLASSIC</Name><WSPopRoot>"
      "<WSPop MenuGroup=\"VELKOR_A\" Display=\"1\" UID=\"WSPU_1\"/>"
      "<WSPop MenuGroup=\"velkor_a\" pUID=\"vkid_mnvelkor_a\" Display=\"1\" UID=\"WSPU_2\"/>"
      "</WSPopRoot></Workspace>"
      "</WorkspaceRoot></Header></CustSection>");
  XmlDocument file(xml::XmlParse(single.c_str(), single.size()));
  ASSERT_NE(file, nullptr);

  XmlNode* addon = FindWorkspace(package.get(), u"velkor-dt+ classic");
  ASSERT_NE(addon, nullptr);
  EXPECT_EQ(CountWorkspaceMenus(addon), 2u);
  EXPECT_EQ(FindWorkspaceMenu(addon, u"aca", u"id_mnedit"),
            NodeFindByAttribute(Descend(addon, {u"WSPopRoot", u"WSPop"}), u"pUID", u"ID_MnEdit"));
  EXPECT_EQ(FindWorkspaceMenu(addon, u"VELKOR_A", u"VKID_MnVELKOR_A"), nullptr);
  EXPECT_EQ(FindWorkspace(package.get(), u"Missing"), nullptr);
  EXPECT_EQ(Render(xml::NodeChild(FindWorkspace(package.get(), nullptr), u"Name", false)),
            "<Name UID=\"XLS_0007\">Architektura</Name>");

  // Workspaces without a "Name" text are never found.
  XmlNode* first = FindWorkspace(file.get(), nullptr);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->firstAttribute->value.view(), u"WS_3");
  XmlNode* named = FindWorkspace(file.get(), u"VELKOR-DT+ Classic");
  ASSERT_NE(named, nullptr);
  EXPECT_EQ(CountWorkspaceMenus(named), 2u);
  // An entry without a pUID never matches; letter case is ignored.
  XmlNode* entry = FindWorkspaceMenu(named, u"VELKOR_A", nullptr);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry, FindWorkspaceMenu(named, nullptr, u"VKID_MnVELKOR_A"));
  EXPECT_EQ(xml::NodeFindByName(entry->firstAttribute, u"UID")->value.view(), u"WSPU_2");
  EXPECT_EQ(FindWorkspaceMenu(nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(CountWorkspaceMenus(nullptr), 0u);
  // The workspace path of one form does not apply to the other.
  EXPECT_EQ(
      FindWorkspace(xml::NodeFindByName(package->firstChild, u"WorkspaceRoot.cui")->firstChild,
                    u"First"),
      nullptr);
}

TEST_F(CustomisationEditsTest, AddedMenuEntriesFollowTheLastExistingOne) {
  XmlDocument package = OpenPackage(AcaMembers(HeaderPart(PartialMenuList({}))));
  ASSERT_NE(package, nullptr);
  SetCustomisationVersion(18, 0);
  RaiseUidCounters(package.get());
  XmlNode* addon = FindWorkspace(package.get(), u"VELKOR-DT+ Classic");
  uint32_t number = 0;
  ASSERT_NE(AddWorkspaceMenu(addon, u"VELKOR_A", u"VKID_MnVELKOR_A", 1, 0, &number, 1), nullptr);
  EXPECT_EQ(number, 42u);
  ASSERT_NE(AddWorkspaceMenu(addon, u"VELKOR_H", u"VKID_MnVELKOR_H", 0, 0, nullptr, 3), nullptr);
  // A workspace without a pop-up list gets one with the entry as its only child.
  XmlNode* plain = FindWorkspace(package.get(), u"V\u00FDkres a pozn\u00E1mky");
  ASSERT_NE(AddWorkspaceMenu(plain, u"FLYOUTS", u"PMU_0002", 1, 77, &number, 1), nullptr);
  EXPECT_EQ(number, 77u);
  EXPECT_EQ(AddWorkspaceMenu(nullptr, u"FLYOUTS", u"PMU_0002", 1, 0, nullptr, 1), nullptr);

  XmlDocument reopened = SaveAndReopen(package.get());
  ASSERT_NE(reopened, nullptr);
  XmlNode* root = PackageWorkspaceRoot(reopened.get());
  XmlNode* workspace = WorkspaceNamed(root, u"VELKOR-DT+ Classic");
  EXPECT_EQ(RenderChildren(workspace),
            (std::vector<std::string>{
                "<Name UID=\"XLS_0009\">VELKOR-DT+ Classic</Name>",
                "<WSPopRoot>"
                "<WSPop MenuGroup=\"ACA\" pUID=\"ID_MnFile\" Display=\"1\" UID=\"wspu_0041\">"
                "<ModifiedRev MajorVersion=\"18\" MinorVersion=\"0\" UserVersion=\"1\"/></WSPop>"
                "<WSPop MenuGroup=\"ACA\" pUID=\"ID_MnEdit\" Display=\"1\" UID=\"WSPU_7\"/>"
                "<WSPop MenuGroup=\"VELKOR_A\" pUID=\"VKID_MnVELKOR_A\" Display=\"1\" "
                "UID=\"WSPU_42\">"
                "<ModifiedRev MajorVersion=\"18\" MinorVersion=\"0\" UserVersion=\"1\"/></WSPop>"
                "<WSPop MenuGroup=\"VELKOR_H\" pUID=\"VKID_MnVELKOR_H\" Display=\"0\" "
                "UID=\"WSPU_43\">"
                "<ModifiedRev MajorVersion=\"18\" MinorVersion=\"0\" UserVersion=\"3\"/></WSPop>"
                "</WSPopRoot>",
                "<WSToolbarRoot><WSToolbar ToolbarUID=\"TB_0001\" Display=\"1\" "
                "UID=\"WST_0003\"/></WSToolbarRoot>",
            }));
  EXPECT_EQ(Render(xml::NodeChild(WorkspaceNamed(root, u"V\u00FDkres a pozn\u00E1mky"),
                                  u"WSPopRoot", false)),
            "<WSPopRoot><WSPop MenuGroup=\"FLYOUTS\" pUID=\"PMU_0002\" Display=\"1\" "
            "UID=\"WSPU_77\"><ModifiedRev MajorVersion=\"18\" MinorVersion=\"0\" "
            "UserVersion=\"1\"/></WSPop></WSPopRoot>");
}

TEST_F(CustomisationEditsTest, NewEntryGoesAfterTheCountedEntriesBeforeOtherChildren) {
  const std::string text =
      "<CustSection><Header><WorkspaceRoot><Workspace><Name>W</Name><WSPopRoot>"
      "<WSPop UID=\"WSPU_1\"/><Other/><WSPop UID=\"WSPU_2\"/><WSPop UID=\"WSPU_3\"/>"
      "<Tail/></WSPopRoot></Workspace></WorkspaceRoot></Header></CustSection>";
  XmlDocument file(xml::XmlParse(text.c_str(), text.size()));
  ASSERT_NE(file, nullptr);
  XmlNode* workspace = FindWorkspace(file.get(), u"W");
  ASSERT_NE(AddWorkspaceMenu(workspace, u"G", u"P", 1, 0, nullptr, 1), nullptr);
  std::vector<std::string> names;
  for (XmlNode* n = Descend(workspace, {u"WSPopRoot"})->firstChild; n; n = n->next) {
    const XmlNode* uid = xml::NodeFindByName(n->firstAttribute, u"UID");
    names.push_back(Utf8(n->name.view()) + (uid ? ":" + Utf8(uid->value.view()) : ""));
  }
  EXPECT_EQ(names, (std::vector<std::string>{"WSPop:WSPU_1", "Other", "WSPop:WSPU_2",
                                             "WSPop:WSPU_3", "WSPop:WSPU_1", "Tail"}));
}

TEST_F(CustomisationEditsTest, FindsTheStoredRibbonOfAProfile) {
  const std::string text =
      "<Profile><StorageRoot><Other/><Ribbon><Tabs/></Ribbon></StorageRoot></Profile>";
  XmlDocument profile(xml::XmlParse(text.c_str(), text.size()));
  ASSERT_NE(profile, nullptr);
  EXPECT_EQ(Render(FindProfileRibbon(profile.get())), "<Ribbon><Tabs/></Ribbon>");
  const std::string without = "<Profile><StorageRoot><Other/></StorageRoot></Profile>";
  XmlDocument bare(xml::XmlParse(without.c_str(), without.size()));
  EXPECT_EQ(FindProfileRibbon(bare.get()), nullptr);
  EXPECT_EQ(FindProfileRibbon(nullptr), nullptr);
}

}  // namespace
}  // namespace vk::cui::test
