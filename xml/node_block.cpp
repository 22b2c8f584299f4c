#include "xml/node_block.h"

#include <algorithm>
#include <new>

// The sanitizer build marks released and unused parts of a chunk, so that a
// stray access to a released node is still caught.
#if defined(__SANITIZE_ADDRESS__)
#define VK_XML_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VK_XML_ASAN 1
#endif
#endif
#ifdef VK_XML_ASAN
#include <sanitizer/asan_interface.h>
#define VK_XML_POISON(address, size) ASAN_POISON_MEMORY_REGION(address, size)
#define VK_XML_UNPOISON(address, size) ASAN_UNPOISON_MEMORY_REGION(address, size)
#else
#define VK_XML_POISON(address, size) ((void)(address), (void)(size))
#define VK_XML_UNPOISON(address, size) ((void)(address), (void)(size))
#endif

namespace vk::xml {

// A chunk's size, and the blocks it has handed out and not yet got back, plus
// one while a NodeChunks still carves from it.
struct NodeChunk {
  size_t bytes;
  size_t live;
};

namespace {

// In front of every node: the chunk that holds its block, or none for a block
// of its own.
struct BlockHeader {
  NodeChunk* chunk;
};

constexpr size_t kMaxChunkBytes = 64 * 1024;
// Bigger blocks (long texts) get blocks of their own.
constexpr size_t kMaxChunkedBlock = kMaxChunkBytes / 8;
constexpr size_t kAlignment = alignof(XmlNode);
static_assert(sizeof(BlockHeader) % kAlignment == 0 && sizeof(NodeChunk) % kAlignment == 0);

size_t BlockBytes(size_t units) {
  const size_t bytes = sizeof(BlockHeader) + sizeof(XmlNode) + units * sizeof(char16_t);
  return (bytes + kAlignment - 1) / kAlignment * kAlignment;
}

XmlNode* StartBlock(void* at, NodeChunk* chunk, char16_t** room) {
  auto* header = new (at) BlockHeader{chunk};
  auto* node = new (header + 1) XmlNode;
  *room = reinterpret_cast<char16_t*>(node + 1);
  return node;
}

void DropChunk(NodeChunk* chunk) {
  if (--chunk->live != 0) return;
  VK_XML_UNPOISON(chunk, chunk->bytes);
  ::operator delete(static_cast<void*>(chunk));
}

}  // namespace

XmlNode* NodeNewWithRoom(size_t units, char16_t** room) {
  return StartBlock(::operator new(BlockBytes(units)), nullptr, room);
}

NodeChunks::~NodeChunks() {
  if (chunk_ != nullptr) DropChunk(chunk_);
}

XmlNode* NodeChunks::New(size_t units, char16_t** room) {
  const size_t bytes = BlockBytes(units);
  if (bytes > kMaxChunkedBlock) return NodeNewWithRoom(units, room);
  if (chunk_ == nullptr || static_cast<size_t>(end_ - next_) < bytes) {
    if (chunk_ != nullptr) DropChunk(chunk_);
    const size_t chunkBytes = std::max(nextChunkBytes_, sizeof(NodeChunk) + bytes);
    nextChunkBytes_ = std::min(2 * nextChunkBytes_, kMaxChunkBytes);
    void* memory = ::operator new(chunkBytes);
    chunk_ = new (memory) NodeChunk{chunkBytes, 1};
    next_ = static_cast<char*>(memory) + sizeof(NodeChunk);
    end_ = static_cast<char*>(memory) + chunkBytes;
    VK_XML_POISON(next_, end_ - next_);
  }
  ++chunk_->live;
  void* at = next_;
  next_ += bytes;
  VK_XML_UNPOISON(at, bytes);
  return StartBlock(at, chunk_, room);
}

void NodeDeleteBlock(XmlNode* node) {
  BlockHeader* header = reinterpret_cast<BlockHeader*>(node) - 1;
  NodeChunk* chunk = header->chunk;
  node->~XmlNode();
  if (chunk == nullptr) {
    ::operator delete(static_cast<void*>(header));
    return;
  }
  VK_XML_POISON(header, sizeof(BlockHeader) + sizeof(XmlNode));
  DropChunk(chunk);
}

}  // namespace vk::xml
