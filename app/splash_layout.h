// Where the splash window goes on the screen.
#pragma once

#include <string>
#include <string_view>

namespace vk::app {

// Bitmap 197 when the add-on's installation folder holds "KvAdWTable77.arx",
// 198 otherwise (also for an empty folder setting, which names no folder).
[[nodiscard]] int SplashBitmapId(std::u16string_view startLocation);

struct SplashRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// The window: the bitmap plus a border on each side, centred on the screen;
// 640 x 480 plus borders when the bitmap's size is unknown (0) or not smaller
// than the screen. The position may then be negative.
[[nodiscard]] SplashRect PlaceSplash(int bitmapWidth, int bitmapHeight, int screenWidth,
                                     int screenHeight, int borderWidth, int borderHeight);

}  // namespace vk::app
