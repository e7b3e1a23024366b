#pragma once
// The two shape interfaces. Every annotation (and the capture selection
// itself) is a shape; the capture mode hands mouse events to them.
#include <cstdint>
#include <memory>

#include "core/Geometry.h"
#include "core/ShapeStates.h"

namespace Gdiplus {
class Graphics;
class Bitmap;
class Font;
}

namespace ScreenCapture {

class ICommand;
using ARGB = uint32_t;

// Shape type numbers (GetType); the toolbar's tool numbers are the same, 0
// meaning no tool.
enum ShapeType : int {
  kShapeNone = 0,
  kShapeCapture = 1,
  kShapeRectangle = 2,
  kShapeEllipse = 3,
  kShapeArrow = 4,
  kShapeBrush = 5,
  kShapeMosaic = 6,
  kShapeText = 7,
  kShapeNumberedText = 8,
};

// Edit states: see core/ShapeStates.h.

// Colour presets of the toolbar (ARGB).
inline constexpr ARGB kColorRed = 0xFFFF2600;
inline constexpr ARGB kColorYellow = 0xFFFFEB02;
inline constexpr ARGB kColorBlue = 0xFF04B4FF;
inline constexpr ARGB kColorGreen = 0xFF61ED00;
inline constexpr ARGB kColorGray = 0xFF666666;
inline constexpr ARGB kColorWhite = 0xFFFFFFFF;
// Stroke width presets.
inline constexpr int kSizeSmall = 1;
inline constexpr int kSizeMiddle = 3;
inline constexpr int kSizeBig = 5;

class IShade {
 public:
  // Called by the capture mode's painting: on the screen (`withoutHandles`
  // false: handles of a selected shape shown) or for the result image.
  virtual void Draw(Gdiplus::Graphics* graphics, bool withoutHandles) = 0;
  // Called by the capture mode to find what a press would grab.
  virtual bool HitTest(const Point& pt) = 0;
  virtual bool HitTestHandle(const Point& pt) = 0;
  virtual bool HitTestExtra(const Point& pt) = 0;
  virtual const int& GetState() const = 0;
  virtual void SetState(int state) = 0;
  virtual bool IsSelected() const = 0;
  virtual void SetSelected(bool selected) = 0;
  virtual const ARGB& GetColor() const = 0;
  virtual void SetColor(ARGB color) = 0;
  virtual const ARGB& GetSecondaryColor() const = 0;
  virtual void SetSecondaryColor(ARGB color) = 0;
  virtual const int& GetWidth() const = 0;
  virtual void SetWidth(int width) = 0;
  virtual ~IShade() = default;
  virtual Rect GetRect() const = 0;
  // The rectangle shapes stay inside: the capture selection inset by its
  // frame width (the capture selection itself answers the capture bounds).
  virtual Rect GetLimitRect() = 0;
  // The width drawing and clamping use.
  virtual int GetStrokeWidth() const = 0;
  virtual void SetScrollOffset(int offset) = 0;
  virtual const int& GetScrollOffset() const = 0;
};

class IBaseShade : public virtual IShade {
 public:
  virtual int GetType() const = 0;
  // Mouse handling, called by the capture mode with the point in capture
  // client coordinates; a shape that consumed the event sets `handled`.
  virtual void OnLButtonDblClk(Point& pt, bool& handled) = 0;
  virtual void OnLButtonDown(Point& pt, bool& handled) = 0;
  virtual void OnMouseMove(Point& pt, bool& handled) = 0;
  virtual void OnLButtonUp(Point& pt, bool& handled) = 0;
  // Steps of the press and move dispatchers.
  virtual void BeginCreate(Point& pt, bool& handled) = 0;
  virtual void BeginResize(Point& pt, bool& handled) = 0;
  virtual void BeginMove(Point& pt, bool& handled) = 0;
  virtual void OnCreateStart(Point& pt, bool& handled) = 0;
  virtual void OnCreating(Point& pt, bool& handled) = 0;
  virtual void OnHoverHandle(Point& pt, bool& handled) = 0;
  virtual void OnHoverBody(Point& pt, bool& handled) = 0;
  virtual void OnMoving(Point& pt, bool& handled) = 0;
  virtual void OnResizing(Point& pt, bool& handled) = 0;
  virtual bool IsEditing() const = 0;
  virtual bool IsValid() const = 0;
  // Called by the capture mode when a press-drag on a listed shape ends,
  // before the shape's own release (it still holds its press values): the
  // undo command of the move or resize just made, already done; null when
  // nothing changed or this kind keeps no undo of that edit.
  virtual std::shared_ptr<ICommand> MakeEditCommand() = 0;
  // True while the shape asks for the repaint of what changed, area by area:
  // the capture mode then repaints nothing more.
  virtual bool RepaintsByArea() const = 0;
  // Counts the visible changes of the shape: what a painting cache compares.
  virtual unsigned GetChangeCount() const = 0;
};

// Shapes that show a number (the numbered text); the shape list renumbers
// them when one is removed or comes back.
class INumberedShade {
 public:
  virtual ~INumberedShade() = default;
  virtual void SetNumber(int number) = 0;
  virtual int GetNumber() const = 0;
  // Grows with every marker made in the process: the order numbers follow.
  virtual unsigned GetMadeOrder() const = 0;
};

}  // namespace ScreenCapture
