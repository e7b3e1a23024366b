// The capture window as a user sees it: the frozen screen dimmed over every
// monitor.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "Harness.h"
#include "PatternWindow.h"
#include "TestFiles.h"

namespace {

using e2e::LinesWith;
using e2e::ProgramRun;

class CaptureWindowTest : public testing::Test {
 protected:
  void SetUp() override { e2e::ClearLogs(); }
  testfiles::ConfigIni m_config{"[config]\r\ng_orvane_global_log_level=5\r\n"};
};

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
  const HWND hwnd = run.WaitForWindow(e2e::kCaptureWindowClass);
  ASSERT_NE(hwnd, nullptr);
  ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::GrabScreen().pixels != before.pixels; }, 5000)) << "never painted";
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

  e2e::BringToFront(hwnd);
  EXPECT_EQ(e2e::EndWithEsc(run), 0u);
  // The live screen is back once the window is gone.
  EXPECT_TRUE(e2e::WaitUntil([] { return e2e::GrabScreen().At(10, 10) == 0xFFFFFF; }, 3000));

  EXPECT_TRUE(LinesWith(e2e::ReadLogLines(), "[ERR]").empty());
}

}  // namespace
