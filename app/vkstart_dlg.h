// The splash window, the launcher's main window: a topmost pop-up picture
// whose one-shot timer runs the launch sequence and then closes it.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

namespace vk::app {

class CVkstartDlg {
 public:
  // `launch` is the launch sequence that timer 1 runs once.
  explicit CVkstartDlg(std::function<void()> launch);
  // Destroys the window if it still exists.
  ~CVkstartDlg();
  CVkstartDlg(const CVkstartDlg&) = delete;
  CVkstartDlg& operator=(const CVkstartDlg&) = delete;

  // Whether the splash picture is painted ("nologo" turns it off).
  bool showBitmap = true;

  // Registers the window class and creates the topmost pop-up "VELKOR DT";
  // its picture depends on the add-on's installation folder. False when no
  // window could be made.
  bool Create(std::u16string_view startLocation);
  // Shows the window with the show command the process was started with.
  void Show(int showCommand);
  // Brings the window to the foreground, across threads when another
  // thread's window has it; nothing when there is no window.
  void BringToForeground();
  // Runs the message loop until the window is destroyed (at once when there
  // is none).
  void RunMessageLoop();
  // The native window (Windows: HWND), null when there is none.
  [[nodiscard]] void* handle() const;

  // Message handlers.
  int OnCreate();
  void OnPaint();
  void OnTimer(unsigned id);
  // False, keeping the window, while the launch sequence runs.
  [[nodiscard]] bool OnClose() const { return !launching_; }

 private:
  struct State;
  std::function<void()> launch_;
  bool launching_ = false;
  int bitmapId_ = 0;  // chosen by Create, loaded by OnCreate
  std::unique_ptr<State> state_;
};

}  // namespace vk::app
