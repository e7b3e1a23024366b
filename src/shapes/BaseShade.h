#pragma once
// The common base of every shape: fields and defaults, the mouse state
// machine (create, select, move, resize), clamping into the region and the
// coordinate hooks that the scroll editor's shapes override.
#include <memory>

#include "contracts/IShade.h"
#include "contracts/IShade.h"

namespace ScreenCapture {

class ICaptureControl;

// Shared ownership of itself lets a listed shape hand its undo commands a
// pointer that keeps it alive.
class CBaseShade : public virtual IBaseShade, public std::enable_shared_from_this<CBaseShade> {
 public:
  CBaseShade() = default;
  ~CBaseShade() override = default;

  // IShade
  bool HitTestExtra(const Point&) override { return false; }
  const int& GetState() const override { return m_state; }
  void SetState(int state) override { m_state = state; }
  bool IsSelected() const override { return m_selected != 0; }
  void SetSelected(bool selected) override;
  const ARGB& GetColor() const override { return m_color; }
  void SetColor(ARGB color) override;
  const ARGB& GetSecondaryColor() const override { return m_secondaryColor; }
  void SetSecondaryColor(ARGB color) override;
  const int& GetWidth() const override { return m_width; }
  void SetWidth(int width) override;
  Rect GetRect() const override { return m_rect; }
  Rect GetLimitRect() override;
  int GetStrokeWidth() const override { return m_width; }
  void SetScrollOffset(int offset) override { m_scrollOffset = offset; }
  const int& GetScrollOffset() const override { return m_scrollOffset; }

  // IBaseShade
  void OnLButtonDblClk(Point&, bool&) override {}
  void OnLButtonDown(Point& pt, bool& handled) override;
  void OnMouseMove(Point& pt, bool& handled) override;
  void OnLButtonUp(Point& pt, bool& handled) override;
  void BeginCreate(Point& pt, bool& handled) override;
  void BeginResize(Point& pt, bool& handled) override;
  void BeginMove(Point& pt, bool& handled) override;
  void OnCreateStart(Point& pt, bool& handled) override;
  void OnCreating(Point& pt, bool& handled) override;
  void OnHoverHandle(Point& pt, bool& handled) override;
  void OnHoverBody(Point& pt, bool& handled) override;
  void OnMoving(Point& pt, bool& handled) override;
  void OnResizing(Point&, bool&) override {}
  bool IsEditing() const override { return false; }
  bool IsValid() const override { return m_rect.width >= 1 && m_rect.height >= 1; }
  // No undo of its edits here: each kind that can be moved or resized makes
  // its own command.
  std::shared_ptr<ICommand> MakeEditCommand() override { return nullptr; }
  bool RepaintsByArea() const override { return false; }
  unsigned GetChangeCount() const override { return m_changeCount; }

  // Called when a press hits HitTestExtra.
  virtual void OnExtraPress(Point&, bool&) {}
  // Called at release: did the last press-drag change the shape?
  virtual bool IsChanged() const = 0;
  // Coordinate hooks; identity here, the scroll editor's shapes add their
  // scroll offset.
  virtual Rect GetDrawRect() const { return m_rect; }
  virtual Rect GetViewRect() const { return m_rect; }
  virtual Rect MapRect(const Rect& rect) const { return rect; }
  virtual Rect MapRectToView(const Rect& rect) const { return rect; }
  virtual Point MapPointToView(const Point& pt) const { return pt; }
  virtual void MapPointFromView(Point&) const {}

  // Values the undo commands read and restore.
  const Rect& GetPressRect() const { return m_pressRect; }
  void SetPressRect(const Rect& rect) { m_pressRect = rect; }
  const Point& GetStartPoint() const { return m_startPoint; }
  const Point& GetEndPoint() const { return m_endPoint; }
  int GetHandleRadius() const { return m_handleRadius; }

  // The part of the drawing surface being painted, in world coordinates
  // (a huge rectangle when the clip cannot be read).
  static Rect VisibleBounds(Gdiplus::Graphics* graphics);
  // The offset of the graphics' world transform, which plain GDI on its DC
  // does not see (the result is drawn shifted by the region's corner).
  static Point DeviceOffset(Gdiplus::Graphics* graphics);
  // The current capture mode's scroll offset: how many rows of the long
  // image lie above the editor's view (0 in every other mode).
  static int EditorScrollOffset();
  // A handle as every shape shows it: a white dot with a thin red ring.
  static void DrawHandleBox(Gdiplus::Graphics* graphics, const Rect& box);

 protected:
  // Every visible change comes through here: counts it and asks the capture
  // control to repaint.
  void RequestRepaint();
  // Asks for the repaint of `area` only (capture client coordinates).
  void RequestRepaintArea(const Rect& area);
  // The capture control of this process, or null.
  static ICaptureControl* ActiveControl();
  // True when the press-drag that is ending moved or resized the shape (the
  // state tells which) and changed it.
  bool EditedByDrag() const { return (m_state == kStateMoving || m_state == kStateResizing) && IsChanged(); }
  // This shape as `Shape` (`me` is `this`), sharing the ownership of the
  // pointer that holds it; null when no shared pointer holds it.
  template <class Shape>
  std::shared_ptr<Shape> SharedSelf(Shape* me) {
    const std::shared_ptr<CBaseShade> owner = weak_from_this().lock();
    return owner ? std::shared_ptr<Shape>(owner, me) : nullptr;
  }
  // Keeps a point inside the limit rectangle by half the stroke width.
  void ClampToLimit(Point& pt);
  // `r` moved as far as the pointer moved since the last move.
  Rect DraggedTo(Rect r, const Point& pt) const {
    r.x += pt.x - m_lastPoint.x;
    r.y += pt.y - m_lastPoint.y;
    return r;
  }

  Point m_startPoint;
  Point m_endPoint;
  Point m_pressPoint;
  Rect m_pressRect;
  Point m_lastPoint;
  Rect m_rect;
  int m_selected = 0;
  int m_state = kStateNew;
  ARGB m_color = 0xFF000000;
  ARGB m_secondaryColor = 0xFF2F81FC;
  int m_width = kSizeMiddle;
  int m_handleRadius = 8;
  int m_handleBorderWidth = 1;
  int m_scrollOffset = 0;
  unsigned m_changeCount = 0;
  // Set while a subclass repaints a change itself, area by area.
  bool m_repaintSuppressed = false;
};

}  // namespace ScreenCapture
