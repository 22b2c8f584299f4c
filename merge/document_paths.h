// Where the element paths of the customisation format start in either
// document form: in a package at a part element and then among that part's
// top-level nodes, in a single file among the document's top-level nodes.
#pragma once

#include <initializer_list>

#include "xml/node.h"

namespace vk::cui {

// The element `rootName` at the start of a path: in a package document, among
// the top-level nodes of the part `partName` (with `create`, a missing part
// is appended to the container and the element to the part); in a single
// file, among the top-level nodes of `document` (with `create`, inserted
// right after `document`). None when it is missing and not created, or for
// no document.
[[nodiscard]] xml::XmlNode* PathStart(xml::XmlNode* document, const char16_t* partName,
                                      const char16_t* rootName, bool create);

// Follows child names down from `element`, appending missing children when
// `create` is set; none when one is missing and not created, or for none.
[[nodiscard]] xml::XmlNode* ChildPath(xml::XmlNode* element,
                                      std::initializer_list<const char16_t*> names, bool create);

}  // namespace vk::cui
