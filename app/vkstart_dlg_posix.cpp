#include <chrono>
#include <cstdio>
#include <thread>

#include "app/splash_layout.h"
#include "app/vkstart_dlg.h"

namespace vk::app {
namespace {

constexpr unsigned kLaunchTimer = 1;
constexpr auto kLaunchDelay = std::chrono::milliseconds(500);

}  // namespace

// The posix stand-in: the window is a line on standard error and its one
// timer is kept here.
struct CVkstartDlg::State {
  bool exists = false;
  bool timerArmed = false;
  std::chrono::steady_clock::time_point due;
};

CVkstartDlg::CVkstartDlg(std::function<void()> launch)
    : launch_(std::move(launch)), state_(std::make_unique<State>()) {}

CVkstartDlg::~CVkstartDlg() = default;

bool CVkstartDlg::Create(std::u16string_view startLocation) {
  bitmapId_ = SplashBitmapId(startLocation);
  state_->exists = true;
  if (OnCreate() == -1) state_->exists = false;
  return state_->exists;
}

void CVkstartDlg::Show(int /*showCommand*/) {
  if (state_->exists) OnPaint();
}

void CVkstartDlg::BringToForeground() {}

void CVkstartDlg::RunMessageLoop() {
  while (state_->exists && state_->timerArmed) {
    std::this_thread::sleep_until(state_->due);
    OnTimer(kLaunchTimer);
  }
}

void* CVkstartDlg::handle() const {
  return nullptr;
}

int CVkstartDlg::OnCreate() {
  state_->timerArmed = true;
  state_->due = std::chrono::steady_clock::now() + kLaunchDelay;
  return 0;
}

void CVkstartDlg::OnPaint() {
  if (showBitmap) std::fprintf(stderr, "VELKOR DT: splash picture %d\n", bitmapId_);
}

void CVkstartDlg::OnTimer(unsigned id) {
  if (id != kLaunchTimer || !state_->exists) return;
  state_->timerArmed = false;
  launching_ = true;
  launch_();
  launching_ = false;
  state_->exists = false;
  std::fprintf(stderr, "VELKOR DT: splash closed\n");
}

}  // namespace vk::app
