#include <gtest/gtest.h>

#include "core/Dpi.h"

using namespace ScreenCapture;

// The steps' edges; 168 snapping to 144 and the @150 variant are seen end to end
// (the toolbar at 168 DPI, the skin archive test).
TEST(Dpi, SnapsDownToSkinStepsAndScalesEachProductOnItsOwn) {
  EXPECT_EQ(SnapDpi(143), 96);
  EXPECT_EQ(SnapDpi(144), 144);
  EXPECT_EQ(SnapDpi(287), 192);
  EXPECT_EQ(SnapDpi(288), 288);
  EXPECT_EQ(SnapDpi(400), 384);
  EXPECT_EQ(SnapDpi(0), 96);
  EXPECT_EQ(ScaleByDpi(5, 144), 7);  // 7.5 truncated
  EXPECT_EQ(ScaleByDpi(-5, 144), -7);
  EXPECT_EQ(DpiVariantName("Res/panel.png", 384), "Res/panel@400.png");
  EXPECT_EQ(DpiVariantName("Res.d/panel", 192), "Res.d/panel@200");
}
