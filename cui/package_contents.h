// A menu package held in memory: every member of the archive with its header
// fields as read and its uncompressed content, in archive order, and the
// extra data that ties the package and its parts to the node tree.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "xml/node.h"

namespace vk::cui {

// A member's header fields as the unzip interface reports them.
struct PackageEntryHeader {
  uint32_t version = 0;
  uint32_t versionNeeded = 0;
  uint32_t flag = 0;
  uint32_t compressionMethod = 0;
  uint32_t dosDate = 0;
  uint32_t crc = 0;
  uint32_t compressedSize = 0;
  uint32_t uncompressedSize = 0;
  uint32_t nameLength = 0;
  uint32_t centralExtraLength = 0;
  uint32_t commentLength = 0;
  uint32_t diskNumberStart = 0;
  uint32_t internalAttributes = 0;
  uint32_t externalAttributes = 0;
  // The DOS date and time, broken down.
  uint32_t second = 0;
  uint32_t minute = 0;
  uint32_t hour = 0;
  uint32_t day = 0;
  uint32_t month = 0;
  uint32_t year = 0;
};

// One member. Names are the stored bytes (UTF-8); an empty extra field is none.
struct PackageEntry {
  PackageEntryHeader header;
  std::string name;
  std::string comment;
  std::string localExtra;
  std::string centralExtra;
  std::string content;  // uncompressed, header.uncompressedSize bytes
};

// A whole archive.
struct PackageContents {
  uint32_t entryCount = 0;  // as the central directory announced it when read
  std::string comment;      // the archive comment
  std::vector<PackageEntry> entries;
};

// Kinds of the extra data that the package layer hangs on nodes.
inline constexpr int32_t kPackageDataKind = 1;
inline constexpr int32_t kPartNameDataKind = 2;

// Extra data of a package container: the whole archive.
struct extraDataZlib : xml::extraData {
  extraDataZlib() : extraData(kPackageDataKind) {}
  PackageContents contents;
};

// Extra data of a part's first top-level node: the member the part came from,
// as an entry of PackagePartNames (not owned).
struct extraDataFileName : xml::extraData {
  explicit extraDataFileName(const char16_t* name)
      : extraData(kPartNameDataKind), entryName(name) {}
  const char16_t* entryName;
};

// The members read as XML parts, in the order in which the container holds them.
extern const std::array<const char16_t*, 23> PackagePartNames;

// The contents of a package container, or none when `node` is none or not one.
[[nodiscard]] PackageContents* ContainerContents(xml::XmlNode* node);

// True when the top node above `node` (following parent links) is a package
// container; false for none and for plain documents.
[[nodiscard]] bool IsPackageDocument(const xml::XmlNode* node);

// Gives the member whose name matches `entryName` (A-Z folded; the first of
// several) the content `bytes`. Without such a member a new one is appended,
// with a copy of the header, comment and extra fields of the member named
// `templateName`, or of the first member when there is no such one. Always true.
[[nodiscard]] bool ReplacePackageEntry(PackageContents* contents, std::u16string_view entryName,
                                       std::string bytes,
                                       std::optional<std::u16string_view> templateName = {});

// The first member whose name equals `name` (UTF-8) with A-Z folded; none if none does.
[[nodiscard]] PackageEntry* FindPackageEntry(PackageContents* contents, std::string_view name);

}  // namespace vk::cui
