// The writer of customisation documents: a fixed layout (one tag per line,
// two blanks of indentation per level, line feeds between tags, every text
// verbatim), written as UTF-16 into a scratch stream and then read back as UTF-8.
// Whatever it writes reads back: a tree that could only be written in a form
// the parser refuses (a value holding its own delimiter, a name holding what
// ends a name, an unpaired surrogate, nesting beyond kMaxElementDepth, no
// element, a prefix the reader would not take) is refused instead.
#pragma once

#include <cstdio>
#include <string>

#include "xml/node.h"

namespace vk::xml {

// Result of XmlWriteComment when the node has no comment, or an empty one.
inline constexpr int kNoComment = -1;
// Result of XmlSerialize for an empty document, a refused tree or a failed read-back.
inline constexpr int kSerializeFailed = -1;
// Result of XmlWriteNode and XmlWriteComment for what would not read back.
inline constexpr int kWriteRefused = -3;

// Writes the document that starts at `first` (all its top-level nodes) into
// `scratch`, a stream opened "w+b" and positioned at its start, then rewinds
// it and reads it back into `bytes` as UTF-8 behind the first node's prefix.
// 0 on success, leaving the stream after the text read back. Otherwise the
// stream's error indicator after a failed write (`bytes` empty), or
// kSerializeFailed for no node or a refused tree (`bytes` empty) or a failed
// read-back (`bytes` holds the prefix only).
[[nodiscard]] int XmlSerialize(std::FILE* scratch, const XmlNode* first, std::string* bytes);

// Writes the node's comment, the node and its subtree (not its following
// siblings) as UTF-16 at indentation level `depth`: 0, kWriteRefused (what
// was written up to the refused node stays), or the stream's error indicator
// after a failed write.
[[nodiscard]] int XmlWriteNode(const XmlNode* node, std::FILE* stream, int depth);

// Writes the node's comment on a line of its own: 0, kNoComment,
// kWriteRefused for a comment holding "-->" or an unpaired surrogate, or the
// stream's error indicator after a failed write.
[[nodiscard]] int XmlWriteComment(const XmlNode* node, std::FILE* stream);

}  // namespace vk::xml
