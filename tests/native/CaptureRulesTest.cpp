#include <gtest/gtest.h>

#include "core/CaptureRules.h"

using namespace ScreenCapture;

TEST(CaptureRules, ScrollStartNeedsMoreThanTwiceTheFrame) {
  EXPECT_EQ(DecideScrollStart(kCaptureNormal, Rect{0, 0, 100, 10}, 3), ScrollStart::kStart);  // 10 > 6
  EXPECT_EQ(DecideScrollStart(kCaptureNormal, Rect{0, 0, 100, 6}, 3), ScrollStart::kFreshCapture);
  EXPECT_EQ(DecideScrollStart(kCaptureNormal, Rect{0, 0, 6, 100}, 3), ScrollStart::kFreshCapture);
  EXPECT_EQ(DecideScrollStart(kCaptureNormal, Rect{0, 0, 0, 0}, 0), ScrollStart::kFreshCapture);
  EXPECT_EQ(DecideScrollStart(kCaptureScroll, Rect{0, 0, 100, 100}, 3), ScrollStart::kIgnore);
  EXPECT_EQ(DecideScrollStart(kCaptureScrollEditor, Rect{0, 0, 100, 100}, 3), ScrollStart::kIgnore);
  EXPECT_TRUE(CanStartScrollEditor(kCaptureScroll, Rect{5, 5, 1, 1}));
  EXPECT_FALSE(CanStartScrollEditor(kCaptureNormal, Rect{5, 5, 100, 100}));
  EXPECT_FALSE(CanStartScrollEditor(kCaptureScroll, Rect{5, 5, 0, 100}));
}
