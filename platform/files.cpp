#include "platform/files.h"

namespace vk::platform {

bool ReadWholeFile(std::u16string_view path, std::string* bytes) {
  UniqueFile file(OpenFile(path, u"rb"));
  if (!file) return false;
  char buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes->append(buffer, got);
  return std::ferror(file.get()) == 0;
}

}  // namespace vk::platform
