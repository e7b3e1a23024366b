#pragma once
// The editor of the long image: the image in a window-high view on the
// primary monitor that scrolls (wheel, Up and Down, its own scroll bar),
// annotated with the scroll variants of the shapes, narrowed by six handles
// that move only sideways, and put out whole at the chosen width.
//
// Coordinates: the long image lies in a canvas whose origin is the capture
// window's; its top row is at the view's top. A paint copies only the rows
// the view shows and draws the shapes over them, moved up by the offset.
#include <windows.h>

#include <memory>
#include <string>

#include "capture/CaptureShade.h"
#include "common/Handles.h"

namespace ScreenCapture {

class CScrollCaptureEditor : public CCaptureShade {
 public:
  // `longImage` stays the caller's; `selection` is the scroll capture's.
  CScrollCaptureEditor(HBITMAP longImage, const Rect& selection);
  ~CScrollCaptureEditor() override;

  // False when the canvas could not be made (the memory for it was not there).
  bool IsReady() const { return static_cast<bool>(m_canvas); }

  // ICaptureShade
  int GetCaptureType() const override { return kCaptureScrollEditor; }
  HBITMAP GetCaptureBitmap() override;
  HDC GetSourceDC() override { return m_canvas.GetDC(); }
  void DrawShapes(Gdiplus::Graphics* graphics, int outputFlag) override;
  void HandleEvent(DuiLib::TEventUI& event) override;

  // The mode's steps.
  void OnRButtonUp(Point&, bool& handled) override { handled = true; }
  void DrawSelection(Gdiplus::Graphics*, int) override {}
  void DrawOverlayAfter(Gdiplus::Graphics* graphics) override;
  std::unique_ptr<Gdiplus::Bitmap> RenderResult() override;
  void BeginShape(Point& pt, bool& handled) override;
  int GetHeight() const override { return m_bitmapHeight; }
  // The region never moves: a press on it is the scroll bar's or the shapes'.
  bool HitTest(const Point& pt) override;
  void OnLButtonDown(Point& pt, bool& handled) override;
  void OnMouseMove(Point& pt, bool& handled) override;
  void OnLButtonUp(Point& pt, bool& handled) override;
  void OnResizing(Point& pt, bool& handled) override;
  bool SetRect(const Rect& rect) override;

  // Moves the view by one step (120 rows); the shape being drawn follows.
  void ScrollUp(const Point& pt);
  void ScrollDown(const Point& pt);

  const Rect& GetCaptureBounds() const { return m_captureBounds; }

 protected:
  void UpdateHandles() override;
  // The size label and the magnifier stay inside the view.
  Rect OverlayBounds() const override { return m_captureBounds; }

 private:
  void ScrollTo(int offset, const Point& pt);
  Rect Thumb() const;
  // The canvas with the shapes of `area` (canvas coordinates) drawn on it,
  // into `target` at its origin.
  void RenderCanvasArea(HDC target, const Rect& area, bool withoutHandles);

  int m_bitmapHeight = 0;
  Rect m_captureBounds;           // the view on the screen: the region less its frame
  int m_imageLeft = 0, m_imageRight = 0;  // the long image's columns in the canvas
  BitmapDC m_canvas;      // the long image at the view's top-left, in capture coordinates
  BitmapDC m_view;        // one paint's rows, reused while its size stays
  Rect m_viewSize;
  bool m_thumbDrag = false;
  Point m_thumbPress;
  int m_thumbPressOffset = 0;
  std::string m_tipText;
};

}  // namespace ScreenCapture
