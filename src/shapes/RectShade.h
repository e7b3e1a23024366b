#pragma once
// A shape whose geometry is one axis-aligned rectangle with eight resize
// handles: the base of the rectangle and ellipse annotations and of the
// capture selection.
#include <map>
#include <memory>

#include "shapes/BaseShade.h"

namespace ScreenCapture {

class CRectShade : public CBaseShade {
 public:
  CRectShade() = default;

  bool IsChanged() const override { return m_rect != m_pressRect; }
  // A move or a resize: the rectangle at the press and the current one.
  std::shared_ptr<ICommand> MakeEditCommand() override;
  // The handles sit on the frame's middle line: a new width moves them.
  void SetWidth(int width) override;
  bool HitTestHandle(const Point& pt) override;
  void BeginResize(Point& pt, bool& handled) override;
  void OnHoverHandle(Point& pt, bool& handled) override;
  void OnCreating(Point& pt, bool& handled) override;
  void OnMoving(Point& pt, bool& handled) override;
  void OnResizing(Point& pt, bool& handled) override;

  // Stores a new rectangle; false when it is the current one. Rebuilds the
  // handles and asks for a repaint.
  virtual bool SetRect(const Rect& rect);
  // The width and colours the frame is drawn with.
  virtual int GetFrameWidth() const { return m_width; }
  virtual const ARGB& GetFrameColor() const { return m_color; }
  virtual const ARGB& GetFrameSecondaryColor() const { return m_secondaryColor; }
  // Called for each handle box when handles are drawn.
  virtual void DrawHandle(Gdiplus::Graphics* graphics, const Rect& box);
  virtual bool ShouldShowHandles() const { return IsSelected(); }
  // Called while moving, before SetRect, with the moved rectangle.
  virtual void AdjustMovedRect(Rect&) {}
  // Recomputes the handle boxes from GetRect and GetFrameWidth.
  virtual void UpdateHandles();
  // Draws GetDrawRect with a pen of the frame colour and width.
  virtual void DrawFrame(Gdiplus::Graphics* graphics);
  // Draws the frame a pen of `width` would draw on `r` as fills, when that
  // gives the same pixels (opaque, odd width); false when it does not.
  static bool FillFrame(Gdiplus::Graphics* graphics, const Rect& r, int width, ARGB color);

  const std::map<int, Rect>& GetHandles() const { return m_handles; }
  int GetGrabbedHandle() const { return m_grabbedHandle; }

 protected:
  // The lowest handle index whose box (in view space) holds the point, or -1.
  int FindHandle(const Point& pt) const;
  // Squares the end point when Shift is down; true when Shift was down.
  bool ApplySquare(const Point& anchor, const Point& pointer, Point& end);
  void DrawAllHandles(Gdiplus::Graphics* graphics);

  std::map<int, Rect> m_handles;
  int m_grabbedHandle = -1;
};

// The rectangle annotation (type 2).
class CSquareFrameShade : public CRectShade {
 public:
  int GetType() const override { return kShapeRectangle; }
  void Draw(Gdiplus::Graphics* graphics, bool withoutHandles) override;
  // Only a band of width + 3 pixels along the inside of the frame grabs it.
  bool HitTest(const Point& pt) override;
};

bool IsShiftDown();

}  // namespace ScreenCapture
