#include "core/PngImage.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 8192
#include <stb_image.h>

#include <climits>

namespace ScreenCapture {

bool DecodePng(const uint8_t* data, size_t size, DecodedImage& image, std::string* error) {
  image = DecodedImage();
  if (!data || size == 0 || size > static_cast<size_t>(INT_MAX)) {
    if (error) *error = "no data";
    return false;
  }
  int width = 0;
  int height = 0;
  int channels = 0;
  stbi_uc* rgba = stbi_load_from_memory(data, static_cast<int>(size), &width, &height, &channels, 4);
  if (!rgba) {
    if (error) *error = stbi_failure_reason() ? stbi_failure_reason() : "not a PNG";
    return false;
  }
  if (width <= 0 || height <= 0 || width > kMaxSkinImageSide || height > kMaxSkinImageSide) {
    stbi_image_free(rgba);
    if (error) *error = "image too large";
    return false;
  }
  image.width = width;
  image.height = height;
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  image.pixels.resize(count);
  for (size_t i = 0; i < count; ++i) {
    const uint32_t r = rgba[i * 4];
    const uint32_t g = rgba[i * 4 + 1];
    const uint32_t b = rgba[i * 4 + 2];
    const uint32_t a = rgba[i * 4 + 3];
    if (a != 255) image.hasAlpha = true;
    // Premultiply with rounding: (c * a + 127) / 255.
    image.pixels[i] = (a << 24) | (((r * a + 127) / 255) << 16) | (((g * a + 127) / 255) << 8) | ((b * a + 127) / 255);
  }
  stbi_image_free(rgba);
  return true;
}

}  // namespace ScreenCapture
