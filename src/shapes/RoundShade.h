#pragma once
// The ellipse annotation (type 3): grabbed by its ring, framed in red with
// handles while selected.
#include <memory>

#include "shapes/RectShade.h"

namespace Gdiplus {
class Region;
}

namespace ScreenCapture {

class CRoundShade : public CRectShade {
 public:
  CRoundShade();
  ~CRoundShade() override;

  int GetType() const override { return kShapeEllipse; }
  void Draw(Gdiplus::Graphics* graphics, bool withoutHandles) override;
  bool HitTest(const Point& pt) override;
  // An unselected ellipse shows no handles and cannot be resized.
  bool HitTestHandle(const Point& pt) override { return IsSelected() && CRectShade::HitTestHandle(pt); }
  // Rebuilds the ring when the rectangle changed.
  bool SetRect(const Rect& rect) override;
  // The ring is as thick as the stroke: rebuilt when the width changes.
  void SetWidth(int width) override;
  int GetFrameWidth() const override { return 1; }
  const ARGB& GetFrameColor() const override { return m_boundsColor; }

 private:
  void RebuildRing();

  std::unique_ptr<Gdiplus::Region> m_ring;
  int m_regionStatus = 0;
  ARGB m_boundsColor = 0xFFFF0000;
};

}  // namespace ScreenCapture
