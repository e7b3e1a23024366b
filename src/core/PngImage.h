#pragma once
// Skin images: PNG files decoded to 32-bit pixels ready for alpha blending.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ScreenCapture {

struct DecodedImage {
  int width = 0;
  int height = 0;
  // Top row first; each pixel 0xAARRGGBB with the colour premultiplied by
  // the alpha (what AlphaBlend and UpdateLayeredWindow expect).
  std::vector<uint32_t> pixels;
  bool hasAlpha = false;  // some pixel is not fully opaque
};

// False (with a reason) for data that is not a PNG of sane size.
bool DecodePng(const uint8_t* data, size_t size, DecodedImage& image, std::string* error = nullptr);

// The largest side of a skin image we accept.
inline constexpr int kMaxSkinImageSide = 8192;

}  // namespace ScreenCapture
