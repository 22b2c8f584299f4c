// Runs beside the Windows tests in the same Wine prefix: finds each message
// box captioned "VELKOR", appends its text to the file named by
// VKSTART_MSGBOX_LOG (UTF-8, each record ended by 0x1E), then presses OK.
// A box that a visible window of its own program covers is recorded with a
// last line "[under: title]", so a test expecting the plain text fails.
// Ends when the file named by VKSTART_MSGBOX_STOP exists.
#include <windows.h>

#include <cstdio>
#include <iterator>
#include <set>
#include <string>

static_assert(sizeof(wchar_t) == 2);

namespace {

constexpr wchar_t kCaption[] = L"VELKOR";
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr int kTextControlId = 0xFFFF;
constexpr char kRecordEnd = '\x1E';
constexpr DWORD kPollMilliseconds = 50;

std::wstring Environment(const wchar_t* name) {
  DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return {};
  std::wstring value(size, L'\0');
  size = GetEnvironmentVariableW(name, value.data(), size);
  value.resize(size);
  return value;
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
  return bytes;
}

// The record is closed before the box is answered, so the test that showed
// the box finds it on disk as soon as the box returns.
void AppendRecord(const std::wstring& logPath, const std::wstring& text) {
  if (logPath.empty()) return;
  std::FILE* log = _wfopen(logPath.c_str(), L"ab");
  if (log == nullptr) {
    std::fwprintf(stderr, L"msgbox_helper: cannot open %ls\n", logPath.c_str());
    return;
  }
  std::string record = ToUtf8(text);
  record += kRecordEnd;
  std::fwrite(record.data(), 1, record.size(), log);
  std::fclose(log);
}

struct Scan {
  const std::wstring* logPath;
  std::set<HWND>* answered;
};

bool IsOurBox(HWND window) {
  wchar_t className[16];
  if (GetClassNameW(window, className, 16) == 0 || lstrcmpW(className, kDialogClass) != 0) {
    return false;
  }
  // Visible only once the dialog has been initialised, so its text is set.
  return IsWindowVisible(window) && WindowText(window) == kCaption;
}

// The titles of the visible windows of the box's program above it.
std::wstring CoveringWindows(HWND box) {
  DWORD boxProcess = 0;
  GetWindowThreadProcessId(box, &boxProcess);
  std::wstring titles;
  for (HWND above = GetWindow(box, GW_HWNDPREV); above != nullptr;
       above = GetWindow(above, GW_HWNDPREV)) {
    DWORD process = 0;
    GetWindowThreadProcessId(above, &process);
    if (process == boxProcess && IsWindowVisible(above)) {
      titles += L"\n[under: " + WindowText(above) + L"]";
    }
  }
  return titles;
}

BOOL CALLBACK VisitWindow(HWND window, LPARAM parameter) {
  Scan& scan = *reinterpret_cast<Scan*>(parameter);
  if (!IsOurBox(window) || !scan.answered->insert(window).second) return TRUE;
  HWND textControl = GetDlgItem(window, kTextControlId);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(textControl)) + 1, L'\0');
  text.resize(GetDlgItemTextW(window, kTextControlId, text.data(), static_cast<int>(text.size())));
  AppendRecord(*scan.logPath, text + CoveringWindows(window));
  PostMessageW(window, WM_COMMAND, IDOK, 0);
  return TRUE;
}

// A closed box's handle may come back for a later box.
void ForgetClosed(std::set<HWND>* answered) {
  for (auto it = answered->begin(); it != answered->end();) {
    it = IsWindow(*it) ? std::next(it) : answered->erase(it);
  }
}

}  // namespace

int wmain() {
  const std::wstring logPath = Environment(L"VKSTART_MSGBOX_LOG");
  const std::wstring stopPath = Environment(L"VKSTART_MSGBOX_STOP");
  std::set<HWND> answered;
  Scan scan{&logPath, &answered};
  while (stopPath.empty() || GetFileAttributesW(stopPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
    ForgetClosed(&answered);
    EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&scan));
    Sleep(kPollMilliseconds);
  }
  return 0;
}
