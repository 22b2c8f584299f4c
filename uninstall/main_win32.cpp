#include <windows.h>

#include "platform/command_line.h"
#include "platform/fail_on_exception.h"
#include "uninstall/kvuninstall.h"

// A program of the window subsystem that opens no window: at logon it runs
// unseen, and from a console it writes there (platform/console.h).
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // It runs at every user's logon from a shared folder: what the system loads
  // later comes from System32 only, never from a DLL planted beside it.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  return vk::platform::FailOnException(vk::uninstall::kSomethingStays, [] {
    std::vector<std::u16string> args = vk::platform::ProcessArguments();
    if (!args.empty()) args.erase(args.begin());
    return vk::uninstall::RunKvUnInstall(args);
  });
}
