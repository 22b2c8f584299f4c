#include <windows.h>

#include <sddl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/user_lock.h"
#include "platform/wide_win32.h"

namespace vk::platform {
namespace {

// The user's SID as text, or empty when it cannot be read.
std::wstring UserSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  std::wstring sid;
  LPWSTR text = nullptr;
  if (size != 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
      ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
    sid = text;
    LocalFree(text);
  }
  CloseHandle(token);
  return sid;
}

}  // namespace

UserLock::UserLock(std::u16string_view product, std::chrono::milliseconds limit,
                   const std::function<void()>& whileWaiting) {
  const std::wstring sid = UserSid();
  if (sid.empty()) return;
  // Global, so that the same user's launchers in two sessions meet too.
  const std::wstring name = L"Global\\Kavrin " + Wide(product) + L" launch " + sid;
  HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
  if (mutex == nullptr) return;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    const DWORD slice =
        static_cast<DWORD>(std::clamp(left, std::chrono::milliseconds(0), kUserLockPoll).count());
    const DWORD waited = WaitForSingleObject(mutex, slice);
    // A holder that was killed leaves the mutex abandoned: ours now all the same.
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
      handle_ = reinterpret_cast<intptr_t>(mutex);
      state_ = UserLockState::kHeld;
      return;
    }
    if (waited != WAIT_TIMEOUT || std::chrono::steady_clock::now() >= deadline) {
      CloseHandle(mutex);
      if (waited == WAIT_TIMEOUT) state_ = UserLockState::kTimedOut;
      return;
    }
    if (whileWaiting) whileWaiting();
  }
}

UserLock::~UserLock() {
  if (!held()) return;
  HANDLE mutex = reinterpret_cast<HANDLE>(handle_);
  ReleaseMutex(mutex);
  CloseHandle(mutex);
}

}  // namespace vk::platform
