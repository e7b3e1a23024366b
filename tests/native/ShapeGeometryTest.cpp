#include <gtest/gtest.h>

#include "core/ShapeGeometry.h"

using namespace ScreenCapture;

TEST(ShapeGeometry, ClampingKeepsStrokesInside) {
  constexpr Rect limit{100, 100, 200, 100};
  // Width 5 stops 2 pixels inside the limit (5 / 2 = 2).
  static_assert(ClampPoint(Point{0, 0}, limit, 5) == Point{102, 102}, "");
  static_assert(ClampPoint(Point{1000, 1000}, limit, 5) == Point{298, 198}, "");
  static_assert(ClampPoint(Point{150, 150}, limit, 5) == Point{150, 150}, "");
  EXPECT_EQ(ClampPoint(Point{-1000000, 1000000}, limit, 1), (Point{100, 200}));
  // A limit smaller than the stroke: the lower edge wins, deterministically.
  EXPECT_EQ(ClampPoint(Point{0, 0}, Rect{10, 10, 2, 2}, 9), (Point{14, 14}));
  EXPECT_EQ(ClampPoint(Point{50, 50}, Rect{10, 10, 2, 2}, 9), (Point{8, 8}));

  EXPECT_EQ(FitRect(Rect{90, 90, 20, 20}, limit), (Rect{100, 100, 20, 20}));
  EXPECT_EQ(FitRect(Rect{290, 195, 20, 20}, limit), (Rect{280, 180, 20, 20}));
  EXPECT_EQ(FitRect(Rect{0, 0, 500, 20}, limit), (Rect{-200, 100, 500, 20}));  // too wide: ends at the right edge
  int dx = 1, dy = 1;
  AddFitCorrection(Rect{290, 90, 20, 20}, limit, dx, dy);
  EXPECT_EQ(dx, -9);
  EXPECT_EQ(dy, 11);
}

TEST(ShapeGeometry, SquaresSpansAndHandles) {
  // 50 right and 20 down from the anchor gives a 50 x 50 square.
  static_assert(SquareCandidate(Point{100, 100}, Point{150, 120}) == Point{150, 150}, "");
  static_assert(SquareCandidate(Point{100, 100}, Point{150, 80}) == Point{150, 50}, "");
  static_assert(SquareCandidate(Point{100, 100}, Point{120, 150}) == Point{150, 150}, "");
  static_assert(SquareCandidate(Point{100, 100}, Point{80, 150}) == Point{50, 150}, "");
  static_assert(SpanRect(Point{150, 150}, Point{100, 120}) == Rect{100, 120, 50, 30}, "");
  static_assert(SpanRect(Point{5, 5}, Point{5, 5}) == Rect{5, 5, 0, 0}, "");

  // Handles sit on the centre line of the frame: s = 3 / 2 = 1.
  constexpr auto c = HandleCentres(Rect{10, 20, 100, 50}, 3);
  static_assert(c[0] == Point{11, 21} && c[1] == Point{60, 21} && c[2] == Point{109, 21}, "");
  static_assert(c[3] == Point{11, 45} && c[4] == Point{109, 45}, "");
  static_assert(c[5] == Point{11, 69} && c[6] == Point{60, 69} && c[7] == Point{109, 69}, "");
  static_assert(HandleBox(Point{11, 21}, 8) == Rect{3, 13, 16, 16}, "");
  // A pen of 3 on 10,20 100 x 50 covers 9..111 across and 19..71 down.
  constexpr auto bands = FrameBands(Rect{10, 20, 100, 50}, 3);
  static_assert(bands[0] == Rect{9, 19, 103, 3} && bands[1] == Rect{9, 69, 103, 3}, "");
  static_assert(bands[2] == Rect{9, 22, 3, 47} && bands[3] == Rect{109, 22, 3, 47}, "");
  static_assert(FrameBands(Rect{10, 20, 4, 50}, 3)[2] == Rect{9, 22, 3, 47} && FrameBands(Rect{10, 20, 3, 50}, 3)[0].IsEmpty(), "");
  static_assert(FrameBands(Rect{10, 20, 100, 50}, 2)[0].IsEmpty(), "");
  EXPECT_EQ(HandleCursorKind(0), 1);
  EXPECT_EQ(HandleCursorKind(8), HandleCursorKind(3));
  EXPECT_EQ(HandleCursorKind(10), HandleCursorKind(4));
  EXPECT_EQ(HandleCursorKind(2), 4);
  EXPECT_EQ(HandleCursorKind(12), -1);

  // Resizing by the top middle handle past the bottom flips the rectangle.
  Point fixed, moving;
  ASSERT_TRUE(ResizeCorners(1, Rect{10, 10, 100, 50}, Point{999, 100}, fixed, moving));
  EXPECT_EQ(SpanRect(fixed, moving), (Rect{10, 60, 100, 40}));
  ASSERT_TRUE(ResizeCorners(9, Rect{10, 10, 100, 50}, Point{0, 999}, fixed, moving));
  EXPECT_EQ(SpanRect(fixed, moving), (Rect{0, 10, 110, 50}));
  EXPECT_FALSE(ResizeCorners(12, Rect{}, Point{}, fixed, moving));
  EXPECT_TRUE(IsCornerHandle(7));

  // A region resized over what is drawn on it stops at the drawing's edge,
  // on every side, and at the bounds; with nothing drawn it may flip.
  const Rect press{100, 100, 200, 100}, drawn{150, 120, 50, 40}, bounds{0, 0, 1000, 800};
  Rect region;
  ASSERT_TRUE(ResizeRegion(0, press, Point{250, 190}, drawn, bounds, 1, region));
  EXPECT_EQ(region, Rect::FromEdges(150, 120, 300, 200));
  ASSERT_TRUE(ResizeRegion(7, press, Point{110, 110}, drawn, bounds, 1, region));
  EXPECT_EQ(region, Rect::FromEdges(100, 100, 200, 160));
  ASSERT_TRUE(ResizeRegion(4, press, Point{120, 500}, drawn, bounds, 1, region));
  EXPECT_EQ(region, Rect::FromEdges(100, 100, 200, 200));
  ASSERT_TRUE(ResizeRegion(1, press, Point{0, 5000}, Rect{}, bounds, 1, region));
  EXPECT_EQ(region.y, 200);
  EXPECT_EQ(region.Bottom(), ClampPoint(Point{0, 5000}, bounds, 1).y);
  region = press;
  EXPECT_FALSE(ResizeRegion(12, press, Point{}, drawn, bounds, 1, region));
  EXPECT_EQ(region, press);
  EXPECT_FALSE(IsCornerHandle(6));
}
