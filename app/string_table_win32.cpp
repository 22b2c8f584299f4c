#include <windows.h>

#include "app/string_table.h"

static_assert(sizeof(wchar_t) == 2);

namespace vk::app {

std::u16string LoadMessageText(unsigned id) {
  // With no buffer LoadStringW hands out the resource's own text, unterminated.
  const wchar_t* text = nullptr;
  const int length =
      LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
  if (length <= 0 || text == nullptr) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(text), static_cast<size_t>(length));
}

}  // namespace vk::app
