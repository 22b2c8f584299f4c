// The strict reader of customisation documents: UTF-8 bytes into a chain of
// top-level nodes. It accepts one subset of XML (double-quoted attributes,
// either text or child elements in an element, comments in front of nodes,
// CDATA sections, "?"-named declarations) and keeps all text verbatim: no
// entity or character reference is decoded. Anything else fails the whole parse.
#pragma once

#include <cstddef>

#include "xml/node.h"

namespace vk::xml {

// Results of XmlParseNode and XmlParseComment.
inline constexpr int kParseRead = 0;
inline constexpr int kParseNothing = -1;  // text used up (node) or no comment here
inline constexpr int kParseSyntaxError = -2;

// Elements nest at most this deep; a deeper document fails rather than
// exhausting the stack. Real customisation files nest about a dozen levels.
inline constexpr int kMaxElementDepth = 256;

// The first top-level node of the document in the `length` bytes at `bytes`,
// or none when it is not a document of the subset: text that is not valid
// UTF-8 or holds a zero byte, no element (a declaration or comment alone), or
// a first "<" that is not among the first four bytes. What precedes that "<"
// becomes the first node's prefix. The caller releases the chain with NodeFree.
[[nodiscard]] XmlNode* XmlParse(const char* bytes, size_t length);

// Fills the empty `node` with one element, declaration or CDATA section and its
// subtree, starting at `*cursor` in zero-terminated text and advancing it:
// kParseRead, kParseNothing when the text ends where a node should begin, or
// kParseSyntaxError (also for an unpaired surrogate in what it reads).
[[nodiscard]] int XmlParseNode(XmlNode* node, const char16_t** cursor);

// Reads a comment at `*cursor` (after whitespace) into the node, replacing its
// comment: kParseRead, kParseNothing when none stands there (only the
// whitespace is consumed), or kParseSyntaxError when it has no "-->" or holds
// an unpaired surrogate (the node's comment is then unchanged).
[[nodiscard]] int XmlParseComment(XmlNode* node, const char16_t** cursor);

}  // namespace vk::xml
