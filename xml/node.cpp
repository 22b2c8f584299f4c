#include "xml/node.h"

#include <algorithm>
#include <string>
#include <vector>

#include "xml/node_block.h"

namespace vk::xml {
namespace {

size_t RoomFor(const char16_t* text) {
  return text != nullptr ? std::char_traits<char16_t>::length(text) + 1 : 0;
}

// Copies a zero-terminated text into the room and places it there.
void PlaceText(const char16_t* text, char16_t** room, XmlText* placed) {
  if (text == nullptr) return;
  const size_t units = RoomFor(text);
  std::copy_n(text, units, *room);
  placed->Place(*room);
  *room += units;
}

XmlNode* LastOfChain(XmlNode* node) {
  while (node->next != nullptr) node = node->next;
  return node;
}

// Links `node` as the last node of the chain headed by `*head`, under `element`.
void AppendToChain(XmlNode* element, XmlNode** head, XmlNode* node) {
  node->next = nullptr;
  node->parent = element;
  if (*head == nullptr) {
    node->previous = nullptr;
    *head = node;
    return;
  }
  XmlNode* last = LastOfChain(*head);
  last->next = node;
  node->previous = last;
}

}  // namespace

XmlNode* NodeNew(const char16_t* name, const char16_t* value) {
  char16_t* room;
  XmlNode* node = NodeNewWithRoom(RoomFor(name) + RoomFor(value), &room);
  PlaceText(name, &room, &node->name);
  PlaceText(value, &room, &node->value);
  return node;
}

// Iterative, so that neither a long chain nor a deep tree can exhaust the
// program's stack: the chains still to release wait on a stack of their own,
// which holds no more than a few entries per level of depth.
void NodeFree(XmlNode* node) {
  if (node == nullptr) return;
  std::vector<XmlNode*> pending{node};
  while (!pending.empty()) {
    XmlNode* current = pending.back();
    pending.pop_back();
    for (XmlNode* chain : {current->next, current->firstAttribute, current->firstChild}) {
      if (chain != nullptr) pending.push_back(chain);
    }
    NodeDeleteBlock(current);
  }
}

void NodeUnlink(XmlNode* node, bool release) {
  if (node == nullptr) return;
  if (node->previous == nullptr && node->parent != nullptr) node->parent->firstChild = node->next;
  if (node->next != nullptr) node->next->previous = node->previous;
  if (node->previous != nullptr) node->previous->next = node->next;
  node->next = nullptr;
  node->previous = nullptr;
  node->parent = nullptr;
  if (release) NodeFree(node);
}

bool NodeAppendAttribute(XmlNode* element, XmlNode* attribute) {
  if (element == nullptr || attribute == nullptr) return false;
  AppendToChain(element, &element->firstAttribute, attribute);
  return true;
}

bool NodeAppendChild(XmlNode* element, XmlNode* child) {
  if (element == nullptr || child == nullptr) return false;
  AppendToChain(element, &element->firstChild, child);
  return true;
}

bool NodeInsertAfter(XmlNode* node, XmlNode* added) {
  if (node == nullptr || added == nullptr) return false;
  added->previous = node;
  added->next = node->next;
  added->parent = node->parent;
  if (node->next != nullptr) node->next->previous = added;
  node->next = added;
  return true;
}

bool NodeInsertBefore(XmlNode* node, XmlNode* added) {
  if (node == nullptr || added == nullptr) return false;
  added->next = node;
  added->previous = node->previous;
  added->parent = node->parent;
  if (node->previous == nullptr && node->parent != nullptr) node->parent->firstChild = added;
  if (node->previous != nullptr) node->previous->next = added;
  node->previous = added;
  return true;
}

bool NodeSetName(XmlNode* node, const char16_t* name) {
  if (node == nullptr || name == nullptr) return false;
  node->name = XmlText(name);
  return true;
}

bool NodeSetValue(XmlNode* node, const char16_t* value) {
  if (node == nullptr) return false;
  node->value = XmlText(value);
  return true;
}

XmlNode* NodeSetAttribute(XmlNode* element, const char16_t* name, const char16_t* value) {
  if (element == nullptr) return nullptr;
  if (XmlNode* found = NodeFindByName(element->firstAttribute, name)) {
    (void)NodeSetValue(found, value);
    return found;
  }
  XmlNode* attribute = NodeNew(nullptr, nullptr);
  if (!NodeSetName(attribute, name) || !NodeSetValue(attribute, value)) {
    NodeFree(attribute);
    return nullptr;
  }
  (void)NodeAppendAttribute(element, attribute);
  return attribute;
}

}  // namespace vk::xml
