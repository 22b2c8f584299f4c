// Where nodes live. Every node is one block that holds the record and room
// for its texts, so a node costs one allocation instead of up to three. The
// reader carves its blocks out of large shared chunks: reading then costs
// little more than moving a pointer, and a document's nodes lie together in
// the order they are read. A chunk goes back to the heap when the last node
// in it is released, wherever that node has moved meanwhile. Internal to the
// node model.
#pragma once

#include <cstddef>

#include "xml/node.h"

namespace vk::xml {

// A new empty node in a block of its own, followed by room for `units` UTF-16
// units; `*room` points at that room. NodeFree releases it.
[[nodiscard]] XmlNode* NodeNewWithRoom(size_t units, char16_t** room);

// Hands out node blocks from shared chunks, for one reading. Not thread-safe,
// like the whole node model; the nodes may outlive it.
class NodeChunks {
 public:
  NodeChunks() = default;
  ~NodeChunks();
  NodeChunks(const NodeChunks&) = delete;
  NodeChunks& operator=(const NodeChunks&) = delete;

  // As NodeNewWithRoom, in the current chunk when the block fits there.
  [[nodiscard]] XmlNode* New(size_t units, char16_t** room);

 private:
  struct NodeChunk* chunk_ = nullptr;
  char* next_ = nullptr;
  char* end_ = nullptr;
  // Chunks start small, so that a small document takes little memory, and
  // grow to a size that makes the heap's work negligible for a large one.
  size_t nextChunkBytes_ = 4 * 1024;
};

// Releases one node record and its block; the node owns nothing any more.
void NodeDeleteBlock(XmlNode* node);

}  // namespace vk::xml
