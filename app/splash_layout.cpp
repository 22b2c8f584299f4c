#include "app/splash_layout.h"

#include "platform/process.h"
#include "resources/resource.h"

namespace vk::app {

int SplashBitmapId(std::u16string_view startLocation) {
  if (startLocation.empty()) return IDB_SPLASH_LARGE;
  const std::u16string marker = std::u16string(startLocation) + u"\\KvAdWTable77.arx";
  return platform::AccessError(marker) == 0 ? IDB_SPLASH_SMALL : IDB_SPLASH_LARGE;
}

SplashRect PlaceSplash(int bitmapWidth, int bitmapHeight, int screenWidth, int screenHeight,
                       int borderWidth, int borderHeight) {
  const bool fits = bitmapWidth > 0 && bitmapWidth < screenWidth && bitmapHeight > 0 &&
                    bitmapHeight < screenHeight;
  SplashRect rect;
  rect.width = (fits ? bitmapWidth : 640) + 2 * borderWidth;
  rect.height = (fits ? bitmapHeight : 480) + 2 * borderHeight;
  // C++ division truncates toward zero, as the placement asks.
  rect.x = (screenWidth - rect.width) / 2;
  rect.y = (screenHeight - rect.height) / 2;
  return rect;
}

}  // namespace vk::app
