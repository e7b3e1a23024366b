#pragma once
// The annotations of the long-image editor. Each is its plain counterpart
// with the coordinate hooks moved by two scroll offsets: its own, o (the
// editor's offset when it was started: its coordinates are view coordinates
// of that moment), and the editor's current one, e. It is drawn into the
// long image at y + o, hit-tested and given handles in the view at y + o - e,
// and a pointer in the view comes into its space at y + e - o. A shape
// started at one offset and edited at another stays where it is on the image.
#include "shapes/ArrowShade.h"
#include "shapes/BrushShade.h"
#include "shapes/RectShade.h"
#include "shapes/RoundShade.h"
#include "shapes/TextShape.h"

namespace ScreenCapture {

template <class Plain>
class CScrollShadeOf : public Plain {
 public:
  using Plain::Plain;

  Rect GetDrawRect() const override { return Lowered(this->m_rect, Own()); }
  Rect GetViewRect() const override { return Lowered(this->m_rect, Own() - CBaseShade::EditorScrollOffset()); }
  Rect MapRect(const Rect& rect) const override { return Lowered(rect, Own()); }
  Rect MapRectToView(const Rect& rect) const override {
    return Lowered(rect, Own() - CBaseShade::EditorScrollOffset());
  }
  Point MapPointToView(const Point& pt) const override {
    return Point{pt.x, pt.y + Own() - CBaseShade::EditorScrollOffset()};
  }
  void MapPointFromView(Point& pt) const override { pt.y += CBaseShade::EditorScrollOffset() - Own(); }

 private:
  int Own() const { return this->GetScrollOffset(); }
  static Rect Lowered(Rect rect, int rows) {
    rect.y += rows;
    return rect;
  }
};

class CScrollSquareShade final : public CScrollShadeOf<CSquareFrameShade> {};
class CScrollRoundShade final : public CScrollShadeOf<CRoundShade> {};
class CScrollArrawShade final : public CScrollShadeOf<CArrawShade> {};
class CScrollBrushShade final : public CScrollShadeOf<CBrushShade> {};
class CScrollMosaicShade final : public CScrollShadeOf<CMosaicShade> {};
class CScrollTextShade final : public CScrollShadeOf<CTextShape> {};
class CScrollSerializedText final : public CScrollShadeOf<CSerializedText> {
 public:
  using CScrollShadeOf<CSerializedText>::CScrollShadeOf;
};

}  // namespace ScreenCapture
