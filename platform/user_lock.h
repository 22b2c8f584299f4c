// One launch preparation per user at a time.
#pragma once

#include <cstdint>

namespace vk::platform {

// A per-user lock between launchers (Windows: a named mutex of the user's
// SID, and a mutex left by a killed launcher counts as taken; posix: flock on
// a file in the temporary folder), held while the object lives.
class UserLock {
 public:
  // Waits until no other launcher of this user holds the lock, then takes it.
  UserLock();
  ~UserLock();
  UserLock(const UserLock&) = delete;
  UserLock& operator=(const UserLock&) = delete;

  // False when the lock could not be made; the launch then goes on without it.
  [[nodiscard]] bool held() const { return handle_ != kNoHandle; }

 private:
  static constexpr intptr_t kNoHandle = -1;
  intptr_t handle_ = kNoHandle;  // the mutex handle, or the locked descriptor
};

}  // namespace vk::platform
