// Packages for the tests, written with minizip itself: members with chosen
// methods, extra fields, comments, dates and attributes, and members whose
// header lies about their data.
#pragma once

#include <gtest/gtest.h>
#include <zip.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cui/package_contents.h"
#include "cui/package_entries.h"
#include "cui/package_workers.h"
#include "cui/zip_stream.h"
#include "tests/support/test_paths.h"
#include "xml/node.h"

namespace vk::cui::test {

struct TestMember {
  TestMember() = default;
  TestMember(std::string memberName, std::string memberContent, int memberMethod = Z_DEFLATED)
      : name(std::move(memberName)), content(std::move(memberContent)), method(memberMethod) {}

  std::string name;
  std::string content;
  int method = Z_DEFLATED;
  std::string comment;
  std::string localExtra;
  std::string centralExtra;
  uint32_t dosDate = 0x5A6B3C4D;
  uint32_t internalAttributes = 0;
  uint32_t externalAttributes = 0;
  uint32_t utf8NameFlag = 0;  // 0x800 marks the name as UTF-8
  uint32_t versionMadeBy = 0;
  // Written raw: `content` goes in as the stored data and the header
  // announces these instead of what minizip would compute.
  std::optional<uint32_t> rawCrc;
  std::optional<uint32_t> rawSize;
};

// Writes the members, in order, as an archive at `path`; false when minizip fails.
inline bool WriteTestPackage(const std::u16string& path, const std::vector<TestMember>& members,
                             const std::string& archiveComment = {}) {
  ZipStream zip;
  UseFileCallbacks(&zip, path);
  zipFile archive = zipOpen2_64(zip.name, APPEND_STATUS_CREATE, nullptr, &zip.functions);
  if (archive == nullptr) return false;
  bool ok = true;
  for (const TestMember& member : members) {
    zip_fileinfo info{};
    info.dosDate = member.dosDate;
    info.internal_fa = member.internalAttributes;
    info.external_fa = member.externalAttributes;
    const bool raw = member.rawCrc.has_value();
    ok = ok && zipOpenNewFileInZip4_64(
                   archive, member.name.c_str(), &info, member.localExtra.data(),
                   static_cast<uInt>(member.localExtra.size()), member.centralExtra.data(),
                   static_cast<uInt>(member.centralExtra.size()),
                   member.comment.empty() ? nullptr : member.comment.c_str(), member.method, 9,
                   raw ? 1 : 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0,
                   member.versionMadeBy, member.utf8NameFlag, 0) == ZIP_OK;
    ok = ok && zipWriteInFileInZip(archive, member.content.data(),
                                   static_cast<unsigned>(member.content.size())) == ZIP_OK;
    ok = ok && (raw ? zipCloseFileInZipRaw(archive, member.rawSize.value_or(0), *member.rawCrc)
                    : zipCloseFileInZip(archive)) == ZIP_OK;
  }
  const int closed = zipClose(archive, archiveComment.empty() ? nullptr : archiveComment.c_str());
  return ok && closed == ZIP_OK;
}

// Writes the members as a save does, but with minizip deflating each member
// itself on this thread: the bytes that every save must write.
inline bool WriteWithMinizipDeflating(const PackageContents& contents, const std::u16string& path) {
  ZipStream zip;
  UseFileCallbacks(&zip, path);
  zipFile archive = zipOpen2_64(zip.name, APPEND_STATUS_CREATE, nullptr, &zip.functions);
  if (archive == nullptr) return false;
  bool ok = true;
  for (const PackageEntry& entry : contents.entries) {
    const PackageEntryHeader& header = entry.header;
    zip_fileinfo info = ZipFileInfo(header);
    const std::string localExtra = SavedExtraField(entry.localExtra);
    const std::string centralExtra = SavedExtraField(entry.centralExtra);
    ok = ok && zipOpenNewFileInZip4_64(archive, entry.name.c_str(), &info, localExtra.data(),
                                       static_cast<uInt>(localExtra.size()), centralExtra.data(),
                                       static_cast<uInt>(centralExtra.size()),
                                       entry.comment.empty() ? nullptr : entry.comment.c_str(),
                                       static_cast<int>(header.compressionMethod), 9, 0, -MAX_WBITS,
                                       DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0,
                                       header.version, header.flag & kUtf8NameFlag, 0) == ZIP_OK;
    ok = ok && zipWriteInFileInZip(archive, entry.content.data(),
                                   static_cast<unsigned>(entry.content.size())) == ZIP_OK;
    ok = ok && zipCloseFileInZip(archive) == ZIP_OK;
  }
  const int closed =
      zipClose(archive, contents.comment.empty() ? nullptr : contents.comment.c_str());
  return ok && closed == ZIP_OK;
}

// Opens and saves packages on `count` threads while it exists.
class ScopedPackageWorkers {
 public:
  explicit ScopedPackageWorkers(size_t count) { SetPackageWorkers(count); }
  ~ScopedPackageWorkers() { SetPackageWorkers(0); }
  ScopedPackageWorkers(const ScopedPackageWorkers&) = delete;
  ScopedPackageWorkers& operator=(const ScopedPackageWorkers&) = delete;
};

// A small part: declaration and one root element.
inline std::string PartXml(std::string_view root, std::string_view text = "x") {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<" + std::string(root) + ">" +
         std::string(text) + "</" + std::string(root) + ">";
}

// The part element of that name under a package container; none if absent.
inline xml::XmlNode* FindPart(xml::XmlNode* container, std::u16string_view name) {
  for (xml::XmlNode* part = container->firstChild; part != nullptr; part = part->next) {
    if (part->name.view() == name) return part;
  }
  return nullptr;
}

// Raw deflate data (no zlib header) of `content`, as a ZIP member holds it.
inline std::string RawDeflate(std::string_view content) {
  z_stream stream{};
  EXPECT_EQ(deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
  std::string out(deflateBound(&stream, static_cast<uLong>(content.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(content.data()));
  stream.avail_in = static_cast<uInt>(content.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

// Deflate data as a simple encoder writes it: one block of literals in the
// fixed codes, 8 or 9 bits a byte, so incompressible content grows (zlib
// itself would store such content).
inline std::string FixedCodeDeflate(std::string_view content) {
  std::string out;
  uint32_t bits = 0;
  int count = 0;
  const auto put = [&](uint32_t value, int length) {  // low bit first
    bits |= value << count;
    for (count += length; count >= 8; count -= 8, bits >>= 8) out += static_cast<char>(bits & 0xFF);
  };
  const auto code = [&](uint32_t value, int length) {  // a Huffman code, high bit first
    uint32_t reversed = 0;
    for (int i = 0; i < length; ++i) reversed |= ((value >> i) & 1u) << (length - 1 - i);
    put(reversed, length);
  };
  put(1, 1);  // the last block
  put(1, 2);  // fixed codes
  for (const char c : content) {
    const uint32_t byte = static_cast<uint8_t>(c);
    if (byte < 144) {
      code(0x30 + byte, 8);
    } else {
      code(0x190 + byte - 144, 9);
    }
  }
  code(0, 7);  // end of block
  if (count > 0) out += static_cast<char>(bits & 0xFF);
  return out;
}

inline uint32_t Crc(std::string_view content) {
  return static_cast<uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(content.data()), static_cast<uInt>(content.size())));
}

}  // namespace vk::cui::test
