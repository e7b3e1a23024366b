#include "menu/CaptureMenuWnd.h"

#include <algorithm>

#include "contracts/ICaptureControl.h"
#include "contracts/ICaptureShade.h"
#include "contracts/ICaptureWindow.h"
#include "common/VirtualScreen.h"
#include "common/BigDataHelper.h"
#include "common/DrawHelpers.h"
#include "common/Logger.h"
#include "common/WineQuirks.h"
#include "common/SystemFunctions.h"
#include "core/Dpi.h"
#include "ToolbarGeometry.h"
#include "shapes/ArrowShade.h"
#include "shapes/BrushShade.h"
#include "shapes/RoundShade.h"
#include "shapes/ScrollShapes.h"
#include "shapes/TextShape.h"

namespace ScreenCapture {

namespace {

struct ColorOption {
  const wchar_t* name;
  ARGB color;
};
// In the order the factory looks for the selected one.
constexpr ColorOption kColors[] = {{L"redcolor", kColorRed},   {L"yellowcolor", kColorYellow},
                                   {L"bluecolor", kColorBlue}, {L"greencolor", kColorGreen},
                                   {L"graycolor", kColorGray}, {L"whitecolor", kColorWhite}};
struct SizeOption {
  const wchar_t* name;
  int level;
};
constexpr SizeOption kSizes[] = {{L"smallsize", kSizeSmall}, {L"middlesize", kSizeMiddle}, {L"bigsize", kSizeBig}};

struct ToolOption {
  int type;
  const wchar_t* option;
  const wchar_t* panel;
  int usage;  // usage code of its click, 0 for none
};
constexpr ToolOption kTools[] = {{kShapeRectangle, L"square", L"squareShadow", 1},
                                 {kShapeEllipse, L"round", L"roundShadow", 2},
                                 {kShapeArrow, L"arrow", L"arrowShadow", 3},
                                 {kShapeBrush, L"brush", L"brushShadow", 4},
                                 {kShapeMosaic, L"mosaic", L"mosaicShadow", 10},
                                 {kShapeText, L"text", L"textShadow", 5},
                                 {kShapeNumberedText, L"sericalizetext", nullptr, 0}};

ICaptureWindow* Window() { return GetCaptureWindow(); }

}  // namespace

ICaptureShade* CCaptureMenuWnd::Mode() const {
  ICaptureWindow* window = Window();
  ICaptureControl* control = window ? window->GetCaptureControl() : nullptr;
  return control ? control->GetCaptureShade() : nullptr;
}

void CCaptureMenuWnd::InitWindow() {
  for (const ToolOption& tool : kTools) {
    if (auto* option = Find<DuiLib::COptionUI>(tool.option)) m_tools[tool.type] = option;
    if (tool.panel) {
      if (DuiLib::CControlUI* panel = m_pm.FindControl(tool.panel)) m_panels[tool.type] = panel;
    }
  }
  m_optionList = m_pm.FindControl(L"layoutOptionList");
  m_shades = m_pm.FindControl(L"layoutShades");
  m_edits = m_pm.FindControl(L"layoutEdits");
  m_point = m_pm.FindControl(L"layoutPoint");
  m_shadesShadow = m_pm.FindControl(L"layoutShadesShadow");
  m_editsShadow = m_pm.FindControl(L"layoutEditsShadow");
  m_colorLayout = m_pm.FindControl(L"colorlayout");
  m_sizeLayout = m_pm.FindControl(L"sizelayout");
  m_textSizeLayout = m_pm.FindControl(L"textSizeLayout");
  m_editGap = m_pm.FindControl(L"editGap");
  m_textSizeCombo = Find<DuiLib::CComboUI>(L"textSizeCombo");

  const int skinDpi = SnapDpi(SystemDpi());
  m_scale = skinDpi / 96.0;
  m_pm.SetDPI(skinDpi);
  ::SetWindowPos(m_hwnd, nullptr, 0, 0, ScaleValue(ToolbarGeometry::kWidth), ScaleValue(ToolbarGeometry::kHeight),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CCaptureMenuWnd::HandleCustomMessage(UINT message, WPARAM wParam, LPARAM, BOOL& handled) {
  handled = FALSE;
  if (message == WM_CHAR && wParam == VK_ESCAPE) EndCapture();
  if (message == kSelectToolMessage) {
    handled = TRUE;
    SelectShapeType(static_cast<int>(wParam));
    return 0;
  }
  if (message == kRaiseMessage) {
    handled = TRUE;
    WineQuirks::RestackAboveOwner(m_hwnd);
  }
  return 0;
}

void CCaptureMenuWnd::ApplyShapeType(int type) {
  const auto oldPanel = m_panels.find(m_shapeType);
  if (oldPanel != m_panels.end()) oldPanel->second->SetVisible(false);
  m_shapeType = type;
  if (m_sizeLayout) {
    m_sizeLayout->SetVisible(type != kShapeText);
    m_sizeLayout->SetEnabled(type != kShapeText);
  }
  if (m_textSizeLayout) {
    m_textSizeLayout->SetVisible(type == kShapeText);
    m_textSizeLayout->SetEnabled(type == kShapeText);
  }
  if (m_optionList) m_optionList->SetVisible(type != kShapeNone);
  const auto newPanel = m_panels.find(type);
  if (newPanel != m_panels.end()) newPanel->second->SetVisible(true);
  if (m_hwnd) {
    RECT rect = {};
    ::GetWindowRect(m_hwnd, &rect);
    ::SetWindowPos(m_hwnd, nullptr, rect.left, rect.top, rect.right - rect.left,
                   ScaleValue(type != kShapeNone ? ToolbarGeometry::kExpandedHeight : ToolbarGeometry::kHeight),
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // The options fill their tool's panel inside its shadow; the mosaic's
  // panel is the short one (no colours) under its own button.
  const bool mosaic = type == kShapeMosaic;
  const int left = mosaic ? ToolbarGeometry::kMosaicPanelLeft : 0;
  const int width = (mosaic ? ToolbarGeometry::kMosaicPanelWidth : ToolbarGeometry::kPanelWidth) -
                    2 * ToolbarGeometry::kShadowMargin;
  if (m_colorLayout) m_colorLayout->SetVisible(!mosaic);
  if (DuiLib::CControlUI* bottom = m_pm.FindControl(L"bottomlayout")) bottom->SetFixedWidth(width);
  if (m_optionList) {
    const int top = ToolbarGeometry::kOptionListTop, height = ToolbarGeometry::kOptionListHeight;
    m_optionList->SetAttribute(L"pos", std::to_wstring(left) + L"," + std::to_wstring(top) + L"," +
                                           std::to_wstring(left + width) + L"," + std::to_wstring(top + height));
    m_optionList->SetFixedWidth(width);
    m_optionList->SetFixedHeight(height);
  }
  if (auto* root = dynamic_cast<DuiLib::CContainerUI*>(m_pm.GetRoot())) root->Relayout();
}

void CCaptureMenuWnd::SelectShapeType(int type) {
  const auto current = m_tools.find(m_shapeType);
  if (current != m_tools.end()) current->second->Selected(false, false);
  if (m_selectedShape) {
    m_selectedShape->SetSelected(false);
    m_selectedShape.reset();
  }
  // Clicking the active tool turns it off.
  ApplyShapeType(type == m_shapeType ? kShapeNone : type);
}

POINT CCaptureMenuWnd::PlaceBeside(const Rect& sel, const Rect& vs, int tw, double s) {
  using namespace ToolbarGeometry;
  // The buttons' panel lines up with the selection's right edge, kGap below
  // it (or above it where an open option panel would leave the screen, all
  // but its lower shadow); the shadow may hang off the screen's sides.
  constexpr int kGap = 8, kLowerShadow = 13;
  const auto t = [s](int v) { return static_cast<int>(v * s); };
  int x = sel.x + sel.width + t(kShadowMargin) - tw;
  x = std::max(x, vs.x - t(kShadowMargin));
  if (x - t(kShadowMargin) + tw > vs.x + vs.width) x = vs.x + vs.width + t(kShadowMargin) - tw;
  int y = sel.y + sel.height + t(kGap) - t(kRowTop);
  if (y + t(kExpandedHeight) - t(kLowerShadow) > vs.y + vs.height) y = sel.y + t(-kGap) - t(kRowHeight);
  if (y < vs.y) y = sel.y;
  return POINT{x, y};
}

void CCaptureMenuWnd::ShowMenu(bool show) {
  if (!m_hwnd) return;
  if (!show) {
    ::ShowWindow(m_hwnd, SW_HIDE);
    return;
  }
  ICaptureShade* mode = Mode();
  if (mode) {
    const Rect& vs = GetVirtualScreenRect();
    const Rect selection = CaptureToScreen(mode->GetRect(), vs);
    RECT rect = {};
    const int width = ::GetWindowRect(m_hwnd, &rect) ? rect.right - rect.left : 0;
    const POINT at = PlaceBeside(selection, vs, width, m_scale);
    ::SetWindowPos(m_hwnd, HWND_TOP, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  }
  ::ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
  KeepAboveCapture();
}

namespace {
// The plain shape of a tool, or in the long-image editor its scroll variant.
template <class Plain, class Scroll, class... Args>
std::shared_ptr<IBaseShade> MakeShape(bool scroll, Args... args) {
  if (scroll) return std::make_shared<Scroll>(args...);
  return std::make_shared<Plain>(args...);
}
}  // namespace

std::shared_ptr<IBaseShade> CCaptureMenuWnd::CreateShape() {
  std::shared_ptr<IBaseShade> shape;
  ICaptureShade* mode = Mode();
  const bool scroll = mode && mode->GetCaptureType() == kCaptureScrollEditor;
  switch (m_shapeType) {
    case kShapeRectangle: shape = MakeShape<CSquareFrameShade, CScrollSquareShade>(scroll); break;
    case kShapeEllipse: shape = MakeShape<CRoundShade, CScrollRoundShade>(scroll); break;
    case kShapeArrow: shape = MakeShape<CArrawShade, CScrollArrawShade>(scroll); break;
    case kShapeBrush: shape = MakeShape<CBrushShade, CScrollBrushShade>(scroll); break;
    case kShapeMosaic: shape = MakeShape<CMosaicShade, CScrollMosaicShade>(scroll); break;
    case kShapeText: shape = MakeShape<CTextShape, CScrollTextShade>(scroll); break;
    case kShapeNumberedText: {
      if (!mode) return nullptr;
      shape = MakeShape<CSerializedText, CScrollSerializedText>(scroll, mode->TakeNextNumber());
      break;
    }
    default: return nullptr;
  }
  for (const ColorOption& color : kColors) {
    auto* option = Find<DuiLib::COptionUI>(color.name);
    if (option && option->IsSelected()) {
      shape->SetColor(color.color);
      break;
    }
  }
  if (m_shapeType == kShapeText) {
    const DuiLib::CListLabelElementUI* item = m_textSizeCombo ? m_textSizeCombo->GetSelectedItem() : nullptr;
    if (item) shape->SetWidth(_wtoi(item->GetUserData().c_str()));
  } else {
    for (const SizeOption& size : kSizes) {
      auto* option = Find<DuiLib::COptionUI>(size.name);
      if (option && option->IsSelected()) {
        shape->SetWidth(size.level);
        break;
      }
    }
  }
  return shape;
}

void CCaptureMenuWnd::SetSelectedShape(std::shared_ptr<IBaseShade> shape) {
  if (!shape) return;
  m_selectedShape = shape;
  const int type = shape->GetType();
  ApplyShapeType(type);
  const auto tool = m_tools.find(type);
  if (tool != m_tools.end()) tool->second->Selected(true, false);
  if (type == kShapeText) shape->SetSelected(true);
  for (const ColorOption& color : kColors) {
    auto* option = Find<DuiLib::COptionUI>(color.name);
    if (option && color.color == shape->GetColor()) {
      option->Selected(true, false);
      break;
    }
  }
  if (type == kShapeText) {
    for (int i = 0; m_textSizeCombo && i < m_textSizeCombo->GetCount(); ++i) {
      auto* item = dynamic_cast<DuiLib::CListLabelElementUI*>(m_textSizeCombo->GetItemAt(i));
      if (item && _wtoi(item->GetUserData().c_str()) == shape->GetWidth()) {
        m_textSizeCombo->SelectItem(i, false);
        break;
      }
    }
  } else {
    for (const SizeOption& size : kSizes) {
      auto* option = Find<DuiLib::COptionUI>(size.name);
      if (option && size.level == shape->GetWidth()) option->Selected(true, false);
    }
  }
}

void CCaptureMenuWnd::UpdateMenuMode() {
  ICaptureShade* mode = Mode();
  const int type = mode ? mode->GetCaptureType() : kCaptureNormal;
  if (type != kCaptureScroll && type != kCaptureScrollEditor) return;
  const bool scroll = type == kCaptureScroll;
  for (DuiLib::CControlUI* c : {m_shades, m_shadesShadow}) {
    if (c) c->SetVisible(!scroll);
  }
  for (DuiLib::CControlUI* c : {m_optionList, m_point}) {
    if (c) c->SetVisible(false);
  }
  for (const wchar_t* name : {L"scrolledit", L"layoutEditsShadow", L"editGap"}) {
    if (DuiLib::CControlUI* c = m_pm.FindControl(name)) c->SetVisible(scroll);
  }
  const int width = scroll ? ToolbarGeometry::kScrollWidth : ToolbarGeometry::kWidth;
  if (m_edits) m_edits->SetFixedWidth(width);
  if (auto* root = dynamic_cast<DuiLib::CContainerUI*>(m_pm.GetRoot())) root->Relayout();
  ::SetWindowPos(m_hwnd, nullptr, 0, 0, ScaleValue(width), ScaleValue(ToolbarGeometry::kHeight),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  ShowMenu(true);
}

void CCaptureMenuWnd::KeepAboveCapture() {
  // The toolbar is owned by the capture window and so stays above it; where
  // activating the capture window restacks it over the toolbar all the same
  // (WineQuirks::RestackAboveOwner), the activation arrives after this
  // handler: the toolbar is put back on top once it has.
  if (m_hwnd && ::IsWindowVisible(m_hwnd)) ::PostMessageW(m_hwnd, kRaiseMessage, 0, 0);
}

void CCaptureMenuWnd::EndCapture() { ScreenCapture::EndCapture(Window()); }

void CCaptureMenuWnd::ReportUsage(int code) {
  LOG_DBG(L"toolbar usage %d", code);
  BigDataHelper* reporter = BigDataHelper::Instance();
  reporter->Report(reporter->Pick(L"SC1003", L"SC0006"), {{L"type", std::to_wstring(code)}});
}

void CCaptureMenuWnd::Notify(DuiLib::TNotifyUI& msg) {
  DuiLib::CControlUI* sender = msg.pSender;
  const std::wstring name = sender ? sender->GetName() : L"";
  ICaptureWindow* window = Window();
  ICaptureControl* control = window ? window->GetCaptureControl() : nullptr;
  if (msg.sType == L"click") {
    bool handledTool = false;
    for (const ToolOption& tool : kTools) {
      if (name != tool.option) continue;
      SelectShapeType(tool.type);
      if (tool.usage && m_shapeType != kShapeNone) ReportUsage(tool.usage);
      handledTool = true;
    }
    if (!handledTool) {
      if (name == L"quash") {
        if (!CanUndo()) {
          LOG_TRA(L"back to select");
          if (control) control->ResetCapture();
        } else {
          UndoLast();
          if (control) control->Invalidate();
        }
        ReportUsage(6);
      } else if (name == L"recover") {
        if (CanRedo()) {
          RedoLast();
          if (control) control->Invalidate();
        }
      } else if (name == L"ocr") {
        // The usage event follows the action: it reports what was done.
        ICaptureShade* mode = Mode();
        const bool done = !mode || mode->SendToOcr();
        ReportUsage(11);
        if (done) EndCapture();
      } else if (name == L"closed") {
        ReportUsage(8);
        EndCapture();
      } else if (name == L"download") {
        int saved = 0;
        if (ICaptureShade* mode = Mode()) mode->SaveToFile(&saved);
        // Both events follow the save and come before the capture ends (the
        // button's own one also after a cancelled dialog).
        if (saved) {
          BigDataHelper* reporter = BigDataHelper::Instance();
          reporter->Report(reporter->Pick(L"SC1004", L"SC0007"));
        }
        ReportUsage(7);
        if (saved) EndCapture();
      } else if (name == L"finished") {
        ICaptureShade* mode = Mode();
        const bool done = !mode || mode->FinishCapture();
        ReportUsage(9);
        if (done) EndCapture();
      } else if (name == L"scrollCapture") {
        if (control) control->StartScrollCapture();
      } else if (name == L"scrolledit") {
        if (control) control->StartScrollEditor();
        BigDataHelper* reporter = BigDataHelper::Instance();
        reporter->Report(reporter->Pick(L"", L"SC0005"));
      }
    }
    if (window && window->GetHWND() && ::IsWindow(window->GetHWND())) ::SetFocus(window->GetHWND());
    KeepAboveCapture();
    return;
  }
  if (msg.sType == L"selectchanged") {
    auto* option = dynamic_cast<DuiLib::COptionUI*>(sender);
    if (m_selectedShape && m_selectedShape->IsSelected() && option && option->IsSelected()) {
      for (const ColorOption& color : kColors) {
        if (name == color.name && m_selectedShape->GetColor() != color.color) {
          Do(std::make_shared<ChangeShapeColorCommand>(m_selectedShape, color.color));
        }
      }
      for (const SizeOption& size : kSizes) {
        if (name == size.name && m_selectedShape->GetWidth() != size.level) {
          Do(std::make_shared<ChangeShapeWidthCommand>(m_selectedShape, size.level));
        }
      }
    }
    for (const SizeOption& size : kSizes) {
      if (name == size.name) SetShapeSize(size.level);
    }
    return;
  }
  if (msg.sType == L"itemselect" && sender == m_textSizeCombo && m_selectedShape && m_selectedShape->IsSelected()) {
    const DuiLib::CListLabelElementUI* item = m_textSizeCombo->GetSelectedItem();
    const int level = item ? _wtoi(item->GetUserData().c_str()) : 0;
    if (item && level != m_selectedShape->GetWidth()) {
      Do(std::make_shared<ChangeShapeWidthCommand>(m_selectedShape, level));
    }
  }
}

}  // namespace ScreenCapture
