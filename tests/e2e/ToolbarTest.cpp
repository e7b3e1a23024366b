// The toolbar on the real program: tools, undo, placement, the save dialog.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "Harness.h"
#include "PatternWindow.h"
#include "TestFiles.h"

using ToolbarGeometry::Button;

namespace {

using e2e::LinesWith;
using e2e::ProgramRun;

class ToolbarE2E : public testing::Test {
 protected:
  void SetUp() override { e2e::ClearLogs(); }

  // Starts a capture and selects `x0,y0 - x1,y1`; returns the toolbar.
  HWND Select(ProgramRun& run, int x0, int y0, int x1, int y1) {
    m_capture = e2e::StartCapture(run, L"--cachepath=" + m_cache.Path() + L" --ignoreWndowClassName=;ZtdPatternFixture;");
    EXPECT_NE(m_capture, nullptr);
    e2e::LeftDrag(x0, y0, x1, y1);
    const HWND bar = run.WaitForWindow(L"CaptureMenuWnd", 5000);
    // Shown first, then placed by the region.
    if (bar) EXPECT_TRUE(e2e::WaitForToolbar(bar));
    return bar;
  }
  static RECT Rect(HWND hwnd) {
    RECT r = {};
    ::GetWindowRect(hwnd, &r);
    return r;
  }
  static DWORD Esc(ProgramRun& run) { return e2e::EndWithEsc(run); }
  // Waits until the toolbar is `height` pixels high (an option panel opened or closed).
  static bool HeightBecomes(HWND bar, LONG height) {
    return e2e::WaitUntil([&] { return Rect(bar).bottom - Rect(bar).top == height; }, 3000);
  }
  static void ClickRectangleTool(HWND bar) { e2e::ClickToolbar(Rect(bar), Button::Rectangle); }

  HWND m_capture = nullptr;

  testfiles::ConfigIni m_config{"[config]\r\ng_orvane_global_log_level=5\r\n"};
  e2e::PatternWindow m_pattern;
  testfiles::TempDir m_cache{L"bar"};
};

TEST_F(ToolbarE2E, ToolsUndoAndAnnotationsThatKeepTheRegion) {
  ProgramRun run;
  const HWND bar = Select(run, 400, 300, 800, 600);
  ASSERT_NE(bar, nullptr);
  RECT r = Rect(bar);
  EXPECT_EQ(r.right - r.left, 392);
  EXPECT_EQ(r.bottom - r.top, 56);
  // Its visible right edge is the region's right edge; it sits just below.
  EXPECT_EQ(r.right, 800 + 10);
  EXPECT_EQ(r.top, 600 + 1);

  // The rectangle tool twice: no tool, 56 high again.
  ClickRectangleTool(bar);
  EXPECT_TRUE(HeightBecomes(bar, 100));
  ClickRectangleTool(bar);
  EXPECT_TRUE(HeightBecomes(bar, 56));

  // Draw a red rectangle; with it present, pressing inside moves nothing,
  // and resizing towards it stops at its bounds grown by half its pen.
  ClickRectangleTool(bar);
  ASSERT_TRUE(HeightBecomes(bar, 100));
  EXPECT_TRUE(e2e::AfterPaint(m_capture, [] { e2e::LeftDrag(450, 350, 550, 450); }));
  ClickRectangleTool(bar);  // no tool
  ASSERT_TRUE(HeightBecomes(bar, 56));
  e2e::LeftDrag(700, 500, 750, 550);  // inside, on nothing: the region stays
  // bottom right handle towards the annotation
  EXPECT_TRUE(e2e::AfterPaint(m_capture, [] { e2e::LeftDrag(800, 600, 420, 420); }));
  e2e::ScreenShot shot = e2e::SettledShot();
  EXPECT_EQ(shot.At(450, 400), 0xFF2600u);
  // The rectangle ends at 550 (exclusive); half its pen of 3 makes the
  // region 400,300 151x151, and the toolbar follows its corner.
  EXPECT_TRUE(e2e::WaitUntil([&] { return Rect(bar).right == 551 + 10 && Rect(bar).top == 451 + 1; }, 3000))
      << Rect(bar).right << "," << Rect(bar).top;

  // Ctrl+Z takes the rectangle away, Ctrl+Shift+Z brings it back.
  EXPECT_TRUE(e2e::AfterPaint(m_capture, [] { e2e::KeyChord({VK_CONTROL, 'Z'}); }));
  shot = e2e::SettledShot();
  EXPECT_NE(shot.At(450, 400), 0xFF2600u);
  EXPECT_TRUE(e2e::AfterPaint(m_capture, [] { e2e::KeyChord({VK_CONTROL, VK_SHIFT, 'Z'}); }));
  shot = e2e::SettledShot();
  EXPECT_EQ(shot.At(450, 400), 0xFF2600u);

  // The undo button: once the rectangle, once "back to select".
  r = Rect(bar);
  EXPECT_TRUE(e2e::AfterPaint(m_capture, [&] { e2e::ClickToolbar(r, Button::Undo); }));
  e2e::ClickToolbar(r, Button::Undo);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !::IsWindowVisible(bar); }, 3000));
  EXPECT_EQ(Esc(run), 0u);

  const auto lines = e2e::ReadLogLines();
  // Every toolbar press is a usage event of a normal capture.
  EXPECT_FALSE(LinesWith(lines, "Report bigdata action SC1003 success!").empty());
  EXPECT_TRUE(LinesWith(lines, "SC0006").empty());
}

// At 168 DPI the skin is drawn at the next lower step, 144: every size is
// one and a half times its 96-DPI size.
TEST_F(ToolbarE2E, At168DpiTheSkinSnapsTo144) {
  ProgramRun run;
  HWND bar = nullptr;
  {
    e2e::SystemDpi dpi(168);
    bar = Select(run, 400, 300, 800, 600);
  }
  ASSERT_NE(bar, nullptr);
  RECT r = Rect(bar);
  EXPECT_EQ(r.right - r.left, ToolbarGeometry::kWidth * 3 / 2);
  EXPECT_EQ(r.bottom - r.top, ToolbarGeometry::kHeight * 3 / 2);
  EXPECT_EQ(r.right, 800 + 15);
  const POINT rectangle = e2e::ToolbarButtonCentre(r, Button::Rectangle, 1.5);
  e2e::LeftClick(rectangle.x, rectangle.y);
  EXPECT_TRUE(HeightBecomes(bar, ToolbarGeometry::kExpandedHeight * 3 / 2));
  // A text box: the skin's fonts are scaled too (a line of the middle size is
  // 24 pixels at 96 DPI).
  const POINT text = e2e::ToolbarButtonCentre(r, Button::Text, 1.5);
  e2e::LeftClick(text.x, text.y);
  e2e::LeftClick(450, 350);
  EXPECT_TRUE(e2e::WaitUntil([&] { return ::FindWindowExW(m_capture, nullptr, L"EditWnd", nullptr) != nullptr; }, 3000));
  e2e::TypeText(L"Hi \x4E16\x754C");
  const HWND editor = ::FindWindowExW(m_capture, nullptr, L"EditWnd", nullptr);
  EXPECT_TRUE(e2e::WaitUntil([&] { return ::SendMessageW(editor, WM_GETTEXTLENGTH, 0, 0) == 5; }, 3000));
  e2e::KeepShot("text_144dpi");
  RECT line = {};
  ::GetWindowRect(editor, &line);
  EXPECT_GE(line.bottom - line.top, 34);
  EXPECT_LE(line.bottom - line.top, 38);  // not 168 / 96 of it
  EXPECT_EQ(Esc(run), 0u);
}

TEST_F(ToolbarE2E, SaveDialogWritesAsksBeforeReplacingAndCanBeCancelled) {
  const std::wstring target = m_cache.Path() + L"saved.png";
  ProgramRun run;
  HWND bar = Select(run, 400, 300, 800, 600);
  ASSERT_NE(bar, nullptr);
  RECT r = Rect(bar);
  // Cancelled: the capture stays open with its toolbar.
  e2e::ClickToolbar(r, Button::Save);
  HWND dialog = e2e::WaitForDialog(run.ProcessId());
  ASSERT_NE(dialog, nullptr);
  ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(e2e::WaitUntil([&] { return !::IsWindow(dialog); }, 5000));
  // Past the dialog, the capture's thread answers again.
  DWORD_PTR answer = 0;
  EXPECT_TRUE(::SendMessageTimeoutW(m_capture, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
  EXPECT_TRUE(run.Running());
  EXPECT_TRUE(::IsWindowVisible(bar));

  // An existing file: the dialog asks first; yes replaces it.
  testfiles::WriteBytes(target, "old");
  // Right after a modal dialog, a click can go to its closing: the toolbar
  // is pressed again only if no dialog came of the first press.
  e2e::WaitForToolbar(bar);
  e2e::ClickToolbar(r, Button::Save);
  dialog = e2e::WaitForDialog(run.ProcessId(), nullptr, 5000);
  if (!dialog) {
    e2e::ClickToolbar(r, Button::Save);
    dialog = e2e::WaitForDialog(run.ProcessId());
  }
  ASSERT_NE(dialog, nullptr);
  ::SetDlgItemTextW(dialog, 0x47C, target.c_str());  // the file name box
  ::SetDlgItemTextW(dialog, 0x480, target.c_str());
  ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  const HWND ask = e2e::WaitForDialog(run.ProcessId(), dialog);
  ASSERT_NE(ask, nullptr);
  ::PostMessageW(ask, WM_COMMAND, IDYES, 0);
  DWORD code = 0xFFFF;
  ASSERT_TRUE(run.WaitForExit(15000, &code));
  EXPECT_EQ(code, 0u);
  const std::string bytes = testfiles::ReadBytes(target);
  ASSERT_GT(bytes.size(), 100u);
  EXPECT_EQ(bytes.substr(1, 3), "PNG");
  // Only the save that wrote a file counts as a save.
  const auto lines = e2e::ReadLogLines();
  EXPECT_EQ(LinesWith(lines, "Report bigdata action SC1004 success!").size(), 1u);
}

}  // namespace
