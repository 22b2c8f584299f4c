// Holds the per-user lock of a product, as another launcher or clean-up of
// the user would: usage `lock_holder PRODUCT READY RELEASE`. Takes the lock
// (waiting at most 60 s), writes the file READY ("held" or "not held"), then
// keeps the lock until the file RELEASE exists, or 60 s at most, so that a
// test that failed never leaves it behind.
#include <chrono>
#include <thread>

#include "platform/command_line.h"
#include "platform/files.h"
#include "platform/user_lock.h"

int main() {
  using namespace std::chrono_literals;
  const std::vector<std::u16string> args = vk::platform::ProcessArguments();
  if (args.size() != 4) return 2;
  vk::platform::UserLock lock(args[1], 60s);
  if (!vk::platform::WriteWholeFile(args[2], lock.held() ? "held" : "not held")) return 1;
  const auto end = std::chrono::steady_clock::now() + 60s;
  while (!vk::platform::PathExists(args[3]) && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(20ms);
  }
  return lock.held() ? 0 : 1;
}
