#include "tests/support/test_paths.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/files.h"
#include "platform/text.h"

namespace vk::test {

std::u16string TestDataPath(std::u16string_view relative) {
  std::u16string path = VK_TEST_DATA_DIR;
  path += u'\\';
  path += relative;
  return path;
}

std::u16string CorpusDir() {
  std::u16string dir = VK_CORPUS_DIR;
  if (const char* env = std::getenv("VKSTART_CORPUS_DIR"); env != nullptr && *env != 0) {
    dir = platform::Utf8ToUtf16(env);
  }
  if (platform::FolderExists(dir)) return dir;
  return {};
}

bool ReadWholeFile(std::u16string_view path, std::string* bytes) {
  bytes->clear();
  return platform::ReadWholeFile(path, bytes);
}

bool WriteWholeFile(std::u16string_view path, std::string_view bytes) {
  return platform::WriteWholeFile(path, bytes);
}

std::u16string TempFolder::Join(std::u16string_view relative) const {
  std::u16string joined = path_;
  joined += u'\\';
  joined += relative;
  return joined;
}

}  // namespace vk::test
