// The writer of customisation documents: a fixed layout (one tag per line,
// two blanks of indentation per level, line feeds between tags, every text
// verbatim), written as UTF-16 into a scratch stream and then read back as UTF-8.
#pragma once

#include <cstdio>
#include <string>

#include "xml/node.h"

namespace vk::xml {

// Result of XmlWriteComment when the node has no comment, or an empty one.
inline constexpr int kNoComment = -1;
// Result of XmlSerialize for an empty document or a failed read-back.
inline constexpr int kSerializeFailed = -1;

// Writes the document that starts at `first` (all its top-level nodes) into
// `scratch`, a stream opened "w+b" and positioned at its start, then rewinds
// it and reads it back into `bytes` as UTF-8 behind the first node's prefix.
// 0 on success, leaving the stream after the text read back. Otherwise the
// stream's error indicator after a failed write (`bytes` empty), or
// kSerializeFailed for no node (`bytes` empty) or a failed read-back (`bytes`
// holds the prefix only).
[[nodiscard]] int XmlSerialize(std::FILE* scratch, const XmlNode* first, std::string* bytes);

// Writes the node's comment, the node and its subtree (not its following
// siblings) as UTF-16 at indentation level `depth`: 0, or the stream's error
// indicator after a failed write.
[[nodiscard]] int XmlWriteNode(const XmlNode* node, std::FILE* stream, int depth);

// Writes the node's comment on a line of its own: 0, kNoComment, or the
// stream's error indicator after a failed write.
[[nodiscard]] int XmlWriteComment(const XmlNode* node, std::FILE* stream);

}  // namespace vk::xml
