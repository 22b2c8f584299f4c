// Showing a partial menu's ribbon tab in a workspace of a main customisation
// document: a tab reference in a package's workspace, or the XAML-style
// ribbon content of a single file's menu group.
#pragma once

#include <cstdint>

#include "xml/node.h"

namespace vk::cui {

// What names the tab and the workspace that shows it.
struct RibbonTabPlacement {
  const char16_t* workspaceId;    // single file: "Id" of the ribbon workspace
  const char16_t* workspaceName;  // package: finds the workspace; single file: its "Title"
  const char16_t* tabSourceId;    // single file: "TabSourceId" of the workspace tab
  const char16_t* alias;          // single file: "Alias" of the tab
  const char16_t* tabId;          // "TabId" of the reference / "Id" of the tab
  const char16_t* title;          // single file: "Title" of the tab
  const char16_t* tabName;        // single file: "Name" of the tab
  const char16_t* menuGroup;      // "MenuGroup" of the reference / of new ribbon content
  uint32_t userVersion;           // single file: of new ribbon content and workspace
};

// Package: appends a new "WSRibbonTabSourceReference" to the named
// workspace's "WSRibbonRoot" (made when missing), on every call. Single
// file: finds or makes the ribbon content, ribbon workspace, workspace tab
// and tab under "CustSection" / "MenuGroup" / "MenuRoot" / "Ribbon". The
// element that stands for the tab; none, with nothing changed, when the
// workspace or the menu group's "MenuRoot" is missing. None also when no
// identifier is left (a single file keeps the elements made before that).
xml::XmlNode* AddWorkspaceRibbonTab(xml::XmlNode* document, const RibbonTabPlacement& placement);

}  // namespace vk::cui
