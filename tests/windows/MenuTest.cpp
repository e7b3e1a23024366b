// The toolbar window in this process, without a capture window.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>

#include "menu/CaptureMenuWnd.h"
#include "Stubs.h"
#include "ToolbarGeometry.h"
#include "contracts/ICaptureWindow.h"
#include "contracts/ICaptureWindow.h"
#include "ui/Controls.h"

namespace {

using namespace ScreenCapture;

class TestMenuAccess : public CCaptureMenuWnd {
 public:
  DuiLib::CPaintManagerUI& PaintManager() { return m_pm; }
  template <class T>
  T* Control(const wchar_t* name) {
    return dynamic_cast<T*>(m_pm.FindControl(name));
  }
};

TEST(Toolbar, StylesShapesRecordsChangesAndEnds) {
  stubs::Window window;
  SetCaptureWindow(&window);
  TestMenuAccess menu;
  ASSERT_NE(menu.Create(nullptr, L"CaptureMenuWnd", 0x86C80000, 0x88, 100, 100, CW_USEDEFAULT, CW_USEDEFAULT), nullptr);

  // Mosaic: no colour row; the option panel moves to 107..201.
  menu.SelectShapeType(kShapeMosaic);
  EXPECT_FALSE(menu.Control<DuiLib::CControlUI>(L"colorlayout")->IsVisible());
  EXPECT_EQ(menu.Control<DuiLib::CControlUI>(L"layoutOptionList")->GetAttribute(L"pos"), L"107,44,201,80");
  EXPECT_TRUE(menu.Control<DuiLib::CControlUI>(L"mosaicShadow")->IsVisible());
  menu.Control<DuiLib::COptionUI>(L"bigsize")->Selected(true);
  const auto mosaic = menu.CreateShape();
  ASSERT_NE(mosaic, nullptr);
  EXPECT_EQ(mosaic->GetType(), kShapeMosaic);
  EXPECT_EQ(mosaic->GetStrokeWidth(), 32);

  // A rectangle takes the selected colour and size.
  menu.SelectShapeType(kShapeRectangle);
  EXPECT_TRUE(menu.Control<DuiLib::CControlUI>(L"colorlayout")->IsVisible());
  EXPECT_FALSE(menu.Control<DuiLib::CControlUI>(L"mosaicShadow")->IsVisible());
  menu.Control<DuiLib::COptionUI>(L"bluecolor")->Selected(true);
  menu.Control<DuiLib::COptionUI>(L"bigsize")->Selected(true);
  EXPECT_FALSE(menu.Control<DuiLib::COptionUI>(L"redcolor")->IsSelected());  // one group
  EXPECT_EQ(menu.GetShapeSize(), kSizeBig);
  auto shape = menu.CreateShape();
  ASSERT_NE(shape, nullptr);
  EXPECT_EQ(shape->GetColor(), kColorBlue);
  EXPECT_EQ(shape->GetWidth(), kSizeBig);

  // Picked for editing: its colour with its own value records nothing; a
  // new colour and size record a command each.
  shape->SetSelected(true);
  menu.SetSelectedShape(shape);
  menu.Control<DuiLib::COptionUI>(L"bluecolor")->Selected(true);
  EXPECT_EQ(menu.UndoCount(), 0u);
  menu.Control<DuiLib::COptionUI>(L"greencolor")->Selected(true);
  EXPECT_EQ(shape->GetColor(), kColorGreen);
  menu.Control<DuiLib::COptionUI>(L"smallsize")->Selected(true);
  EXPECT_EQ(shape->GetWidth(), kSizeSmall);
  EXPECT_EQ(menu.UndoCount(), 2u);
  menu.UndoLast();
  menu.UndoLast();
  EXPECT_EQ(shape->GetColor(), kColorBlue);
  EXPECT_EQ(shape->GetWidth(), kSizeBig);

  // An arrow and a brush stroke take the style too.
  for (const int tool : {kShapeArrow, kShapeBrush}) {
    menu.SelectShapeType(tool);
    menu.Control<DuiLib::COptionUI>(L"yellowcolor")->Selected(true);
    menu.Control<DuiLib::COptionUI>(L"bigsize")->Selected(true);
    auto stroke = menu.CreateShape();
    ASSERT_NE(stroke, nullptr);
    EXPECT_EQ(stroke->GetType(), tool);
    EXPECT_EQ(stroke->GetColor(), kColorYellow);
    EXPECT_EQ(stroke->GetWidth(), kSizeBig);
  }

  // Esc typed in the toolbar ends the capture.
  ::SendMessageW(menu.GetHWND(), WM_CHAR, VK_ESCAPE, 0);
  EXPECT_EQ(window.closes, 1);
  SetCaptureWindow(nullptr);
}

TEST(Toolbar, PlacementBesideTheRegion) {
  // Beside a region in the middle, at 96 and 168 DPI, the toolbar is placed
  // end to end (below the region, its visible right edge on the region's);
  // here the screen's edges. At 1.5 every product is truncated on its own.
  const Rect screen{0, 0, 1920, 1080};
  const POINT p = CCaptureMenuWnd::PlaceBeside(Rect{400, 700, 400, 360}, screen, 588, 1.5);
  EXPECT_EQ(p.x, 800 + 15 - 588);
  EXPECT_EQ(p.y, 700 - 12 - 54);
  // The bottom edge: above; top and bottom: inside at the top; the left
  // and right edges keep it on the screen.
  EXPECT_EQ(CCaptureMenuWnd::PlaceBeside(Rect{400, 700, 400, 380}, screen, 392, 1.0).y, 700 - 8 - 36);
  EXPECT_EQ(CCaptureMenuWnd::PlaceBeside(Rect{400, 0, 400, 1080}, screen, 392, 1.0).y, 0);
  EXPECT_EQ(CCaptureMenuWnd::PlaceBeside(Rect{0, 300, 100, 100}, screen, 392, 1.0).x, -10);
  // A monitor left of the primary: the same rules at a negative origin.
  EXPECT_EQ(CCaptureMenuWnd::PlaceBeside(Rect{-1920, 300, 100, 100}, Rect{-1920, 0, 3840, 1080}, 392, 1.0).x, -1930);
}

TEST(Toolbar, TooltipsNameTheControlUnderTheMouse) {
  TestMenuAccess menu;
  ASSERT_NE(menu.Create(nullptr, L"CaptureMenuWnd", 0x86C80000, 0x88, 100, 100, CW_USEDEFAULT, CW_USEDEFAULT), nullptr);
  ::ShowWindow(menu.GetHWND(), SW_SHOWNOACTIVATE);
  const auto moveTo = [&](ToolbarGeometry::Button button) {
    const int* at = ToolbarGeometry::kButtonCentre[static_cast<int>(button)];
    ::SendMessageW(menu.GetHWND(), WM_MOUSEMOVE, 0, MAKELPARAM(at[0], at[1]));
  };
  moveTo(ToolbarGeometry::Button::Rectangle);
  const HWND tip = menu.PaintManager().GetToolTipWindow();
  ASSERT_NE(tip, nullptr);
  wchar_t text[64] = {};
  TOOLINFOW tool = {};
  tool.cbSize = sizeof(tool);
  tool.hwnd = menu.GetHWND();
  tool.uId = reinterpret_cast<UINT_PTR>(menu.GetHWND());
  tool.lpszText = text;
  ::SendMessageW(tip, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(text, L"\x6B63\x65B9\x5F62");  // "正方形"
  moveTo(ToolbarGeometry::Button::Finish);
  ::SendMessageW(tip, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(text, L"\x5B8C\x6210");  // "完成"
}

}  // namespace
