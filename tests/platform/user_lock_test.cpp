#include "platform/user_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "platform/text.h"
#include "tests/support/lock_holder.h"

namespace vk::platform {
namespace {

using namespace std::chrono_literals;
constexpr char16_t kProduct[] = u"VELKOR RUR15";

TEST(UserLockTest, ASecondLauncherWaitsUntilTheFirstLetsGo) {
  auto first = std::make_unique<UserLock>(kProduct, 1s);
  ASSERT_TRUE(first->held());
  std::atomic<bool> taken{false};
  std::thread second([&] {
    UserLock lock(kProduct, 30s);
    taken = lock.held();
  });
  std::this_thread::sleep_for(300ms);
  EXPECT_FALSE(taken);
  first.reset();
  second.join();
  EXPECT_TRUE(taken);
}

// Another process holds the lock: the waiter gives up after its limit, keeps
// calling back while it waits, and takes the lock once the holder lets go.
// Other products' locks are apart from it.
TEST(UserLockTest, AWaiterGivesUpAfterItsLimitAndTakesTheLockWhenTheHolderLetsGo) {
  test::ScopedLockHolder holder(kProduct);
  ASSERT_TRUE(holder.holding());

  int calls = 0;
  const auto start = std::chrono::steady_clock::now();
  {
    UserLock waiter(kProduct, 600ms, [&] { ++calls; });
    EXPECT_EQ(waiter.state(), UserLockState::kTimedOut);
    EXPECT_FALSE(waiter.held());
  }
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, 600ms);
  EXPECT_LT(waited, 5s);
  // About one call per 50 ms; a loaded machine makes fewer.
  EXPECT_GE(calls, 3);

  for (const char16_t* other : {u"VELKOR RUR16", u"Jiný produkt/ 2", u""}) {
    UserLock apart(other, 0ms);
    EXPECT_TRUE(apart.held()) << Utf16ToUtf8(other);
  }

  calls = 0;
  UserLock waiter(kProduct, 30s, [&] {
    if (++calls == 4) holder.LetGo();
  });
  EXPECT_EQ(waiter.state(), UserLockState::kHeld);
  EXPECT_GE(calls, 4);
  EXPECT_TRUE(holder.LetGoAndWait());
}

}  // namespace
}  // namespace vk::platform
