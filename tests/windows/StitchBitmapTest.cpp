#include <gtest/gtest.h>
#include <windows.h>

#include "scroll/FrameStitcher.h"
#include "scroll/StitchBitmap.h"
#include "common/Handles.h"

namespace {

using namespace ScreenCapture;

TEST(StitchBitmap, RoundTripKeepsBottomUpRowsAndEveryByte) {
  PixelImage image;
  image.width = 37;
  image.height = 23;
  image.pixels.resize(37 * 23);
  for (size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = static_cast<uint32_t>(i * 2654435761u);
  DuiLib::Bitmap bitmap(CreateBitmapFromPixels(image));
  ASSERT_TRUE(bitmap);
  // Stored row 0 is the bottom row of the picture.
  DuiLib::MemoryDC dc(nullptr);
  DuiLib::SelectGuard select(dc.Get(), bitmap.Get());
  const COLORREF bottomLeft = ::GetPixel(dc.Get(), 0, 22);
  EXPECT_EQ(bottomLeft, RGB((image.pixels[0] >> 16) & 0xFF, (image.pixels[0] >> 8) & 0xFF, image.pixels[0] & 0xFF));
  PixelImage back;
  ASSERT_TRUE(ReadBitmapPixels(bitmap.Get(), back));
  EXPECT_EQ(back.width, 37);
  EXPECT_EQ(back.height, 23);
  EXPECT_TRUE(back.pixels == image.pixels);

  PixelImage none;
  EXPECT_FALSE(ReadBitmapPixels(nullptr, none));
  EXPECT_EQ(CreateBitmapFromPixels(none), nullptr);

  // A join through bitmaps: the stitching works on what the adapter reads.
  PixelImage frame = image;
  for (int r = 0; r + 5 < 23; ++r) std::copy(image.Row(r + 5), image.Row(r + 5) + 37, frame.Row(r));
  DuiLib::Bitmap frameBitmap(CreateBitmapFromPixels(frame));
  PixelImage a, b;
  ASSERT_TRUE(ReadBitmapPixels(bitmap.Get(), a));
  ASSERT_TRUE(ReadBitmapPixels(frameBitmap.Get(), b));
  int joinedHeight = 0;
  StitchEnvironment env;
  env.setCaptureImage = [&](PixelImage&& joined, int height) { joinedHeight = height; };
  StitchState state;
  state.marginsGuessed = true;
  CFrameStitcher stitcher(env);
  EXPECT_EQ(stitcher.Combine(a, b, 37, 120, state), COMPARE_RESULT_COMBINE);
  EXPECT_EQ(joinedHeight, 28);
}

}  // namespace
