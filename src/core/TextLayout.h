#pragma once
// The arithmetic of a text box: what is measured while typing, how wide the
// box is and where it sits when it reaches the region's edges. The text
// itself is measured by the caller (GDI+ and GDI); this is value code.
#include <cmath>
#include <string>

#include "core/Geometry.h"

namespace ScreenCapture {

// Space between the box's edge and its text.
struct TextMargins {
  int left = 3;
  int top = 3;
  int right = 3;
  int bottom = 3;
};

inline constexpr int kMinTextBoxWidth = 90;
// Measured in place of an empty last line, so that it counts a line high.
inline constexpr wchar_t kTextPlaceholder[] = L"\u5360\u4F4D";

// The text a layout measures: `text` with `inserted` (what is being typed or
// pasted) in place of the characters [from, to), and the placeholder after
// an empty last line. Positions beyond the end count as the end.
std::wstring TextForMeasure(const std::wstring& text, const std::wstring& inserted, size_t from, size_t to);

// How much room the text has to the right: from the box's text edge to the
// limit's right edge.
constexpr int TextRoomRight(const Rect& box, const Rect& limit, const TextMargins& m) {
  return limit.x + limit.width - box.x - m.left - m.right;
}

struct TextWidths {
  int box = 0;
  int text = 0;
};
// The box fits its measured text, and is never narrower than the minimum.
inline TextWidths BoxWidths(double measuredWidth, const TextMargins& m) {
  const int text = static_cast<int>(std::ceil(measuredWidth));
  if (text + m.left + m.right < kMinTextBoxWidth) return {kMinTextBoxWidth, kMinTextBoxWidth - m.left - m.right};
  return {text + m.left + m.right, text};
}

struct TextSpan {
  int top = 0;
  int height = 0;
};
// The text's vertical place once the box is fitted into `limit`: cut to the
// limit when taller than it, moved up when it would cross the bottom edge
// (the box's top at `boxTop`). Otherwise it stays where it is.
constexpr TextSpan FitTextSpan(TextSpan text, int boxTop, const Rect& limit, const TextMargins& m) {
  if (limit.height < text.height + m.top + m.bottom) {
    return TextSpan{limit.y + m.top, limit.height - m.top - m.bottom};
  }
  if (limit.y + limit.height < m.top + m.bottom + boxTop + text.height) {
    text.top = limit.y + limit.height - m.bottom - text.height;
  }
  return text;
}

// The box around a text span with the box width.
constexpr Rect BoxAround(int x, const TextSpan& text, int boxWidth, const TextMargins& m) {
  return Rect{x, text.top - m.top, boxWidth, text.height + m.top + m.bottom};
}

// The numbered marker's disc: `size` across, 10 pixels left of the box and
// centred on it vertically.
constexpr Rect DiscBeside(const Rect& box, int size) {
  return Rect{box.x - size - 10, box.y + box.height / 2 - size / 2, size, size};
}

}  // namespace ScreenCapture
