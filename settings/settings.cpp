#include "settings/settings.h"

namespace vk::settings {

uint32_t EditionFlagsOf(std::u16string_view modules) {
  uint32_t flags = 0;
  if (modules.find(u"DT") != std::u16string_view::npos) flags |= kEditionDT;
  if (modules.find(u'A') != std::u16string_view::npos) flags |= kEditionA;
  if (modules.find(u'H') != std::u16string_view::npos) flags |= kEditionH;
  return flags;
}

}  // namespace vk::settings
