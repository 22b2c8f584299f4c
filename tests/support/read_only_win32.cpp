#include <windows.h>

#include "tests/support/read_only.h"

namespace vk::test {

ScopedReadOnly::ScopedReadOnly(std::u16string_view path) : path_(path) {
  applied_ = SetFileAttributesW(reinterpret_cast<const wchar_t*>(path_.c_str()),
                                FILE_ATTRIBUTE_READONLY) != 0;
}

ScopedReadOnly::~ScopedReadOnly() {
  if (applied_) {
    SetFileAttributesW(reinterpret_cast<const wchar_t*>(path_.c_str()), FILE_ATTRIBUTE_NORMAL);
  }
}

bool IsReadOnly(std::u16string_view path) {
  const std::u16string text(path);
  const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t*>(text.c_str()));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

}  // namespace vk::test
