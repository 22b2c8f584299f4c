#include <string>

#include "platform/place_file.h"

namespace vk::platform {

std::u16string PlacementTempPath(std::u16string_view target) {
  // Fixed per target, so a launch finds what an interrupted one left.
  std::u16string temp(target);
  temp += kPlacementSuffix;
  return temp;
}

bool BeginsWithBareBackslash(std::u16string_view path) {
  return !path.empty() && path[0] == u'\\' && (path.size() == 1 || path[1] != u'\\');
}

}  // namespace vk::platform
