// Where the tests find their data, and fresh folders to work in.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vk::test {

// tests/data + "\" + relative (a Windows-style path; posix maps it).
std::u16string TestDataPath(std::u16string_view relative);

// The shared real-world corpus folder (VKSTART_CORPUS_DIR in the environment
// overrides the built-in one). Empty when the shared folder is absent, so a
// test may skip; a test fails when the shared folder exists without it.
std::u16string CorpusDir();

// Reads a whole file; false when it cannot be read.
bool ReadWholeFile(std::u16string_view path, std::string* bytes);
// Writes a whole file, replacing it; false on failure.
bool WriteWholeFile(std::u16string_view path, std::string_view bytes);

// Sets the size of an existing file, extending it with zeros (sparse where
// the file system allows); false on failure.
bool ResizeFile(std::u16string_view path, uint64_t size);

// A new empty folder in the temporary folder, removed with its contents when
// the object goes away.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::u16string& path() const { return path_; }
  // path() + "\" + relative.
  std::u16string Join(std::u16string_view relative) const;

 private:
  std::u16string path_;
};

}  // namespace vk::test
