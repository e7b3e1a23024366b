#pragma once
// Layout arithmetic and attribute values of the skin: how containers place
// their children, and how attribute text turns into numbers. No drawing here.
#include <cstdint>
#include <string>
#include <vector>

#include "core/Geometry.h"

namespace ScreenCapture {

// Up to `count` comma-separated integers ("0,8,0,0", "0, 51"); missing ones
// are 0, junk after a number is ignored. Returns how many were read.
int ParseIntList(const std::string& text, int* values, int count);
Margins ParseMargins(const std::string& text);
// "#AARRGGBB" or "#RRGGBB" (alpha FF), also without "#" or with "0x".
bool ParseColor(const std::string& text, uint32_t& argb);
bool ParseBool(const std::string& text);

// An image attribute: a bare file name, or "file='a.png' dest='2,2,14,14'".
struct ImageAttribute {
  std::string file;
  bool hasDest = false;
  Rect dest;  // relative to the control, from left, top, right, bottom
};
ImageAttribute ParseImageAttribute(const std::string& text);

enum class LayoutKind { kStack, kVertical, kHorizontal };

struct LayoutChild {
  bool visible = true;
  bool floating = false;
  Rect floatEdges;  // "pos": left, top, right, bottom relative to the parent
  int fixedWidth = 0;   // 0 stretches
  int fixedHeight = 0;  // 0 stretches
  Margins padding;
};

// Where each child goes inside `box`. Stack: every flowing child fills the
// inset area. Vertical and horizontal: flowing children follow each other
// with their padding; fixed sizes are kept and the space left is shared by
// the stretching children (the last one takes the remainder). Floating
// children sit at their "pos" relative to the parent's box, sized by their
// fixed size where given. Hidden children get an empty rectangle.
std::vector<Rect> ArrangeChildren(LayoutKind kind, const Rect& box, const Margins& inset,
                                  const std::vector<LayoutChild>& children);

}  // namespace ScreenCapture
