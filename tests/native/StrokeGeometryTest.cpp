#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/StrokeGeometry.h"

using namespace ScreenCapture;

TEST(StrokeGeometry, ArrowHitsAndTheRunsARepaintNeeds) {
  // The head is 20 pixels long whatever the width; its opening follows it.
  const auto middle = ArrowOutline(Point{0, 0}, Point{100, 0}, 3);
  EXPECT_NEAR(middle[2].x, 100 - 20 * std::cos(0.4), 1e-9);
  EXPECT_NEAR(std::fabs(middle[4].y - middle[2].y), 40 * std::sin(0.4), 1e-9);
  const auto big = ArrowOutline(Point{0, 0}, Point{100, 0}, 5);
  EXPECT_NEAR(std::fabs(big[4].y - big[2].y), 40 * std::sin(0.6), 1e-9);
  EXPECT_TRUE(PolygonContains(middle.data(), middle.size(), 95, 0));
  EXPECT_FALSE(PolygonContains(middle.data(), middle.size(), 95, 10));
  EXPECT_EQ(BoundsOf(middle.data(), middle.size()), Rect::FromEdges(0, -8, 100, 8));

  // Along a stroke: round where segments meet, cut flat at its two ends.
  const std::vector<Point> stroke{{0, 0}, {100, 0}, {100, 100}};
  EXPECT_TRUE(StrokeHit(stroke, Point{50, 4}, 4));
  EXPECT_FALSE(StrokeHit(stroke, Point{50, 5}, 4));
  EXPECT_TRUE(StrokeHit(stroke, Point{103, -2}, 4));  // the round corner
  EXPECT_FALSE(StrokeHit(stroke, Point{-2, 0}, 4));   // before the start
  EXPECT_FALSE(StrokeHit(stroke, Point{100, 102}, 4));
  EXPECT_FALSE(StrokeHit(std::vector<Point>{{5, 5}}, Point{5, 5}, 4));

  // What a small repaint needs of a long stroke: only the segments near it.
  std::vector<Point> zigzag;
  for (int i = 0; i < 5000; ++i) zigzag.push_back(Point{i, (i / 100) % 2 ? 500 : 0});
  const auto runs = StrokeRunsNear(zigzag, Rect{4990, 495, 20, 10}, 3);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].first + runs[0].second, 5000u);
  EXPECT_LE(runs[0].second, 15u);
  EXPECT_TRUE(StrokeRunsNear(zigzag, Rect{20000, 0, 5, 5}, 3).empty());
  EXPECT_EQ(StrokeRunsNear(zigzag, Rect{-100, -100, 10000, 10000}, 0).size(), 1u);
}
