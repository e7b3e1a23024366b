#include <gtest/gtest.h>

#include "core/Geometry.h"

using namespace ScreenCapture;

TEST(Geometry, HalfOpenRectanglesAndVirtualScreenOrigin) {
  constexpr Rect r{10, 20, 30, 40};
  static_assert(r.Right() == 40 && r.Bottom() == 60, "exclusive edges");
  static_assert(r.Contains(Point{10, 20}) && !r.Contains(Point{40, 20}) && !r.Contains(Point{10, 60}), "half-open");
  EXPECT_EQ(r.Intersect(Rect{35, 55, 100, 100}), (Rect{35, 55, 5, 5}));
  EXPECT_TRUE(r.Intersect(Rect{40, 20, 5, 5}).IsEmpty());  // touching edges share nothing
  // A straight stroke's box has no width yet bounds what is drawn; a repaint
  // area without pixels adds nothing.
  EXPECT_EQ(r.Union(Rect{60, 0, 0, 10}), (Rect{10, 0, 50, 60}));
  EXPECT_EQ(UnionRect(r, Rect{60, 0, 0, 10}), r);
  // Edges further apart than an int counts (a skin attribute can say so):
  // the span stops where the far edge is still an int.
  constexpr Rect wide = Rect::FromEdges(-3333333, 5, 2147483647, -2147483647 - 1);
  static_assert(wide.width == 2147483647 && wide.Right() == 2147483647 - 3333333, "saturated");
  static_assert(wide.height == -2147483647 - 1 && wide.Bottom() == -2147483647 - 1 + 5, "saturated");
  EXPECT_EQ(Rect::FromEdges(100, 0, 2147483647, 10).Right(), 2147483647);

  // A monitor left of and above the primary: the virtual screen starts negative.
  constexpr Rect virtualScreen{-1920, -1080, 3840, 2160};
  EXPECT_EQ(ScreenToCapture(Point{-1920, -1080}, virtualScreen), (Point{0, 0}));
  EXPECT_EQ(ScreenToCapture(Point{0, 0}, virtualScreen), (Point{1920, 1080}));
  EXPECT_EQ(CaptureToScreen(Point{100, 50}, virtualScreen), (Point{-1820, -1030}));
  EXPECT_EQ(CaptureToScreen(Rect{100, 50, 300, 200}, virtualScreen), (Rect{-1820, -1030, 300, 200}));
  EXPECT_EQ(ScreenToCapture(CaptureToScreen(Rect{7, 8, 9, 10}, virtualScreen), virtualScreen), (Rect{7, 8, 9, 10}));

  // Free address space of a 32-bit process with and without the large
  // address flag, and of a 64-bit one.
  constexpr uint64_t k32Large = 3900ull << 20, k32 = 1900ull << 20, k64 = 128ull << 40;
  for (const uint64_t available : {k32Large, k32, k64}) {
    EXPECT_TRUE(IsGrabbableScreen(Rect{0, 0, 19200, 2160}, available)) << available;  // five 4K monitors in a row
    EXPECT_TRUE(IsGrabbableScreen(Rect{-3840, -2160, 7680, 4320}, available)) << available;
    EXPECT_FALSE(IsGrabbableScreen(Rect{0, 0, 0, 1080}, available));
    EXPECT_FALSE(IsGrabbableScreen(Rect{0, 0, 1920, -5}, available));
    EXPECT_FALSE(IsGrabbableScreen(Rect{0, 0, 30000, 20000}, available));  // one image beyond what GDI can size
  }
  EXPECT_FALSE(IsGrabbableScreen(Rect{0, 0, 16384, 16384}, k32Large));
  EXPECT_FALSE(IsGrabbableScreen(Rect{0, 0, 16384, 16384}, k32));
  EXPECT_TRUE(IsGrabbableScreen(Rect{0, 0, 16384, 16384}, k64));
  EXPECT_FALSE(IsGrabbableScreen(Rect{0, 0, 19200, 2160}, 500ull << 20));  // a nearly full address space
}
