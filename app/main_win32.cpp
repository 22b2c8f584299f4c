#include <windows.h>

#include "app/vk_start_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  vk::app::VkStartApp app;
  // The splash window's message loop runs between these two once it exists.
  [[maybe_unused]] const bool started = app.InitInstance();
  return app.ExitInstance();
}
