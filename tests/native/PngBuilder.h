#pragma once
// Encodes small RGBA images as PNG files for tests (filter 0, one IDAT).
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace pngtest {

inline void Chunk(std::string& out, const char* type, const std::string& data) {
  const auto put32 = [&](uint32_t v) {
    out.push_back(static_cast<char>(v >> 24));
    out.push_back(static_cast<char>(v >> 16));
    out.push_back(static_cast<char>(v >> 8));
    out.push_back(static_cast<char>(v));
  };
  put32(static_cast<uint32_t>(data.size()));
  const std::string body = std::string(type, 4) + data;
  out += body;
  put32(static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}

// `rgba` holds width * height pixels as 0xRRGGBBAA.
inline std::string Encode(int width, int height, const std::vector<uint32_t>& rgba) {
  std::string raw;
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);
    for (int x = 0; x < width; ++x) {
      const uint32_t p = rgba[static_cast<size_t>(y) * width + x];
      raw.push_back(static_cast<char>(p >> 24));
      raw.push_back(static_cast<char>(p >> 16));
      raw.push_back(static_cast<char>(p >> 8));
      raw.push_back(static_cast<char>(p));
    }
  }
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(size, '\0');
  compress(reinterpret_cast<Bytef*>(&packed[0]), &size, reinterpret_cast<const Bytef*>(raw.data()),
           static_cast<uLong>(raw.size()));
  packed.resize(size);
  std::string header;
  const auto put32 = [&](uint32_t v) {
    header.push_back(static_cast<char>(v >> 24));
    header.push_back(static_cast<char>(v >> 16));
    header.push_back(static_cast<char>(v >> 8));
    header.push_back(static_cast<char>(v));
  };
  put32(static_cast<uint32_t>(width));
  put32(static_cast<uint32_t>(height));
  header += std::string("\x08\x06\x00\x00\x00", 5);  // 8-bit RGBA
  std::string png("\x89PNG\r\n\x1a\n", 8);
  Chunk(png, "IHDR", header);
  Chunk(png, "IDAT", packed);
  Chunk(png, "IEND", "");
  return png;
}

}  // namespace pngtest
