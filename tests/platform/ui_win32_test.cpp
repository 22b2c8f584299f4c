#include "platform/ui.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace vk::platform {
namespace {

int charMessages = 0;

LRESULT CALLBACK CountCharacters(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CHAR) ++charMessages;
  return DefWindowProcW(window, message, wParam, lParam);
}

// The idle wait's pump turns a key into its character; the copy's does not.
TEST(DispatchPendingMessagesTest, TranslatesKeysOnlyWhenAsked) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = CountCharacters;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"VkKeyTranslationTest";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  for (const auto& [translation, characters] :
       {std::pair{KeyTranslation::kNone, 0}, std::pair{KeyTranslation::kTranslate, 1}}) {
    charMessages = 0;
    ASSERT_TRUE(PostMessageW(window, WM_KEYDOWN, 'A', 0x001E0001));
    DispatchPendingMessages(translation);
    DispatchPendingMessages(KeyTranslation::kNone);
    EXPECT_EQ(charMessages, characters);
  }
  DestroyWindow(window);
}

}  // namespace
}  // namespace vk::platform
