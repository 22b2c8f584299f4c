#include <windows.h>

#include "platform/text.h"

static_assert(sizeof(wchar_t) == 2);

namespace vk::platform {
namespace {

const wchar_t* Wide(std::u16string_view text) {
  return reinterpret_cast<const wchar_t*>(text.data());
}

}  // namespace

std::u16string CodePageToUtf16(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int length =
      MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::u16string out(static_cast<size_t>(length), u'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                      reinterpret_cast<wchar_t*>(out.data()), length);
  return out;
}

std::string Utf16ToCodePage(std::u16string_view text) {
  if (text.empty()) return {};
  // No best-fit mapping: "č" must not quietly become "c" in a code page
  // without it, or a path written here would name another file.
  const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, Wide(text),
                                         static_cast<int>(text.size()), nullptr, 0, "?", nullptr);
  std::string out(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, Wide(text), static_cast<int>(text.size()),
                      out.data(), length, "?", nullptr);
  return out;
}

int CollateNoCase(std::u16string_view a, std::u16string_view b) {
  const int result =
      CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, Wide(a), static_cast<int>(a.size()),
                     Wide(b), static_cast<int>(b.size()));
  return result == 0 ? CompareRegistryNames(a, b) : result - CSTR_EQUAL;
}

}  // namespace vk::platform
