// One member's data between its stored form and its content, with zlib alone
// and no archive state, so that members can be unpacked and packed on any
// thread while the archive is read and written on one.
#pragma once

#include <cstdint>
#include <string>

#include "cui/package_contents.h"

namespace vk::cui {

// A member's data as a save writes it.
struct PackedMember {
  std::string data;  // the deflated content; empty when the content is written as it is
  uint32_t crc = 0;
  // zlib found the deflated content to be text, which minizip records in the
  // member's internal attributes when it deflates.
  bool text = false;
};

// The most stored bytes that unpacking a member can use: its content's size,
// or for deflate data what any deflate stream of that content takes at most.
[[nodiscard]] uint64_t StoredBytesUsed(uint32_t method, uint64_t contentSize);

// Fills the entry's content from its stored bytes: inflated for a deflated
// member, the bytes as they are for any other method (as minizip hands them
// through). True when the content has the header's size and, for a stored or
// deflated member, the header's CRC.
[[nodiscard]] bool UnpackMember(std::string stored, PackageEntry* entry);

// Deflates a deflated member's content at level 9 with minizip's settings, so
// that the data is what minizip itself would write; other members keep their
// content. False when zlib fails.
[[nodiscard]] bool PackMember(const PackageEntry& entry, PackedMember* packed);

}  // namespace vk::cui
