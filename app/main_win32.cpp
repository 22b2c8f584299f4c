#include <windows.h>

#include "app/vk_start_app.h"
#include "platform/fail_on_exception.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  // What the system loads later comes from System32 only, never from a DLL
  // planted beside the program or in the current folder.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Out of memory outside the launch's own steps ends the run quietly, never
  // with the system's crash report.
  constexpr int kFailed = 1;
  return vk::platform::FailOnException(kFailed, [&] {
    vk::app::VkStartApp app;
    app.showCommand = showCommand;
    if (app.InitInstance()) app.Run();
    return app.ExitInstance();
  });
}
