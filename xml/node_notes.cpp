#include "xml/node.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <utility>

namespace vk::xml {
namespace {

XmlNodeNotes& NotesOf(XmlNode* node) {
  if (node->notes == nullptr) node->notes = std::make_unique<XmlNodeNotes>();
  return *node->notes;
}

}  // namespace

const XmlText& NodeComment(const XmlNode* node) {
  static const XmlText kNone;
  return node->notes != nullptr ? node->notes->comment : kNone;
}

void NodeSetComment(XmlNode* node, XmlText comment) {
  if (!comment && node->notes == nullptr) return;
  NotesOf(node).comment = std::move(comment);
}

extraData* NodeExtra(const XmlNode* node) {
  return node->notes != nullptr ? node->notes->extra.get() : nullptr;
}

void NodeSetExtra(XmlNode* node, std::unique_ptr<extraData> extra) {
  if (extra == nullptr && node->notes == nullptr) return;
  NotesOf(node).extra = std::move(extra);
}

const char16_t* NodePrefix(const XmlNode* node) {
  return node->notes != nullptr ? node->notes->prefix : u"";
}

void NodeSetPrefix(XmlNode* node, std::u16string_view prefix) {
  if (prefix.empty() && node->notes == nullptr) return;
  char16_t* kept = NotesOf(node).prefix;
  const size_t units = std::min<size_t>(prefix.size(), 3);
  std::copy_n(prefix.data(), units, kept);
  std::fill(kept + units, kept + 4, u'\0');
}

}  // namespace vk::xml
