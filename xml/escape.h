// Text from outside any document (a path built from a setting, which may hold
// the user's name) in the form a document stores it. The reader and writer
// keep text verbatim, so text put into a tree must already be escaped for
// every other XML reader, AutoCAD's among them, to accept the document.
#pragma once

#include <string>
#include <string_view>

namespace vk::xml {

// `text` with "&", "<", ">" and '"' written as "&amp;", "&lt;", "&gt;" and
// "&quot;": a form that is valid as element text and as an attribute value.
[[nodiscard]] std::u16string EscapeXmlText(std::u16string_view text);

}  // namespace vk::xml
