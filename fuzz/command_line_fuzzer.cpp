// Arbitrary command lines through the Windows splitting rules and the switch
// list, as the launcher hands them on to AutoCAD.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/switch_list.h"
#include "platform/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string line(size / 2, u'\0');
  for (size_t i = 0; i < line.size(); ++i) {
    line[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  const std::vector<std::u16string> args = vk::platform::SplitCommandLine(line);
  // Splitting never makes text: every argument is at most the line's length.
  size_t total = 0;
  for (const std::u16string& arg : args) total += arg.size();
  if (total > line.size()) __builtin_trap();

  vk::app::SwitchList list;
  list.Parse(args);
  (void)list.IsPresent(vk::app::SwitchList::kNoLogo);
  (void)list.SetValue(vk::app::SwitchList::kProfile, u"VELKOR RUR15");
  const std::u16string composed = list.Compose();
  if (!list.IsPresent(vk::app::SwitchList::kProfile) || composed.empty()) __builtin_trap();
  return 0;
}
