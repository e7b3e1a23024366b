// The toolbar window in this process, without a capture window.
#include <gtest/gtest.h>
#include <windows.h>
#include <gdiplus.h>

#include "menu/CaptureMenuWnd.h"

namespace {

using namespace ScreenCapture;

class TestMenu : public CCaptureMenuWnd {
 public:
  DuiLib::CPaintManagerUI& PaintManager() { return m_pm; }
};

void Pump() {
  MSG msg;
  for (int i = 0; i < 5; ++i) {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::Sleep(10);
  }
}

uint32_t Alpha(DuiLib::CPaintManagerUI& pm, int x, int y) {
  int stride = 0;
  const uint32_t* bits = pm.GetOffscreenBits(&stride);
  return bits ? bits[static_cast<size_t>(y) * (stride / 4) + x] >> 24 : 0;
}

TEST(Toolbar, ToolChoiceOpensTheOptionPanel) {
  TestMenu menu;
  ASSERT_NE(menu.Create(nullptr, L"CaptureMenuWnd", 0x86C80000, 0x88, 100, 100, CW_USEDEFAULT, CW_USEDEFAULT), nullptr);
  menu.ShowMenu(true);
  Pump();
  RECT rect = {};
  ::GetWindowRect(menu.GetHWND(), &rect);
  EXPECT_EQ(rect.right - rect.left, 392);
  EXPECT_EQ(rect.bottom - rect.top, 56);
  EXPECT_EQ(Alpha(menu.PaintManager(), 200, 30), 255u);  // the white panel
  EXPECT_EQ(Alpha(menu.PaintManager(), 1, 1), 0u);       // outside it

  menu.SelectShapeType(kShapeRectangle);
  Pump();
  ::GetWindowRect(menu.GetHWND(), &rect);
  EXPECT_EQ(rect.bottom - rect.top, 100);
  EXPECT_EQ(menu.GetShapeType(), kShapeRectangle);
  EXPECT_EQ(Alpha(menu.PaintManager(), 200, 30), 255u);
  EXPECT_EQ(Alpha(menu.PaintManager(), 100, 80), 255u);  // the option panel
  {
    // On the screen too: the white panel and the option panel.
    const HDC screen = ::GetDC(nullptr);
    EXPECT_EQ(::GetPixel(screen, rect.left + 200, rect.top + 30) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(::GetPixel(screen, rect.left + 100, rect.top + 80) & 0xFFFFFF, 0xFFFFFFu);
    ::ReleaseDC(nullptr, screen);
  }

  // The same tool again: no tool, 56 high.
  menu.SelectShapeType(kShapeRectangle);
  Pump();
  ::GetWindowRect(menu.GetHWND(), &rect);
  EXPECT_EQ(rect.bottom - rect.top, 56);
  EXPECT_EQ(menu.GetShapeType(), kShapeNone);
}

}  // namespace
