#include <windows.h>

#include <string>

#include "platform/message_box.h"

static_assert(sizeof(wchar_t) == 2);

namespace vk::platform {

int ShowMessageBox(std::u16string_view text, std::u16string_view caption, uint32_t style) {
  const std::wstring wideText(reinterpret_cast<const wchar_t*>(text.data()), text.size());
  const std::wstring wideCaption(reinterpret_cast<const wchar_t*>(caption.data()), caption.size());
  return MessageBoxW(nullptr, wideText.c_str(), wideCaption.c_str(), style);
}

}  // namespace vk::platform
