#include "cui/package_entries.h"

#include <unzip.h>
#include <zip.h>

#include <algorithm>
#include <cstdint>
#include <exception>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cui/file_replacement.h"
#include "cui/package_codec.h"
#include "cui/package_workers.h"
#include "cui/save_fault.h"
#include "platform/fail_on_exception.h"

namespace vk::cui {
namespace {

constexpr uint32_t kStored = 0;
constexpr uint32_t kDeflated = Z_DEFLATED;
// minizip marks members written at level 9 in their flags.
constexpr int kCompressionLevel = 9;

// The extra subfield of zip64 sizes.
constexpr unsigned kZip64ExtraId = 0x0001;

// No real menu package comes near this (the largest known holds under 20 MB of
// members), and the contents, their parsed trees and a save's copy must all
// fit in memory together; a package claiming more is refused before any of it
// is allocated.
constexpr uint64_t kMaxTotalContentSize = uint64_t{256} << 20;

// Deflate expands at most about 1032 to 1; the slack covers tiny streams.
constexpr uint64_t kMaxDeflateRatio = 1032;
constexpr uint64_t kDeflateSlack = 1024;

// Whether the sizes that the header announces can be true, so that no buffer
// is sized from a lie: the compressed data lies within the archive, and the
// content is no larger than that data can expand to (minizip hands every
// method but deflate through as it is).
bool PlausibleSizes(const unz_file_info64& info, uint64_t archiveSize) {
  constexpr uint64_t kMax32 = std::numeric_limits<uint32_t>::max();
  if (info.compressed_size > archiveSize || info.uncompressed_size > kMax32) return false;
  const uint64_t limit = info.compression_method == kDeflated
                             ? info.compressed_size * kMaxDeflateRatio + kDeflateSlack
                             : info.compressed_size;
  return info.uncompressed_size <= limit;
}

// Calls `visit(id, offset, length)` for each subfield of an extra field
// (offset and length cover the whole subfield, header included); false when
// the subfields do not fill the field exactly, after visiting those that do.
template <typename Visit>
bool ForEachExtraSubfield(std::string_view extra, Visit visit) {
  size_t position = 0;
  while (position < extra.size()) {
    if (extra.size() - position < 4) return false;
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(extra[position + i]); };
    const unsigned id = byte(0) | (byte(1) << 8);
    const size_t length = 4 + (byte(2) | (byte(3) << 8));
    if (length > extra.size() - position) return false;
    visit(id, position, length);
    position += length;
  }
  return true;
}

// minizip walks the central extra field before it reads a member's comment,
// and reads the comment from wherever that walk ends: it skips each subfield
// whole, but of a zip64 one only what it uses. The comment it reports is the
// member's own only when the subfields fill the field exactly and none is a
// zip64 one.
bool CommentReadInPlace(std::string_view centralExtra) {
  bool zip64 = false;
  const bool exact = ForEachExtraSubfield(
      centralExtra, [&](unsigned id, size_t, size_t) { zip64 = zip64 || id == kZip64ExtraId; });
  return exact && !zip64;
}

PackageEntryHeader HeaderFrom(const unz_file_info64& info) {
  PackageEntryHeader header;
  header.version = static_cast<uint32_t>(info.version);
  header.versionNeeded = static_cast<uint32_t>(info.version_needed);
  header.flag = static_cast<uint32_t>(info.flag);
  header.compressionMethod = static_cast<uint32_t>(info.compression_method);
  header.dosDate = static_cast<uint32_t>(info.dosDate);
  header.crc = static_cast<uint32_t>(info.crc);
  header.compressedSize = static_cast<uint32_t>(info.compressed_size);
  header.uncompressedSize = static_cast<uint32_t>(info.uncompressed_size);
  header.nameLength = static_cast<uint32_t>(info.size_filename);
  header.centralExtraLength = static_cast<uint32_t>(info.size_file_extra);
  header.commentLength = static_cast<uint32_t>(info.size_file_comment);
  header.diskNumberStart = static_cast<uint32_t>(info.disk_num_start);
  header.internalAttributes = static_cast<uint32_t>(info.internal_fa);
  header.externalAttributes = static_cast<uint32_t>(info.external_fa);
  header.second = static_cast<uint32_t>(info.tmu_date.tm_sec);
  header.minute = static_cast<uint32_t>(info.tmu_date.tm_min);
  header.hour = static_cast<uint32_t>(info.tmu_date.tm_hour);
  header.day = static_cast<uint32_t>(info.tmu_date.tm_mday);
  header.month = static_cast<uint32_t>(info.tmu_date.tm_mon);
  header.year = static_cast<uint32_t>(info.tmu_date.tm_year);
  return header;
}

// The local extra field and the stored bytes of the current member, which is
// open raw: as many bytes as unpacking it can use.
bool ReadOpenEntry(unzFile archive, const unz_file_info64& info, PackageEntry* entry,
                   std::string* stored) {
  const int localExtraSize = unzGetLocalExtrafield(archive, nullptr, 0);
  if (localExtraSize < 0) return false;
  entry->localExtra.resize(static_cast<size_t>(localExtraSize));
  if (localExtraSize > 0 &&
      unzGetLocalExtrafield(archive, entry->localExtra.data(),
                            static_cast<unsigned>(localExtraSize)) != localExtraSize) {
    return false;
  }
  const uint64_t size =
      std::min<uint64_t>(info.compressed_size,
                         StoredBytesUsed(entry->header.compressionMethod, info.uncompressed_size));
  stored->resize(size);
  if (size == 0) return true;
  const int read = unzReadCurrentFile(archive, stored->data(), static_cast<unsigned>(size));
  return read >= 0 && static_cast<uint64_t>(read) == size;
}

// Reads the current member's header and stored bytes; `totalSize` sums the
// contents announced so far.
bool ReadEntry(unzFile archive, uint64_t archiveSize, uint64_t* totalSize, PackageEntry* entry,
               std::string* stored) {
  unz_file_info64 info;
  if (unzGetCurrentFileInfo64(archive, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK ||
      !PlausibleSizes(info, archiveSize) ||
      info.uncompressed_size > kMaxTotalContentSize - *totalSize) {
    return false;
  }
  *totalSize += info.uncompressed_size;
  entry->header = HeaderFrom(info);
  entry->name.resize(info.size_filename);
  entry->centralExtra.resize(info.size_file_extra);
  entry->comment.resize(info.size_file_comment);
  // The buffers are one longer than their text: minizip ends name and comment with a zero.
  constexpr int kRaw = 1;
  if (unzGetCurrentFileInfo64(archive, &info, entry->name.data(), info.size_filename + 1,
                              entry->centralExtra.data(), info.size_file_extra,
                              entry->comment.data(), info.size_file_comment + 1) != UNZ_OK ||
      (!entry->comment.empty() && !CommentReadInPlace(entry->centralExtra)) ||
      unzOpenCurrentFile2(archive, nullptr, nullptr, kRaw) != UNZ_OK) {
    return false;
  }
  const bool read = ReadOpenEntry(archive, info, entry, stored);
  return unzCloseCurrentFile(archive) == UNZ_OK && read;
}

// Reads every member's header and stored bytes, in archive order.
bool ReadArchive(unzFile archive, uint64_t archiveSize, PackageContents* contents,
                 std::vector<std::string>* stored) {
  unz_global_info64 global;
  if (unzGetGlobalInfo64(archive, &global) != UNZ_OK) return false;
  contents->entryCount = static_cast<uint32_t>(global.number_entry);
  contents->comment.resize(global.size_comment);
  if (unzGetGlobalComment(archive, contents->comment.data(), global.size_comment + 1) !=
      static_cast<int>(global.size_comment)) {
    return false;
  }
  uint64_t totalSize = 0;
  int next = unzGoToFirstFile(archive);
  while (next == UNZ_OK) {
    PackageEntry entry;
    std::string bytes;
    if (!ReadEntry(archive, archiveSize, &totalSize, &entry, &bytes)) return false;
    contents->entries.push_back(std::move(entry));
    stored->push_back(std::move(bytes));
    next = unzGoToNextFile(archive);
  }
  return next == UNZ_END_OF_LIST_OF_FILE;
}

// Unpacks every member on the workers, each followed by `unpacked`.
bool UnpackEntries(PackageContents* contents, std::vector<std::string>* stored,
                   const std::function<bool(size_t)>& unpacked) {
  std::vector<size_t> sizes;
  for (const PackageEntry& entry : contents->entries)
    sizes.push_back(entry.header.uncompressedSize);
  return RunOnWorkers(LargestFirst(sizes), [&](size_t index, size_t) {
    if (!UnpackMember(std::move((*stored)[index]), &contents->entries[index])) return false;
    return !unpacked || unpacked(index);
  });
}

bool WriteEntry(zipFile archive, const PackageEntry& entry, const PackedMember& packed) {
  const PackageEntryHeader& header = entry.header;
  zip_fileinfo info = ZipFileInfo(header);
  // What minizip writes over the internal attributes when it deflates text itself.
  if (packed.text) info.internal_fa = Z_TEXT;
  const std::string localExtra = SavedExtraField(entry.localExtra);
  const std::string centralExtra = SavedExtraField(entry.centralExtra);
  // Sizes stay within 32 bits (see kMaxTotalContentSize), so no member needs zip64.
  constexpr int kZip64 = 0;
  // Raw: the data is packed already, by the same zlib with the same settings.
  constexpr int kRaw = 1;
  if (zipOpenNewFileInZip4_64(archive, entry.name.c_str(), &info, localExtra.data(),
                              static_cast<uInt>(localExtra.size()), centralExtra.data(),
                              static_cast<uInt>(centralExtra.size()),
                              entry.comment.empty() ? nullptr : entry.comment.c_str(),
                              static_cast<int>(header.compressionMethod), kCompressionLevel, kRaw,
                              -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0,
                              header.version, header.flag & kUtf8NameFlag, kZip64) != ZIP_OK) {
    return false;
  }
  const std::string& data = header.compressionMethod == kDeflated ? packed.data : entry.content;
  const bool written =
      zipWriteInFileInZip(archive, data.data(), static_cast<unsigned>(data.size())) == ZIP_OK;
  return zipCloseFileInZipRaw64(archive, entry.content.size(), packed.crc) == ZIP_OK && written;
}

// Packs every member on the workers; each packing is a save step of its own.
bool PackEntries(const PackageContents& contents, std::vector<PackedMember>* packed) {
  packed->resize(contents.entries.size());
  std::vector<size_t> sizes;
  for (const PackageEntry& entry : contents.entries) sizes.push_back(entry.content.size());
  return RunOnWorkers(LargestFirst(sizes), [&](size_t index, size_t) {
    return !SaveStepFails() && PackMember(contents.entries[index], &(*packed)[index]);
  });
}

bool HasZeroByte(const std::string& text) {
  return text.find('\0') != std::string::npos;
}

}  // namespace

zip_fileinfo ZipFileInfo(const PackageEntryHeader& header) {
  zip_fileinfo info{};
  using TimeField = decltype(info.tmz_date.tm_sec);
  info.tmz_date.tm_sec = static_cast<TimeField>(header.second);
  info.tmz_date.tm_min = static_cast<TimeField>(header.minute);
  info.tmz_date.tm_hour = static_cast<TimeField>(header.hour);
  info.tmz_date.tm_mday = static_cast<TimeField>(header.day);
  info.tmz_date.tm_mon = static_cast<TimeField>(header.month);
  info.tmz_date.tm_year = static_cast<TimeField>(header.year);
  info.dosDate = header.dosDate;
  info.internal_fa = header.internalAttributes;
  info.external_fa = header.externalAttributes;
  return info;
}

std::string SavedExtraField(std::string_view extra) {
  std::string kept;
  size_t end = 0;
  ForEachExtraSubfield(extra, [&](unsigned id, size_t offset, size_t length) {
    if (id != kZip64ExtraId) kept.append(extra.substr(offset, length));
    end = offset + length;
  });
  kept.append(extra.substr(end));
  return kept;
}

bool LoadPackageEntriesFrom(PackageContents* contents, ZipStream* zip,
                            const std::function<bool(size_t index)>& unpacked) {
  unzFile archive = unzOpen2_64(zip->name, &zip->functions);
  if (archive == nullptr) return false;
  // Out of memory in either step fails the open, and the archive is closed.
  std::vector<std::string> stored;
  const bool read = platform::FailOnException(
      false, [&] { return ReadArchive(archive, zip->size, contents, &stored); });
  unzClose(archive);
  return read && platform::FailOnException(
                     false, [&] { return UnpackEntries(contents, &stored, unpacked); });
}

bool LoadPackageEntries(PackageContents* contents, std::u16string_view path) {
  const std::u16string file(path);
  ZipStream zip;
  UseFileCallbacks(&zip, file);
  return LoadPackageEntriesFrom(contents, &zip);
}

bool CanStorePackageEntries(const PackageContents& contents) {
  if (HasZeroByte(contents.comment)) return false;
  for (const PackageEntry& entry : contents.entries) {
    const uint32_t method = entry.header.compressionMethod;
    if ((method != kStored && method != kDeflated) || HasZeroByte(entry.name) ||
        HasZeroByte(entry.comment)) {
      return false;
    }
  }
  return true;
}

bool StorePackageEntriesTo(const PackageContents& contents, ZipStream* zip) {
  // Running out of memory while packing fails before anything is written.
  std::vector<PackedMember> packed;
  if (!platform::FailOnException(false, [&] { return PackEntries(contents, &packed); })) {
    return false;
  }
  zipFile archive = SaveStepFails()
                        ? nullptr
                        : zipOpen2_64(zip->name, APPEND_STATUS_CREATE, nullptr, &zip->functions);
  if (archive == nullptr) return false;
  bool written = true;
  try {
    for (size_t i = 0; i < contents.entries.size(); ++i) {
      if (SaveStepFails() || !WriteEntry(archive, contents.entries[i], packed[i])) {
        written = false;
        break;
      }
    }
  } catch (const std::exception&) {
    // Out of memory: a failed save, and the archive is still closed.
    written = false;
  }
  const char* comment = contents.comment.empty() ? nullptr : contents.comment.c_str();
  const bool closed = zipClose(archive, comment) == ZIP_OK;
  return written && closed && !SaveStepFails();
}

bool StorePackageEntries(const PackageContents& contents, std::u16string_view path) {
  if (!CanStorePackageEntries(contents)) return false;
  const FileReplacement files = PlanReplacement(path);
  ZipStream zip;
  UseFileCallbacks(&zip, files.replacement);
  const bool complete = StorePackageEntriesTo(contents, &zip);
  return CommitReplacement(files, complete);
}

}  // namespace vk::cui
