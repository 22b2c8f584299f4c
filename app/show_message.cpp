#include "app/show_message.h"

#include "app/string_table.h"
#include "platform/message_box.h"
#include "platform/ui.h"

namespace vk::app {

std::u16string FormatText(std::u16string_view format,
                          std::initializer_list<std::u16string_view> args) {
  std::u16string text;
  const std::u16string_view* next = args.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == u'%' && i + 1 < format.size()) {
      if (format[i + 1] == u's') {
        if (next != args.end()) text += *next++;
        ++i;
        continue;
      }
      if (format[i + 1] == u'%') {
        text += u'%';
        ++i;
        continue;
      }
    }
    text += format[i];
  }
  return text;
}

std::u16string HexNumber(uint32_t number) {
  static constexpr char16_t kDigits[] = u"0123456789abcdef";
  std::u16string digits;
  do {
    digits.insert(digits.begin(), kDigits[number % 16]);
    number /= 16;
  } while (number != 0);
  return digits;
}

int ShowMessage(unsigned id, uint32_t style, MessageArgument first, MessageArgument second,
                MessageArgument third) {
  const std::u16string loaded = LoadMessageText(id);
  std::u16string text;
  if (!first) {
    text = loaded;
  } else if (second && third) {
    text = FormatText(loaded, {*third, *first, *second});
  } else if (second) {
    text = FormatText(loaded, {*first, *second});
  } else {
    text = FormatText(loaded, {*first});
  }
  // A box without an owner opens beneath a topmost splash, where nobody sees it.
  platform::LeaveTopmostBand();
  return platform::ShowMessageBox(text, u"VELKOR", style);
}

}  // namespace vk::app
