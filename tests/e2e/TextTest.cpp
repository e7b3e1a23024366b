// Text boxes and numbered markers typed in place, as the image shows them.
#include <gtest/gtest.h>
#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <string>
#include <vector>

#include "GdiplusScope.h"
#include "Harness.h"
#include "PatternWindow.h"
#include "TestFiles.h"

using ToolbarGeometry::Button;
using ToolbarGeometry::Option;

namespace {

using e2e::ProgramRun;

class TextE2E : public testing::Test {
 protected:
  static void SetUpTestSuite() { s_gdiplus = new testfiles::GdiplusScope(); }
  static void TearDownTestSuite() { delete s_gdiplus; }
  void SetUp() override { e2e::ClearLogs(); }

  // Starts a capture, drags the region and waits for the toolbar.
  RECT Select(ProgramRun& run, int x0, int y0, int x1, int y1) {
    m_capture = e2e::StartCapture(run, L"--cachepath=" + m_cache.Path() + L" --ignoreWndowClassName=;ZtdPatternFixture;");
    EXPECT_NE(m_capture, nullptr);
    e2e::LeftDrag(x0, y0, x1, y1);
    m_toolbar = run.WaitForWindow(L"CaptureMenuWnd", 5000);
    return e2e::ToolbarRect(run);
  }
  // Selects 300,200 - 1100,700 and chooses the text tool; the toolbar's rect.
  RECT SelectWithTextTool(ProgramRun& run) {
    const RECT bar = Select(run, 300, 200, 1100, 700);
    EXPECT_NE(m_toolbar, nullptr);
    if (m_toolbar) e2e::ClickToolbar(bar, Button::Text);
    return bar;
  }
  // Clicks where a text box goes and waits for its editor.
  bool OpenEditorAt(int x, int y) {
    e2e::LeftClick(x, y);
    return e2e::WaitUntil([&] { return ::FindWindowExW(m_capture, nullptr, L"EditWnd", nullptr) != nullptr; }, 3000);
  }
  // What the editor holds (read with a message: another process's control
  // does not answer GetWindowText).
  int EditorLength() const { return static_cast<int>(::SendMessageW(Editor(), WM_GETTEXTLENGTH, 0, 0)); }
  // The editor's window, or null.
  HWND Editor() const { return ::FindWindowExW(m_capture, nullptr, L"EditWnd", nullptr); }
  // Where the editor is (its text area, 3 pixels inside the text's box).
  RECT EditorRect() const {
    RECT r = {};
    ::GetWindowRect(Editor(), &r);
    return r;
  }

  static testfiles::GdiplusScope* s_gdiplus;
  HWND m_capture = nullptr;
  HWND m_toolbar = nullptr;
  testfiles::ConfigIni m_config{"[config]\r\ng_orvane_global_log_level=5\r\n"};
  e2e::PatternWindow m_pattern;
  testfiles::TempDir m_cache{L"text"};
};
testfiles::GdiplusScope* TextE2E::s_gdiplus = nullptr;

void PutOnClipboard(const std::wstring& text) {
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::EmptyClipboard();
  const HGLOBAL data = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  auto* chars = static_cast<wchar_t*>(::GlobalLock(data));
  std::copy(text.c_str(), text.c_str() + text.size() + 1, chars);
  ::GlobalUnlock(data);
  ::SetClipboardData(CF_UNICODETEXT, data);
  ::CloseClipboard();
}

// Colour distance of two 0xRRGGBB values (largest channel difference).
int Distance(uint32_t a, uint32_t b) {
  int most = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    most = std::max(most, d < 0 ? -d : d);
  }
  return most;
}

TEST_F(TextE2E, TypedTextAtTwoSizesReachesTheImage) {
  const int sw = ::GetSystemMetrics(SM_CXVIRTUALSCREEN), sh = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
  ProgramRun run;
  const RECT bar = SelectWithTextTool(run);
  ASSERT_NE(m_toolbar, nullptr);
  ASSERT_TRUE(OpenEditorAt(580, 250));          // on the green band, in red
  // CJK, and a character beyond the BMP (a surrogate pair).
  e2e::TypeText(L"Hello \x4E16\x754C\xD83D\xDE00");
  ASSERT_TRUE(e2e::WaitUntil([&] { return EditorLength() == 10; }, 3000));
  e2e::KeepShot("text_typed");
  const RECT area = EditorRect();
  EXPECT_EQ(area.left, 583);  // the box where it was clicked
  const e2e::ScreenShot inEditor = e2e::SettledShot();
  e2e::KeepShot("text_in_editor");
  // A click elsewhere ends the typing; the next one opens an empty box.
  e2e::LeftClick(700, 600);
  ASSERT_TRUE(e2e::WaitUntil([&] { return Editor() == nullptr; }, 3000));
  // The shape paints the text as the editor showed it (the caret aside).
  const e2e::ScreenShot painted = e2e::SettledShot();
  e2e::KeepShot("text_painted");
  int differ = 0;
  for (LONG y = area.top; y < area.bottom; ++y) {
    for (LONG x = area.left; x < area.right; ++x) differ += inEditor.At(x, y) != painted.At(x, y);
  }
  EXPECT_LE(differ, 3 * (area.bottom - area.top)) << "of " << (area.right - area.left) * (area.bottom - area.top);
  ASSERT_TRUE(OpenEditorAt(800, 640));  // not where a second click would make a double click
  const POINT sizes = e2e::ToolbarButtonCentre(bar, Option::TextSize);
  e2e::LeftClick(sizes.x, sizes.y);
  ASSERT_TRUE(e2e::WaitUntil([] { return !e2e::FindWindowsOfClass(L"ZtdComboDropDown").empty(); }, 3000));
  e2e::LeftClick(sizes.x, sizes.y + 55);  // its third item: big
  e2e::ClickToolbar(bar, Option::Blue);
  ASSERT_TRUE(OpenEditorAt(320, 400));          // on the red band
  e2e::TypeText(L"Hello \x4E16\x754C");
  ASSERT_TRUE(e2e::WaitUntil([&] { return EditorLength() == 8; }, 3000));
  const RECT big = EditorRect();
  EXPECT_EQ(big.left, 323);
  EXPECT_GT(big.bottom - big.top, area.bottom - area.top);  // the bigger font
  EXPECT_GT(big.right - big.left, area.right - area.left);
  e2e::LeftClick(700, 650);
  ASSERT_TRUE(e2e::WaitUntil([&] { return Editor() == nullptr; }, 3000));
  e2e::KeepShot("text_two_sizes");
  e2e::ClickToolbar(bar, Button::Finish);
  DWORD code = 0xFFFF;
  ASSERT_TRUE(run.WaitForExit(10000, &code));
  EXPECT_EQ(code, 0u);

  // The image: the two texts where their editors were, in their colours.
  WIN32_FIND_DATAW data;
  const HANDLE find = ::FindFirstFileW((m_cache.Path() + L"*.png").c_str(), &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  ::FindClose(find);
  Gdiplus::Bitmap png((m_cache.Path() + data.cFileName).c_str());
  ASSERT_EQ(png.GetLastStatus(), Gdiplus::Ok);
  ASSERT_EQ(png.GetWidth(), 800u);
  int inRed = 0, inBlue = 0, stray = 0;
  for (int y = 0; y < 500; ++y) {
    for (int x = 0; x < 800; ++x) {
      Gdiplus::Color c;
      png.GetPixel(x, y, &c);
      const uint32_t got = c.GetValue() & 0xFFFFFF;
      const int sx = 300 + x, sy = 200 + y;
      if (got == e2e::PatternWindow::ColourAt(sx, sy, sw, sh)) continue;
      const POINT p{sx, sy};
      if (::PtInRect(&area, p)) {
        inRed += Distance(got, 0xFF2600) < 60;
      } else if (::PtInRect(&big, p)) {
        inBlue += Distance(got, 0x04B4FF) < 60;
      } else {
        ++stray;
      }
    }
  }
  EXPECT_GT(inRed, 40);
  EXPECT_GT(inBlue, 60);
  EXPECT_EQ(stray, 0);  // no frame, no empty box, nothing outside the texts
}

// Clicks with the text tool and no typing leave nothing: no shape, no
// command (the undo button finds nothing and goes back to selecting).
TEST_F(TextE2E, ClicksWithoutTypingLeaveNothing) {
  ProgramRun run;
  const RECT bar = SelectWithTextTool(run);
  ASSERT_NE(m_toolbar, nullptr);
  ASSERT_TRUE(OpenEditorAt(400, 300));
  e2e::LeftClick(800, 600);  // the empty box goes, a new one opens here
  EXPECT_TRUE(e2e::WaitUntil([&] {
    RECT r = {};
    return Editor() && ::GetWindowRect(Editor(), &r) && r.left == 803;
  }, 3000));
  e2e::ClickToolbar(bar, Button::Undo);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !::IsWindowVisible(m_toolbar); }, 3000));  // back to selecting
  EXPECT_EQ(e2e::EndWithEsc(run), 0u);
}

// A finished text moves by drag (an undoable step) and a double click opens
// its editor again where it is.
TEST_F(TextE2E, TextMovesByDragAndReopensOnDoubleClick) {
  ProgramRun run;
  const RECT bar = SelectWithTextTool(run);
  ASSERT_NE(m_toolbar, nullptr);
  ASSERT_TRUE(OpenEditorAt(400, 300));
  e2e::TypeText(L"move me");
  ASSERT_TRUE(e2e::WaitUntil([&] { return EditorLength() == 7; }, 3000));
  e2e::LeftClick(900, 600);
  ASSERT_TRUE(e2e::WaitUntil([&] { return Editor() == nullptr; }, 3000));
  EXPECT_TRUE(e2e::AfterPaint(m_capture, [] { e2e::LeftDrag(420, 310, 520, 410); }));
  const auto editorLeftAfterDoubleClick = [&](int x, int y) {
    e2e::LeftClick(x, y);
    e2e::LeftClick(x, y);
    if (!e2e::WaitUntil([&] { return ::IsWindowVisible(Editor()); }, 3000)) return -1L;
    RECT r = {};
    ::GetWindowRect(Editor(), &r);
    const bool same = EditorLength() == 7;
    e2e::LeftClick(900, 650);
    if (!e2e::WaitUntil([&] { return Editor() == nullptr; }, 3000)) return -2L;
    return same ? r.left : -3L;
  };
  EXPECT_EQ(editorLeftAfterDoubleClick(530, 415), 503);
  // Ctrl+Z takes the move back.
  EXPECT_TRUE(e2e::AfterPaint(m_capture, [] { e2e::KeyChord({VK_CONTROL, 'Z'}); }));
  EXPECT_EQ(editorLeftAfterDoubleClick(430, 315), 403);

  // Edited down to nothing, the text goes (as an undoable step): a click
  // there opens a new box instead of grabbing an empty one; Ctrl+Z brings
  // the text back, Ctrl+Shift+Z takes it away again.
  e2e::LeftClick(430, 315);
  e2e::LeftClick(430, 315);
  ASSERT_TRUE(e2e::WaitUntil([&] { return Editor() != nullptr && EditorLength() == 7; }, 3000));
  ::SendMessageW(Editor(), EM_SETSEL, 0, -1);
  e2e::PressKey(VK_DELETE);
  ASSERT_TRUE(e2e::WaitUntil([&] { return EditorLength() == 0; }, 3000));
  e2e::LeftClick(900, 650);
  ASSERT_TRUE(e2e::WaitUntil([&] { return Editor() == nullptr; }, 3000));
  EXPECT_TRUE(e2e::AfterPaint(m_capture, [] { e2e::KeyChord({VK_CONTROL, 'Z'}); }));
  EXPECT_EQ(editorLeftAfterDoubleClick(430, 315), 403);
  EXPECT_TRUE(e2e::AfterPaint(m_capture, [] { e2e::KeyChord({VK_CONTROL, VK_SHIFT, 'Z'}); }));
  ASSERT_TRUE(OpenEditorAt(430, 315));
  RECT fresh = {};
  ::GetWindowRect(Editor(), &fresh);
  EXPECT_EQ(fresh.left, 433);
  EXPECT_EQ(EditorLength(), 0);
  EXPECT_EQ(e2e::EndWithEsc(run), 0u);
}

// A huge paste into a box in the region's corner, then Esc while typing; a
// region 20 pixels high with a marker undone while its editor is open.
// Nothing crashes, no text is cut, and every window and GDI object the
// capture made is given back.
TEST_F(TextE2E, BadInputLosesNothingAndLeavesNothingBehind) {
  {
    ProgramRun run;
    const RECT bar = Select(run, 300, 200, 1100, 700);
    ASSERT_NE(m_toolbar, nullptr);
    e2e::ClickToolbar(bar, Button::Text);
    ASSERT_TRUE(OpenEditorAt(1090, 690));          // by the bottom-right corner
    std::wstring pasted;
    for (int i = 0; i < 10000; ++i) pasted += i % 100 == 99 ? L'\x4E16' : static_cast<wchar_t>(L'a' + i % 26);
    PutOnClipboard(pasted);
    e2e::KeyChord({VK_CONTROL, 'V'});
    EXPECT_TRUE(e2e::WaitUntil([&] { return EditorLength() == 10000; }, 5000)) << EditorLength();
    e2e::KeepShot("text_pasted");
    // Fitted, not cut: inside the region less its 1-pixel frame, and as
    // tall as the region allows.
    const RECT box = EditorRect();
    EXPECT_GE(box.left - 3, 301);
    EXPECT_EQ(box.right + 3, 1099);
    EXPECT_EQ(box.top - 3, 201);
    EXPECT_EQ(box.bottom + 3, 699);
    const DWORD pressed = ::GetTickCount();
    e2e::PressKey(VK_ESCAPE);
    DWORD code = 0xFFFF;
    ASSERT_TRUE(run.WaitForExit(10000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_LT(run.ExitTick() - pressed, 2000u + 1000u);  // the 1 s shutdown pause included
    // GDI objects are counted by the program only (Wine's process counts are 0).
    EXPECT_EQ(e2e::LinesWith(e2e::ReadLogLines(), "capture closed: 0 GDI objects and 0 windows left").size(), 1u);
  }
  e2e::ClearLogs();
  {
    ProgramRun run;
    const RECT bar = Select(run, 300, 600, 800, 620);
    ASSERT_NE(m_toolbar, nullptr);
    ::PostMessageW(m_toolbar, WM_APP + 0x3F2, 8, 0);  // the numbered marker
    ASSERT_TRUE(OpenEditorAt(420, 610));
    e2e::TypeText(L"abc");
    ASSERT_TRUE(e2e::WaitUntil([&] { return EditorLength() == 3; }, 3000));
    e2e::ClickToolbar(bar, Button::Undo);  // the marker goes, editor and all
    ASSERT_TRUE(e2e::WaitUntil([&] { return Editor() == nullptr; }, 3000));
    EXPECT_TRUE(e2e::WaitUntil([&] { return ::IsWindowVisible(m_toolbar); }, 3000));  // the undo took the marker, not the region
    e2e::ClickToolbar(bar, Button::Finish);
    DWORD code = 0xFFFF;
    ASSERT_TRUE(run.WaitForExit(10000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(e2e::LinesWith(e2e::ReadLogLines(), "capture closed: 0 GDI objects and 0 windows left").size(), 1u);
  }
}

}  // namespace
