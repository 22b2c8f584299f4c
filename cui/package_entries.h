// Moving a package's members between an archive and memory with minizip.
#pragma once

#include <zip.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "cui/package_contents.h"
#include "cui/zip_stream.h"

namespace vk::cui {

// Appends every member of the archive at `path` to `contents`, with the
// archive's entry count and comment; true when every member was read. A
// member whose data does not match its header (length or CRC), or whose
// announced size is implausible for its compressed size, fails the load
// before anything of that size is allocated. The archive is read on the
// calling thread and its members are inflated and checked on the package
// workers. On failure `contents` holds the members read, some perhaps
// without their content.
[[nodiscard]] bool LoadPackageEntries(PackageContents* contents, std::u16string_view path);
// The same from any archive that minizip's callbacks reach; `unpacked`, when
// given, runs on the worker that unpacked member `index` as soon as its
// content is checked, and false from it fails the load.
[[nodiscard]] bool LoadPackageEntriesFrom(PackageContents* contents, ZipStream* zip,
                                          const std::function<bool(size_t index)>& unpacked = {});

// Writes every member, in order, deflating at level 9 where the member was
// deflated, as a new archive that replaces the file at `path` only once it
// is complete and closed; true when it did. The members are deflated on the
// package workers and the archive is written on the calling thread, so the
// bytes are those that one thread writes. Fails before anything is written
// when a member cannot be stored as it is (see CanStorePackageEntries).
[[nodiscard]] bool StorePackageEntries(const PackageContents& contents, std::u16string_view path);
// Writes the archive through any callbacks; true when every member was
// written and the archive closed. Checks nothing beforehand.
[[nodiscard]] bool StorePackageEntriesTo(const PackageContents& contents, ZipStream* zip);

// The general-purpose flag bit that marks a member's name as UTF-8; a save
// keeps it, and the other bits are minizip's to set as it writes.
inline constexpr uint32_t kUtf8NameFlag = 0x0800;

// A member's extra field as a save writes it: without zip64 subfields, whose
// sizes would not be the member's (minizip writes its own where needed), and
// every other byte as it was.
[[nodiscard]] std::string SavedExtraField(std::string_view extra);

// The date and attributes of a member's header as minizip takes them for a
// new member.
[[nodiscard]] zip_fileinfo ZipFileInfo(const PackageEntryHeader& header);

// True when minizip can write every member back unchanged: each is stored or
// deflated, and no name or comment holds a zero byte (minizip measures them
// with strlen).
[[nodiscard]] bool CanStorePackageEntries(const PackageContents& contents);

}  // namespace vk::cui
