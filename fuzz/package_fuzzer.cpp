// Arbitrary bytes opened as a menu package, from memory through minizip's I/O
// callbacks. A package that opens and can be stored must store, and read
// back with the same members.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "cui/package_contents.h"
#include "cui/package_entries.h"
#include "cui/package_file.h"
#include "cui/zip_stream.h"
#include "xml/node.h"

namespace {

using vk::cui::PackageContents;
using vk::cui::PackageEntry;
using vk::cui::ZipStream;

// One archive in memory, read and written as a file would be.
struct MemoryArchive {
  std::string bytes;
  uint64_t position = 0;
};

voidpf ZCALLBACK Open(voidpf opaque, const void*, int mode) {
  auto* archive = static_cast<MemoryArchive*>(opaque);
  if ((mode & ZLIB_FILEFUNC_MODE_CREATE) != 0) archive->bytes.clear();
  archive->position = 0;
  return archive;
}

uLong ZCALLBACK Read(voidpf, voidpf stream, void* buffer, uLong size) {
  auto* archive = static_cast<MemoryArchive*>(stream);
  if (archive->position >= archive->bytes.size()) return 0;
  const uint64_t count = std::min<uint64_t>(size, archive->bytes.size() - archive->position);
  std::memcpy(buffer, archive->bytes.data() + archive->position, count);
  archive->position += count;
  return static_cast<uLong>(count);
}

uLong ZCALLBACK Write(voidpf, voidpf stream, const void* buffer, uLong size) {
  auto* archive = static_cast<MemoryArchive*>(stream);
  if (archive->bytes.size() < archive->position + size)
    archive->bytes.resize(archive->position + size);
  std::memcpy(archive->bytes.data() + archive->position, buffer, size);
  archive->position += size;
  return size;
}

ZPOS64_T ZCALLBACK Tell(voidpf, voidpf stream) {
  return static_cast<MemoryArchive*>(stream)->position;
}

long ZCALLBACK Seek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto* archive = static_cast<MemoryArchive*>(stream);
  uint64_t base = 0;
  if (origin == ZLIB_FILEFUNC_SEEK_CUR) base = archive->position;
  if (origin == ZLIB_FILEFUNC_SEEK_END) base = archive->bytes.size();
  const uint64_t target = base + offset;  // negative offsets wrap around, as minizip passes them
  if (target > archive->bytes.size()) return -1;
  archive->position = target;
  return 0;
}

int ZCALLBACK Close(voidpf, voidpf) {
  return 0;
}
int ZCALLBACK Error(voidpf, voidpf) {
  return 0;
}

ZipStream MemoryStream(MemoryArchive* archive) {
  ZipStream zip;
  zip.functions = {Open, Read, Write, Tell, Seek, Close, Error, archive};
  zip.name = archive;
  zip.size = archive->bytes.size();
  return zip;
}

bool SameMember(const PackageEntry& a, const PackageEntry& b) {
  // minizip writes a zero DOS date from the broken-down one, and marks a
  // member that it deflates and finds to be text as text.
  const bool sameDate = a.header.dosDate == 0 || a.header.dosDate == b.header.dosDate;
  const bool sameInternal =
      a.header.internalAttributes == b.header.internalAttributes ||
      (a.header.compressionMethod == Z_DEFLATED && b.header.internalAttributes == 1);
  return a.name == b.name && a.comment == b.comment &&
         vk::cui::SavedExtraField(a.localExtra) == b.localExtra &&
         vk::cui::SavedExtraField(a.centralExtra) == b.centralExtra && a.content == b.content &&
         sameDate && sameInternal && a.header.compressionMethod == b.header.compressionMethod &&
         a.header.externalAttributes == b.header.externalAttributes &&
         (a.header.flag & vk::cui::kUtf8NameFlag) == (b.header.flag & vk::cui::kUtf8NameFlag) &&
         a.header.version == b.header.version;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MemoryArchive input{std::string(reinterpret_cast<const char*>(data), size)};
  ZipStream in = MemoryStream(&input);
  vk::xml::XmlDocument package(vk::cui::ReadPackageFrom(&in));
  if (package == nullptr) return 0;
  const PackageContents& contents = *vk::cui::ContainerContents(package.get());
  if (!vk::cui::CanStorePackageEntries(contents)) return 0;

  MemoryArchive output;
  ZipStream out = MemoryStream(&output);
  if (!vk::cui::StorePackageEntriesTo(contents, &out)) __builtin_trap();
  ZipStream back = MemoryStream(&output);
  PackageContents reread;
  if (!vk::cui::LoadPackageEntriesFrom(&reread, &back)) __builtin_trap();
  if (reread.comment != contents.comment || reread.entries.size() != contents.entries.size()) {
    __builtin_trap();
  }
  for (size_t i = 0; i < contents.entries.size(); ++i) {
    if (!SameMember(contents.entries[i], reread.entries[i])) __builtin_trap();
  }
  return 0;
}
