#include <windows.h>

#include <errno.h>
#include <io.h>

#include <algorithm>
#include <string>

#include "platform/process.h"
#include "platform/ui.h"
#include "platform/wide_win32.h"

namespace vk::platform {
namespace {

constexpr DWORD kIdleSliceMs = 100;

}  // namespace

int AccessError(std::u16string_view path) {
  const std::u16string text(path);
  return _waccess(WideData(text), 0) == 0 ? 0 : errno;
}

std::optional<std::u16string> CurrentDirectory(size_t capacity) {
  std::u16string buffer(capacity, u'\0');
  const DWORD length =
      GetCurrentDirectoryW(static_cast<DWORD>(capacity), reinterpret_cast<wchar_t*>(buffer.data()));
  // A directory that does not fit gives the size it needs, never a filled buffer.
  if (length == 0 || length >= capacity) return std::nullopt;
  buffer.resize(length);
  return buffer;
}

long StartProcess(std::u16string_view commandLine,
                  const std::optional<std::u16string>& workingDirectory, ProcessInformation* info) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  startup.lpDesktop = nullptr;
  // Shown whatever show command the launcher itself was started with.
  startup.dwFlags |= STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOW;
  std::u16string writable(commandLine);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, reinterpret_cast<wchar_t*>(writable.data()), nullptr, nullptr, FALSE,
                      NORMAL_PRIORITY_CLASS, nullptr,
                      workingDirectory ? WideData(*workingDirectory) : nullptr, &startup,
                      &process)) {
    return static_cast<long>(GetLastError());
  }
  info->process = process.hProcess;
  info->thread = process.hThread;
  info->processId = process.dwProcessId;
  info->threadId = process.dwThreadId;
  return 0;
}

void WaitUntilIdle(const ProcessInformation& info, uint32_t timeoutMs) {
  // One long wait would leave the launcher's own windows unanswered, and
  // Windows would mark them as not responding.
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return;
    const DWORD slice = static_cast<DWORD>(std::min<ULONGLONG>(kIdleSliceMs, end - now));
    if (WaitForInputIdle(static_cast<HANDLE>(info.process), slice) != WAIT_TIMEOUT) return;
    DispatchPendingMessages();
  }
}

bool WaitForExit(const ProcessInformation& info, uint32_t timeoutMs, uint32_t* exitCode) {
  HANDLE process = static_cast<HANDLE>(info.process);
  DWORD code = 0;
  if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process, &code)) {
    return false;
  }
  *exitCode = code;
  return true;
}

}  // namespace vk::platform
