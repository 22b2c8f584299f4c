// Stands in for acad.exe: writes its raw command line, its arguments as
// CommandLineToArgvW splits them, its working directory and the show command
// it was given, as UTF-8 lines, to the file VKSTART_ACAD_RECORD names
// (written under another name, then renamed, so a reader never sees half).
// Then it shows a window and pumps messages, so that the launcher's idle
// wait ends, and exits by itself.
#include <windows.h>

#include <shellapi.h>

#include <string>

static_assert(sizeof(wchar_t) == 2);

namespace {

constexpr UINT_PTR kExitTimer = 1;
constexpr UINT kLifetimeMs = 1500;

std::string ToUtf8(const std::wstring& text) {
  const int length = static_cast<int>(text.size());
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
  return bytes;
}

std::wstring Environment(const wchar_t* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return {};
  std::wstring value(size, L'\0');
  value.resize(GetEnvironmentVariableW(name, value.data(), size));
  return value;
}

void WriteRecord(const std::wstring& path) {
  std::wstring text = L"cmdline=" + std::wstring(GetCommandLineW()) + L"\n";
  int count = 0;
  if (LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count)) {
    for (int i = 0; i < count; ++i) text += L"arg=" + std::wstring(args[i]) + L"\n";
    LocalFree(args);
  }
  wchar_t directory[MAX_PATH * 4];
  if (GetCurrentDirectoryW(MAX_PATH * 4, directory) != 0) {
    text += L"cwd=" + std::wstring(directory) + L"\n";
  }
  STARTUPINFOW startup{};
  GetStartupInfoW(&startup);
  text +=
      L"show=" +
      std::to_wstring((startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : -1) +
      L"\n";
  const std::string bytes = ToUtf8(text);
  const std::wstring partial = path + L".part";
  HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

LRESULT CALLBACK StandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const std::wstring record = Environment(L"VKSTART_ACAD_RECORD");
  if (!record.empty()) WriteRecord(record);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = StandInProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"VkAcadStandIn";
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassW(&windowClass);
  HWND window =
      CreateWindowExW(0, windowClass.lpszClassName, L"AutoCAD (stand-in)", WS_OVERLAPPEDWINDOW, 0,
                      0, 320, 200, nullptr, nullptr, instance, nullptr);
  // SW_SHOWDEFAULT takes the show command the launcher asked for.
  ShowWindow(window, SW_SHOWDEFAULT);
  SetTimer(window, kExitTimer, kLifetimeMs, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}
