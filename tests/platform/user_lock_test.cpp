#include "platform/user_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace vk::platform {
namespace {

TEST(UserLockTest, ASecondLauncherWaitsUntilTheFirstLetsGo) {
  auto first = std::make_unique<UserLock>();
  ASSERT_TRUE(first->held());
  std::atomic<bool> taken{false};
  std::thread second([&] {
    UserLock lock;
    taken = lock.held();
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_FALSE(taken);
  first.reset();
  second.join();
  EXPECT_TRUE(taken);
}

}  // namespace
}  // namespace vk::platform
