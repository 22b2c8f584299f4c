#include <windows.h>

#include "app/vk_start_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  vk::app::VkStartApp app;
  app.showCommand = showCommand;
  if (app.InitInstance()) app.Run();
  return app.ExitInstance();
}
