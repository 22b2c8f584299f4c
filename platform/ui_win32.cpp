#include <windows.h>

#include "platform/ui.h"

namespace vk::platform {
namespace {

BOOL CALLBACK LowerIfTopmost(HWND window, LPARAM) {
  if ((GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) {
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  return TRUE;
}

}  // namespace

void DispatchPendingMessages(KeyTranslation translation) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    // The end of the message loop belongs to the loop itself.
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (translation == KeyTranslation::kTranslate) TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void LeaveTopmostBand() {
  EnumThreadWindows(GetCurrentThreadId(), LowerIfTopmost, 0);
}

}  // namespace vk::platform
