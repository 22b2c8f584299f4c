#include "tests/support/lock_holder.h"

#include <chrono>
#include <thread>

#include "platform/files.h"

namespace vk::test {

ScopedLockHolder::ScopedLockHolder(std::u16string_view product) {
  const std::u16string commandLine = u"\"" + std::u16string(VK_LOCK_HOLDER_EXE) + u"\" \"" +
                                     std::u16string(product) + u"\" \"" +
                                     folder_.Join(u"ready") + u"\" \"" +
                                     folder_.Join(u"release") + u"\"";
  started_ = platform::StartProcess(commandLine, std::nullopt, &process_) == 0;
  if (!started_) return;
  std::string state;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  // The holder may not have written its word yet when the file appears.
  while ((!ReadWholeFile(folder_.Join(u"ready"), &state) || state.empty()) &&
         std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  holding_ = state == "held";
}

ScopedLockHolder::~ScopedLockHolder() {
  static_cast<void>(LetGoAndWait());
}

void ScopedLockHolder::LetGo() {
  if (started_ && !platform::PathExists(folder_.Join(u"release"))) {
    static_cast<void>(WriteWholeFile(folder_.Join(u"release"), ""));
  }
}

bool ScopedLockHolder::LetGoAndWait() {
  LetGo();
  if (started_ && !ended_) {
    uint32_t exitCode = 1;
    ended_ = platform::WaitForExit(process_, 30000, &exitCode);
  }
  return ended_;
}

}  // namespace vk::test
