#include "platform/files.h"
#include "platform/registry.h"

namespace vk::platform {

bool ReadWholeFile(std::u16string_view path, std::string* bytes, size_t limit) {
  UniqueFile file(OpenFile(path, u"rb"));
  if (!file) return false;
  char buffer[65536];
  size_t got;
  size_t read = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    read += got;
    if (read > limit) return false;
    bytes->append(buffer, got);
  }
  return std::ferror(file.get()) == 0;
}

bool WriteWholeFile(std::u16string_view path, std::string_view bytes) {
  UniqueFile file(OpenFile(path, u"wb"));
  if (!file) return false;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) return false;
  return std::fclose(file.release()) == 0;
}

long MakeFolderPath(std::u16string_view path) {
  while (!path.empty() && (path.back() == u'\\' || path.back() == u'/')) path.remove_suffix(1);
  if (path.empty()) return kErrorPathNotFound;
  const long made = MakeFolder(path);
  if (made == kErrorSuccess) return kErrorSuccess;
  // A file of that name is no folder to put things in.
  if (made == kErrorAlreadyExists) return FolderExists(path) ? kErrorSuccess : made;
  const size_t separator = path.find_last_of(u"\\/");
  if (separator == std::u16string_view::npos) return made;
  if (const long parent = MakeFolderPath(path.substr(0, separator)); parent != kErrorSuccess) {
    return parent;
  }
  return MakeFolder(path);
}

}  // namespace vk::platform
