#pragma once
// The arrow annotation (type 4): one filled polygon from the start point to
// the tip, with a handle on each end.
#include <array>
#include <memory>

#include "core/StrokeGeometry.h"
#include "shapes/BaseShade.h"

namespace ScreenCapture {

class CArrawShade : public CBaseShade {
 public:
  int GetType() const override { return kShapeArrow; }
  void Draw(Gdiplus::Graphics* graphics, bool withoutHandles) override;
  bool HitTest(const Point& pt) override;
  // In the idle state also notes which end a following resize drags.
  bool HitTestHandle(const Point& pt) override;
  // The head's opening follows the width.
  void SetWidth(int width) override;
  bool IsChanged() const override { return m_startPoint != m_savedStart || m_endPoint != m_savedEnd; }
  // A move or a resize: both ends at the press and the current ones.
  std::shared_ptr<ICommand> MakeEditCommand() override;
  // Exactly horizontal and vertical arrows are valid (their outline has an
  // area); a click, whose ends are one point, is not.
  bool IsValid() const override { return m_placed && m_startPoint != m_endPoint; }
  void BeginMove(Point& pt, bool& handled) override;
  void BeginResize(Point& pt, bool& handled) override;
  void OnCreating(Point& pt, bool& handled) override;
  void OnMoving(Point& pt, bool& handled) override;
  void OnResizing(Point& pt, bool& handled) override;

  // Stores both ends and rebuilds the outline; the undo commands call it.
  void SetPoints(const Point& start, const Point& end);
  const Point& GetSavedStart() const { return m_savedStart; }
  const Point& GetSavedEnd() const { return m_savedEnd; }
  const std::array<PointF, 7>& GetOutline() const { return m_outline; }

 private:
  void SaveEnds();

  std::array<PointF, 7> m_outline{};
  bool m_placed = false;  // SetPoints has run
  Point m_savedStart;
  Point m_savedEnd;
  Rect m_startBox;
  Rect m_endBox;
  int m_grabbedEnd = 0;  // 1: the start handle was pressed
};

}  // namespace ScreenCapture
