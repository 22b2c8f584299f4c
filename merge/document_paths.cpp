#include "merge/document_paths.h"

#include "cui/package_contents.h"

namespace vk::cui {

using xml::XmlNode;

XmlNode* PathStart(XmlNode* document, const char16_t* partName, const char16_t* rootName,
                   bool create) {
  if (document == nullptr) return nullptr;
  if (!IsPackageDocument(document)) return xml::NodeSibling(document, rootName, create);
  XmlNode* container = document;
  while (container->parent != nullptr) container = container->parent;
  return xml::NodeChild(xml::NodeChild(container, partName, create), rootName, create);
}

XmlNode* ChildPath(XmlNode* element, std::initializer_list<const char16_t*> names, bool create) {
  for (const char16_t* name : names) element = xml::NodeChild(element, name, create);
  return element;
}

}  // namespace vk::cui
