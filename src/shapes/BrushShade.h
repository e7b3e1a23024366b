#pragma once
// Freehand strokes: the brush annotation (type 5), the pointer's path
// stroked in a colour, and the mosaic (type 6), the same path painted with
// the pixelated picture instead.
#include <memory>
#include <vector>

#include "shapes/BaseShade.h"

namespace Gdiplus {
class Pen;
}

namespace ScreenCapture {

class CBrushShade : public CBaseShade {
 public:
  int GetType() const override { return kShapeBrush; }
  void Draw(Gdiplus::Graphics* graphics, bool withoutHandles) override;
  // Within the stroke and 1.5 pixels on each side of it.
  bool HitTest(const Point& pt) override;
  bool HitTestHandle(const Point&) override { return false; }
  bool IsValid() const override { return m_points.size() > 1; }
  bool IsChanged() const override { return m_startPoint != m_endPoint; }
  // A move: the offset at the press and the current one (a stroke is never
  // resized).
  std::shared_ptr<ICommand> MakeEditCommand() override;
  // The stroke begins at the press once the pointer has left the drag
  // rectangle; a click makes nothing.
  void OnCreateStart(Point& pt, bool& handled) override;
  void BeginMove(Point& pt, bool& handled) override;
  void OnCreating(Point& pt, bool& handled) override;
  void OnMoving(Point& pt, bool& handled) override;
  bool RepaintsByArea() const override { return m_state == kStatePressed || m_state == kStateCreating; }

  // Translates the stroke so that the current offset becomes `pt`; called by
  // the moves and by the move command. False when there was nothing to move.
  virtual bool MoveTo(const Point& pt);
  // The offset at the press that began a move, and the current one.
  const Point& GetPressOffset() const { return m_endPoint; }
  const Point& GetOffset() const { return m_startPoint; }
  void SetOffset(const Point& offset) { m_startPoint = offset; }
  const std::vector<Point>& GetPoints() const { return m_points; }

 protected:
  // Called by Draw with the pen to stroke with: only the parts of the path
  // near the area being painted are drawn.
  void StrokeWith(Gdiplus::Graphics* graphics, Gdiplus::Pen* pen) const;
  void AddPoint(const Point& pt);

  std::vector<Point> m_points;
};

class CMosaicShade : public CBrushShade {
 public:
  int GetType() const override { return kShapeMosaic; }
  // 16, 24 or 32 pixels for the three size presets.
  int GetStrokeWidth() const override;
  // The capture control's textured pen for this width; nothing without one.
  // The colour plays no part.
  void Draw(Gdiplus::Graphics* graphics, bool withoutHandles) override;
  // A mosaic is never selected, moved or deleted by hand: only undo takes it.
  bool HitTest(const Point&) override { return false; }
};

}  // namespace ScreenCapture
