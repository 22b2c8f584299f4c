#include <windows.h>

#include <commctrl.h>

#include <string>

#include "app/vkstart_dlg.h"
#include "app/wait_dialog.h"
#include "resources/resource.h"

static_assert(sizeof(wchar_t) == 2);

namespace vk::app {
namespace {

INT_PTR CALLBACK WaitProc(HWND, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    // Escape or the close box would end the dialog in the middle of copying.
    case WM_COMMAND:
      return LOWORD(wParam) == IDCANCEL;
    case WM_CLOSE:
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

struct CWaitDialog::State {
  HWND dialog = nullptr;
};

CWaitDialog::CWaitDialog() : state_(std::make_unique<State>()) {}

CWaitDialog::~CWaitDialog() {
  DestroyWindow();
}

bool CWaitDialog::Create(const CVkstartDlg* parent) {
  // Under the manifest's common controls of version 6 the dialog's static
  // texts are theirs: they must be registered before the dialog is made.
  static const bool registered = [] {
    const INITCOMMONCONTROLSEX classes = {sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    return InitCommonControlsEx(&classes) != FALSE;
  }();
  static_cast<void>(registered);
  HWND owner = parent != nullptr ? static_cast<HWND>(parent->handle()) : nullptr;
  state_->dialog =
      CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_WAIT), owner, WaitProc, 0);
  return state_->dialog != nullptr;
}

void CWaitDialog::CenterWindow() {
  HWND dialog = state_->dialog;
  if (dialog == nullptr) return;
  RECT area;
  HWND parent = GetParent(dialog);
  if (parent == nullptr || !GetWindowRect(parent, &area)) {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  RECT own;
  GetWindowRect(dialog, &own);
  const int width = own.right - own.left;
  const int height = own.bottom - own.top;
  SetWindowPos(dialog, nullptr, area.left + (area.right - area.left - width) / 2,
               area.top + (area.bottom - area.top - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWaitDialog::Show() {
  if (state_->dialog != nullptr) ShowWindow(state_->dialog, SW_SHOW);
}

void CWaitDialog::SetStatus(std::u16string_view text) {
  if (state_->dialog == nullptr) return;
  const std::u16string line(text);
  SetDlgItemTextW(state_->dialog, IDC_WAIT_STATUS, reinterpret_cast<const wchar_t*>(line.c_str()));
  // Painted now: the copy keeps the thread busy until its next file.
  UpdateWindow(GetDlgItem(state_->dialog, IDC_WAIT_STATUS));
}

void CWaitDialog::DestroyWindow() {
  // The dialog goes with its parent, so it may be gone already.
  if (state_->dialog != nullptr && IsWindow(state_->dialog)) ::DestroyWindow(state_->dialog);
  state_->dialog = nullptr;
}

void* CWaitDialog::handle() const {
  return state_->dialog != nullptr && IsWindow(state_->dialog) ? state_->dialog : nullptr;
}

}  // namespace vk::app
