// The launcher's resources and windows as Windows sees them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/vkstart_dlg.h"
#include "app/wait_dialog.h"
#include "platform/ui.h"

namespace vk::app {
namespace {

// Resource types are numbers; the narrow call takes them as they are.
std::u16string_view ResourceBytes(LPCSTR type, int id) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
  if (found == nullptr) return {};
  const auto* data = static_cast<const char16_t*>(LockResource(LoadResource(module, found)));
  return {data, SizeofResource(module, found) / 2};
}

std::u16string WindowText(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return reinterpret_cast<const char16_t*>(text);
}

// Destroying the main window ends the message loop; tests have none to end.
void ForgetQuit() {
  MSG message;
  PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

// Reads a dialog template: words, double words and zero-ended texts.
class TemplateReader {
 public:
  explicit TemplateReader(std::u16string_view data) : data_(data) {}
  uint16_t Word() { return pos_ < data_.size() ? static_cast<uint16_t>(data_[pos_++]) : 0; }
  uint32_t Dword() {
    const uint32_t low = Word();
    return low | (static_cast<uint32_t>(Word()) << 16);
  }
  std::u16string Text() {
    std::u16string text;
    while (pos_ < data_.size() && data_[pos_] != 0) text += data_[pos_++];
    ++pos_;
    return text;
  }
  void AlignDword() { pos_ += pos_ % 2; }

 private:
  std::u16string_view data_;
  size_t pos_ = 0;
};

TEST(ShellResourcesTest, WaitDialogTemplateIsExactlyAsDesigned) {
  TemplateReader t(ResourceBytes(RT_DIALOG, 191));
  EXPECT_EQ(t.Dword(), 0x80C808C0u);
  EXPECT_EQ(t.Dword(), 0u);
  EXPECT_EQ(t.Word(), 2u);
  for (int expected : {0, 0, 239, 37}) EXPECT_EQ(t.Word(), expected);
  EXPECT_EQ(t.Word(), 0u);  // no menu
  EXPECT_EQ(t.Word(), 0u);  // the standard dialog class
  EXPECT_EQ(t.Text(), u"Prosím čekejte...");
  EXPECT_EQ(t.Word(), 8u);
  EXPECT_EQ(t.Text(), u"MS Sans Serif");
  const struct {
    uint16_t x, y, id;
    const char16_t* text;
  } kControls[] = {{7, 7, 0xFFFF, u"Kopíruji soubory do profilu uživatele..."},
                   {7, 22, 1018, u"..."}};
  for (const auto& c : kControls) {
    t.AlignDword();
    EXPECT_EQ(t.Dword(), 0x50020000u);
    EXPECT_EQ(t.Dword(), 0u);
    for (uint16_t expected : {c.x, c.y, uint16_t{225}, uint16_t{8}, c.id}) {
      EXPECT_EQ(t.Word(), expected);
    }
    EXPECT_EQ(t.Word(), 0xFFFFu);
    EXPECT_EQ(t.Word(), 0x0082u);  // static
    EXPECT_EQ(t.Text(), c.text);
    EXPECT_EQ(t.Word(), 0u);
  }
}

TEST(ShellResourcesTest, SplashBitmapsManifestAndVersion) {
  for (const auto& [id, width, height] : {std::tuple{197, 566, 400}, std::tuple{198, 640, 480}}) {
    const std::u16string_view bytes = ResourceBytes(RT_BITMAP, id);
    ASSERT_GE(bytes.size() * 2, sizeof(BITMAPINFOHEADER)) << id;
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes.data(), sizeof header);
    EXPECT_EQ(header.biWidth, width);
    EXPECT_EQ(header.biHeight, height);
    EXPECT_EQ(header.biBitCount, 8);
  }
  // The manifest is the launcher's own, not among the resources the tests share.
  HMODULE module = LoadLibraryExW(reinterpret_cast<const wchar_t*>(VK_LAUNCHER_EXE), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  HRSRC manifest = FindResourceA(module, MAKEINTRESOURCEA(1), RT_MANIFEST);
  ASSERT_NE(manifest, nullptr);
  const std::string text(static_cast<const char*>(LockResource(LoadResource(module, manifest))),
                         SizeofResource(module, manifest));
  EXPECT_NE(text.find("level=\"asInvoker\""), std::string::npos);
  FreeLibrary(module);
  const std::u16string_view version = ResourceBytes(RT_VERSION, 1);
  for (const char16_t* expected : {u"Kavrin", u"VELKOR RUR15", u"15.0.2.0", u"vkstart.exe"}) {
    EXPECT_NE(version.find(expected), std::u16string_view::npos) << "version lacks a value";
  }
}

TEST(ShellWindowsTest, SplashIsATopmostPopupThatKeepsItselfWhileLaunching) {
  HWND during = nullptr;
  bool keptDuringClose = false;
  LONG_PTR exStyleAfterLeaving = -1;
  CVkstartDlg splash([&] {
    during = GetForegroundWindow();
    HWND self = FindWindowW(nullptr, L"VELKOR DT");
    SendMessageW(self, WM_CLOSE, 0, 0);
    keptDuringClose = IsWindow(self) != 0;
    platform::LeaveTopmostBand();
    exStyleAfterLeaving = GetWindowLongPtrW(self, GWL_EXSTYLE);
  });
  ASSERT_TRUE(splash.Create(u""));
  HWND window = static_cast<HWND>(splash.handle());
  splash.Show(SW_SHOWNORMAL);
  EXPECT_EQ(WindowText(window), u"VELKOR DT");
  // Windows adds WS_CLIPSIBLINGS to every top-level window.
  EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & ~(WS_VISIBLE | WS_CLIPSIBLINGS), 0x80880000);
  EXPECT_EQ(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST, WS_EX_TOPMOST);
  RECT rect;
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.right - rect.left, 640 + 2 * GetSystemMetrics(SM_CXBORDER));
  EXPECT_EQ(rect.bottom - rect.top, 480 + 2 * GetSystemMetrics(SM_CYBORDER));

  splash.OnTimer(1);
  (void)during;
  EXPECT_TRUE(keptDuringClose);
  EXPECT_EQ(exStyleAfterLeaving & WS_EX_TOPMOST, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(splash.handle(), nullptr);
  ForgetQuit();
}

TEST(ShellWindowsTest, ASequenceThatLosesTheWindowEndsQuietly) {
  HWND window = nullptr;
  CVkstartDlg splash([&] { DestroyWindow(window); });
  ASSERT_TRUE(splash.Create(u""));
  window = static_cast<HWND>(splash.handle());
  splash.OnTimer(1);
  EXPECT_EQ(splash.handle(), nullptr);
  ForgetQuit();

  // Outside the launch the splash closes as any window does.
  CVkstartDlg idle([] {});
  ASSERT_TRUE(idle.Create(u""));
  SendMessageW(static_cast<HWND>(idle.handle()), WM_CLOSE, 0, 0);
  EXPECT_EQ(idle.handle(), nullptr);
  ForgetQuit();
}

TEST(ShellWindowsTest, WaitDialogBelongsToTheSplashAndCannotBeClosed) {
  CVkstartDlg splash([] {});
  ASSERT_TRUE(splash.Create(u""));
  {
    CWaitDialog wait;
    ASSERT_TRUE(wait.Create(&splash));
    HWND dialog = static_cast<HWND>(wait.handle());
    EXPECT_EQ(GetParent(dialog), static_cast<HWND>(splash.handle()));
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_EQ(WindowText(dialog), u"Prosím čekejte...");
    wait.CenterWindow();
    wait.Show();
    EXPECT_TRUE(IsWindowVisible(dialog));
    wait.SetStatus(u"Nástroje č.atc");
    EXPECT_EQ(WindowText(GetDlgItem(dialog, 1018)), u"Nástroje č.atc");
    SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    SendMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(dialog));
  }
  // Destroying the splash takes a dialog still open with it; the dialog object
  // then finds nothing left to destroy.
  CWaitDialog orphan;
  ASSERT_TRUE(orphan.Create(&splash));
  DestroyWindow(static_cast<HWND>(splash.handle()));
  EXPECT_EQ(orphan.handle(), nullptr);
  orphan.DestroyWindow();
  ForgetQuit();
}

}  // namespace
}  // namespace vk::app
