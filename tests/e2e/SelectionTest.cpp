// Choosing a region on the real program: windows offered under the mouse,
// clicks and drags, the screen edges, the magnifier and the size label.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "FixtureWindows.h"
#include "Harness.h"
#include "TestFiles.h"

namespace {

using e2e::LinesWith;
using e2e::ProgramRun;

constexpr uint32_t kFrame = 0x2F81FC;

std::string RectText(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
         std::to_string(r.bottom - r.top);
}

RECT WindowRect(HWND hwnd) {
  RECT r = {};
  ::GetWindowRect(hwnd, &r);
  return r;
}

class SelectionE2E : public testing::Test {
 protected:
  void SetUp() override { e2e::ClearLogs(); }
  static HWND Start(ProgramRun& run) { return e2e::StartCapture(run, L"--cachepath=C:\\cache"); }
  static DWORD Esc(ProgramRun& run) { return e2e::EndWithEsc(run); }
  testfiles::ConfigIni m_config{"[config]\r\ng_orvane_global_log_level=5\r\n"};
  e2e::FixtureWindows m_fixture;
};

// An offered window shows the 3-pixel frame on its edges; one that is not
// offered shows none. An offer stays until another window is offered.
bool Framed(const e2e::ScreenShot& shot, const RECT& r) {
  return shot.At(r.left, (r.top + r.bottom) / 2) == kFrame && shot.At((r.left + r.right) / 2, r.top) == kFrame;
}

TEST_F(SelectionE2E, HoverOffersTheRightWindowsAndAClickTakesOne) {
  ProgramRun run;
  const HWND capture = Start(run);
  ASSERT_NE(capture, nullptr);
  const RECT button = WindowRect(m_fixture.button);
  const RECT app = WindowRect(m_fixture.app);
  const RECT high = WindowRect(m_fixture.high);
  const RECT offscreen = WindowRect(m_fixture.offscreen);
  const RECT none = {};
  const struct {
    POINT at;
    RECT passed, offered;  // not offered; offered then
  } hover[] = {
      {{900, 200}, WindowRect(m_fixture.ignored), none},                  // ignored class
      {{900, 500}, WindowRect(m_fixture.partial), none},                  // class only part of a listed name
      {{200, 800}, WindowRect(m_fixture.hidden), none},                   // hidden window
      {{1300, 200}, WindowRect(m_fixture.lowChild), high},                // child of a covered window
      {{1800, 900}, none, offscreen},                                     // partly off the screen
      {{(app.left + app.right) / 2, app.top + 5}, none, app},             // the app's title bar
      {{button.left + 5, button.top + 5}, none, button},                  // the innermost control
  };
  for (const auto& h : hover) {
    EXPECT_TRUE(e2e::AfterPaint(capture, [&] { e2e::MoveMouse(h.at.x, h.at.y); }));
    const e2e::ScreenShot shot = e2e::SettledShot();
    if (h.passed.right) EXPECT_FALSE(Framed(shot, h.passed)) << "offered at " << h.at.x << "," << h.at.y;
    if (h.offered.right) EXPECT_TRUE(Framed(shot, h.offered)) << "not offered at " << h.at.x << "," << h.at.y;
  }
  // A click takes the offered control as it was, with the 3-pixel frame: the
  // toolbar goes just below it.
  e2e::LeftClick(button.left + 5, button.top + 5);
  EXPECT_EQ(e2e::ToolbarRect(run).top, button.bottom + 1);
  EXPECT_EQ(e2e::SettledShot().At(button.left + 30, button.top - 1), kFrame);  // a 1-pixel frame leaves this out
  EXPECT_EQ(Esc(run), 0u);
}

TEST_F(SelectionE2E, DragsEdgesAndFreshCaptures) {
  // Nothing is offered over the hidden window's place (an offered window
  // stays offered until another one is under the mouse, so start there): a
  // click starts afresh.
  e2e::MoveMouse(200, 800);
  ProgramRun run;
  ASSERT_NE(Start(run), nullptr);
  e2e::LeftClick(200, 800);
  ASSERT_TRUE(e2e::WaitForLog("fresh capture"));
  // A drag gives the dragged rectangle and a 1-pixel frame; moved against
  // the left edge it keeps its size.
  e2e::LeftDrag(300, 600, 500, 700);
  const RECT bar = e2e::ToolbarRect(run);
  EXPECT_EQ(bar.right, 500 + 10);
  EXPECT_EQ(bar.top, 700 + 1);
  e2e::ScreenShot shot = e2e::SettledShot();
  EXPECT_EQ(shot.At(300, 620), kFrame);
  EXPECT_NE(shot.At(299, 620), kFrame);  // 1 pixel wide
  e2e::LeftDrag(400, 650, -300, 650);
  EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::ToolbarRect(run).right != bar.right; }, 3000));
  shot = e2e::SettledShot();
  EXPECT_EQ(shot.At(0, 620), kFrame);
  EXPECT_EQ(shot.At(200, 620), kFrame);  // the pen's right edge, 200 pixels on
  EXPECT_EQ(e2e::ToolbarRect(run).top, 700 + 1);
  EXPECT_EQ(Esc(run), 0u);
  const auto lines = e2e::ReadLogLines();
  EXPECT_EQ(LinesWith(lines, "fresh capture").size(), 1u);  // nothing on the screen tells
  // Only the drag that made the region is a usage event; moving it is not.
  EXPECT_EQ(LinesWith(lines, "Report bigdata action SC1002 success!").size(), 1u);
}

TEST_F(SelectionE2E, MagnifierFlipsAndTheLabelMovesInside) {
  ProgramRun run;
  const HWND hwnd = Start(run);
  ASSERT_NE(hwnd, nullptr);
  const int width = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
  // Near the bottom right corner the magnifier sits above and left.
  const int cx = width - 20, cy = height - 20;
  ASSERT_TRUE(e2e::AfterPaint(hwnd, [&] { e2e::MoveMouse(cx, cy); }));
  e2e::ScreenShot shot = e2e::SettledShot();
  const int boxX = cx - 180, boxY = cy - 230;
  EXPECT_EQ(shot.At(boxX, boxY + 40), kFrame);         // left edge of the box
  EXPECT_EQ(shot.At(boxX + 80, boxY + 40), kFrame);    // vertical cross line
  EXPECT_EQ(shot.At(boxX + 40, boxY + 80), kFrame);    // horizontal cross line
  EXPECT_EQ(shot.At(boxX + 159 + 1, boxY + 40), kFrame);  // right edge
  int white = 0;  // the POS and RGB text under the box
  for (int y = boxY + 170; y < boxY + 210; ++y) {
    for (int x = boxX; x < boxX + 160; ++x) white += shot.At(x, y) == 0xFFFFFF;
  }
  EXPECT_GT(white, 20);

  // A region at the top edge of the screen: its label goes inside.
  ASSERT_TRUE(e2e::AfterPaint(hwnd, [&] { e2e::LeftDrag(1010, 2, 1300, 55); }));
  ASSERT_NE(run.WaitForWindow(L"CaptureMenuWnd", 5000), nullptr);
  shot = e2e::SettledShot();
  // Black at 191/255 over the white window: 64 in every channel.
  const uint32_t box = shot.At(1013, 17);
  EXPECT_NEAR(static_cast<int>(box & 0xFF), 64, 4);
  EXPECT_NEAR(static_cast<int>((box >> 16) & 0xFF), 64, 4);
  EXPECT_EQ(shot.At(1100, 45), 0xFFFFFFu);  // the region's picture below it
  EXPECT_EQ(Esc(run), 0u);
}

// The last "region x,y WxH" the log shows.
RECT LastRegion() {
  RECT r = {};
  for (const std::string& line : LinesWith(e2e::ReadLogLines(), "region ")) {
    int x = 0, y = 0, w = 0, h = 0;
    const size_t at = line.find("region ");
    if (sscanf(line.c_str() + at, "region %d,%d %dx%d", &x, &y, &w, &h) == 4) r = RECT{x, y, x + w, y + h};
  }
  return r;
}

// Differing pixels of two pictures; their bounding box goes to `where`.
int Differences(const e2e::ScreenShot& a, const e2e::ScreenShot& b, std::string& where) {
  if (a.width != b.width || a.height != b.height) return -1;
  int count = 0;
  RECT box = {a.width, a.height, 0, 0};
  for (int y = 0; y < a.height; ++y) {
    for (int x = 0; x < a.width; ++x) {
      if (a.At(x, y) == b.At(x, y)) continue;
      ++count;
      box = RECT{std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
                 std::max<LONG>(box.bottom, y + 1)};
    }
  }
  where = count ? RectText(box) : std::string();
  return count;
}

// Whatever a move or a state change leaves behind is repainted: the screen
// reached by a long way (the magnifier moved about; a region dragged,
// released with the pointer outside it, moved and resized) is the screen of
// a fresh capture taken straight to the same state. At every DPI step the
// label and the magnifier's text grow with, and their repaints with them.
TEST_F(SelectionE2E, LongAndShortWaysToAStateLeaveTheSameScreen) {
  const RECT app = WindowRect(m_fixture.app);
  const POINT rest{(app.left + app.right) / 2, app.bottom - 30};  // the app's client area
  for (const DWORD dpi : {96u, 288u, 384u}) {
    const e2e::SystemDpi systemDpi(dpi);
    const std::string tag = std::to_string(dpi);
    const auto finish = [&](ProgramRun& run, const char* name) {
      const e2e::ScreenShot shot = e2e::SettledShot();
      e2e::KeepShot((std::string(name) + "_" + tag).c_str(), shot);
      EXPECT_EQ(Esc(run), 0u);
      return shot;
    };
    std::string where;
    {
      // Offering windows, the magnifier beside the pointer.
      ProgramRun longRun;
      const HWND hwnd = Start(longRun);
      ASSERT_NE(hwnd, nullptr);
      const RECT button = WindowRect(m_fixture.button);
      for (const POINT p : {POINT{button.left + 5, button.top + 5}, POINT{1850, 1000}, POINT{1300, 300}, POINT{30, 1050},
                            POINT{960, 540}, rest}) {
        EXPECT_TRUE(e2e::AfterPaint(hwnd, [&] { e2e::MoveMouse(p.x, p.y); })) << p.x << "," << p.y;
      }
      const e2e::ScreenShot longWay = finish(longRun, "offering_long");
      ProgramRun shortRun;
      e2e::MoveMouse(rest.x, rest.y);
      const HWND straight = Start(shortRun);
      ASSERT_NE(straight, nullptr);
      EXPECT_TRUE(e2e::AfterPaint(straight, [&] { e2e::MoveMouse(rest.x + 40, rest.y); }));
      EXPECT_TRUE(e2e::AfterPaint(straight, [&] { e2e::MoveMouse(rest.x, rest.y); }));
      const e2e::ScreenShot shortWay = finish(shortRun, "offering_short");
      EXPECT_EQ(Differences(longWay, shortWay, where), 0) << "offering at " << dpi << " DPI, differing in " << where;
    }
    {
      // A region: dragged and released past its corner, moved, resized by
      // its bottom-right handle and released outside.
      ProgramRun longRun;
      const HWND hwnd = Start(longRun);
      ASSERT_NE(hwnd, nullptr);
      EXPECT_TRUE(e2e::AfterPaint(hwnd, [] { e2e::LeftDrag(250, 250, 600, 500); }));
      ASSERT_TRUE(e2e::WaitForLog("region 250,250 350x250"));
      EXPECT_TRUE(e2e::AfterPaint(hwnd, [] { e2e::LeftDrag(400, 350, 550, 400); }));
      ASSERT_TRUE(e2e::WaitForLog("region 400,300 350x250"));
      EXPECT_TRUE(e2e::AfterPaint(hwnd, [] { e2e::LeftDrag(749, 549, 951, 733); }));
      ASSERT_TRUE(e2e::WaitForLog("region 400,300 ", 2));
      const RECT region = LastRegion();
      EXPECT_GT(region.right - region.left, 500) << RectText(region);
      e2e::MoveMouse(1200, 900);
      const e2e::ScreenShot longWay = e2e::SettledShot();
      e2e::KeepShot(("region_long_" + tag).c_str(), longWay);
      // A right click goes back to offering windows: the frame stays until
      // another window is offered, its handles go. Outside the region the
      // screen is dimmed, so only a handle is white there.
      EXPECT_TRUE(e2e::AfterPaint(hwnd, [] { e2e::RightClick(1100, 650); }));
      const e2e::ScreenShot offering = e2e::SettledShot();
      e2e::KeepShot(("region_rightclick_" + tag).c_str(), offering);
      const LONG midY = (region.top + region.bottom) / 2;
      for (const POINT handle : {POINT{region.right, region.top}, POINT{region.right, midY}, POINT{region.left, midY}}) {
        int white = 0;
        for (LONG y = handle.y - 5; y <= handle.y + 5; ++y) {
          for (LONG x = handle.x - 5; x <= handle.x + 5; ++x) {
            const bool outside = x < region.left || x >= region.right || y < region.top || y >= region.bottom;
            white += outside && offering.At(x, y) == 0xFFFFFFu;
          }
        }
        EXPECT_EQ(white, 0) << "a handle left at " << handle.x << "," << handle.y << " at " << dpi << " DPI";
      }
      EXPECT_EQ(Esc(longRun), 0u);
      e2e::ClearLogs();
      ProgramRun shortRun;
      e2e::MoveMouse(rest.x, rest.y);
      ASSERT_NE(Start(shortRun), nullptr);
      e2e::LeftDrag(region.left, region.top, region.right, region.bottom);
      ASSERT_TRUE(e2e::WaitForLog("region " + RectText(region)));
      e2e::MoveMouse(1200, 900);
      const e2e::ScreenShot shortWay = finish(shortRun, "region_short");
      EXPECT_EQ(Differences(longWay, shortWay, where), 0) << "region at " << dpi << " DPI, differing in " << where;
    }
  }
}

}  // namespace

namespace {

TEST_F(SelectionE2E, StartModeTwoHandsTheRegionOver) {
  const std::wstring name = L"ztd_handover_" + std::to_wstring(::GetCurrentProcessId());
  // The starting program holds the mapping, so the record outlives the capture.
  const HANDLE mapping = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 16, name.c_str());
  ASSERT_NE(mapping, nullptr);
  auto* record = static_cast<int32_t*>(::MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 16));
  ASSERT_NE(record, nullptr);
  e2e::MoveMouse(200, 800);  // nothing offered there
  ProgramRun run;
  ASSERT_NE(e2e::StartCapture(run, L"--startmode=2 --fileMappingName=" + name), nullptr);
  // A release whose press went to another window, over an offered window,
  // chooses nothing: no toolbar, no hand-over of that window.
  const RECT app = WindowRect(m_fixture.app);
  e2e::MoveMouse((app.left + app.right) / 2, app.bottom - 20);
  ASSERT_TRUE(e2e::WaitForLog("offered "));
  e2e::LeftUp();
  e2e::LeftDrag(100, 50, 400, 250);
  DWORD code = 0xFFFF;
  ASSERT_TRUE(run.WaitForExit(10000, &code));  // no toolbar, no Esc: it ends by itself
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(record[0], 100);
  EXPECT_EQ(record[1], 50);
  EXPECT_EQ(record[2], 400);  // right = left + width
  EXPECT_EQ(record[3], 250);
  ::UnmapViewOfFile(record);
  ::CloseHandle(mapping);
  // The drag is no usage event in this mode: nothing reported, nothing missed.
  EXPECT_TRUE(LinesWith(e2e::ReadLogLines(), "bigdata action").empty());

  // Without a name nothing is written and the capture still ends.
  ProgramRun unnamed;
  ASSERT_NE(e2e::StartCapture(unnamed, L"--startmode=2"), nullptr);
  e2e::LeftDrag(100, 50, 400, 250);
  ASSERT_TRUE(unnamed.WaitForExit(10000, &code));
  EXPECT_EQ(code, 0u);
}

}  // namespace

namespace {

// Start mode 1 switches to the long capture once per process: going back to
// selecting from the long image's editor makes a normal capture, with the
// whole toolbar, not a second long capture.
TEST(StartModeOne, TheLongCaptureStartsOncePerProcess) {
  testfiles::ConfigIni config("[config]\r\ntdr_screecapture_maxscrollheight=1200\r\ng_orvane_global_log_level=5\r\n");
  e2e::ClearLogs();
  e2e::ScrollPageWindow page;
  ASSERT_TRUE(page.Shown());
  ProgramRun run;
  ASSERT_NE(e2e::StartCapture(run, L"--cachepath=C:\\cache --startmode=1 --ignoreWndowClassName=;ZtdScrollPage;"), nullptr);
  e2e::LeftDrag(400, 200, 1000, 700);
  ASSERT_TRUE(e2e::WaitForLog("scroll tip: \xE5\x8D\x95\xE5\x87\xBB", 1, 10000));  // the start tip
  e2e::LeftClick(700, 450);
  ASSERT_TRUE(e2e::WaitForLog("scroll tip: \xE5\xB7\xB2\xE8\xBE\xBE", 1, 60000));  // the maximum height
  RECT bar = e2e::ToolbarRect(run);
  e2e::ClickToolbar(bar, ToolbarGeometry::ScrollButton::Edit);
  ASSERT_TRUE(e2e::WaitForLog("scroll editor ", 1, 10000));
  ASSERT_TRUE(e2e::WaitUntil([&] {
    bar = e2e::ToolbarRect(run);
    return bar.right - bar.left == ToolbarGeometry::kWidth;
  }, 5000));
  e2e::ClickToolbar(bar, ToolbarGeometry::Button::Undo);  // nothing to undo: back to selecting
  ASSERT_TRUE(e2e::WaitForLog("back to select"));
  e2e::LeftDrag(400, 200, 900, 600);
  ASSERT_TRUE(e2e::WaitForLog("region 400,200 500x400"));
  bar = e2e::ToolbarRect(run);
  EXPECT_EQ(bar.right - bar.left, ToolbarGeometry::kWidth);  // the normal capture's toolbar
  EXPECT_EQ(e2e::LinesWith(e2e::ReadLogLines(), "scroll tip: \xE5\x8D\x95\xE5\x87\xBB").size(), 1u);
  EXPECT_EQ(e2e::EndWithEsc(run), 0u);
}

}  // namespace
