#include <windows.h>

#include <string>

#include "platform/console.h"
#include "platform/text.h"
#include "platform/wide_win32.h"

namespace vk::platform {
namespace {

// A program of the window subsystem gets no console of its own: its output
// is a handle its starter gave it (a pipe, a file), else the starter's console.
HANDLE Output() {
  static const HANDLE output = [] {
    const HANDLE given = GetStdHandle(STD_OUTPUT_HANDLE);
    if (given != nullptr && given != INVALID_HANDLE_VALUE) return given;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return INVALID_HANDLE_VALUE;
    return CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, 0, nullptr);
  }();
  return output;
}

}  // namespace

void WriteConsoleLine(std::u16string_view text) {
  const HANDLE output = Output();
  if (output == INVALID_HANDLE_VALUE) return;
  const std::u16string line = std::u16string(text) + u"\r\n";
  DWORD mode = 0;
  DWORD written = 0;
  if (GetConsoleMode(output, &mode)) {
    WriteConsoleW(output, WideData(line), static_cast<DWORD>(line.size()), &written, nullptr);
  } else {
    const std::string bytes = Utf16ToUtf8(line);
    WriteFile(output, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }
}

}  // namespace vk::platform
