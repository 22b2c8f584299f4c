#include "xml/escape.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace vk::xml {
namespace {

// The characters that end or start markup, each with the reference that
// stands for it.
constexpr std::pair<char16_t, std::u16string_view> kReferences[] = {
    {u'&', u"&amp;"}, {u'<', u"&lt;"}, {u'>', u"&gt;"}, {u'"', u"&quot;"}};

}  // namespace

std::u16string EscapeXmlText(std::u16string_view text) {
  std::u16string escaped;
  escaped.reserve(text.size());
  for (const char16_t c : text) {
    const auto* reference = std::find_if(std::begin(kReferences), std::end(kReferences),
                                         [c](const auto& entry) { return entry.first == c; });
    if (reference != std::end(kReferences)) {
      escaped += reference->second;
    } else {
      escaped += c;
    }
  }
  return escaped;
}

}  // namespace vk::xml
