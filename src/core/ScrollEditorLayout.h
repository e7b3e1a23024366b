#pragma once
// The long-image editor's view as numbers: where the editor sits on the
// primary monitor, how far the view scrolls, its scroll bar's thumb and what
// a press in the bar means. Rows are those of the long image; the view shows
// rows [offset, offset + view height).
#include "core/Geometry.h"

namespace ScreenCapture {

inline constexpr int kEditorScrollRows = 120;  // one wheel notch or arrow key
inline constexpr int kEditorThumbWidth = 10;

// The editor's selection: centred on the monitor when narrower than it; as
// high as the long image plus its frame when that fits with 100 pixels
// above and below, else from 100 pixels below the monitor's top to 100
// above its bottom. A selection as wide as the monitor stays as it is.
constexpr Rect PlaceEditor(const Rect& selection, const Rect& monitor, int longHeight, int frame) {
  if (selection.width >= monitor.width) return selection;
  Rect r = selection;
  r.x = monitor.x + (monitor.width - selection.width) / 2;
  if (longHeight < monitor.height - 200) {
    r.y = monitor.y + (monitor.height - longHeight) / 2;
    r.height = longHeight + 2 * frame;
  } else {
    r.y = monitor.y + 100;
    r.height = monitor.height - 200 + 2 * frame;
  }
  return r;
}

// The offset kept inside 0 .. longHeight - viewHeight (0 when the image is
// no higher than the view).
constexpr int ClampOffset(long long offset, int longHeight, int viewHeight) {
  const long long most = longHeight > viewHeight ? static_cast<long long>(longHeight) - viewHeight : 0;
  return static_cast<int>(offset < 0 ? 0 : offset > most ? most : offset);
}

// The offset after scrolling by `rows` (down positive); nothing moves when
// the whole image fits the view.
constexpr int ScrollOffsetBy(int offset, int rows, int longHeight, int viewHeight) {
  if (longHeight <= viewHeight) return offset;
  return ClampOffset(static_cast<long long>(offset) + rows, longHeight, viewHeight);
}

// The thumb at the view's right edge; empty when there is no bar.
constexpr Rect ThumbRect(const Rect& view, int longHeight, int offset) {
  if (longHeight <= view.height || longHeight <= 0) return Rect{};
  const long long top = static_cast<long long>(view.height) * offset / longHeight;
  const long long height = static_cast<long long>(view.height) * view.height / longHeight;
  return Rect{view.Right() - kEditorThumbWidth, view.y + static_cast<int>(top), kEditorThumbWidth,
              static_cast<int>(height)};
}

// The offset a thumb drag gives: the thumb follows the pointer.
constexpr int DragOffset(int startOffset, int pointerDelta, int longHeight, int viewHeight) {
  if (viewHeight <= 0) return startOffset;
  return ClampOffset(startOffset + static_cast<long long>(pointerDelta) * longHeight / viewHeight, longHeight,
                     viewHeight);
}

// What a press in the view means for the scroll bar.
enum class BarPress {
  kNone,    // not in the bar: the editor's usual handling
  kThumb,   // on the thumb: a drag starts
  kAbove,   // in the bar above the thumb: a page up
  kBelow,   // in the bar below the thumb: a page down
  kBeside,  // level with the thumb but outside the bar: nothing (logged)
};
constexpr BarPress ClassifyBarPress(const Rect& thumb, Point pt) {
  if (thumb.IsEmpty()) return BarPress::kNone;
  const bool inBar = pt.x >= thumb.x && pt.x < thumb.Right();
  const bool level = pt.y >= thumb.y && pt.y < thumb.Bottom();
  if (level) return inBar ? BarPress::kThumb : BarPress::kBeside;
  if (!inBar) return BarPress::kNone;
  return pt.y < thumb.y ? BarPress::kAbove : BarPress::kBelow;
}

}  // namespace ScreenCapture
