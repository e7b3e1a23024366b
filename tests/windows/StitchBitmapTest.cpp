#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "Stubs.h"
#include "common/Handles.h"
#include "scroll/StitchBitmap.h"

std::atomic<size_t> stubs::failArrayOf{0};

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  size_t failing = size;
  if (size != 0 && stubs::failArrayOf.compare_exchange_strong(failing, 0)) return nullptr;
  return ::operator new(size, std::nothrow);
}

namespace {

using namespace ScreenCapture;

TEST(StitchBitmap, RoundTripKeepsBottomUpRowsAndEveryByte) {
  // A long image with spare rows on both sides of its own: only its rows
  // reach the bitmap.
  PixelImage image;
  image.width = 37;
  image.height = 23;
  image.first = 4;
  image.pixels.resize(37 * 30);
  for (size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = static_cast<uint32_t>(i * 2654435761u);
  ScreenCapture::UniqueBitmap bitmap = CreateBitmapFromPixels(image);
  ASSERT_TRUE(bitmap);
  // Stored row 0 is the bottom row of the picture.
  ScreenCapture::MemoryDC dc(nullptr);
  ScreenCapture::SelectGuard select(dc.Get(), bitmap.Get());
  const uint32_t bottom = image.Row(0)[0];
  EXPECT_EQ(::GetPixel(dc.Get(), 0, 22), RGB((bottom >> 16) & 0xFF, (bottom >> 8) & 0xFF, bottom & 0xFF));
  PixelImage back;
  ASSERT_TRUE(ReadBitmapPixels(bitmap.Get(), back));
  EXPECT_EQ(back.width, 37);
  EXPECT_EQ(back.height, 23);
  EXPECT_TRUE(std::equal(back.Row(0), back.Row(0) + 37 * 23, image.Row(0)));

  PixelImage none;
  EXPECT_FALSE(ReadBitmapPixels(nullptr, none));
  EXPECT_FALSE(CreateBitmapFromPixels(none));

  // A screen grab whose pixels find no memory fails and leaves no picture.
  PixelImage grabbed;
  EXPECT_TRUE(GrabScreenPixels(0, 0, 8, 4, grabbed));
  EXPECT_TRUE(grabbed.Valid());
  stubs::failArrayOf = 8 * 4 * 4;
  EXPECT_FALSE(GrabScreenPixels(0, 0, 8, 4, grabbed));
  EXPECT_EQ(stubs::failArrayOf, 0u);
  EXPECT_FALSE(grabbed.Valid());
  EXPECT_EQ(grabbed.width, 0);
}

}  // namespace
