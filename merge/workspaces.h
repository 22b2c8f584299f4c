// Workspaces of a main customisation document, their pop-up menu entries
// ("WSPop" under "WSPopRoot"), and the stored ribbon state of a workspace
// profile ("Profile.aws").
#pragma once

#include <cstdint>

#include "xml/node.h"

namespace vk::cui {

// The first "Workspace" whose "Name" child has text equal to `name` (letter
// case ignored), or with no name the first that has a "Name" text; none when
// no workspace qualifies or the document has no workspace list.
[[nodiscard]] xml::XmlNode* FindWorkspace(xml::XmlNode* document, const char16_t* name);

// The workspace's first "WSPop" that has both "MenuGroup" and "pUID" values
// and matches those asked for (none matches any; letter case ignored); none
// when there is no such entry, no "WSPopRoot" or no workspace.
[[nodiscard]] xml::XmlNode* FindWorkspaceMenu(xml::XmlNode* workspace, const char16_t* menuGroup,
                                              const char16_t* pUID);

// The number of the workspace's "WSPop" entries; 0 for none.
[[nodiscard]] uint32_t CountWorkspaceMenus(xml::XmlNode* workspace);

// Adds a "WSPop" entry ("MenuGroup", "pUID", "Display", "UID" from
// NextUid("WSPU_", slot), then a revision stamp of `userVersion`) after the
// workspace's last entry, creating "WSPopRoot" when missing. With `output`,
// stores the identifier's number there. The entry; none for no workspace or
// when no identifier is left.
xml::XmlNode* AddWorkspaceMenu(xml::XmlNode* workspace, const char16_t* menuGroup,
                               const char16_t* pUID, int32_t display, uint32_t slot,
                               uint32_t* output, uint32_t userVersion);

// The "Ribbon" element under "Profile" and "StorageRoot" of a workspace
// profile; none when any of them is missing.
[[nodiscard]] xml::XmlNode* FindProfileRibbon(xml::XmlNode* document);

}  // namespace vk::cui
