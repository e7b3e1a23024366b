#include "shapes/TextShape.h"

#include <gdiplus.h>

#include <algorithm>
#include <cmath>

#include "contracts/ICaptureControl.h"
#include "contracts/ICaptureShade.h"
#include "contracts/ICaptureWindow.h"
#include "common/SkinFonts.h"
#include "common/VirtualScreen.h"
#include "common/DrawHelpers.h"
#include "contracts/ICaptureControl.h"
#include "contracts/ICaptureShade.h"
#include "contracts/ICaptureWindow.h"
#include "common/SkinFonts.h"
#include "common/VirtualScreen.h"
#include "common/Logger.h"
#include "core/ShapeGeometry.h"
#include "contracts/ICaptureMenu.h"
#include "shapes/Commands.h"
#include "shapes/TextEditWnd.h"
#include "shapes/TextLines.h"

namespace ScreenCapture {

CTextShape::CTextShape() {
  ICaptureControl* control = ActiveControl();
  const HDC screen = control ? control->GetScreenDC() : nullptr;
  m_measureDC = MemoryDC(screen);
  m_measureFont = SelectGuard(m_measureDC.Get());
  BuildFont();
}

CTextShape::~CTextShape() {
  if (m_edit) {
    // The editor outlives no shape: it closes now and tells no one.
    CEditWnd* edit = m_edit;
    m_edit = nullptr;
    edit->DetachOwner();
    edit->Destroy();
  }
}

void CTextShape::BuildFont() {
  ICaptureControl* control = ActiveControl();
  const DuiLib::TFontInfo* info = control ? control->GetFontInfo(m_width) : nullptr;
  m_hfont = info && info->hFont ? info->hFont.Get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  m_font.reset();
  m_paintWidth = -1;  // another font breaks the lines elsewhere
  if (!m_measureDC) return;
  m_measureFont.Select(m_hfont);
  m_font = MakeGdiplusFont(m_hfont, m_measureDC.Get());
}

float CTextShape::GetFontSize() const { return m_font ? m_font->GetSize() : 0.0f; }

Rect CTextShape::GetTextRect() const {
  return Rect{m_rect.x + m_margins.left, m_rect.y + m_margins.top, m_rect.width - m_margins.left - m_margins.right,
              m_rect.height - m_margins.top - m_margins.bottom};
}

void CTextShape::DrawTextFrame(Gdiplus::Graphics* graphics, bool withoutHandles) {
  if (withoutHandles || !IsSelected()) return;
  const Rect r = GetDrawRect();
  Gdiplus::Pen pen(Gdiplus::Color(0xFFFF0000), 1.0f);
  graphics->DrawRectangle(&pen, r.x, r.y, r.width, r.height);
}

void CTextShape::Draw(Gdiplus::Graphics* graphics, bool withoutHandles) {
  DrawTextFrame(graphics, withoutHandles);
  if (m_edit || m_text.empty()) return;
  const Rect box = GetDrawRect();
  const Rect text{box.x + m_margins.left, box.y + m_margins.top, box.width - m_margins.left - m_margins.right,
                  box.height - m_margins.top - m_margins.bottom};
  if (text.Intersect(VisibleBounds(graphics)).IsEmpty()) return;
  // Plain GDI does not see the graphics' world transform (the result is
  // drawn shifted by the region's corner).
  const Point offset = DeviceOffset(graphics);
  const HDC dc = graphics->GetHDC();
  if (!dc) return;
  const int saved = ::SaveDC(dc);
  RECT rc = {text.x + offset.x, text.y + offset.y, text.Right() + offset.x, text.Bottom() + offset.y};
  // A box cut to the region's height keeps the rest of its text inside.
  ::IntersectClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
  ::SelectObject(dc, m_hfont);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ToColorRef(m_color));
  // Broken into lines once per text and width, not at every paint.
  if (m_text != m_paintText || text.width != m_paintWidth) {
    m_paintLines = WrapText(dc, m_text, text.width);
    m_paintText = m_text;
    m_paintWidth = text.width;
  }
  PaintTextLines(dc, m_text, m_paintLines, rc);
  ::RestoreDC(dc, saved);
  graphics->ReleaseHDC(dc);
}

void CTextShape::RenderBackground(HDC target, HDC source) { RenderCaptureOnto(target, source, 0); }

void CTextShape::RenderCaptureOnto(HDC target, HDC source, ARGB shade) {
  const Rect& screen = GetVirtualScreenRect();
  ::BitBlt(target, 0, 0, screen.width, screen.height, source, 0, 0, SRCCOPY | CAPTUREBLT);
  ICaptureControl* control = ActiveControl();
  ICaptureShade* mode = control ? control->GetCaptureShade() : nullptr;
  if (!mode) return;
  Gdiplus::Graphics graphics(target);
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias8x8);
  graphics.SetCompositingQuality(Gdiplus::CompositingQualityHighQuality);
  if (shade == 0) {
    mode->Draw(&graphics, true);
    return;
  }
  const Rect selection = mode->GetRect();
  graphics.SetClip(Gdiplus::Rect(selection.x, selection.y, selection.width, selection.height));
  mode->Draw(&graphics, true);
  Gdiplus::SolidBrush fill{Gdiplus::Color(shade)};
  graphics.FillRectangle(&fill, selection.x, selection.y, selection.width, selection.height);
}

void CTextShape::SetWidth(int level) {
  if (level == m_width) return;
  m_width = level;
  BuildFont();
  if (m_edit) m_edit->ApplyFont();
  Layout();
  RequestRepaint();
}

void CTextShape::SetText(const std::wstring& text) {
  m_text = text;
  Layout();
}

bool CTextShape::SetBoxRect(const Rect& box) {
  if (box == m_rect) return false;
  // All that shows of the shape, before and after: for the marker also its
  // disc and notch, which follow the box's middle.
  const Rect old = GetRect();
  m_rect = box;
  if (m_edit) m_edit->MoveTo(GetTextViewRect());
  RequestRepaintArea(MapRectToView(UnionRect(InsetRect(old, -2), InsetRect(GetRect(), -2))));
  return true;
}

std::shared_ptr<ICommand> CTextShape::MakeEditCommand() {
  const std::shared_ptr<CTextShape> self = SharedSelf(this);
  if (!self || !EditedByDrag() || m_state != kStateMoving) return nullptr;
  return std::make_shared<ShapeEditCommand<CTextShape, Rect>>(self, m_pressBox, m_rect,
                                                              [](CTextShape& shape, const Rect&, const Rect& to) {
                                                                shape.SetPressBox(to);
                                                                shape.SetBoxRect(to);
                                                              });
}

void CTextShape::Layout(const std::wstring& inserted, size_t from, size_t to) {
  std::wstring copy = TextForMeasure(m_text, inserted, from, to);
  const Rect limit = GetLimitRect();
  // The text the control shows after a key is what was laid out before it
  // showed it: the box is already right.
  const int scrolled = EditorScrollOffset();
  if (copy == m_laidOut && limit == m_laidOutLimit && m_rect == m_laidOutRect && m_width == m_laidOutLevel &&
      scrolled == m_laidOutScroll) {
    return;
  }
  // Broken into lines as the editor breaks it: as wide as its widest line,
  // at most as far as the region's right edge, as many lines high.
  const int room = std::max(1, TextRoomRight(m_rect, limit, m_margins));
  int widest = 0;
  int height = 16;
  if (m_measureDC) {
    const std::vector<TextLine> lines = WrapText(m_measureDC.Get(), copy, room);
    for (const TextLine& line : lines) widest = std::max(widest, line.width);
    height = static_cast<int>(lines.size()) * TextLineHeight(m_measureDC.Get());
  }
  // One pixel to spare, so that the editor never wraps the widest line.
  const TextWidths widths = BoxWidths(std::min(widest + 1, room), m_margins);
  // Fitted where it shows, against the region: in the long image's editor
  // the view has scrolled since the shape was started. The box goes back
  // into the shape's own space.
  const Rect textRect = MapRectToView(Rect{m_rect.x + m_margins.left, m_rect.y + m_margins.top, widths.text, height});
  const TextSpan span = FitTextSpan(TextSpan{textRect.y, textRect.height}, GetViewRect().y, limit, m_margins);
  const Rect box = BoxAround(m_rect.x, span, widths.box, m_margins);
  Point corner{box.x, box.y};
  MapPointFromView(corner);
  // While the editor shows the text, an unchanged box needs no repaint.
  if (!SetBoxRect(Rect{corner.x, corner.y, box.width, box.height}) && !m_edit) {
    RequestRepaintArea(MapRectToView(InsetRect(m_rect, -2)));
  }
  m_laidOut = std::move(copy);
  m_laidOutLimit = limit;
  m_laidOutRect = m_rect;
  m_laidOutLevel = m_width;
  m_laidOutScroll = scrolled;
}

void CTextShape::StartEditing() {
  if (m_edit) return;
  m_textBeforeEdit = m_text;
  CEditWnd* edit = new CEditWnd(this);
  m_edit = edit;
  // A window that died while being made has already told us (and is gone).
  if (!edit->Open() && m_edit == edit) {
    m_edit = nullptr;
    edit->DetachOwner();
    edit->Destroy();
  }
}

void CTextShape::OnEditorClosed() {
  m_edit = nullptr;
  LOG_DBG(L"text %d,%d %dx%d: %u characters", m_rect.x, m_rect.y, m_rect.width, m_rect.height,
          static_cast<unsigned>(m_text.size()));
  RequestRepaint();
  if (GetType() == kShapeText && m_text.empty()) RemoveEmptied();
}

void CTextShape::RemoveEmptied() {
  // A placed text edited down to nothing would stay an invisible box that
  // catches presses: it goes, as an undoable delete that brings back the
  // text it had before this editing.
  ICaptureWindow* window = GetCaptureWindow();
  ICaptureControl* control = window ? window->GetCaptureControl() : nullptr;
  ICaptureShade* mode = control ? control->GetCaptureShade() : nullptr;
  ICaptureMenu* menu = window ? window->GetCaptureMenu() : nullptr;
  if (!mode || !menu) return;
  const auto& shapes = mode->GetShapes();
  const auto listed = std::find_if(shapes.begin(), shapes.end(), [this](const ShapeManager::ShapePtr& shape) {
    return shape.get() == this;
  });
  if (listed == shapes.end()) return;  // still being made: never recorded
  const ShapeManager::ShapePtr self = *listed;
  SetText(m_textBeforeEdit);
  SetSelected(false);
  menu->ClearSelectedShape();
  LOG_INF(L"emptied text %d,%d removed", m_rect.x, m_rect.y);
  menu->GetCommandOrders().Do(std::make_shared<DeleteShapeCommand>(self));
}

void CTextShape::BeginCreate(Point& pt, bool& handled) {
  SetSelected(true);
  m_startPoint = pt;
  m_endPoint = pt;
  m_rect.x = pt.x;
  m_rect.y = pt.y;
  m_rect.width = kMinTextBoxWidth;
  ICaptureControl* control = ActiveControl();
  if (ICaptureShade* mode = control ? control->GetCaptureShade() : nullptr) SetScrollOffset(mode->GetScrollOffset());
  m_rect = FitRect(m_rect, GetLimitRect());
  m_pressBox = m_rect;
  SetState(kStateCreating);
  StartEditing();
  if (!m_edit) Layout();
  handled = true;
}

void CTextShape::BeginMove(Point& pt, bool& handled) {
  m_pressBox = m_rect;
  CBaseShade::BeginMove(pt, handled);
}

void CTextShape::OnLButtonDown(Point& pt, bool& handled) {
  if (m_state == kStateCreating) {
    // A press elsewhere while typing: the box stays when it holds text.
    SetSelected(false);
    handled = !m_text.empty();
    return;
  }
  CBaseShade::OnLButtonDown(pt, handled);
}

void CTextShape::OnLButtonUp(Point&, bool& handled) {
  if (m_state == kStateMoving) {
    SetState(kStateIdle);
  } else if (m_state == kStateCreating) {
    if (m_text.empty()) {
      handled = true;  // still being typed: nothing to record yet
    } else {
      SetState(kStateIdle);
    }
  }
  RequestRepaint();
}

void CTextShape::OnLButtonDblClk(Point& pt, bool& handled) {
  if (!GetViewRect().Contains(pt)) return;
  StartEditing();
  handled = true;
}

void CTextShape::OnMoving(Point& pt, bool& handled) {
  CBaseShade::OnMoving(pt, handled);
  const Rect view = GetViewRect();
  const Rect moved = FitRect(DraggedTo(view, pt), GetLimitRect());
  if (moved == view) return;
  Point corner{moved.x, moved.y};
  MapPointFromView(corner);
  SetBoxRect(Rect{corner.x, corner.y, moved.width, moved.height});
}

// The numbered marker.

CSerializedText::CSerializedText(int number) : m_number(number) {
  static unsigned made = 0;  // UI thread only
  m_madeOrder = ++made;
}

Rect CSerializedText::GetDiscRect() const {
  return DiscBeside(GetDrawRect(), static_cast<int>(std::lround(GetFontSize())));
}

Rect CSerializedText::GetDiscViewRect() const {
  return DiscBeside(GetViewRect(), static_cast<int>(std::lround(GetFontSize())));
}

Rect CSerializedText::GetRect() const {
  const Rect disc = DiscBeside(m_rect, static_cast<int>(std::lround(GetFontSize())));
  // The notch reaches 5 pixels left of the box.
  return m_text.empty() && !m_edit ? disc : UnionRect(disc, Rect{m_rect.x - 5, m_rect.y, m_rect.width + 5, m_rect.height});
}

void CSerializedText::SetNumber(int number) {
  if (number == m_number) return;
  LOG_DBG(L"marker %u shows %d", m_madeOrder, number);
  m_number = number;
  RequestRepaint();
}

void CSerializedText::DrawTextFrame(Gdiplus::Graphics* graphics, bool) {
  const Rect box = GetDrawRect();
  const Rect disc = GetDiscRect();
  Gdiplus::SolidBrush red(Gdiplus::Color(0xFFFF0000));
  graphics->FillEllipse(&red, disc.x, disc.y, disc.width, disc.height);
  const std::wstring digits = std::to_wstring(m_number);
  if (m_font) {
    Gdiplus::SolidBrush white(Gdiplus::Color(0xFFFFFFFF));
    Gdiplus::StringFormat centred;
    centred.SetAlignment(Gdiplus::StringAlignmentCenter);
    centred.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    const Gdiplus::RectF area(static_cast<Gdiplus::REAL>(disc.x), static_cast<Gdiplus::REAL>(disc.y),
                              static_cast<Gdiplus::REAL>(disc.width), static_cast<Gdiplus::REAL>(disc.height));
    graphics->DrawString(digits.c_str(), static_cast<INT>(digits.size()), m_font.get(), area, &centred, &white);
  }
  if (m_edit && !m_edit->IsInitialised()) return;
  if (m_text.empty() && !m_edit) return;
  // A rounded box over the text with a notch pointing at the disc.
  const float x = static_cast<float>(box.x), y = static_cast<float>(box.y);
  const float r = static_cast<float>(box.Right()), b = static_cast<float>(box.Bottom());
  const float m = y + static_cast<float>(box.height) / 2.0f;
  Gdiplus::GraphicsPath bubble;
  bubble.AddLine(x, m - 5, x - 5, m);
  bubble.AddLine(x - 5, m, x, m + 5);
  bubble.CloseFigure();
  AddRoundedRect(bubble, x, y, r - x, b - y, 10.0f);
  Gdiplus::SolidBrush fill{Gdiplus::Color(kBubbleColor)};
  graphics->FillPath(&fill, &bubble);
}

void CSerializedText::RenderBackground(HDC target, HDC source) {
  // The editor shows its text on the bubble's shade, as the marker does later.
  RenderCaptureOnto(target, source, kBubbleColor);
}

void CSerializedText::OnExtraPress(Point&, bool& handled) {
  StartEditing();
  handled = true;
}

void CSerializedText::OnLButtonDblClk(Point& pt, bool& handled) {
  if (GetDiscViewRect().Contains(pt)) OnExtraPress(pt, handled);
}

void CSerializedText::OnMoving(Point& pt, bool& handled) {
  CBaseShade::OnMoving(pt, handled);
  // The disc and the bubble move together and both stay inside the region.
  int dx = pt.x - m_lastPoint.x, dy = pt.y - m_lastPoint.y;
  AddFitCorrection(DraggedTo(MapRectToView(GetRect()), pt), GetLimitRect(), dx, dy);
  if (dx != 0 || dy != 0) SetBoxRect(Rect{m_rect.x + dx, m_rect.y + dy, m_rect.width, m_rect.height});
}

}  // namespace ScreenCapture
