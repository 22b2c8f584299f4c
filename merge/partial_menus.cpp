#include "merge/partial_menus.h"

#include <string>

#include "merge/document_paths.h"
#include "merge/revision_stamps.h"
#include "xml/escape.h"

namespace vk::cui {
namespace {

using xml::XmlNode;

constexpr char16_t kPartialMenuFile[] = u"PartialMenuFile";

XmlNode* CommonItems(XmlNode* document, bool create) {
  return ChildPath(PathStart(document, u"Header.cui", u"CustSection", create),
                   {u"Header", u"CommonConfiguration", u"CommonItems"}, create);
}

void RemoveReference(XmlNode* commonItems, const char16_t* stored) {
  XmlNode* reference = xml::NodeChildWithValue(commonItems, kPartialMenuFile, stored, false);
  if (reference != nullptr) xml::NodeUnlink(reference, true);
}

// The first reference by the stored text and, for a path, the first by its
// bare file name.
void RemoveReferences(XmlNode* commonItems, const std::u16string& stored) {
  RemoveReference(commonItems, stored.c_str());
  const size_t separator = stored.find_last_of(u"\\/");
  // A path that ends in a separator names no file of its own.
  if (separator != std::u16string::npos && separator + 1 < stored.size()) {
    RemoveReference(commonItems, stored.substr(separator + 1).c_str());
  }
}

}  // namespace

bool AttachPartialMenu(XmlNode* document, const char16_t* file) {
  if (file == nullptr) return false;
  XmlNode* commonItems = CommonItems(document, true);
  if (commonItems == nullptr) return false;
  if (commonItems->firstChild == nullptr) {
    (void)xml::NodeAppendChild(commonItems, MakeRevisionElement(0));
  }
  const std::u16string stored = xml::EscapeXmlText(file);
  RemoveReferences(commonItems, stored);
  return xml::NodeChildWithValue(commonItems, kPartialMenuFile, stored.c_str(), true) != nullptr;
}

void DetachPartialMenu(XmlNode* document, const char16_t* file) {
  if (file == nullptr) return;
  XmlNode* commonItems = CommonItems(document, false);
  if (commonItems == nullptr) return;
  RemoveReferences(commonItems, xml::EscapeXmlText(file));
}

}  // namespace vk::cui
