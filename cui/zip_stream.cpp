#include "cui/zip_stream.h"

#include <cstdio>

#include "platform/files.h"

namespace vk::cui {
namespace {

// Mode "rb" to read, "r+b" to update an existing file, "wb" to create one;
// no file for any other request.
voidpf ZCALLBACK OpenWidePath(voidpf opaque, const void* filename, int mode) {
  const char16_t* fopenMode = nullptr;
  if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) == ZLIB_FILEFUNC_MODE_READ) {
    fopenMode = u"rb";
  } else if ((mode & ZLIB_FILEFUNC_MODE_EXISTING) != 0) {
    fopenMode = u"r+b";
  } else if ((mode & ZLIB_FILEFUNC_MODE_CREATE) != 0) {
    fopenMode = u"wb";
  }
  if (filename == nullptr || fopenMode == nullptr) return nullptr;
  std::FILE* file = platform::OpenFile(*static_cast<const std::u16string*>(filename), fopenMode);
  auto* zip = static_cast<ZipStream*>(opaque);
  if (file != nullptr && fopenMode[0] == u'r') {
    // The reader bounds every member by the archive's length.
    const zlib_filefunc64_def& io = zip->functions;
    if (io.zseek64_file(opaque, file, 0, ZLIB_FILEFUNC_SEEK_END) != 0) {
      std::fclose(file);
      return nullptr;
    }
    zip->size = io.ztell64_file(opaque, file);
    if (zip->size == static_cast<ZPOS64_T>(-1) ||
        io.zseek64_file(opaque, file, 0, ZLIB_FILEFUNC_SEEK_SET) != 0) {
      std::fclose(file);
      return nullptr;
    }
  }
  return file;
}

}  // namespace

void UseFileCallbacks(ZipStream* zip, const std::u16string& path) {
  fill_fopen64_filefunc(&zip->functions);
  zip->functions.zopen64_file = OpenWidePath;
  zip->functions.opaque = zip;
  zip->name = &path;
  zip->size = 0;
}

}  // namespace vk::cui
