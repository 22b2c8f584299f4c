#include "merge/ribbon_tab.h"

#include <string>
#include <vector>

#include "cui/package_contents.h"
#include "merge/document_paths.h"
#include "merge/revision_stamps.h"
#include "merge/uid_counters.h"
#include "merge/workspaces.h"

namespace vk::cui {
namespace {

using xml::XmlNode;

// The namespaces that AutoCAD's ribbon content declares.
constexpr char16_t kRibbonNamespace[] = u"clr-namespace:Autodesk.AutoCAD.Ribbon;assembly=AcRibbon";
constexpr char16_t kWindowsNamespace[] = u"clr-namespace:Autodesk.Windows;assembly=AdWindows";
constexpr char16_t kXamlPresentationNamespace[] =
    u"http://schemas.microsoft.com/winfx/2006/xaml/presentation";
constexpr char16_t kXamlNamespace[] = u"http://schemas.microsoft.com/winfx/2006/xaml";

XmlNode* AddPackageTabReference(XmlNode* document, const RibbonTabPlacement& placement) {
  XmlNode* workspace = FindWorkspace(document, placement.workspaceName);
  if (workspace == nullptr) return nullptr;
  const std::u16string uid = NextUid(u"WSR_");
  if (uid.empty()) return nullptr;
  XmlNode* ribbonRoot = xml::NodeChild(workspace, u"WSRibbonRoot", false);
  if (ribbonRoot == nullptr) {
    ribbonRoot = NewElementWithAttributes(u"WSRibbonRoot", nullptr,
                                          {{u"AutoHideMode", u"None"},
                                           {u"LockMode", u"None"},
                                           {u"ShowPanelTitleInHorizontalOrientation", u"true"},
                                           {u"ShowPanelTitleInVerticalOrientation", u"false"}});
    const CustomisationVersionNumbers version = CustomisationVersion();
    (void)xml::NodeAppendChild(
        ribbonRoot, MakeModifiedRevElement(version.majorVersion, version.minorVersion, 0));
    (void)xml::NodeAppendChild(workspace, ribbonRoot);
  }
  XmlNode* reference = NewElementWithAttributes(u"WSRibbonTabSourceReference", nullptr,
                                                {{u"MenuGroup", placement.menuGroup},
                                                 {u"TabId", placement.tabId},
                                                 {u"Show", u"true"},
                                                 {u"IsActive", u"false"},
                                                 {u"UID", uid.c_str()}});
  (void)xml::NodeAppendChild(ribbonRoot, reference);
  return reference;
}

// The first child whose attribute `attribute` (name in any letter case) has
// exactly the value `value`.
XmlNode* ChildWithExactValue(XmlNode* element, const char16_t* attribute, const char16_t* value) {
  if (element == nullptr || value == nullptr) return nullptr;
  for (XmlNode* child = element->firstChild; child != nullptr; child = child->next) {
    const XmlNode* found = xml::NodeFindByName(child->firstAttribute, attribute);
    if (found != nullptr && found->value && found->value.view() == value) return child;
  }
  return nullptr;
}

// Appends `element` to `parent` with the version attributes, and gives it back.
XmlNode* AppendVersioned(XmlNode* parent, XmlNode* element, uint32_t userVersion) {
  SetVersionAttributes(element, userVersion);
  (void)xml::NodeAppendChild(parent, element);
  return element;
}

// The first child of `parent` whose attribute `key` has exactly the value
// `value`; without one, a new element `name` with `attributes`, a fresh
// "XLSR_" identifier and the version attributes, appended to `parent`. None
// for no parent or when no identifier is left.
XmlNode* FindOrAppendRibbonElement(XmlNode* parent, const char16_t* key, const char16_t* value,
                                   const char16_t* name,
                                   std::initializer_list<AttributePair> attributes,
                                   uint32_t userVersion) {
  if (parent == nullptr) return nullptr;
  if (XmlNode* found = ChildWithExactValue(parent, key, value)) return found;
  const std::u16string uid = NextUid(u"XLSR_");
  if (uid.empty()) return nullptr;
  std::vector<AttributePair> pairs(attributes);
  pairs.emplace_back(u"UID", uid.c_str());
  return AppendVersioned(parent, NewElementWithAttributes(name, nullptr, pairs), userVersion);
}

XmlNode* AddSingleFileTab(XmlNode* document, const RibbonTabPlacement& placement) {
  XmlNode* menuRoot = ChildPath(PathStart(document, nullptr, u"CustSection", false),
                                {u"MenuGroup", u"MenuRoot"}, false);
  if (menuRoot == nullptr) return nullptr;
  XmlNode* ribbon = xml::NodeChild(menuRoot, u"Ribbon", true);
  XmlNode* content = xml::NodeChild(ribbon, u"RibbonContent", false);
  if (content == nullptr) {
    const std::u16string uid = NextUid(u"XLSR_");
    if (uid.empty()) return nullptr;
    content = AppendVersioned(ribbon,
                              NewElementWithAttributes(u"RibbonContent", nullptr,
                                                       {{u"MenuGroup", placement.menuGroup},
                                                        {u"UID", uid.c_str()},
                                                        {u"xmlns", kRibbonNamespace},
                                                        {u"xmlns:aw", kWindowsNamespace},
                                                        {u"xmlns:av", kXamlPresentationNamespace},
                                                        {u"xmlns:x", kXamlNamespace}}),
                              placement.userVersion);
  }
  XmlNode* workspaces =
      ChildPath(content, {u"RibbonContent.Workspaces", u"RibbonWorkspaceCollection"}, true);
  XmlNode* workspace = FindOrAppendRibbonElement(
      workspaces, u"Id", placement.workspaceId, u"RibbonWorkspace",
      {{u"Id", placement.workspaceId}, {u"Title", placement.workspaceName}}, placement.userVersion);
  XmlNode* tabs =
      ChildPath(workspace, {u"RibbonWorkspace.Tabs", u"RibbonWorkspaceTabCollection"}, true);
  XmlNode* workspaceTab =
      FindOrAppendRibbonElement(tabs, u"TabSourceId", placement.tabSourceId, u"RibbonWorkspaceTab",
                                {{u"TabSourceId", placement.tabSourceId}}, 1);
  return FindOrAppendRibbonElement(workspaceTab, u"Id", placement.tabId, u"aw:RibbonTab",
                                   {{u"Alias", placement.alias},
                                    {u"Id", placement.tabId},
                                    {u"Title", placement.title},
                                    {u"Name", placement.tabName}},
                                   1);
}

}  // namespace

XmlNode* AddWorkspaceRibbonTab(XmlNode* document, const RibbonTabPlacement& placement) {
  if (document == nullptr) return nullptr;
  if (IsPackageDocument(document)) return AddPackageTabReference(document, placement);
  return AddSingleFileTab(document, placement);
}

}  // namespace vk::cui
