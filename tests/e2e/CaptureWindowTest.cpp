// The capture window as a user sees it: the frozen screen dimmed over every
// monitor, right and middle buttons reaching the control, the skin DPI.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "Harness.h"
#include "PatternWindow.h"
#include "TestFiles.h"

namespace {

using e2e::LinesWith;
using e2e::ProgramRun;

constexpr const wchar_t* kWindowClass = L"ZTDScreenCaptureWnd";

class CaptureWindowTest : public testing::Test {
 protected:
  void SetUp() override { e2e::ClearLogs(); }
  testfiles::ConfigIni m_config{"[config]\r\ng_orvane_global_log_level=5\r\n"};
};

DWORD EndWithEsc(ProgramRun& run, HWND hwnd) {
  e2e::BringToFront(hwnd);
  return e2e::EndWithEsc(run);
}

int ChannelDistance(uint32_t a, uint32_t b) {
  int worst = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    worst = std::max(worst, d < 0 ? -d : d);
  }
  return worst;
}

TEST_F(CaptureWindowTest, FrozenScreenIsShownDimmedEverywhere) {
  e2e::PatternWindow pattern;
  const e2e::ScreenShot before = e2e::GrabScreen();
  ASSERT_EQ(before.At(5, 5), 0xFFFFFFu) << "the fixture must be on the screen";

  // The fixture's class is ignored, so no window is offered; the magnifier
  // sits by the cursor in the bottom right corner.
  e2e::MoveMouse(before.width - 1, before.height - 1);
  ProgramRun run;
  ASSERT_TRUE(run.Start(L"--cachepath=C:\\cache --ignoreWndowClassName=;ZtdPatternFixture;"));
  const HWND hwnd = run.WaitForWindow(kWindowClass);
  ASSERT_NE(hwnd, nullptr);
  ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::PaintCount(hwnd) > 0; }, 5000)) << "never painted";
  const e2e::ScreenShot shot = e2e::SettledShot();
  ASSERT_EQ(shot.width, before.width);

  // Every pixel is the pattern at 127/255: the whole virtual screen is
  // covered, and no window of the program was in the frozen image.
  int mismatches = 0;
  int firstX = -1, firstY = -1;
  for (int y = 0; y < shot.height; ++y) {
    for (int x = 0; x < shot.width; ++x) {
      if (x >= shot.width - 200 && y >= shot.height - 260) continue;  // the magnifier
      const uint32_t want = e2e::Dimmed(e2e::PatternWindow::ColourAt(x, y, shot.width, shot.height));
      if (ChannelDistance(shot.At(x, y), want) > 1) {
        if (mismatches++ == 0) {
          firstX = x;
          firstY = y;
        }
      }
    }
  }
  EXPECT_EQ(mismatches, 0) << "first at " << firstX << "," << firstY << ": " << std::hex
                           << (firstX >= 0 ? shot.At(firstX, firstY) : 0);
  // White reads 127 in every channel.
  EXPECT_EQ(shot.At(10, 10), 0x7F7F7Fu);

  EXPECT_EQ(EndWithEsc(run, hwnd), 0u);
  // The live screen is back once the window is gone.
  EXPECT_TRUE(e2e::WaitUntil([] { return e2e::GrabScreen().At(10, 10) == 0xFFFFFF; }, 3000));

  const auto lines = e2e::ReadLogLines();
  EXPECT_EQ(LinesWith(lines, "[TRA] ScreenBackgroundHelper.cpp(").size(), 1u);
  EXPECT_EQ(LinesWith(lines, "skin dpi 96 (system 96)").size(), 1u);
  EXPECT_TRUE(LinesWith(lines, "[ERR]").empty());
}

TEST_F(CaptureWindowTest, RightAndMiddleButtonsReachTheControl) {
  // A right click before any region exists ends the capture.
  {
    ProgramRun run;
    ASSERT_NE(e2e::StartCapture(run, L""), nullptr);
    e2e::RightClick(300, 400);
    DWORD code = 0xFFFF;
    EXPECT_TRUE(run.WaitForExit(10000, &code));
    EXPECT_EQ(code, 0u);
    const auto lines = e2e::ReadLogLines();
    EXPECT_EQ(LinesWith(lines, "capture event 15 at 300,400").size(), 1u);
    EXPECT_EQ(LinesWith(lines, "capture event 16 at 300,400").size(), 1u);
  }
  e2e::ClearLogs();
  // With a region chosen: the middle button reaches the control too, and a
  // right double click is down, up, up (no event of its own): the first up
  // goes back to offering windows, the second ends the capture.
  ProgramRun run;
  const HWND hwnd = e2e::StartCapture(run, L"");
  ASSERT_NE(hwnd, nullptr);
  e2e::LeftDrag(100, 100, 600, 500);
  ASSERT_TRUE(e2e::WaitForLog("region 100,100 500x400"));
  e2e::MiddleClick(320, 420);
  ASSERT_TRUE(e2e::WaitForLog("capture event 18 at 320,420"));
  e2e::RightClick(310, 410);
  e2e::RightClick(310, 410);
  DWORD code = 0xFFFF;
  EXPECT_TRUE(run.WaitForExit(10000, &code));
  EXPECT_EQ(code, 0u);

  const auto lines = e2e::ReadLogLines();
  EXPECT_EQ(LinesWith(lines, "capture event 17 at 320,420").size(), 1u);
  EXPECT_EQ(LinesWith(lines, "capture event 18 at 320,420").size(), 1u);
  EXPECT_EQ(LinesWith(lines, "capture event 15 at 310,410").size(), 1u);
  EXPECT_EQ(LinesWith(lines, "capture event 16 at 310,410").size(), 2u);
  EXPECT_TRUE(LinesWith(lines, "capture event 19 ").empty());
}

TEST_F(CaptureWindowTest, SkinDpiSnapsToTheNextLowerStep) {
  const struct {
    DWORD system;
    const char* expected;
  } cases[] = {{120, "skin dpi 96 (system 120)"}, {168, "skin dpi 144 (system 168)"}, {400, "skin dpi 384 (system 400)"}};
  for (const auto& c : cases) {
    e2e::ClearLogs();
    e2e::SystemDpi dpi(c.system);
    ProgramRun run;
    ASSERT_TRUE(run.Start(L""));
    const HWND hwnd = run.WaitForWindow(kWindowClass);
    ASSERT_NE(hwnd, nullptr);
    // Physical pixels whatever the DPI: the window still covers the screen.
    RECT rect = {};
    ::GetWindowRect(hwnd, &rect);
    EXPECT_EQ(rect.right - rect.left, ::GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(EndWithEsc(run, hwnd), 0u);
    EXPECT_EQ(LinesWith(e2e::ReadLogLines(), c.expected).size(), 1u) << c.expected;
  }
}

}  // namespace
