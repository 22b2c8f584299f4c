// Another process of the user holding a product's per-user lock: the tools'
// lock_holder, started by the test.
#pragma once

#include <string>
#include <string_view>

#include "platform/process.h"
#include "tests/support/test_paths.h"

namespace vk::test {

class ScopedLockHolder {
 public:
  // Starts the holder and waits until it holds the lock of `product`;
  // holding() tells whether it got it.
  explicit ScopedLockHolder(std::u16string_view product);
  // Lets go, if not yet done.
  ~ScopedLockHolder();
  ScopedLockHolder(const ScopedLockHolder&) = delete;
  ScopedLockHolder& operator=(const ScopedLockHolder&) = delete;

  [[nodiscard]] bool holding() const { return holding_; }
  // Tells the holder to let go, without waiting for it to end.
  void LetGo();
  // Lets go and waits until the holder has ended; false when it did not.
  bool LetGoAndWait();

 private:
  TempFolder folder_;
  platform::ProcessInformation process_;
  bool started_ = false;
  bool holding_ = false;
  bool ended_ = false;
};

}  // namespace vk::test
