// The ribbon tab in both document forms, checked on the document read back
// after a save.
#include "merge/ribbon_tab.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cui/package_file.h"
#include "merge/revision_stamps.h"
#include "merge/uid_counters.h"
#include "tests/merge/customisation_test_support.h"
#include "tests/support/test_paths.h"
#include "xml/node.h"
#include "xml/parser.h"

namespace vk::cui::test {
namespace {

using xml::XmlDocument;
using xml::XmlNode;

const RibbonTabPlacement kTabH{.workspaceId = u"WS_0004",
                               .workspaceName = u"V\u00FDkres a pozn\u00E1mky",
                               .tabSourceId = u"RBNU_0023",
                               .alias = u"RBNU_0023",
                               .tabId = u"RBNU_0023",
                               .title = u"Krovy",
                               .tabName = u"Krovy",
                               .menuGroup = u"VELKOR_H",
                               .userVersion = 1};

std::string Reference(int number) {
  return "<WSRibbonTabSourceReference MenuGroup=\"VELKOR_H\" TabId=\"RBNU_0023\" Show=\"true\" "
         "IsActive=\"false\" UID=\"WSR_" +
         std::to_string(number) + "\"/>";
}

class RibbonTabTest : public CustomisationTest {
 protected:
  XmlDocument SaveAndReopen(XmlNode* document, const std::u16string& name) {
    const std::u16string path = folder_.Join(name);
    EXPECT_EQ(SaveCustomisationFile(path, document, false), kSaveOk);
    ExpectStandardXml(path);
    return XmlDocument(OpenCustomisationFile(path));
  }

  vk::test::TempFolder folder_;
};

TEST_F(RibbonTabTest, PackageWorkspaceGetsAReferenceOnEveryCall) {
  const std::u16string path = folder_.Join(u"aca.cuix");
  ASSERT_TRUE(WriteTestPackage(path, AcaMembers(HeaderPart(PartialMenuList({})))));
  XmlDocument package(OpenCustomisationFile(path));
  ASSERT_NE(package, nullptr);
  SetCustomisationVersion(18, 0);
  RaiseUidCounters(package.get());
  // A workspace without a ribbon root gets one, with a stamp of user version 0.
  EXPECT_EQ(Render(AddWorkspaceRibbonTab(package.get(), kTabH)), Reference(10));
  EXPECT_EQ(Render(AddWorkspaceRibbonTab(package.get(), kTabH)), Reference(11));
  // An existing ribbon root keeps what it holds; the reference comes last.
  RibbonTabPlacement architecture = kTabH;
  architecture.workspaceName = u"ARCHITEKTURA";
  ASSERT_NE(AddWorkspaceRibbonTab(package.get(), architecture), nullptr);
  // A missing workspace changes nothing.
  architecture.workspaceName = u"Missing";
  EXPECT_EQ(AddWorkspaceRibbonTab(package.get(), architecture), nullptr);

  XmlDocument reopened = SaveAndReopen(package.get(), u"saved.cuix");
  ASSERT_NE(reopened, nullptr);
  XmlNode* root = PackageWorkspaceRoot(reopened.get());
  EXPECT_EQ(
      Render(Descend(WorkspaceNamed(root, u"V\u00FDkres a pozn\u00E1mky"), {u"WSRibbonRoot"})),
      "<WSRibbonRoot AutoHideMode=\"None\" LockMode=\"None\" "
      "ShowPanelTitleInHorizontalOrientation=\"true\" "
      "ShowPanelTitleInVerticalOrientation=\"false\">"
      "<ModifiedRev MajorVersion=\"18\" MinorVersion=\"0\" UserVersion=\"0\"/>" +
          Reference(10) + Reference(11) + "</WSRibbonRoot>");
  EXPECT_EQ(RenderChildren(Descend(WorkspaceNamed(root, u"Architektura"), {u"WSRibbonRoot"})),
            (std::vector<std::string>{
                "<WSRibbonTabSourceReference MenuGroup=\"ACA\" TabId=\"ID_TabHome\" "
                "Show=\"true\" IsActive=\"true\" UID=\"wsr_0009\"/>",
                Reference(12)}));
}

TEST_F(RibbonTabTest, SingleFileBuildsTheRibbonContentOnceAndFindsItAgain) {
  const std::string text = CuiPart(
      "<CustSection>\r\n  <MenuGroup Name=\"ACAD\">\r\n    <MenuRoot>\r\n"
      "      <PopMenuRoot UID=\"XLSR_0005\"/>\r\n    </MenuRoot>\r\n  </MenuGroup>\r\n"
      "</CustSection>");
  XmlDocument file(xml::XmlParse(text.c_str(), text.size()));
  ASSERT_NE(file, nullptr);
  SetCustomisationVersion(18, 0);
  RaiseUidCounters(file.get());
  RibbonTabPlacement placement = kTabH;
  placement.userVersion = 4;
  XmlNode* tab = AddWorkspaceRibbonTab(file.get(), placement);
  ASSERT_NE(tab, nullptr);
  // The same arguments find the tab and make nothing.
  EXPECT_EQ(AddWorkspaceRibbonTab(file.get(), placement), tab);
  // A workspace identifier that differs in letter case is another workspace.
  placement.workspaceId = u"ws_0004";
  ASSERT_NE(AddWorkspaceRibbonTab(file.get(), placement), nullptr);

  XmlDocument reopened = SaveAndReopen(file.get(), u"acad.cui");
  ASSERT_NE(reopened, nullptr);
  XmlNode* ribbon = Descend(xml::NodeFindByName(reopened.get(), u"CustSection"),
                            {u"MenuGroup", u"MenuRoot", u"Ribbon"});
  const std::string version18 = "MajorVersion=\"18\" MinorVersion=\"0\"";
  auto workspace = [&](const std::string& id, int first) {
    return "<RibbonWorkspace Id=\"" + id +
           "\" Title=\"V\xC3\xBDkres a pozn\xC3\xA1mky\" UID=\"XLSR_" + std::to_string(first) +
           "\" " + version18 +
           " UserVersion=\"4\"><RibbonWorkspace.Tabs><RibbonWorkspaceTabCollection>"
           "<RibbonWorkspaceTab TabSourceId=\"RBNU_0023\" UID=\"XLSR_" +
           std::to_string(first + 1) + "\" " + version18 +
           " UserVersion=\"1\"><aw:RibbonTab Alias=\"RBNU_0023\" Id=\"RBNU_0023\" "
           "Title=\"Krovy\" Name=\"Krovy\" UID=\"XLSR_" +
           std::to_string(first + 2) + "\" " + version18 +
           " UserVersion=\"1\"/></RibbonWorkspaceTab></RibbonWorkspaceTabCollection>"
           "</RibbonWorkspace.Tabs></RibbonWorkspace>";
  };
  EXPECT_EQ(Render(ribbon),
            "<Ribbon><RibbonContent MenuGroup=\"VELKOR_H\" UID=\"XLSR_6\" "
            "xmlns=\"clr-namespace:Autodesk.AutoCAD.Ribbon;assembly=AcRibbon\" "
            "xmlns:aw=\"clr-namespace:Autodesk.Windows;assembly=AdWindows\" "
            "xmlns:av=\"http://schemas.microsoft.com/winfx/2006/xaml/presentation\" "
            "xmlns:x=\"http://schemas.microsoft.com/winfx/2006/xaml\" " +
                version18 +
                " UserVersion=\"4\"><RibbonContent.Workspaces><RibbonWorkspaceCollection>" +
                workspace("WS_0004", 7) + workspace("ws_0004", 10) +
                "</RibbonWorkspaceCollection></RibbonContent.Workspaces></RibbonContent></Ribbon>");
}

TEST_F(RibbonTabTest, SingleFileWithoutMenuRootIsLeftAlone) {
  const std::string text = "<CustSection><MenuGroup Name=\"ACAD\"/></CustSection>";
  XmlDocument file(xml::XmlParse(text.c_str(), text.size()));
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(AddWorkspaceRibbonTab(file.get(), kTabH), nullptr);
  EXPECT_EQ(Render(file.get()), "<CustSection><MenuGroup Name=\"ACAD\"/></CustSection>");
  EXPECT_EQ(AddWorkspaceRibbonTab(nullptr, kTabH), nullptr);
  EXPECT_EQ(NextUid(u"XLSR_"), u"XLSR_1");
}

}  // namespace
}  // namespace vk::cui::test
