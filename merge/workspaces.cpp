#include "merge/workspaces.h"

#include <string>

#include "cui/package_contents.h"
#include "merge/document_paths.h"
#include "merge/revision_stamps.h"
#include "merge/uid_counters.h"
#include "platform/text.h"

namespace vk::cui {
namespace {

using xml::XmlNode;

constexpr char16_t kWSPop[] = u"WSPop";

XmlNode* WorkspaceRoot(XmlNode* document) {
  if (IsPackageDocument(document)) {
    return PathStart(document, u"WorkspaceRoot.cui", u"WorkspaceRoot", false);
  }
  // A single file holds the list under "CustSection" and "Header".
  return ChildPath(PathStart(document, nullptr, u"CustSection", false),
                   {u"Header", u"WorkspaceRoot"}, false);
}

bool HasValue(XmlNode* element, const char16_t* attribute, const char16_t* wanted) {
  const XmlNode* found = xml::NodeFindByName(element->firstAttribute, attribute);
  if (found == nullptr || !found->value) return false;
  return wanted == nullptr || xml::TextEqualsNoCase(found->value.c_str(), wanted);
}

// The last of the first `count` entries, or the last entry when there are fewer.
XmlNode* EntryAfterWhich(XmlNode* first, uint32_t count) {
  XmlNode* entry = first;
  for (uint32_t moved = 1; moved < count; ++moved) {
    XmlNode* following = xml::NodeFindNextByName(entry, kWSPop);
    if (following == nullptr) break;
    entry = following;
  }
  return entry;
}

}  // namespace

XmlNode* FindWorkspace(XmlNode* document, const char16_t* name) {
  XmlNode* root = WorkspaceRoot(document);
  if (root == nullptr) return nullptr;
  for (XmlNode* workspace = xml::NodeFindByName(root->firstChild, u"Workspace");
       workspace != nullptr; workspace = xml::NodeFindNextByName(workspace, u"Workspace")) {
    const XmlNode* nameElement = xml::NodeChild(workspace, u"Name", false);
    if (nameElement == nullptr || nameElement->value.empty()) continue;
    if (name == nullptr || xml::TextEqualsNoCase(nameElement->value.c_str(), name)) {
      return workspace;
    }
  }
  return nullptr;
}

XmlNode* FindWorkspaceMenu(XmlNode* workspace, const char16_t* menuGroup, const char16_t* pUID) {
  XmlNode* root = xml::NodeChild(workspace, u"WSPopRoot", false);
  if (root == nullptr) return nullptr;
  for (XmlNode* entry = xml::NodeFindByName(root->firstChild, kWSPop); entry != nullptr;
       entry = xml::NodeFindNextByName(entry, kWSPop)) {
    if (HasValue(entry, u"pUID", pUID) && HasValue(entry, u"MenuGroup", menuGroup)) return entry;
  }
  return nullptr;
}

uint32_t CountWorkspaceMenus(XmlNode* workspace) {
  XmlNode* root = xml::NodeChild(workspace, u"WSPopRoot", false);
  if (root == nullptr) return 0;
  uint32_t count = 0;
  for (XmlNode* entry = xml::NodeFindByName(root->firstChild, kWSPop); entry != nullptr;
       entry = xml::NodeFindNextByName(entry, kWSPop)) {
    ++count;
  }
  return count;
}

XmlNode* AddWorkspaceMenu(XmlNode* workspace, const char16_t* menuGroup, const char16_t* pUID,
                          int32_t display, uint32_t slot, uint32_t* output, uint32_t userVersion) {
  if (workspace == nullptr) return nullptr;
  const std::u16string uid = NextUid(u"WSPU_", &slot);
  if (uid.empty()) return nullptr;
  const uint32_t count = CountWorkspaceMenus(workspace);
  XmlNode* root = xml::NodeChild(workspace, u"WSPopRoot", true);
  if (root == nullptr) return nullptr;
  const std::u16string displayText = platform::Utf8ToUtf16(std::to_string(display));
  XmlNode* entry = NewElementWithAttributes(kWSPop, nullptr,
                                            {{u"MenuGroup", menuGroup},
                                             {u"pUID", pUID},
                                             {u"Display", displayText.c_str()},
                                             {u"UID", uid.c_str()}});
  (void)xml::NodeAppendChild(entry, MakeRevisionElement(userVersion));
  // Counted before the root was made, so with no entry the count is 0 too.
  XmlNode* first = xml::NodeFindByName(root->firstChild, kWSPop);
  const bool placed = first == nullptr ? xml::NodeAppendChild(root, entry)
                                       : xml::NodeInsertAfter(EntryAfterWhich(first, count), entry);
  if (!placed) {
    xml::NodeFree(entry);
    return nullptr;
  }
  if (output != nullptr) *output = slot;
  return entry;
}

XmlNode* FindProfileRibbon(XmlNode* document) {
  return ChildPath(PathStart(document, nullptr, u"Profile", false), {u"StorageRoot", u"Ribbon"},
                   false);
}

}  // namespace vk::cui
