// The node model of customisation documents: one record type for elements,
// attributes, declarations and CDATA sections, linked into chains, with free
// functions that create, link, find and release nodes. Text is UTF-16 and kept
// verbatim; lookups fold the letter case of A-Z only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "xml/text.h"

namespace vk::xml {

// Data that the package layer hangs on a node; the node owns it and destroys
// it through the virtual destructor without ever reading it.
struct extraData {
  explicit extraData(int32_t kindOfData) : kind(kindOfData) {}
  virtual ~extraData() = default;
  extraData(const extraData&) = delete;
  extraData& operator=(const extraData&) = delete;

  int32_t kind;
};

// What few nodes carry, kept apart so that every other node stays small.
struct XmlNodeNotes {
  XmlText comment;  // text of the comment just before the tag, without "<!--" "-->"
  std::unique_ptr<extraData> extra;
  // What stood before the first "<" of a parsed document (as a rule the
  // byte-order mark), kept on its first node only; zero-terminated.
  char16_t prefix[4] = {};
};

// A node: element, attribute, declaration ("?" + target), CDATA section
// ("CDATA") or container (no name). The kind follows from the name and from
// where the node hangs. Links are plain pointers; a node owns its attribute
// chain, its child chain and, when it heads a chain, the rest of that chain.
struct XmlNode {
  XmlText name;
  XmlText value;
  XmlNode* firstChild = nullptr;
  XmlNode* next = nullptr;
  XmlNode* previous = nullptr;
  XmlNode* parent = nullptr;  // none for top-level nodes
  XmlNode* firstAttribute = nullptr;
  // Comment, extra data and prefix; none while the node has none of them.
  std::unique_ptr<XmlNodeNotes> notes;

  // A node shares its allocation with its texts, so plain new and delete
  // would not match: nodes come from NodeNew and go back through NodeFree.
  static void* operator new(size_t) = delete;
  static void operator delete(void*) = delete;
  static void* operator new(size_t, void* at) noexcept { return at; }
  static void operator delete(void*, void*) noexcept {}
};

// The comment before the node's tag; none when it has none.
[[nodiscard]] const XmlText& NodeComment(const XmlNode* node);
// Replaces the comment; none removes it.
void NodeSetComment(XmlNode* node, XmlText comment);
// The extra data that the package layer hung on the node; none when none.
[[nodiscard]] extraData* NodeExtra(const XmlNode* node);
// Replaces the extra data, releasing what the node held.
void NodeSetExtra(XmlNode* node, std::unique_ptr<extraData> extra);
// The prefix of a document's first node, zero-terminated; "" for any other.
[[nodiscard]] const char16_t* NodePrefix(const XmlNode* node);
// Replaces the prefix by the first three units at most of `prefix`.
void NodeSetPrefix(XmlNode* node, std::u16string_view prefix);

// A new unlinked node with copies of name and value (each may be none).
[[nodiscard]] XmlNode* NodeNew(const char16_t* name, const char16_t* value);
// Releases the node, its following siblings and all they own; nothing for none.
// Nodes before it are not touched: pass the first node of a chain or an unlinked one.
void NodeFree(XmlNode* node);
// Takes a child out of its chain (not for attributes) and releases it if asked.
void NodeUnlink(XmlNode* node, bool release);

// Makes `attribute` the element's last attribute; false when either is none.
[[nodiscard]] bool NodeAppendAttribute(XmlNode* element, XmlNode* attribute);
// Makes `child` the element's last child; false when either is none.
[[nodiscard]] bool NodeAppendChild(XmlNode* element, XmlNode* child);
// Links `added` directly after `node`, with the same parent; false when either is none.
[[nodiscard]] bool NodeInsertAfter(XmlNode* node, XmlNode* added);
// Links `added` directly before `node`, with the same parent; false when either is none.
[[nodiscard]] bool NodeInsertBefore(XmlNode* node, XmlNode* added);

// Replaces the name by a copy; false when node or name is none.
[[nodiscard]] bool NodeSetName(XmlNode* node, const char16_t* name);
// Replaces the value by a copy, or by none; false when the node is none.
[[nodiscard]] bool NodeSetValue(XmlNode* node, const char16_t* value);
// Updates the attribute of that name (found without regard to A-Z case, its
// stored name kept) or appends a new one; the attribute, or none on failure.
XmlNode* NodeSetAttribute(XmlNode* element, const char16_t* name, const char16_t* value);

// First node of the whole chain that holds `node` whose name matches; none if none does.
[[nodiscard]] XmlNode* NodeFindByName(XmlNode* node, const char16_t* name);
// First matching node after `node` in its chain (not `node` itself); none if none does.
[[nodiscard]] XmlNode* NodeFindNextByName(XmlNode* node, const char16_t* name);
// First node of the chain whose first attribute named `attribute` has the
// value `value`; none if none does.
[[nodiscard]] XmlNode* NodeFindByAttribute(XmlNode* node, const char16_t* attribute,
                                           const char16_t* value);
// The element's child of that name, appended as a new empty child when absent
// and `create` is set; none otherwise or when the element is none.
XmlNode* NodeChild(XmlNode* element, const char16_t* name, bool create);
// The node of that name in `node`'s chain, inserted right after `node` when
// absent and `create` is set; none otherwise or when the node is none.
XmlNode* NodeSibling(XmlNode* node, const char16_t* name, bool create);
// The element's first child with that name and a value equal to `value`,
// appended when absent and `create` is set; none otherwise or when the element is none.
XmlNode* NodeChildWithValue(XmlNode* element, const char16_t* name, const char16_t* value,
                            bool create);

// True when the node, its subtree and its following siblings are well formed:
// named elements, named attributes with values, and consistent chain links.
// False for none and for a container (a node without name).
[[nodiscard]] bool NodeCheckTree(const XmlNode* node);

// True when the node is what a CDATA section reads as, and is written back as
// one: named "CDATA", with a value free of "]", without attributes or children.
[[nodiscard]] bool NodeIsCdataSection(const XmlNode* node);
// True when the chain that starts at `first` holds an element: a node that is
// neither a declaration ("?" + target) nor a CDATA section. A document needs one.
[[nodiscard]] bool DocumentHasElement(const XmlNode* first);

// Releases a document when it goes away.
struct NodeDeleter {
  void operator()(XmlNode* node) const { NodeFree(node); }
};
using XmlDocument = std::unique_ptr<XmlNode, NodeDeleter>;

}  // namespace vk::xml
