#pragma once
// Skin DPI steps. The system DPI is snapped down to 96, 144, 192, 288 or 384
// (scale 1, 1.5, 2, 3, 4); sizes of the skin are multiplied by the scale and
// each product is truncated on its own.
#include <string>

namespace ScreenCapture {

constexpr int SnapDpi(int systemDpi) {
  return systemDpi >= 384 ? 384 : systemDpi >= 288 ? 288 : systemDpi >= 192 ? 192 : systemDpi >= 144 ? 144 : 96;
}

// value * dpi / 96, truncated toward zero.
constexpr int ScaleByDpi(int value, int dpi) {
  return static_cast<int>(static_cast<long long>(value) * dpi / 96);
}

// "" at 96, "@150" at 144, "@200" at 192, "@300" at 288, "@400" at 384.
constexpr const char* DpiImageSuffix(int snappedDpi) {
  return snappedDpi >= 384 ? "@400" : snappedDpi >= 288 ? "@300" : snappedDpi >= 192 ? "@200"
       : snappedDpi >= 144 ? "@150" : "";
}

// "Res/panel.png" at 144 DPI -> "Res/panel@150.png"; unchanged at 96 DPI.
inline std::string DpiVariantName(const std::string& name, int snappedDpi) {
  const std::string suffix = DpiImageSuffix(snappedDpi);
  if (suffix.empty()) return name;
  const size_t slash = name.find_last_of("/\\");
  const size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return name + suffix;
  return name.substr(0, dot) + suffix + name.substr(dot);
}

}  // namespace ScreenCapture
