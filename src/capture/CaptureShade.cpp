#include "capture/CaptureShade.h"
#include "capture/CaptureShadeCache.h"

#include <gdiplus.h>

#include <algorithm>
#include <memory>
#include <string>

#include "common/HandOver.h"
#include "contracts/ICaptureControl.h"
#include "contracts/ICaptureWindow.h"
#include "common/VirtualScreen.h"
#include "capture/WindowSourceWin32.h"
#include "common/BigDataHelper.h"
#include "common/RunnableWindow.h"
#include "common/Logger.h"
#include "core/SelectionLayout.h"
#include "core/ShapeGeometry.h"
#include "contracts/ICaptureMenu.h"
#include "contracts/ICaptureMenu.h"
#include "shapes/Commands.h"
#include "shapes/Cursors.h"

namespace ScreenCapture {

namespace {

// The capture's own window and the classes the window finder passes over,
// for the finder made with the mode.
WindowId OwnWindow() {
  ICaptureWindow* window = GetCaptureWindow();
  return window ? reinterpret_cast<WindowId>(window->GetHWND()) : 0;
}

std::wstring IgnoredClasses() {
  ICaptureWindow* window = GetCaptureWindow();
  const CaptureStartParams* params = window ? window->GetStartParams() : nullptr;
  return params ? params->ignoreWindowClassName : std::wstring(kDefaultIgnoredWindowClasses);
}

}  // namespace

ICaptureWindow* CCaptureShade::Window() { return GetCaptureWindow(); }

CCaptureShade::~CCaptureShade() = default;

int CCaptureShade::CurrentStartMode() {
  ICaptureWindow* window = Window();
  const CaptureStartParams* params = window ? window->GetStartParams() : nullptr;
  return params ? params->startMode : kStartModeNormal;
}

CCaptureShade::CCaptureShade() : m_finder(OwnWindow(), IgnoredClasses()) {
  m_color = kFrameColor;
  m_width = 3;
  m_handleRadius = 4;
  m_handleBorderWidth = 1;
  m_rememberedCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  m_mosaicCursor = m_rememberedCursor;
  CWindowSourceWin32 desktop;
  m_finder.Build(desktop);
}

ICaptureControl* CCaptureShade::Control() {
  ICaptureWindow* window = Window();
  return window ? window->GetCaptureControl() : nullptr;
}

ICaptureMenu* CCaptureShade::Menu() {
  ICaptureWindow* window = Window();
  return window ? window->GetCaptureMenu() : nullptr;
}

CommandOrders* CCaptureShade::Orders() {
  ICaptureMenu* menu = Menu();
  return menu ? &menu->GetCommandOrders() : nullptr;
}

void CCaptureShade::Repaint() {
  if (ICaptureControl* control = Control()) control->Invalidate();
}

void CCaptureShade::RepaintArea(const Rect& area) {
  if (ICaptureControl* control = Control()) control->InvalidateArea(area);
}

Rect CCaptureShade::MagnifierArea(Point cursor) {
  // The box with its 1-pixel frame (and a pixel of antialiasing), and the
  // two lines of text under it.
  const Rect box = PlaceMagnifier(cursor, OverlayBounds()).box;
  Rect area = InsetRect(box, -2);
  if (MeasureOverlayTexts()) {
    const Point text = MagnifierTextOrigin(box);
    area = UnionRect(area, Rect{text.x - 2, text.y - 2, m_magnifierTextWidth + 4, m_magnifierTextHeight + 4});
  }
  return area;
}

Rect CCaptureShade::LabelArea(const Rect& r) {
  if (r.height <= 0 || !MeasureOverlayTexts()) return Rect{};
  const SizeLabelLayout label = PlaceSizeLabel(r, OverlayBounds(), m_labelLineHeight, m_labelTextWidth, m_labelTextHeight);
  const Rect text{label.text.x, label.text.y, m_labelTextWidth, m_labelTextHeight};
  return InsetRect(UnionRect(label.box, text), -2);
}

Rect CCaptureShade::SelectionArea(const Rect& r) {
  if (r.IsEmpty()) return Rect{};
  // Frame and handles reach beyond the region; the size label sits above
  // it (or inside at the top edge).
  const int m = std::max(m_width, m_handleRadius) + 2;
  return UnionRect(InsetRect(r, -m), LabelArea(r));
}

Rect CCaptureShade::CaptureBounds() {
  const Rect& screen = GetVirtualScreenRect();
  return Rect{0, 0, screen.width, screen.height};
}

bool CCaptureShade::HitTest(const Point& pt) {
  // The region moves only while it holds nothing and no tool is chosen.
  ICaptureMenu* menu = Menu();
  return m_rect.Contains(pt) && m_shapes.empty() && (!menu || menu->GetShapeType() == kShapeNone);
}

void CCaptureShade::SetState(int state) {
  const int old = m_state;
  m_state = state;
  if (state != old) ResetCursor();  // a cursor chosen for the old state goes with it
  // Every state shows its own set of handles, magnifier and label: a change
  // repaints all of it, going back to offering windows too.
  if (state != old || state != kStateNew) RequestRepaint();
  if (state == kStateIdle) {
    LOG_DBG(L"region %d,%d %dx%d frame %d", m_rect.x, m_rect.y, m_rect.width, m_rect.height, m_width);
  }
  if (state == kStateIdle && GetCaptureType() == kCaptureNormal && (old == kStatePressed || old == kStateCreating)) {
    if (OnFirstCaptureSelected() != 0) return;
  }
  if (ICaptureMenu* menu = Menu()) menu->ShowMenu(state == kStateIdle);
}

const Rect& CCaptureShade::AnnotationBounds() {
  if (m_annotationBoundsStale) {
    Rect bounds;  // none: no area
    bool any = false;
    for (const ShapePtr& shape : m_shapes) {
      // A straight stroke's box has no width or height, yet holds a line.
      const Rect drawn = InsetRect(shape->GetRect(), -(shape->GetStrokeWidth() / 2));
      bounds = any ? bounds.Union(drawn) : drawn;
      any = true;
    }
    m_annotationBounds = bounds;
    m_annotationBoundsStale = false;
  }
  return m_annotationBounds;
}

void CCaptureShade::OnLButtonDown(Point& pt, bool& handled) {
  m_annotationBoundsStale = true;
  if (m_currentShape) {
    m_currentShape->OnLButtonDown(pt, handled);
    if (handled) return;
    m_currentShape.reset();  // never listed
  }
  CRectShade::OnLButtonDown(pt, handled);
  if (!handled && m_state == kStateIdle && m_rect.Contains(pt)) AnnotationPress(pt, handled);
}

void CCaptureShade::AnnotationPress(Point& pt, bool& handled) {
  const ShapePtr selected = GetSelected();
  if (selected && (selected->HitTest(pt) || selected->HitTestHandle(pt) || selected->HitTestExtra(pt))) {
    selected->OnLButtonDown(pt, handled);
    return;
  }
  for (const ShapePtr& shape : std::vector<ShapePtr>(m_shapes)) {
    shape->SetSelected(false);
    if (shape->IsEditing()) {
      // This press only ends the text editing.
      handled = true;
      return;
    }
  }
  for (const ShapePtr& shape : std::vector<ShapePtr>(m_shapes)) {
    if (shape->HitTest(pt) || shape->HitTestHandle(pt) || shape->HitTestExtra(pt)) {
      shape->SetSelected(true);
      if (ICaptureMenu* menu = Menu()) menu->SetSelectedShape(shape);
      shape->OnLButtonDown(pt, handled);
      return;
    }
  }
  BeginShape(pt, handled);
}

void CCaptureShade::OnMouseMove(Point& pt, bool& handled) {
  if (m_state == kStateNew || m_state == kStatePressed || m_state == kStateCreating || m_state == kStateResizing) {
    // The magnifier follows the mouse: repaint where it was and where it goes.
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    const Point at = ScreenToCapture(Point{static_cast<int>(cursor.x), static_cast<int>(cursor.y)},
                                     GetVirtualScreenRect());
    RepaintArea(m_magnifierArea);
    RepaintArea(MagnifierArea(at));
  }
  if (m_state == kStateNew) {
    const Rect& screen = GetVirtualScreenRect();
    Rect offered;
    if (m_finder.Find(CaptureToScreen(pt, screen), offered)) {
      const Rect client = ScreenToCapture(offered, screen);
      if (client != m_rect) {
        // Only the old and the new window's places change.
        const Rect old = m_rect;
        m_repaintSuppressed = true;
        SetRect(client);
        m_repaintSuppressed = false;
        RepaintArea(SelectionArea(old));
        RepaintArea(SelectionArea(client));
        LOG_DBG(L"offered %d,%d %dx%d", client.x, client.y, client.width, client.height);
      }
    }
    return;
  }
  if (m_currentShape) {
    m_currentShape->OnMouseMove(pt, handled);
    // A long stroke asks for its new segment only.
    if (!m_currentShape->RepaintsByArea()) Repaint();
    return;
  }
  if (const ShapePtr selected = GetSelected()) selected->OnMouseMove(pt, handled);
  for (size_t i = 0; !handled && i < m_shapes.size(); ++i) {
    const ShapePtr shape = m_shapes[i];
    if (shape->HitTest(pt) || shape->HitTestHandle(pt)) shape->OnMouseMove(pt, handled);
  }
  if (!handled) CRectShade::OnMouseMove(pt, handled);
}

void CCaptureShade::OnCreateStart(Point& pt, bool& handled) {
  CRectShade::OnCreateStart(pt, handled);
  m_width = 1;
  UpdateHandles();
  ReportSelectionDragStart(CurrentStartMode());
}

void CCaptureShade::OnLButtonUp(Point& pt, bool& /*handled*/) {
  if ((m_rect.width == 0 || m_rect.height == 0) && GetCaptureType() == kCaptureNormal) {
    // Nothing chosen: start again with a fresh capture.
    if (ICaptureControl* control = Control()) control->ResetCapture();
    return;
  }
  SetState(kStateIdle);
  AnnotationRelease(pt);
}

void CCaptureShade::AnnotationRelease(Point& pt) {
  CommandOrders* orders = Orders();
  if (m_currentShape) {
    bool handled = false;
    m_currentShape->OnLButtonUp(pt, handled);
    if (handled) return;  // a text box that keeps editing stays the shape being drawn
    if (m_currentShape->IsValid()) {
      if (orders) {
        orders->Do(std::make_shared<CreateShapeCommand>(m_currentShape));
      } else {
        Add(m_currentShape);
      }
    }
    m_currentShape.reset();
    return;
  }
  const ShapePtr selected = GetSelected();
  if (!selected) return;
  // Made before the shape's own release, while it still has its press values.
  if (orders) {
    if (std::shared_ptr<ICommand> edit = selected->MakeEditCommand()) orders->Record(edit);
  }
  bool handled = false;
  selected->OnLButtonUp(pt, handled);
}

void CCaptureShade::OnLButtonDblClk(Point& pt, bool& handled) {
  for (size_t i = 0; !handled && i < m_shapes.size(); ++i) {
    const ShapePtr shape = m_shapes[i];
    shape->OnLButtonDblClk(pt, handled);
  }
}

void CCaptureShade::OnMoving(Point& pt, bool& handled) {
  const Rect bounds = CaptureBounds();
  pt = ClampPoint(pt, bounds, GetStrokeWidth());
  Repaint();
  Rect moved = m_rect;
  moved.x += pt.x - m_lastPoint.x;
  moved.y += pt.y - m_lastPoint.y;
  SetRect(FitRect(moved, bounds));
  handled = true;
}

void CCaptureShade::OnResizing(Point& pt, bool& handled) {
  handled = true;
  Rect resized;
  if (ResizeRegion(m_grabbedHandle, m_pressRect, pt, AnnotationBounds(), CaptureBounds(), GetStrokeWidth(), resized)) {
    SetRect(resized);
  }
}

void CCaptureShade::HandleEvent(DuiLib::TEventUI& event) {
  Point pt{static_cast<int>(event.ptMouse.x), static_cast<int>(event.ptMouse.y)};
  bool handled = false;
  switch (event.Type) {
    case DuiLib::UIEVENT_BUTTONDOWN:
      m_buttonDown = true;
      m_lastPointer = pt;
      OnLButtonDown(pt, handled);
      break;
    case DuiLib::UIEVENT_MOUSEMOVE:
      m_lastPointer = pt;
      OnMouseMove(pt, handled);
      if (!HitTestHandle(pt) && m_state == kStateIdle) UpdateCursor(pt);
      break;
    case DuiLib::UIEVENT_BUTTONUP:
      // A release whose press went to another window chooses nothing: it
      // would take the offered window without the start mode's hand-over.
      if (!m_buttonDown && m_state == kStateNew) break;
      if (m_buttonDown && pt != m_lastPointer) {
        // The release is where the drag ends, even when no move reported
        // that point (moves coalesced by the system, or none at all).
        m_lastPointer = pt;
        OnMouseMove(pt, handled);
        handled = false;
      }
      m_buttonDown = false;
      OnLButtonUp(pt, handled);
      break;
    case DuiLib::UIEVENT_RBUTTONUP:
      OnRButtonUp(pt, handled);
      break;
    case DuiLib::UIEVENT_DBLCLICK:
      OnLButtonDblClk(pt, handled);
      break;
    case DuiLib::UIEVENT_KEYDOWN:
      OnKeyDown(event);
      break;
    case DuiLib::UIEVENT_KEYUP:
      OnKeyUp(event);
      break;
    default:
      break;
  }
}

void CCaptureShade::OnKeyDown(const DuiLib::TEventUI& event) {
  if (!(event.wKeyState & DuiLib::UIKEYSTATE_CONTROL) || (event.chKey != L'Z' && event.chKey != L'z')) return;
  CommandOrders* orders = Orders();
  if (!orders) return;
  const bool shift = (event.wKeyState & DuiLib::UIKEYSTATE_SHIFT) != 0;
  // Ctrl+Shift+Z redoes, and undoes when there is nothing to redo.
  const bool changed = shift && orders->CanRedo() ? orders->RedoLast() : orders->UndoLast();
  if (changed) Repaint();
}

void CCaptureShade::OnKeyUp(const DuiLib::TEventUI& event) {
  if (event.wParam != VK_DELETE) return;
  const ShapePtr selected = GetSelected();
  CommandOrders* orders = Orders();
  if (!selected || !orders) return;
  // Gone from the list, it is no longer the toolbar's to recolour or resize.
  selected->SetSelected(false);
  if (ICaptureMenu* menu = Menu()) menu->ClearSelectedShape();
  orders->Do(std::make_shared<DeleteShapeCommand>(selected));
  Repaint();
}

void CCaptureShade::OnRButtonUp(Point&, bool&) {
  if (m_state == kStateNew || m_state == kStatePressed || m_state == kStateCreating) {
    EndCapture(Window());
  } else if (m_state == kStateIdle && m_shapes.empty() && !m_currentShape) {
    if (CommandOrders* orders = Orders()) orders->Clear();
    SetState(kStateNew);  // back to offering windows
  }
}

void CCaptureShade::BeginShape(Point& pt, bool& handled) {
  ICaptureMenu* menu = Menu();
  if (!menu) return;
  m_currentShape = menu->CreateShape();
  LOG_DBG(L"new shape of tool %d: %s", menu->GetShapeType(), m_currentShape ? L"made" : L"none");
  if (!m_currentShape) return;
  menu->SetSelectedShape(m_currentShape);
  m_currentShape->BeginCreate(pt, handled);
}

void CCaptureShade::UpdateCursor(const Point& pt) {
  ICaptureMenu* menu = Menu();
  const bool inside = m_rect.Contains(pt);
  if (menu && menu->GetShapeType() == kShapeMosaic && inside) {
    const int size = menu->GetShapeSize();
    if (size != m_mosaicCursorSize) {
      const struct { int size, id, pixels; } table[] = {{1, 117, 16}, {3, 115, 24}, {5, 111, 32}};
      for (const auto& entry : table) {
        if (entry.size != size) continue;
        const HINSTANCE module = ::GetModuleHandleW(nullptr);
        // Shared: each of these cursors has one size, and the system keeps
        // one handle per resource however often it is asked (no leak per
        // change, and no cursor destroyed while the class still uses it).
        const auto cursor = static_cast<HCURSOR>(
            ::LoadImageW(module, MAKEINTRESOURCEW(entry.id), IMAGE_CURSOR, entry.pixels, entry.pixels, LR_DEFAULTCOLOR | LR_SHARED));
        if (cursor) {
          SetWindowCursor(WindowHandle(), cursor);
          m_mosaicCursorSize = size;
        }
      }
    }
  } else if (m_mosaicCursorSize != 0) {
    SetWindowCursor(WindowHandle(), m_rememberedCursor);
    m_mosaicCursorSize = 0;
  }
  // What this move shows: its own choice, or the class cursor.
  const HCURSOR shown = ChosenCursor() ? ChosenCursor() : GetWindowCursor(WindowHandle());
  if (inside) {
    m_mosaicCursor = shown;
  } else {
    m_rememberedCursor = shown;
  }
}

namespace {
// The start mode's hand-over happens once per process: after a long capture
// has started, going back to selecting is a normal capture.
bool g_handOverDone = false;
}  // namespace

HWND CCaptureShade::WindowHandle() {
  ICaptureWindow* window = Window();
  return window ? window->GetHWND() : nullptr;
}

void CCaptureShade::ResetCursor() {
  const HCURSOR arrow = GetShapeCursor(kCursorArrow);
  SetWindowCursor(WindowHandle(), arrow);
  m_rememberedCursor = arrow;
  m_mosaicCursor = arrow;
  m_mosaicCursorSize = 0;
}

int CCaptureShade::OnFirstCaptureSelected() {
  ICaptureWindow* window = Window();
  const CaptureStartParams* params = window ? window->GetStartParams() : nullptr;
  if (!params || g_handOverDone) return 0;
  switch (params->startMode) {
    case kStartModeHandOver:
      // The region goes to the starting program; the capture ends at once.
      // A mapping that cannot be made or written is passed over silently.
      g_handOverDone = true;
      WriteHandOverRecord(params->fileMappingName, m_rect);
      LOG_INF(L"hand over %d,%d %dx%d", m_rect.x, m_rect.y, m_rect.width, m_rect.height);
      EndCapture(window);
      return 1;
    case kStartModeScroll: {
      // The long capture takes over once this event is done.
      RunnableHelper::CRunnalbeWindow* runner = window->GetRunnableWindow();
      if (!runner) return 0;
      g_handOverDone = true;
      runner->PostRunnable([] {
        ICaptureWindow* w = GetCaptureWindow();
        if (ICaptureControl* control = w ? w->GetCaptureControl() : nullptr) control->StartScrollCapture();
      });
      return 1;
    }
    default:
      return 0;
  }
}

}  // namespace ScreenCapture
