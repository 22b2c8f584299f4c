#include "app/splash_layout.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "tests/support/test_paths.h"

namespace vk::app {
namespace {

TEST(SplashLayoutTest, CentresTheBitmapOrFallsBackTo640By480) {
  const struct {
    int bitmapWidth, bitmapHeight, screenWidth, screenHeight;
    int x, y, width, height;
  } kCases[] = {
      {566, 400, 1024, 768, 228, 183, 568, 402},
      {640, 480, 1920, 1080, 639, 299, 642, 482},
      // Unknown size, or not smaller than the screen: 640 x 480 plus borders,
      // placed off the screen's edge when the screen is smaller still.
      {0, 0, 1024, 768, 191, 143, 642, 482},
      {640, 480, 640, 1024, -1, 271, 642, 482},
      {566, 400, 600, 400, -21, -41, 642, 482},
      {566, 400, 300, 200, -171, -141, 642, 482},
  };
  for (const auto& c : kCases) {
    const SplashRect r =
        PlaceSplash(c.bitmapWidth, c.bitmapHeight, c.screenWidth, c.screenHeight, 1, 1);
    EXPECT_EQ(r.x, c.x);
    EXPECT_EQ(r.y, c.y);
    EXPECT_EQ(r.width, c.width);
    EXPECT_EQ(r.height, c.height);
  }
}

TEST(SplashLayoutTest, PictureFollowsTheMarkerFileInTheInstallation) {
  test::TempFolder root;
  EXPECT_EQ(SplashBitmapId(root.path()), 198);
  ASSERT_TRUE(test::WriteWholeFile(root.Join(u"kvadwtable77.ARX"), "x"));
  EXPECT_EQ(SplashBitmapId(root.path()), 197);
  EXPECT_EQ(SplashBitmapId(u""), 198);
}

}  // namespace
}  // namespace vk::app
