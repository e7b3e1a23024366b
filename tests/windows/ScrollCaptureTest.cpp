// The scroll capture mode started and ended many times in one process, with
// and without its automatic scrolling running: no thread outlives it, no
// end waits on a thread that waits on it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <memory>

#include "GdiplusScope.h"
#include "Stubs.h"
#include "capture/CaptureControl.h"
#include "common/VirtualScreen.h"
#include "common/Clock.h"
#include "scroll/ScrollCapture.h"
#include "shapes/Commands.h"

namespace {

using namespace ScreenCapture;

// 20 starts; `make stress` (ZTD_STRESS_RUNS above 1) asks for 200.
int Cycles() {
  const char* runs = std::getenv("ZTD_STRESS_RUNS");
  return runs && std::atoi(runs) > 1 ? 200 : 20;
}

TEST(ScrollCapture, StartsAndEndsManyTimes) {
  testfiles::GdiplusScope gdiplus;
  stubs::Window window;
  SetCaptureWindow(&window);
  const Rect& screen = GetVirtualScreenRect();
  const Rect selection{100, 100, 400, 300};
  const POINT inside = {screen.x + 300, screen.y + 250};
  double slowest = 0;
  for (int i = 0; i < Cycles(); ++i) {
    auto mode = std::make_unique<ScrollCapture>(selection);
    window.control.mode = mode.get();
    EXPECT_EQ(mode->GetCaptureType(), kCaptureScroll);
    if (i % 2 == 1) {
      // A click inside starts the automatic scrolling, which injects a wheel
      // every 100 ms through the hook of this very thread.
      MSLLHOOKSTRUCT click = {};
      click.pt = inside;
      EXPECT_TRUE(mode->OnHookEvent(WM_LBUTTONUP, click));
      if (i % 4 == 3) ::Sleep(150);
    }
    const double start = NowMs();
    mode.reset();
    window.control.mode = nullptr;
    slowest = std::max(slowest, NowMs() - start);
  }
  // Ending never waits for a hook's time-out (two seconds under Wine).
  EXPECT_LT(slowest, 500.0);
  SetCaptureWindow(nullptr);
}

// The region's commands stay behind when the long capture starts (a redo
// would put its shapes into the live hole); a first frame that could not be
// grabbed still shows the tip and is grabbed at the next wheel.
TEST(ScrollCapture, StartsWithoutCommandsAndRecoversFromAFailedFirstGrab) {
  testfiles::GdiplusScope gdiplus;
  stubs::Window window;
  SetCaptureWindow(&window);
  {
    CCaptureControl control(nullptr);
    auto region = std::make_unique<CCaptureShade>();
    region->SetRect(Rect{100, 100, 400, 300});
    control.ReplaceMode(std::move(region));
    window.menu.orders.Do(std::make_shared<CreateShapeCommand>(std::make_shared<CSquareFrameShade>()));
    stubs::failArrayOf = 398 * 298 * 4;  // the first frame's pixels
    control.StartScrollCapture();
    auto* scroll = dynamic_cast<ScrollCapture*>(control.GetCaptureShade());
    ASSERT_NE(scroll, nullptr);
    EXPECT_FALSE(window.menu.orders.UndoLast());
    const auto waitFor = [](auto done) {
      for (int i = 0; i < 250 && !done(); ++i) ::Sleep(20);
      return done();
    };
    ASSERT_TRUE(waitFor([&] { return !scroll->GetTip().empty(); }));
    EXPECT_EQ(stubs::failArrayOf, 0u);
    EXPECT_EQ(scroll->GetCaptureBitmap(), nullptr);
    scroll->OnMouseWheel(-120, 0);
    HBITMAP first = nullptr;
    EXPECT_TRUE(waitFor([&] { return (first = scroll->GetCaptureBitmap()) != nullptr; }));
    if (first) ::DeleteObject(first);
  }
  SetCaptureWindow(nullptr);
}

}  // namespace
