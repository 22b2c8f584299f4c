#include <unistd.h>

#include <cstdio>

#include "app/wait_dialog.h"
#include "platform/text.h"
#include "resources/resource.h"

namespace vk::app {

// The posix stand-in: the dialog is its status line on standard error.
struct CWaitDialog::State {
  bool exists = false;
  bool shown = false;
  bool terminal = false;  // the status line is rewritten in place
  bool lineOpen = false;  // a status line waits for its line end
};

CWaitDialog::CWaitDialog() : state_(std::make_unique<State>()) {}

CWaitDialog::~CWaitDialog() {
  DestroyWindow();
}

bool CWaitDialog::Create(const CVkstartDlg* /*parent*/) {
  state_->exists = true;
  state_->terminal = isatty(STDERR_FILENO) == 1;
  return true;
}

void CWaitDialog::CenterWindow() {}

void CWaitDialog::Show() {
  if (!state_->exists || state_->shown) return;
  state_->shown = true;
  std::fprintf(stderr, "%s %s\n", WAIT_CAPTION, WAIT_TEXT);
}

void CWaitDialog::SetStatus(std::u16string_view text) {
  if (!state_->exists) return;
  const std::string line = platform::Utf16ToUtf8(text);
  if (state_->terminal) {
    std::fprintf(stderr, "\r\033[K  %s", line.c_str());
    state_->lineOpen = true;
  } else {
    std::fprintf(stderr, "  %s\n", line.c_str());
  }
  std::fflush(stderr);
}

void CWaitDialog::DestroyWindow() {
  if (state_->lineOpen) std::fputc('\n', stderr);
  *state_ = State{};
}

void* CWaitDialog::handle() const {
  return nullptr;
}

}  // namespace vk::app
