// The editor of a real long capture: scrolled, annotated with every tool,
// narrowed and finished; the PNG is the page with the annotations where they
// were drawn.
#include <gtest/gtest.h>
#include <windows.h>
#include <gdiplus.h>

#include <cstdio>
#include <string>
#include <vector>

#include "GdiplusScope.h"
#include "Harness.h"
#include "ScrollPageColours.h"
#include "TestFiles.h"

using ToolbarGeometry::Button;
using ToolbarGeometry::ScrollButton;

namespace {

struct Area {
  int x0, y0, x1, y1;  // image pixels, half-open
  bool Contains(int x, int y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
};

TEST(ScrollEditorE2E, AnnotatedNarrowedLongImageKeepsThePageAndTheShapesInPlace) {
  testfiles::GdiplusScope gdiplus;
  testfiles::TempDir cache(L"scrolledit");
  // The automatic scrolling stops at 1,500 rows; debug lines say where the
  // editor is.
  testfiles::ConfigIni config("[config]\r\ntdr_screecapture_maxscrollheight=1500\r\ng_orvane_global_log_level=5\r\n");
  e2e::ClearLogs();
  e2e::ScrollPageWindow page;
  ASSERT_TRUE(page.Shown());
  e2e::ProgramRun run;
  const HWND capture =
      e2e::StartCapture(run, L"--cachepath=" + cache.Path() + L" --startmode=1 --ignoreWndowClassName=;ZtdScrollPage;");
  ASSERT_NE(capture, nullptr);
  e2e::LeftDrag(400, 200, 1000, 700);
  ASSERT_TRUE(e2e::WaitForLog("scroll tip: \xE5\x8D\x95\xE5\x87\xBB", 1, 10000));  // the start tip
  e2e::LeftClick(700, 450);
  ASSERT_TRUE(e2e::WaitForLog("scroll tip: \xE5\xB7\xB2\xE8\xBE\xBE", 1, 60000));  // the maximum height
  RECT bar = e2e::ToolbarRect(run);
  ASSERT_GT(bar.right, bar.left);
  e2e::ClickToolbar(bar, ScrollButton::Edit);
  ASSERT_TRUE(e2e::WaitForLog("scroll editor ", 1, 10000));
  int ex = 0, ey = 0, ew = 0, eh = 0, imageWidth = 0, imageHeight = 0;
  {
    const std::vector<std::string> lines = e2e::LinesWith(e2e::ReadLogLines(), "scroll editor ");
    const std::string& line = lines.back();
    ASSERT_EQ(std::sscanf(line.c_str() + line.find("scroll editor ") + 14, "%d,%d %dx%d on a long image of %dx%d", &ex,
                          &ey, &ew, &eh, &imageWidth, &imageHeight),
              6)
        << line;
  }
  // 600 wide on a 1920 x 1080 monitor, the long image higher than the view:
  // centred, 100 pixels from the top and the bottom.
  EXPECT_EQ(ex, 660);
  EXPECT_EQ(ey, 100);
  EXPECT_EQ(eh, 882);
  EXPECT_EQ(imageWidth, 598);
  ASSERT_GT(imageHeight, 1500);
  const int viewX = ex + 1, viewY = ey + 1;
  // The toolbar, in its editor layout, below the editor's region.
  ASSERT_TRUE(e2e::WaitUntil([&] {
    bar = e2e::ToolbarRect(run);
    return bar.top >= ey + eh && bar.right - bar.left == ToolbarGeometry::kWidth;
  }, 5000)) << bar.left << "," << bar.top;

  // Down by one notch: 120 rows.
  ASSERT_TRUE(e2e::AfterPaint(capture, [] { e2e::Wheel(900, 500, -1); }));
  const int offset = 120;
  std::vector<Area> expected;
  // A text typed at 800,450.
  e2e::ClickToolbar(bar, Button::Text);
  e2e::LeftClick(800, 450);
  e2e::TypeText(L"Hi there");
  const auto editor = [&] { return ::FindWindowExW(capture, nullptr, L"EditWnd", nullptr); };
  const auto typed = [&](int length) {
    return e2e::WaitUntil([&] { return ::SendMessageW(editor(), WM_GETTEXTLENGTH, 0, 0) == length; }, 3000);
  };
  ASSERT_TRUE(typed(8));
  // A press on nothing only ends the typing.
  ASSERT_TRUE(e2e::AfterPaint(capture, [] { e2e::LeftClick(1150, 650); }));
  // A numbered marker at 980,450; its disc (20 across) left of it.
  ASSERT_TRUE(::SendMessageTimeoutW(run.WaitForWindow(L"CaptureMenuWnd", 5000), WM_APP + 0x3F2, 8, 0,
                                    SMTO_ABORTIFHUNG, 3000, nullptr));
  e2e::LeftClick(980, 450);
  ASSERT_TRUE(e2e::WaitUntil([&] { return editor() != nullptr; }, 3000));
  e2e::TypeText(L"No 1");
  ASSERT_TRUE(typed(4));
  e2e::LeftClick(1150, 650);
  ASSERT_TRUE(e2e::WaitUntil([&] { return editor() == nullptr; }, 3000));
  // Both moved where the view shows them: the marker by its disc, the text
  // by its body.
  ASSERT_TRUE(e2e::AfterPaint(capture, [] { e2e::LeftDrag(960, 465, 980, 525); }));
  ASSERT_TRUE(e2e::AfterPaint(capture, [] { e2e::LeftDrag(820, 460, 800, 540); }));
  const int textX = 780 - viewX - 100, textY = 530 - viewY + offset;  // the boxes in the image
  const int markerX = 1000 - viewX - 100, markerY = 510 - viewY + offset;
  expected.push_back(Area{textX - 10, textY - 10, textX + 200, textY + 50});
  expected.push_back(Area{markerX - 40, markerY - 10, markerX + 150, markerY + 50});
  bar = e2e::ToolbarRect(run);
  // A shape of each tool, drawn in the view, right of where the region will
  // be narrowed; where each lands in the image.
  struct Drawn {
    Button tool;
    int x0, y0, x1, y1;
  };
  const std::vector<Drawn> drawn = {
      {Button::Rectangle, 800, 200, 900, 260},
      {Button::Arrow, 950, 200, 1050, 260},
      {Button::Brush, 800, 320, 900, 380},
      {Button::Mosaic, 950, 320, 1050, 380},
  };
  for (const Drawn& d : drawn) {
    e2e::ClickToolbar(bar, d.tool);
    ASSERT_TRUE(e2e::AfterPaint(capture, [&] { e2e::LeftDrag(d.x0, d.y0, d.x1, d.y1); }));
    // Narrowed by 100 on the left: the image's column 0 is view column 100.
    expected.push_back(Area{d.x0 - viewX - 100 - 20, d.y0 - viewY + offset - 20, d.x1 - viewX - 100 + 20,
                            d.y1 - viewY + offset + 20});
  }
  // Back to the top: both are 120 pixels lower in the view. A double click
  // opens the text's editor over it, one on the disc the marker's.
  ASSERT_TRUE(e2e::AfterPaint(capture, [] { e2e::Wheel(900, 500, 1); }));
  const auto reopenAt = [&](int x, int y, const wchar_t* more, int length) {
    e2e::LeftClick(x, y);
    e2e::LeftClick(x, y);
    RECT r = {-1, -1, -1, -1};
    if (!e2e::WaitUntil([&] { return ::IsWindowVisible(editor()); }, 3000)) return r;  // shown: in place
    ::GetWindowRect(editor(), &r);
    e2e::TypeText(more);
    const bool grown = typed(length);
    e2e::LeftClick(1150, 650);
    if (!e2e::WaitUntil([&] { return editor() == nullptr; }, 3000) || !grown) r.left = -2;
    return r;
  };
  const RECT textEditor = reopenAt(790, 660, L" more", 13);
  EXPECT_EQ(textEditor.left, 783);
  EXPECT_EQ(textEditor.top, 653);
  const RECT markerEditor = reopenAt(980, 645, L"!", 5);
  EXPECT_EQ(markerEditor.left, 1003);
  EXPECT_EQ(markerEditor.top, 633);
  e2e::KeepShot("scroll_editor_annotated");
  // The left handle 100 pixels to the right; meanwhile the size label (a
  // dark box) and the magnifier (a box with a cross in the frame colour)
  // show inside the view.
  e2e::MoveMouse(ex, ey + eh / 2);
  e2e::LeftDown();
  for (int i = 1; i <= 10; ++i) e2e::MoveMouse(ex + 10 * i, ey + eh / 2);
  ASSERT_TRUE(e2e::WaitForSettledWindow(capture));
  const e2e::ScreenShot narrowing = e2e::SettledShot();
  e2e::KeepShot("scroll_editor_narrowing", narrowing);
  const auto count = [&](int x0, int y0, int x1, int y1, auto is) {
    int n = 0;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) n += is(narrowing.At(x, y));
    }
    return n;
  };
  const auto dark = [](uint32_t c) { return (c & 0xFF) < 0x48 && ((c >> 8) & 0xFF) < 0x48 && (c >> 16) < 0x48; };
  EXPECT_GT(count(ex + 102, viewY + 13, ex + 220, viewY + 29, dark), 800) << "no size label";
  const auto frame = [](uint32_t c) { return c == 0x2F81FCu; };
  const int cx = ex + 100 + 20 + 80, cy = ey + eh / 2 + 20 + 80;  // the cross, 100 pixels right of and below the cursor
  EXPECT_GT(count(cx - 79, cy, cx + 80, cy + 1, frame) + count(cx, cy - 79, cx + 1, cy + 80, frame), 300) << "no magnifier";
  ASSERT_TRUE(e2e::AfterPaint(capture, [] { e2e::LeftUp(); }));
  e2e::KeepShot("scroll_editor_narrowed");
  bar = e2e::ToolbarRect(run);
  e2e::ClickToolbar(bar, Button::Finish);
  DWORD code = 0;
  ASSERT_TRUE(run.WaitForExit(10000, &code));
  EXPECT_EQ(code, 0u);

  const std::vector<std::wstring> pngs = e2e::PngNames(cache.Path());
  ASSERT_EQ(pngs.size(), 1u);
  Gdiplus::Bitmap png((cache.Path() + pngs[0]).c_str());
  ASSERT_EQ(png.GetLastStatus(), Gdiplus::Ok);
  const int w = static_cast<int>(png.GetWidth()), h = static_cast<int>(png.GetHeight());
  EXPECT_EQ(w, imageWidth - 100);
  EXPECT_EQ(h, imageHeight);
  Gdiplus::BitmapData bits = {};
  const Gdiplus::Rect all(0, 0, w, h);
  ASSERT_EQ(png.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &bits), Gdiplus::Ok);
  const auto at = [&](int x, int y) {
    return static_cast<const uint32_t*>(bits.Scan0)[static_cast<size_t>(y) * (bits.Stride / 4) + x] & 0xFFFFFF;
  };
  // The page column of image column 0: the capture rectangle's left (page
  // column 101) and the 100 columns narrowed away.
  const int column = 201;
  int firstRow = -1;
  for (int row = 0; row < scrollpage::kRows && firstRow < 0; ++row) {
    bool same = true;
    for (int x = 0; x < w && same; x += 5) same = at(x, 0) == scrollpage::Colour(row, column + x);
    if (same) firstRow = row;
  }
  ASSERT_GE(firstRow, 0) << "the image's first row is no page row";
  std::vector<int> changedIn(expected.size(), 0);
  int changedOutside = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (at(x, y) == scrollpage::Colour(firstRow + y, column + x)) continue;
      bool inside = false;
      for (size_t i = 0; i < expected.size(); ++i) {
        if (expected[i].Contains(x, y)) ++changedIn[i], inside = true;
      }
      if (!inside && ++changedOutside <= 5) ADD_FAILURE() << "pixel " << x << "," << y << " is not the page's";
    }
  }
  // The marker's disc where it was dropped.
  EXPECT_EQ(at(markerX - 27, markerY + 15), 0xFF0000u);
  png.UnlockBits(&bits);
  EXPECT_EQ(changedOutside, 0);
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_GT(changedIn[i], 100) << "annotation " << i << " is not in place";
}

}  // namespace
