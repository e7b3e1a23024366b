#include <gtest/gtest.h>

#include <vector>

#include "core/SkinLayout.h"

using namespace ScreenCapture;

TEST(SkinLayout, AttributeValues) {
  int v[4];
  EXPECT_EQ(ParseIntList("0, 51", v, 4), 2);
  EXPECT_EQ(v[0], 0);
  EXPECT_EQ(v[1], 51);
  EXPECT_EQ(v[2], 0);
  EXPECT_EQ(ParseMargins("12,0,0,0"), (Margins{12, 0, 0, 0}));
  EXPECT_EQ(ParseMargins("-3,x,99999999999,4"), (Margins{-3, 0, 2147483647, 4}));
  uint32_t colour = 0;
  EXPECT_TRUE(ParseColor("#FFCCCCCC", colour));
  EXPECT_EQ(colour, 0xFFCCCCCCu);
  EXPECT_TRUE(ParseColor("#335EFF", colour));
  EXPECT_EQ(colour, 0xFF335EFFu);
  EXPECT_FALSE(ParseColor("#12345", colour));
  EXPECT_FALSE(ParseColor("#GG000000", colour));
  const ImageAttribute image = ParseImageAttribute("file='Res/red.png' dest='2,2,14,14'");
  EXPECT_EQ(image.file, "Res/red.png");
  EXPECT_TRUE(image.hasDest);
  EXPECT_EQ(image.dest, (Rect{2, 2, 12, 12}));
  EXPECT_EQ(ParseImageAttribute("Res/plain.png").file, "Res/plain.png");
  EXPECT_FALSE(ParseImageAttribute("Res/plain.png").hasDest);
}

TEST(SkinLayout, ContainersPlaceTheirChildren) {
  // A vertical toolbar-like column: a 7-high spacer, a 36-high row, a
  // stretching rest, a floating panel and a hidden child.
  std::vector<LayoutChild> column(5);
  column[0].fixedHeight = 7;
  column[1].fixedHeight = 36;
  column[1].padding = Margins{10, 2, 0, 3};
  column[3].floating = true;
  column[3].floatEdges = Rect::FromEdges(0, 51, 0, 0);
  column[3].fixedWidth = 250;
  column[3].fixedHeight = 36;
  column[4].visible = false;
  std::vector<Rect> rects = ArrangeChildren(LayoutKind::kVertical, Rect{100, 200, 392, 100}, Margins{}, column);
  EXPECT_EQ(rects[0], (Rect{100, 200, 392, 7}));
  EXPECT_EQ(rects[1], (Rect{110, 209, 382, 36}));
  EXPECT_EQ(rects[2], (Rect{100, 248, 392, 52}));  // what is left
  EXPECT_EQ(rects[3], (Rect{100, 251, 250, 36}));
  EXPECT_TRUE(rects[4].IsEmpty());

  // A row with an inset: fixed widths with left padding, two stretchers share
  // the rest and the last takes the odd pixel.
  std::vector<LayoutChild> row(4);
  row[0].fixedWidth = 10;
  row[1].fixedWidth = 20;
  row[1].fixedHeight = 20;
  row[1].padding = Margins{12, 0, 0, 0};
  rects = ArrangeChildren(LayoutKind::kHorizontal, Rect{0, 0, 103, 36}, Margins{0, 8, 0, 0}, row);
  EXPECT_EQ(rects[0], (Rect{0, 8, 10, 28}));
  EXPECT_EQ(rects[1], (Rect{22, 8, 20, 20}));
  EXPECT_EQ(rects[2], (Rect{42, 8, 30, 28}));
  EXPECT_EQ(rects[3], (Rect{72, 8, 31, 28}));

  // Overfull: stretchers get nothing rather than a negative size.
  row[0].fixedWidth = 500;
  rects = ArrangeChildren(LayoutKind::kHorizontal, Rect{0, 0, 103, 36}, Margins{}, row);
  EXPECT_EQ(rects[2].width, 0);

  // A stack: every child fills the parent (the capture window's background
  // and control), also at a negative origin.
  std::vector<LayoutChild> stack(1);
  rects = ArrangeChildren(LayoutKind::kStack, Rect{-1920, 0, 3840, 1080}, Margins{}, stack);
  EXPECT_EQ(rects[0], (Rect{-1920, 0, 3840, 1080}));
}
