// The list of partial menu files that a main customisation document
// references ("PartialMenuFile" elements under "CommonItems"). A file is
// named by text from outside the document (a name or a full path), which is
// stored, and compared with the references, in its escaped XML form.
#pragma once

#include "xml/node.h"

namespace vk::cui {

// References `file` (a name or a full path) once more, as the last entry of
// the list: an existing reference by the same text, and for a path one by
// its bare file name, is removed first. Missing elements on the way are
// created, a new list starting with a revision stamp. True when the
// reference exists afterwards; false for no document or file.
[[nodiscard]] bool AttachPartialMenu(xml::XmlNode* document, const char16_t* file);

// Removes the first reference whose text equals `file` and, for a path, the
// first one by its bare file name (letter case ignored). Nothing when the
// document has no list.
void DetachPartialMenu(xml::XmlNode* document, const char16_t* file);

}  // namespace vk::cui
