// One launch preparation or clean-up per user and product at a time.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string_view>

namespace vk::platform {

enum class UserLockState { kHeld, kTimedOut, kUnavailable };

// A per-user lock of one product between the launcher and the clean-up
// (Windows: a named mutex holding the product and the user's SID, and a mutex
// left by a killed holder counts as taken; posix: flock on a file in the
// temporary folder), held while the object lives.
class UserLock {
 public:
  // Waits at most `limit` until no other launcher or clean-up of this user
  // holds the lock of `product`, calling `whileWaiting` (may be empty)
  // between short waits, then takes it.
  UserLock(std::u16string_view product, std::chrono::milliseconds limit,
           const std::function<void()>& whileWaiting = {});
  // Releases the lock when it is held.
  ~UserLock();
  UserLock(const UserLock&) = delete;
  UserLock& operator=(const UserLock&) = delete;

  // kTimedOut when another holder kept it past the limit; kUnavailable when
  // the lock could not be made (the caller then goes on without it).
  [[nodiscard]] UserLockState state() const { return state_; }
  [[nodiscard]] bool held() const { return state_ == UserLockState::kHeld; }

 private:
  static constexpr intptr_t kNoHandle = -1;
  intptr_t handle_ = kNoHandle;  // the mutex handle, or the locked descriptor
  UserLockState state_ = UserLockState::kUnavailable;
};

// The time between two tries while the lock is held elsewhere.
inline constexpr std::chrono::milliseconds kUserLockPoll{50};

}  // namespace vk::platform
