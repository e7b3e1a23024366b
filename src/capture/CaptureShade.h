#pragma once
// The normal capture mode: a region over the frozen screen (its frame is a
// rectangle shape) that hosts the annotations drawn on it.
#include <windows.h>

#include <memory>
#include <utility>
#include <vector>

#include "contracts/ICaptureShade.h"
#include "core/WindowFinder.h"
#include "shapes/RectShade.h"

namespace ScreenCapture {

class ICaptureControl;
class ICaptureWindow;
class ICaptureMenu;
class CommandOrders;

class CCaptureShade : public CRectShade, public ICaptureShade {
 public:
  static constexpr ARGB kFrameColor = 0xFF2F81FC;

  CCaptureShade();
  ~CCaptureShade() override;

  // IShade / IBaseShade
  int GetType() const override { return kShapeCapture; }
  void Draw(Gdiplus::Graphics* graphics, bool withoutHandles) override;
  // A press inside moves the region only while it holds no annotation (and
  // no drawing tool is chosen).
  bool HitTest(const Point& pt) override;
  void SetState(int state) override;
  // Moves and resizes stay inside the capture bounds.
  Rect GetLimitRect() override { return CaptureBounds(); }
  void OnLButtonDown(Point& pt, bool& handled) override;
  void OnMouseMove(Point& pt, bool& handled) override;
  void OnLButtonUp(Point& pt, bool& handled) override;
  void OnLButtonDblClk(Point& pt, bool& handled) override;
  void OnCreateStart(Point& pt, bool& handled) override;
  void OnMoving(Point& pt, bool& handled) override;
  void OnResizing(Point& pt, bool& handled) override;

  // ICaptureShade
  void DrawShapes(Gdiplus::Graphics* graphics, int outputFlag) override;
  void HandleEvent(DuiLib::TEventUI& event) override;
  void SaveToFile(int* saved) override;
  bool FinishCapture() override;
  bool SendToOcr() override;
  int GetCaptureType() const override { return kCaptureNormal; }
  HBITMAP GetCaptureBitmap() override;
  HDC GetSourceDC() override;

  // CRectShade
  void DrawHandle(Gdiplus::Graphics* graphics, const Rect& box) override;
  bool ShouldShowHandles() const override { return m_state != kStateNew; }

  // The mode's own steps, for the scroll capture and the editor to change.
  // Called for a right-button release.
  virtual void OnRButtonUp(Point& pt, bool& handled);
  // Drawing steps, called by Draw in the documented order.
  virtual void DrawSelection(Gdiplus::Graphics* graphics, int outputFlag);
  virtual void DrawOverlayAfter(Gdiplus::Graphics*) {}
  virtual void DrawMagnifier(Gdiplus::Graphics* graphics);
  virtual void DrawSizeLabel(Gdiplus::Graphics* graphics);
  virtual void DrawOverlayBefore(Gdiplus::Graphics*) {}
  virtual void DrawHandles(Gdiplus::Graphics* graphics, int outputFlag);
  // A new GDI+ bitmap of the selection with its annotations; null when it
  // cannot be made.
  virtual std::unique_ptr<Gdiplus::Bitmap> RenderResult();
  // RenderResult for an output action; logs, under the action's name, that
  // the capture stays open when there is none.
  std::unique_ptr<Gdiplus::Bitmap> RenderResultFor(const wchar_t* action);
  // A bitmap of `area` (capture coordinates) as the result shows it: the
  // frozen picture with the annotations, over `outside` (0x00RRGGBB) where
  // the area lies past the frozen screen; null when it cannot be made.
  UniqueBitmap RenderArea(const Rect& area, uint32_t outside = 0);
  // Called for a press that starts a new annotation.
  virtual void BeginShape(Point& pt, bool& handled);
  virtual int GetHeight() const { return m_rect.height; }
  // Called when the first region is chosen; non-zero when a start-mode
  // action ran.
  virtual int OnFirstCaptureSelected();

 protected:
  // The capture window of this process, and the start mode it was given.
  static ICaptureWindow* Window();
  static int CurrentStartMode();
  static ICaptureControl* Control();
  static ICaptureMenu* Menu();
  static CommandOrders* Orders();
  static void Repaint();
  static void RepaintArea(const Rect& area);
  // Where the magnifier beside a cursor, the size label of a region, and a
  // region with its frame, handles and label are painted: the same geometry
  // the painting uses, with the text measured in the label font (so it grows
  // with the DPI), and never less than what is painted.
  Rect MagnifierArea(Point cursor);
  Rect LabelArea(const Rect& region);
  Rect SelectionArea(const Rect& region);
  // The bounds the label and the magnifier stay inside.
  virtual Rect OverlayBounds() const { return CaptureBounds(); }
  // The capture bounds: the whole virtual screen in client coordinates.
  static Rect CaptureBounds();
  // The union of every listed shape's rectangle grown by half its stroke.
  const Rect& AnnotationBounds();
  void AnnotationPress(Point& pt, bool& handled);
  void AnnotationRelease(Point& pt);
  void OnKeyDown(const DuiLib::TEventUI& event);
  // The annotations in the order they are drawn: mosaics first, the shape
  // being drawn last (first when it is a mosaic).
  std::vector<ShapePtr> DrawOrder() const;
  void OnKeyUp(const DuiLib::TEventUI& event);
  void UpdateCursor(const Point& pt);
  // The arrow as the window's class cursor again, no mosaic cursor kept.
  void ResetCursor();
  static HWND WindowHandle();
  Gdiplus::Font* LabelFont(Gdiplus::Graphics* graphics);
  // Makes the label font when it is not there yet (measured on the frozen
  // screen's DC) and measures the widest label and magnifier texts once;
  // false without a font.
  bool MeasureOverlayTexts();
  // The size label's text for the selection.
  std::wstring SizeLabelText() const;

  WindowFinder m_finder;
  Rect m_annotationBounds;
  bool m_annotationBoundsStale = true;
  HCURSOR m_rememberedCursor = nullptr;
  HCURSOR m_mosaicCursor = nullptr;
  int m_mosaicCursorSize = 0;
  std::unique_ptr<Gdiplus::Font> m_labelFont;
  std::wstring m_extraOutputPath;
  Rect m_magnifierArea;  // where the magnifier was drawn last
  // The label font's line height (plus 12) and the widest texts it draws,
  // rounded up; zero until measured.
  int m_labelLineHeight = 0;
  int m_labelTextWidth = 0, m_labelTextHeight = 0;
  int m_magnifierTextWidth = 0, m_magnifierTextHeight = 0;

 private:
  // The left button's press and the pointer's last reported place.
  bool m_buttonDown = false;
  Point m_lastPointer;
  // Screen drawing of the selection and its annotations, through a snapshot
  // of what did not change since the last full paint.
  void DrawContentWithCache(Gdiplus::Graphics* graphics);

  // What the last full paint left in the selection rectangle before the
  // first shape that is being edited, and what it was made of.
  struct ContentCache;
  std::unique_ptr<ContentCache> m_cache;
};

}  // namespace ScreenCapture
