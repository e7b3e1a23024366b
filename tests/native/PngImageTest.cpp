#include <gtest/gtest.h>

#include <string>

#include "PngBuilder.h"
#include "core/PngImage.h"

using namespace ScreenCapture;

TEST(PngImage, DecodesToPremultipliedPixels) {
  // Opaque red, half-transparent white, fully transparent blue.
  const std::string png = pngtest::Encode(3, 1, {0xFF0000FFu, 0xFFFFFF80u, 0x0000FF00u});
  DecodedImage image;
  std::string error;
  ASSERT_TRUE(DecodePng(reinterpret_cast<const uint8_t*>(png.data()), png.size(), image, &error)) << error;
  EXPECT_EQ(image.width, 3);
  EXPECT_EQ(image.height, 1);
  EXPECT_TRUE(image.hasAlpha);
  EXPECT_EQ(image.pixels[0], 0xFFFF0000u);
  EXPECT_EQ(image.pixels[1], 0x80808080u);
  EXPECT_EQ(image.pixels[2], 0x00000000u);

  // Junk, a cut file and nothing at all are refused.
  EXPECT_FALSE(DecodePng(reinterpret_cast<const uint8_t*>("notapng"), 7, image, &error));
  EXPECT_FALSE(DecodePng(reinterpret_cast<const uint8_t*>(png.data()), png.size() / 2, image, &error));
  EXPECT_FALSE(DecodePng(nullptr, 0, image, &error));
  EXPECT_TRUE(image.pixels.empty());
}
