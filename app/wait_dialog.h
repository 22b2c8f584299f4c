// The small modeless dialog that tells the user files are being copied into
// the user's profile, with a status line naming each copied file.
#pragma once

#include <memory>
#include <string_view>

namespace vk::app {

class CVkstartDlg;

class CWaitDialog {
 public:
  CWaitDialog();
  // Destroys the dialog if it still exists.
  ~CWaitDialog();
  CWaitDialog(const CWaitDialog&) = delete;
  CWaitDialog& operator=(const CWaitDialog&) = delete;

  // Creates the dialog of template 191, hidden, with the splash window as its
  // parent (none when `parent` is null or has no window); false when it
  // cannot be made. The user cannot cancel or close it.
  [[nodiscard]] bool Create(const CVkstartDlg* parent);
  // Centres the dialog over its parent, or the screen without one.
  void CenterWindow();
  // Shows the dialog.
  void Show();
  // Puts `text` into the status line (posix: rewritten in place on a
  // terminal, one line per call otherwise).
  void SetStatus(std::u16string_view text);
  // Destroys the dialog; nothing when there is none.
  void DestroyWindow();
  // The native dialog (Windows: HWND), null when there is none.
  [[nodiscard]] void* handle() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace vk::app
