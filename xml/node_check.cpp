#include "xml/node.h"

#include <string_view>
#include <vector>

namespace vk::xml {
namespace {

// The neighbours' links point back to the node.
bool LinksPointBack(const XmlNode* node) {
  if (node->previous != nullptr && node->previous->next != node) return false;
  if (node->next != nullptr && node->next->previous != node) return false;
  return true;
}

bool NodeItselfWellFormed(const XmlNode* node) {
  if (!node->name) return false;
  if (node->value && node->firstChild != nullptr) return false;
  for (const XmlNode* attribute = node->firstAttribute; attribute != nullptr;
       attribute = attribute->next) {
    if (!attribute->name || !attribute->value || attribute->firstChild != nullptr) return false;
    if (attribute->parent != node || !LinksPointBack(attribute)) return false;
    if (attribute->previous == nullptr && attribute != node->firstAttribute) return false;
  }
  if (node->previous == nullptr && node->parent != nullptr && node->parent->firstChild != node) {
    return false;
  }
  return LinksPointBack(node);
}

}  // namespace

// Walks with its own stack instead of recursing, so that neither depth nor a
// long sibling chain can exhaust the program's stack.
bool NodeCheckTree(const XmlNode* node) {
  if (node == nullptr) return false;
  std::vector<const XmlNode*> pending{node};
  while (!pending.empty()) {
    const XmlNode* current = pending.back();
    pending.pop_back();
    if (!NodeItselfWellFormed(current)) return false;
    if (current->next != nullptr) pending.push_back(current->next);
    if (current->firstChild != nullptr) pending.push_back(current->firstChild);
  }
  return true;
}

bool NodeIsCdataSection(const XmlNode* node) {
  // Most names are told apart by their first unit, without measuring them.
  const char16_t* name = node->name.c_str();
  if (name == nullptr || name[0] != u'C') return false;
  return node->name.view() == u"CDATA" && node->value && node->firstAttribute == nullptr &&
         node->firstChild == nullptr && node->value.view().find(u']') == std::u16string_view::npos;
}

bool DocumentHasElement(const XmlNode* first) {
  for (const XmlNode* node = first; node != nullptr; node = node->next) {
    const std::u16string_view name = node->name.view();
    if (!name.starts_with(u'?') && !NodeIsCdataSection(node)) return true;
  }
  return false;
}

}  // namespace vk::xml
