// The posix stand-in of the clean-up, run against the sandbox that the
// environment names, as the launcher is.
#include "platform/command_line.h"
#include "platform/fail_on_exception.h"
#include "uninstall/kvuninstall.h"

int main() {
  return vk::platform::FailOnException(vk::uninstall::kSomethingStays, [] {
    std::vector<std::u16string> args = vk::platform::ProcessArguments();
    if (!args.empty()) args.erase(args.begin());
    return vk::uninstall::RunKvUnInstall(args);
  });
}
