#include "merge/partial_menus.h"

#include <string>
#include <string_view>

#include "merge/document_paths.h"
#include "merge/revision_stamps.h"

namespace vk::cui {
namespace {

using xml::XmlNode;

constexpr char16_t kPartialMenuFile[] = u"PartialMenuFile";

XmlNode* CommonItems(XmlNode* document, bool create) {
  return ChildPath(PathStart(document, u"Header.cui", u"CustSection", create),
                   {u"Header", u"CommonConfiguration", u"CommonItems"}, create);
}

void RemoveReference(XmlNode* commonItems, const char16_t* file) {
  XmlNode* reference = xml::NodeChildWithValue(commonItems, kPartialMenuFile, file, false);
  if (reference != nullptr) xml::NodeUnlink(reference, true);
}

}  // namespace

bool AttachPartialMenu(XmlNode* document, const char16_t* file) {
  if (file == nullptr) return false;
  XmlNode* commonItems = CommonItems(document, true);
  if (commonItems == nullptr) return false;
  if (commonItems->firstChild == nullptr) {
    (void)xml::NodeAppendChild(commonItems, MakeRevisionElement(0));
  }
  DetachPartialMenu(document, file);
  return xml::NodeChildWithValue(commonItems, kPartialMenuFile, file, true) != nullptr;
}

void DetachPartialMenu(XmlNode* document, const char16_t* file) {
  if (file == nullptr) return;
  XmlNode* commonItems = CommonItems(document, false);
  if (commonItems == nullptr) return;
  RemoveReference(commonItems, file);
  const std::u16string_view path(file);
  const size_t separator = path.find_last_of(u"\\/");
  // A path that ends in a separator names no file of its own.
  if (separator != std::u16string_view::npos && separator + 1 < path.size()) {
    RemoveReference(commonItems, std::u16string(path.substr(separator + 1)).c_str());
  }
}

}  // namespace vk::cui
