#include <windows.h>

#include "app/splash_layout.h"
#include "app/vkstart_dlg.h"

static_assert(sizeof(wchar_t) == 2);

namespace vk::app {
namespace {

constexpr wchar_t kClassName[] = L"VkStartSplash";
constexpr wchar_t kTitle[] = L"VELKOR DT";
constexpr UINT_PTR kLaunchTimer = 1;
constexpr UINT kLaunchDelayMs = 500;

// What the window procedure reaches through the window's user data.
struct SplashWindow {
  CVkstartDlg* owner = nullptr;
  HWND window = nullptr;
  HBITMAP bitmap = nullptr;
  HDC memory = nullptr;        // made on the first paint, holds the bitmap
  HGDIOBJ previous = nullptr;  // what the bitmap displaced from `memory`
  bool released = false;       // destroyed by its owner after the message loop
};

LRESULT CALLBACK SplashProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* splash =
        static_cast<SplashWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    splash->window = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(splash));
  }
  auto* splash = reinterpret_cast<SplashWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (splash == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
      if (DefWindowProcW(window, message, wParam, lParam) == -1) return -1;
      return splash->owner->OnCreate();
    case WM_PAINT:
      splash->owner->OnPaint();
      return 0;
    case WM_TIMER:
      if (wParam != kLaunchTimer) break;
      splash->owner->OnTimer(static_cast<unsigned>(wParam));
      return 0;
    case WM_CLOSE:
      if (!splash->owner->OnClose()) return 0;
      break;
    case WM_DESTROY:
      // The main window: its end ends the message loop.
      if (!splash->released) PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      splash->window = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterSplashClass() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  // Redraw on either size change, byte-aligned client area; no cursor,
  // background or icon: the picture covers the window.
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_BYTEALIGNCLIENT;
  windowClass.lpfnWndProc = SplashProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kClassName;
  return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

struct CVkstartDlg::State : SplashWindow {};

CVkstartDlg::CVkstartDlg(std::function<void()> launch)
    : launch_(std::move(launch)), state_(std::make_unique<State>()) {
  state_->owner = this;
}

CVkstartDlg::~CVkstartDlg() {
  state_->released = true;
  if (state_->window != nullptr) DestroyWindow(state_->window);
  if (state_->memory != nullptr) {
    SelectObject(state_->memory, state_->previous);
    DeleteDC(state_->memory);
  }
  if (state_->bitmap != nullptr) DeleteObject(state_->bitmap);
}

bool CVkstartDlg::Create(std::u16string_view startLocation) {
  bitmapId_ = SplashBitmapId(startLocation);
  if (!RegisterSplashClass()) return false;
  constexpr DWORD kStyle = WS_POPUP | WS_BORDER | WS_SYSMENU;  // 0x80880000
  CreateWindowExW(WS_EX_TOPMOST, kClassName, kTitle, kStyle, 100, 100, 300, 300, nullptr, nullptr,
                  GetModuleHandleW(nullptr), static_cast<SplashWindow*>(state_.get()));
  return state_->window != nullptr;
}

void CVkstartDlg::Show(int showCommand) {
  if (state_->window != nullptr) ShowWindow(state_->window, showCommand);
}

void CVkstartDlg::BringToForeground() {
  HWND splash = state_->window;
  HWND foreground = GetForegroundWindow();
  const DWORD thread = GetCurrentThreadId();
  if (thread == 0 || splash == nullptr || splash == foreground) return;
  if (foreground == nullptr) {
    SetForegroundWindow(splash);
    return;
  }
  // Windows lets only the foreground thread hand the foreground on.
  const DWORD foregroundThread = GetWindowThreadProcessId(foreground, nullptr);
  if (foregroundThread != thread && AttachThreadInput(thread, foregroundThread, TRUE)) {
    SetForegroundWindow(splash);
    AttachThreadInput(thread, foregroundThread, FALSE);
  }
}

void CVkstartDlg::RunMessageLoop() {
  if (state_->window == nullptr) return;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void* CVkstartDlg::handle() const {
  return state_->window;
}

int CVkstartDlg::OnCreate() {
  HWND window = state_->window;
  state_->bitmap = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId_));
  BITMAP size{};
  const bool known =
      state_->bitmap != nullptr && GetObjectW(state_->bitmap, sizeof size, &size) != 0;
  const SplashRect rect = PlaceSplash(known ? size.bmWidth : 0, known ? size.bmHeight : 0,
                                      GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                      GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYBORDER));
  MoveWindow(window, rect.x, rect.y, rect.width, rect.height, FALSE);
  SetTimer(window, kLaunchTimer, kLaunchDelayMs, nullptr);
  return 0;
}

void CVkstartDlg::OnPaint() {
  HWND window = state_->window;
  PAINTSTRUCT paint;
  HDC target = BeginPaint(window, &paint);
  if (showBitmap && state_->bitmap != nullptr) {
    if (state_->memory == nullptr) {
      state_->memory = CreateCompatibleDC(nullptr);
      state_->previous = SelectObject(state_->memory, state_->bitmap);
    }
    RECT client;
    GetClientRect(window, &client);
    BitBlt(target, 0, 0, client.right - client.left, client.bottom - client.top, state_->memory, 0,
           0, SRCCOPY);
  }
  EndPaint(window, &paint);
}

void CVkstartDlg::OnTimer(unsigned id) {
  if (id != kLaunchTimer || state_->window == nullptr) return;
  KillTimer(state_->window, kLaunchTimer);
  launching_ = true;
  launch_();
  launching_ = false;
  // Closed at once rather than one second later; a window already gone is
  // left alone.
  if (state_->window != nullptr) DestroyWindow(state_->window);
}

}  // namespace vk::app
