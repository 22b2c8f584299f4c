#include "cui/package_codec.h"

#include <zip.h>  // DEF_MEM_LEVEL, the memory level that minizip deflates with
#include <zlib.h>

#include <algorithm>
#include <utility>

namespace vk::cui {
namespace {

constexpr uint32_t kStored = 0;
constexpr uint32_t kDeflated = Z_DEFLATED;
constexpr int kCompressionLevel = 9;

uint32_t Crc(const std::string& bytes) {
  return static_cast<uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

// Ends a zlib stream however its owner leaves, out of memory included.
template <int (*End)(z_streamp)>
struct StreamGuard {
  z_stream stream{};
  bool started = false;
  ~StreamGuard() {
    if (started) End(&stream);
  }
};

// Inflates exactly the content's size, as minizip reads a member: data beyond
// it is not looked at, and a stream that ends early fails.
bool Inflate(const std::string& stored, std::string* content) {
  StreamGuard<inflateEnd> guard;
  z_stream& stream = guard.stream;
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return false;
  guard.started = true;
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stored.data()));
  stream.avail_in = static_cast<uInt>(stored.size());
  stream.next_out = reinterpret_cast<Bytef*>(content->data());
  stream.avail_out = static_cast<uInt>(content->size());
  const int result = inflate(&stream, Z_FINISH);
  return stream.avail_out == 0 &&
         (result == Z_OK || result == Z_STREAM_END || result == Z_BUF_ERROR);
}

// Raw deflate with the settings that minizip passes to zlib; the stream does
// not depend on how the output is portioned.
bool Deflate(const std::string& content, PackedMember* packed) {
  StreamGuard<deflateEnd> guard;
  z_stream& stream = guard.stream;
  if (deflateInit2(&stream, kCompressionLevel, Z_DEFLATED, -MAX_WBITS, DEF_MEM_LEVEL,
                   Z_DEFAULT_STRATEGY) != Z_OK) {
    return false;
  }
  guard.started = true;
  std::string& out = packed->data;
  // Text shrinks several times over; the buffer grows when it does not.
  out.resize(content.size() / 4 + 1024);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(content.data()));
  stream.avail_in = static_cast<uInt>(content.size());
  for (;;) {
    stream.next_out = reinterpret_cast<Bytef*>(out.data() + stream.total_out);
    stream.avail_out = static_cast<uInt>(out.size() - stream.total_out);
    const int result = deflate(&stream, Z_FINISH);
    if (result == Z_STREAM_END) break;
    if (result != Z_OK && result != Z_BUF_ERROR) return false;
    out.resize(2 * out.size());
  }
  out.resize(stream.total_out);
  packed->text = stream.data_type == Z_TEXT;
  return true;
}

}  // namespace

uint64_t StoredBytesUsed(uint32_t method, uint64_t contentSize) {
  if (method != kDeflated) return contentSize;
  // Bounds what one member can hold in memory before it is unpacked, with
  // room for any real encoder: stored blocks cost 5 bytes in 64 KB, and an
  // encoder that codes incompressible data with the fixed codes spends at
  // most 9 bits on a byte.
  return contentSize + (contentSize >> 2) + 1024;
}

bool UnpackMember(std::string stored, PackageEntry* entry) {
  const PackageEntryHeader& header = entry->header;
  const size_t size = header.uncompressedSize;
  if (header.compressionMethod == kDeflated) {
    entry->content.resize(size);
    if (size > 0 && !Inflate(stored, &entry->content)) return false;
  } else {
    if (stored.size() < size) return false;
    stored.resize(size);
    entry->content = std::move(stored);
  }
  // minizip checks the CRC of what it inflates or copies; other methods it
  // hands through unread.
  const bool checked = header.compressionMethod == kDeflated || header.compressionMethod == kStored;
  return !checked || Crc(entry->content) == header.crc;
}

bool PackMember(const PackageEntry& entry, PackedMember* packed) {
  packed->crc = Crc(entry.content);
  packed->data.clear();
  packed->text = false;
  if (entry.header.compressionMethod != kDeflated) return true;
  return Deflate(entry.content, packed);
}

}  // namespace vk::cui
