// A file made read-only the way its user would make it, for the length of a
// test: the read-only attribute on Windows, no write bit on posix.
#pragma once

#include <string>
#include <string_view>

namespace vk::test {

class ScopedReadOnly {
 public:
  explicit ScopedReadOnly(std::u16string_view path);
  // Writable again, so that the test's folder can be removed.
  ~ScopedReadOnly();
  ScopedReadOnly(const ScopedReadOnly&) = delete;
  ScopedReadOnly& operator=(const ScopedReadOnly&) = delete;

  // Whether the file was made read-only.
  bool applied() const { return applied_; }

 private:
  std::u16string path_;
  bool applied_ = false;
};

// Whether the file is read-only as its user sees it (the attribute; posix: no
// write bit).
bool IsReadOnly(std::u16string_view path);

}  // namespace vk::test
