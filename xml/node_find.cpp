#include "xml/node.h"

namespace vk::xml {
namespace {

bool NameMatches(const XmlNode* node, const char16_t* name) {
  return TextEqualsNoCase(node->name.c_str(), name);
}

XmlNode* FirstOfChain(XmlNode* node) {
  while (node->previous != nullptr) node = node->previous;
  return node;
}

XmlNode* FindFrom(XmlNode* node, const char16_t* name) {
  for (; node != nullptr; node = node->next) {
    if (NameMatches(node, name)) return node;
  }
  return nullptr;
}

}  // namespace

XmlNode* NodeFindByName(XmlNode* node, const char16_t* name) {
  if (node == nullptr || name == nullptr) return nullptr;
  return FindFrom(FirstOfChain(node), name);
}

XmlNode* NodeFindNextByName(XmlNode* node, const char16_t* name) {
  if (node == nullptr || name == nullptr) return nullptr;
  return FindFrom(node->next, name);
}

XmlNode* NodeFindByAttribute(XmlNode* node, const char16_t* attribute, const char16_t* value) {
  if (node == nullptr || attribute == nullptr || value == nullptr) return nullptr;
  for (XmlNode* candidate = FirstOfChain(node); candidate != nullptr; candidate = candidate->next) {
    // Only the first attribute of that name counts.
    const XmlNode* found = FindFrom(candidate->firstAttribute, attribute);
    if (found != nullptr && TextEqualsNoCase(found->value.c_str(), value)) return candidate;
  }
  return nullptr;
}

XmlNode* NodeChild(XmlNode* element, const char16_t* name, bool create) {
  if (element == nullptr) return nullptr;
  if (XmlNode* found = NodeFindByName(element->firstChild, name)) return found;
  if (!create || name == nullptr) return nullptr;
  XmlNode* child = NodeNew(name, nullptr);
  (void)NodeAppendChild(element, child);
  return child;
}

XmlNode* NodeSibling(XmlNode* node, const char16_t* name, bool create) {
  if (node == nullptr) return nullptr;
  if (XmlNode* found = NodeFindByName(node, name)) return found;
  if (!create || name == nullptr) return nullptr;
  XmlNode* sibling = NodeNew(name, nullptr);
  (void)NodeInsertAfter(node, sibling);
  return sibling;
}

XmlNode* NodeChildWithValue(XmlNode* element, const char16_t* name, const char16_t* value,
                            bool create) {
  if (element == nullptr) return nullptr;
  for (XmlNode* child = element->firstChild; child != nullptr; child = child->next) {
    if (child->value && NameMatches(child, name) && TextEqualsNoCase(child->value.c_str(), value)) {
      return child;
    }
  }
  if (!create || name == nullptr) return nullptr;
  XmlNode* child = NodeNew(name, value);
  (void)NodeAppendChild(element, child);
  return child;
}

}  // namespace vk::xml
