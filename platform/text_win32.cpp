#include <windows.h>

#include "platform/code_page_win32.h"
#include "platform/text.h"
#include "platform/wide_win32.h"

namespace vk::platform {
namespace {

// The code pages whose conversion takes neither WC_NO_BEST_FIT_CHARS nor a
// default character (WideCharToMultiByte's documentation lists them).
bool TakesNoConversionFlags(unsigned codePage) {
  return codePage == CP_UTF7 || codePage == CP_UTF8 || codePage == 42 || codePage == 54936 ||
         (codePage >= 50220 && codePage <= 50229) || (codePage >= 57002 && codePage <= 57011);
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

std::optional<std::string> Utf16ToCodePageOf(unsigned codePage, std::u16string_view text) {
  if (text.empty()) return std::string();
  // No best-fit mapping: "č" must not quietly become "c" in a code page
  // without it, or a path written here would name another file. Code pages
  // such as UTF-8 (which Windows can use as its ANSI code page) refuse the
  // flag and the default character, and hold every character anyway.
  const bool plain = TakesNoConversionFlags(codePage);
  const DWORD flags = plain ? 0 : WC_NO_BEST_FIT_CHARS;
  const char* defaultChar = plain ? nullptr : "?";
  const int chars = static_cast<int>(text.size());
  const int length =
      WideCharToMultiByte(codePage, flags, WideData(text), chars, nullptr, 0, defaultChar, nullptr);
  if (length <= 0) return std::nullopt;
  std::string out(static_cast<size_t>(length), '\0');
  if (WideCharToMultiByte(codePage, flags, WideData(text), chars, out.data(), length, defaultChar,
                          nullptr) != length) {
    return std::nullopt;
  }
  return out;
}

std::optional<std::string> Utf16ToCodePage(std::u16string_view text) {
  return Utf16ToCodePageOf(GetACP(), text);
}

int CollateNoCase(std::u16string_view a, std::u16string_view b) {
  const int result =
      CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, WideData(a), static_cast<int>(a.size()),
                     WideData(b), static_cast<int>(b.size()));
  return result == 0 ? CompareRegistryNames(a, b) : result - CSTR_EQUAL;
}

}  // namespace vk::platform
