#include "platform/code_page_path.h"

#include "platform/text.h"

namespace vk::platform {
namespace {

bool FitsCodePage(std::u16string_view text) {
  const std::optional<std::string> bytes = Utf16ToCodePage(text);
  return bytes && CodePageToUtf16(*bytes) == text;
}

bool IsAsciiLetter(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

// Where the path of a line begins: a drive root or a share's "\\"; npos when
// the line holds neither (a registry key, for one).
size_t PathStart(std::u16string_view line) {
  for (size_t i = 0; i + 2 < line.size(); ++i) {
    if (IsAsciiLetter(line[i]) && line[i + 1] == u':' && IsSeparator(line[i + 2])) return i;
    if (line[i] == u'\\' && line[i + 1] == u'\\') return i;
  }
  return std::u16string_view::npos;
}

}  // namespace

std::optional<std::string> PathLineToCodePage(std::u16string_view line) {
  const size_t start = FitsCodePage(line) ? std::u16string_view::npos : PathStart(line);
  if (start == std::u16string_view::npos) return Utf16ToCodePage(line);

  // Only the components that need it are shortened; the rest of the line,
  // separators included, stays as written.
  std::u16string written(line.substr(0, start));
  size_t begin = start;
  while (begin <= line.size()) {
    size_t end = begin;
    while (end < line.size() && !IsSeparator(line[end])) ++end;
    const std::u16string_view component = line.substr(begin, end - begin);
    std::u16string shortName;
    if (!FitsCodePage(component) &&
        ShortComponentName(line.substr(start, end - start), &shortName) &&
        FitsCodePage(shortName)) {
      written += shortName;
    } else {
      written += component;
    }
    if (end == line.size()) break;
    written += line[end];
    begin = end + 1;
  }
  return Utf16ToCodePage(written);
}

}  // namespace vk::platform
