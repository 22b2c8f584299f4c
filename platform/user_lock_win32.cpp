#include <windows.h>

#include <sddl.h>

#include <string>
#include <vector>

#include "platform/user_lock.h"

static_assert(sizeof(wchar_t) == 2);

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

UserLock::UserLock() {
  const std::wstring sid = UserSid();
  if (sid.empty()) return;
  // Global, so that the same user's launchers in two sessions meet too.
  const std::wstring name = L"Global\\Kavrin VELKOR RUR15 launch " + sid;
  HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
  if (mutex == nullptr) return;
  const DWORD waited = WaitForSingleObject(mutex, INFINITE);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    CloseHandle(mutex);
    return;
  }
  handle_ = reinterpret_cast<intptr_t>(mutex);
}

UserLock::~UserLock() {
  if (!held()) return;
  HANDLE mutex = reinterpret_cast<HANDLE>(handle_);
  ReleaseMutex(mutex);
  CloseHandle(mutex);
}

}  // namespace vk::platform
