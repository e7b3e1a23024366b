#include <gtest/gtest.h>
#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <string>
#include <vector>

#include "../native/PngBuilder.h"
#include "../native/ZipBuilder.h"
#include "PatternWindow.h"
#include "GdiplusScope.h"
#include "TestFiles.h"
#include "capture/CaptureShade.h"
#include "capture/CaptureWindow.h"
#include "capture/ScreenBackgroundHelper.h"
#include "common/WorkerThread.h"
#include "common/VirtualScreen.h"
#include "contracts/ICaptureMenu.h"
#include "common/Logger.h"
#include "core/LogRecord.h"
#include "ui/DialogBuilder.h"
#include "ui/SkinArchive.h"
#include "ui/WindowWnd.h"

namespace {

using namespace ScreenCapture;

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

// Error lines the process's logger wrote since `from` (a byte offset).
std::vector<std::string> ErrorsSince(size_t from) {
  const std::string bytes = testfiles::ReadBytes(Logger::Instance()->GetLogPath());
  std::vector<std::string> errors;
  if (from > bytes.size()) return errors;
  for (const std::string& line : DecodeRecords(std::string_view(bytes).substr(from)).lines) {
    if (line.find("[ERR]") != std::string::npos) errors.push_back(line);
  }
  return errors;
}

// Makes `window` the process's capture window and opens it at `at`'s origin.
HWND Open(CCaptureWindow& window, const Rect& at) {
  SetCaptureWindow(&window);
  return window.Create(nullptr, L"TDRScreenCaptureWnd", 0x96C80000, 0x88, at.x, at.y, CW_USEDEFAULT, CW_USEDEFAULT);
}

size_t LogSize() {
  Logger::Instance()->Log(3, L"mark", L"t.cpp", 0);  // opens the log if need be
  return testfiles::ReadBytes(Logger::Instance()->GetLogPath()).size();
}

class ToolkitTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { s_gdiplus = new testfiles::GdiplusScope(); }
  static void TearDownTestSuite() { delete s_gdiplus; }
  static testfiles::GdiplusScope* s_gdiplus;
  testfiles::ConfigIni m_config{""};
};
testfiles::GdiplusScope* ToolkitTest::s_gdiplus = nullptr;

TEST_F(ToolkitTest, BuilderMakesTreesAndFontsAndSurvivesBadLayouts) {
  DuiLib::CPaintManagerUI pm;
  DuiLib::CDialogBuilder builder;
  std::vector<std::wstring> asked;
  const auto callback = [&](const std::wstring& name) -> DuiLib::CControlUI* {
    asked.push_back(name);
    return name == L"Custom" ? new DuiLib::CContainerUI() : nullptr;
  };
  const std::string good =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Window size=\"392,56\">"
      "<Font id=\"1\" name=\"\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91\" size=\"14\" default=\"true\"/>"
      "<Font id=\"99\" name=\"\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91\" size=\"12\" default=\"true\"/>"
      "<VerticalLayout name=\"root\"><Custom name=\"c\"><Label name=\"inner\" width=\"20\"/></Custom>"
      "<Mystery name=\"m\"><Label name=\"lost\"/></Mystery><HorizontalLayout name=\"row\" height=\"36\"/>"
      "</VerticalLayout></Window>";
  size_t mark = LogSize();
  std::unique_ptr<DuiLib::CControlUI> root(builder.CreateFromText(Bytes(good), &pm, callback, L"good.xml"));
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->GetName(), L"root");
  EXPECT_NE(root->FindControlByName(L"inner"), nullptr);
  EXPECT_NE(root->FindControlByName(L"row"), nullptr);
  // An unknown element is skipped with what it holds, and logged.
  EXPECT_EQ(root->FindControlByName(L"m"), nullptr);
  EXPECT_EQ(root->FindControlByName(L"lost"), nullptr);
  EXPECT_EQ(asked, (std::vector<std::wstring>{L"Custom", L"Mystery"}));
  std::vector<std::string> errors = ErrorsSince(mark);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("unknown element Mystery skipped"), std::string::npos);
  EXPECT_EQ(pm.GetInitSize().cx, 392);

  // Fonts by id; the last default wins; metrics come with the first use.
  DuiLib::TFontInfo* font = pm.GetFontInfo(-1);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->iSize, 12);
  font = pm.GetFontInfo(1);
  ASSERT_NE(font, nullptr);
  ASSERT_TRUE(font->hFont);
  EXPECT_GT(font->tm.tmHeight, 10);
  EXPECT_EQ(pm.GetFontInfo(7), nullptr);

  // Malformed text, a wrong root and an empty file give no tree, only a log line.
  for (const std::string& bad : {std::string("<Window><VerticalLayout></Window>"), std::string("<Dialog/>"),
                                 std::string("<Window></Window>"), std::string("\xff\xfe garbage"), std::string()}) {
    mark = LogSize();
    EXPECT_EQ(builder.CreateFromText(Bytes(bad), &pm, callback, L"bad.xml"), nullptr) << bad;
    EXPECT_EQ(ErrorsSince(mark).size(), 1u) << bad;
  }
}

TEST_F(ToolkitTest, SkinArchivePicksTheDpiVariant) {
  const std::string red = pngtest::Encode(2, 2, std::vector<uint32_t>(4, 0xFF0000FFu));
  const std::string green = pngtest::Encode(3, 3, std::vector<uint32_t>(9, 0x00FF00FFu));
  const std::string zip = ziptest::Build({{"Res/dot.png", red, true},
                                          {"Res/dot@150.png", green, false},
                                          {"Res/broken.png", "not a png", true},
                                          {"a.xml", "<Window/>", true}});
  DuiLib::CSkinArchive archive;
  ASSERT_TRUE(archive.OpenMemory(zip.data(), zip.size()));
  const DuiLib::TImageInfo* at150 = archive.GetImage(L"Res/dot.png", 144);
  ASSERT_NE(at150, nullptr);
  EXPECT_EQ(at150->resolvedName, "Res/dot@150.png");
  EXPECT_EQ(at150->width, 3);
  const DuiLib::TImageInfo* at200 = archive.GetImage(L"Res/dot.png", 192);  // no @200: the base file
  ASSERT_NE(at200, nullptr);
  EXPECT_EQ(at200->resolvedName, "Res/dot.png");
  EXPECT_EQ(at200->width, 2);
  EXPECT_EQ(archive.GetImage(L"Res/dot.png", 96), at200);  // cached

  const size_t mark = LogSize();
  EXPECT_EQ(archive.GetImage(L"Res/missing.png", 96), nullptr);
  EXPECT_EQ(archive.GetImage(L"Res/broken.png", 96), nullptr);
  std::vector<uint8_t> out;
  EXPECT_FALSE(archive.ReadFile(L"nothere.xml", out));
  EXPECT_EQ(ErrorsSince(mark).size(), 3u);

  // A damaged archive opens to nothing and says so.
  DuiLib::CSkinArchive damaged;
  EXPECT_FALSE(damaged.OpenMemory(zip.data(), zip.size() - 10));
  EXPECT_FALSE(damaged.ReadFile(L"a.xml", out));
  // The program's own archive holds the capture window's layout.
  EXPECT_TRUE(DuiLib::CSkinArchive::Instance()->IsOpen());
  EXPECT_TRUE(DuiLib::CSkinArchive::Instance()->ReadFile(L"CaptureWindow.xml", out));
}

TEST_F(ToolkitTest, ScreenImagesStartAtTheAreaOrigin) {
  e2e::PatternWindow pattern;
  const int width = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
  // A part of the screen, as a monitor layout with another origin would give.
  ScreenBackgroundHelper images(Rect{100, height / 2 - 40, 300, 200}, AvailableAddressSpace());
  images.WaitForImages();
  ASSERT_NE(images.GetScreenImageDC(), nullptr);
  ASSERT_NE(images.GetDimmedImageDC(), nullptr);
  for (const POINT p : {POINT{0, 0}, POINT{13, 45}, POINT{299, 199}, POINT{150, 100}}) {
    const uint32_t want = e2e::PatternWindow::ColourAt(100 + p.x, height / 2 - 40 + p.y, width, height);
    const COLORREF got = ::GetPixel(images.GetScreenImageDC(), p.x, p.y);
    EXPECT_EQ((GetRValue(got) << 16) | (GetGValue(got) << 8) | GetBValue(got), want) << p.x << "," << p.y;
  }
  // No thread to spare: the images are made without one, and that is logged.
  {
    const size_t mark = LogSize();
    ScopedRefusedThreads refused;
    ScreenBackgroundHelper inlined(Rect{100, height / 2 - 40, 300, 200}, AvailableAddressSpace());
    EXPECT_TRUE(inlined.IsFinished());
    const COLORREF got = ::GetPixel(inlined.GetScreenImageDC(), 13, 45);
    EXPECT_EQ((GetRValue(got) << 16) | (GetGValue(got) << 8) | GetBValue(got),
              e2e::PatternWindow::ColourAt(113, height / 2 - 40 + 45, width, height));
    EXPECT_EQ(ErrorsSince(mark).size(), 1u);
  }
  // Five 4K monitors in a row are frozen.
  ScreenBackgroundHelper wall(Rect{0, 0, 19200, 2160}, AvailableAddressSpace());
  wall.WaitForImages();
  EXPECT_NE(wall.GetScreenImageDC(), nullptr);
  EXPECT_NE(wall.GetDimmedImageDC(), nullptr);
}

// A mode that records what the control hands it.
class FakeMode : public CCaptureShade {
 public:
  FakeMode(int type, Rect rect, std::vector<int>* events, ICaptureControl* control = nullptr,
           ICaptureShade** seenAtDestruction = nullptr)
      : m_type(type), m_events(events), m_control(control), m_seen(seenAtDestruction) {
    m_rect = rect;
  }
  ~FakeMode() override {
    if (m_seen && m_control) *m_seen = m_control->GetCaptureShade();
  }
  void Draw(Gdiplus::Graphics*, bool withoutHandles) override {
    ++draws;
    lastFlag = withoutHandles ? kOutputResult : kOutputScreen;
  }
  void HandleEvent(DuiLib::TEventUI& event) override {
    m_events->push_back(event.Type);
    lastSender = event.pSender;
    lastPoint = event.ptMouse;
    lastKeys = event.wKeyState;
    lastWParam = event.wParam;
  }
  int GetCaptureType() const override { return m_type; }

  int draws = 0;
  int lastFlag = -1;
  DuiLib::CControlUI* lastSender = nullptr;
  POINT lastPoint = {};
  WORD lastKeys = 0;
  WPARAM lastWParam = 0;

 private:
  int m_type;
  std::vector<int>* m_events;
  ICaptureControl* m_control;
  ICaptureShade** m_seen;
};

// The real capture window, in this process, over the virtual screen.
class CaptureWindowFixture : public ToolkitTest {
 protected:
  void SetUp() override {
    m_window = std::make_unique<CCaptureWindow>();
    ASSERT_NE(Open(*m_window, GetVirtualScreenRect()), nullptr);
    m_control = static_cast<CCaptureControl*>(m_window->GetCaptureControl());
    ASSERT_NE(m_control, nullptr);
  }
  void TearDown() override {
    m_window->CloseCapture();
    SetCaptureWindow(nullptr);
    m_window.reset();
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
  }
  std::unique_ptr<CCaptureWindow> m_window;
  CCaptureControl* m_control = nullptr;
};

TEST_F(CaptureWindowFixture, EventsReachTheModeUnchanged) {
  std::vector<int> events;
  auto owned = std::make_unique<FakeMode>(kCaptureNormal, Rect{10, 10, 100, 100}, &events);
  FakeMode* mode = owned.get();
  m_control->ReplaceMode(std::move(owned));
  const HWND hwnd = m_window->GetHWND();

  ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(40, 50));
  ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(40, 50));
  EXPECT_EQ(mode->lastKeys, DuiLib::UIKEYSTATE_SHIFT);
  ::SendMessageW(hwnd, WM_LBUTTONUP, MK_CONTROL, MAKELPARAM(41, 51));
  EXPECT_EQ(mode->lastKeys, DuiLib::UIKEYSTATE_CONTROL);
  ::SendMessageW(hwnd, WM_LBUTTONDBLCLK, 0, MAKELPARAM(41, 51));
  EXPECT_EQ(mode->lastSender, m_control);
  EXPECT_EQ(mode->lastPoint.x, 41);
  // Two wheel notches towards the user: two events, "line down".
  POINT screen = {60, 60};
  ::ClientToScreen(hwnd, &screen);
  ::SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-2 * WHEEL_DELTA)), MAKELPARAM(screen.x, screen.y));
  EXPECT_EQ(mode->lastWParam, static_cast<WPARAM>(SB_LINEDOWN));
  ::SendMessageW(hwnd, WM_KEYDOWN, 'Z', 0);
  ::SendMessageW(hwnd, WM_KEYUP, 'Z', 0);
  const std::vector<int> expected = {9, 13, 14, 19, 26, 26, 3, 4};
  EXPECT_EQ(events, expected);

  // Esc closes the window and the runner; the loop would end here.
  ::SendMessageW(hwnd, WM_CHAR, VK_ESCAPE, 0);
  EXPECT_FALSE(::IsWindow(hwnd));
  EXPECT_EQ(m_window->GetRunnableWindow()->GetHWND(), nullptr);
}

TEST_F(CaptureWindowFixture, PaintsOnlyWhatWasInvalidated) {
  std::vector<int> events;
  auto owned = std::make_unique<FakeMode>(kCaptureNormal, Rect{10, 10, 100, 100}, &events);
  FakeMode* mode = owned.get();
  m_control->ReplaceMode(std::move(owned));
  const HWND hwnd = m_window->GetHWND();
  ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  ::UpdateWindow(hwnd);
  auto& pm = m_window->PaintManager();
  const unsigned before = pm.GetPaintStats().paints;
  const int drawsBefore = mode->draws;

  const RECT small = {500, 300, 700, 500};
  ::InvalidateRect(hwnd, &small, FALSE);
  ::UpdateWindow(hwnd);
  EXPECT_EQ(pm.GetPaintStats().paints, before + 1);
  const RECT painted = pm.GetPaintStats().lastArea;
  EXPECT_EQ(painted.left, 500);
  EXPECT_EQ(painted.top, 300);
  EXPECT_EQ(painted.right, 700);
  EXPECT_EQ(painted.bottom, 500);
  // The mode drew once, on the screen.
  EXPECT_EQ(mode->draws, drawsBefore + 1);
  EXPECT_EQ(mode->lastFlag, kOutputScreen);
}

TEST_F(CaptureWindowFixture, NewModeIsInPlaceBeforeTheOldOneGoes) {
  std::vector<int> events;
  ICaptureShade* seen = nullptr;
  m_control->ReplaceMode(std::make_unique<FakeMode>(kCaptureNormal, Rect{}, &events, m_control, &seen));
  auto next = std::make_unique<FakeMode>(kCaptureNormal, Rect{}, &events);
  ICaptureShade* nextRaw = next.get();
  m_control->ReplaceMode(std::move(next));
  EXPECT_EQ(seen, nextRaw);
  EXPECT_EQ(m_control->GetCaptureShade(), nextRaw);
}

// The window shows the cursor the mode chose whenever the system asks (not
// the class arrow before every move), and the mosaic cursor goes with the
// state and the capture that chose it.
TEST_F(CaptureWindowFixture, CursorsFollowTheMode) {
  const HWND hwnd = m_window->GetHWND();
  const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
  const auto classCursor = [&] { return reinterpret_cast<HCURSOR>(::GetClassLongPtrW(hwnd, GCLP_HCURSOR)); };
  const auto shownWhenAsked = [&] {
    ::SetCursor(nullptr);
    const LRESULT answer = ::SendMessageW(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return answer ? ::GetCursor() : nullptr;
  };
  const auto send = [&](UINT message, int x, int y) { ::SendMessageW(hwnd, message, 0, MAKELPARAM(x, y)); };
  const auto selectRegion = [&] {
    send(WM_LBUTTONDOWN, 100, 100);
    send(WM_MOUSEMOVE, 101, 101);
    send(WM_MOUSEMOVE, 400, 350);
    send(WM_LBUTTONUP, 400, 350);
  };
  selectRegion();
  send(WM_MOUSEMOVE, 100, 100);  // the frame's top-left handle
  EXPECT_EQ(shownWhenAsked(), ::LoadCursorW(nullptr, IDC_SIZENWSE));
  send(WM_MOUSEMOVE, 600, 500);  // outside: nothing chosen
  EXPECT_EQ(shownWhenAsked(), arrow);

  ICaptureMenu* menu = m_window->GetCaptureMenu();
  menu->SelectShapeType(kShapeMosaic);
  send(WM_MOUSEMOVE, 250, 200);
  const HCURSOR mosaic = classCursor();
  ASSERT_NE(mosaic, arrow);
  EXPECT_EQ(shownWhenAsked(), mosaic);
  // A right click goes back to offering windows, with the arrow.
  send(WM_RBUTTONDOWN, 250, 200);
  send(WM_RBUTTONUP, 250, 200);
  EXPECT_EQ(classCursor(), arrow);
  EXPECT_EQ(shownWhenAsked(), arrow);
  // So does a fresh capture.
  selectRegion();
  send(WM_MOUSEMOVE, 250, 200);
  ASSERT_EQ(classCursor(), mosaic);
  m_control->ResetCapture();
  EXPECT_EQ(classCursor(), arrow);
  EXPECT_EQ(shownWhenAsked(), arrow);
}

// Wine on Xvfb puts every monitor at 0,0, so a monitor left of and above the
// primary is pretended: the program must place everything by the one
// virtual-screen rectangle.
TEST_F(ToolkitTest, NegativeOriginLayoutPlacesTheWindow) {
  const Rect layout{-300, -200, 1000, 700};
  ScopedVirtualScreen pretend(layout);
  {
    auto window = std::make_unique<CCaptureWindow>();
    ASSERT_NE(Open(*window, layout), nullptr);
    RECT rect = {};
    ::GetWindowRect(window->GetHWND(), &rect);
    EXPECT_EQ(rect.left, -300);
    EXPECT_EQ(rect.top, -200);
    EXPECT_EQ(rect.right, 700);
    EXPECT_EQ(rect.bottom, 500);
    // Client coordinates of the capture are screen coordinates minus the origin.
    POINT corner = {0, 0};
    ::ClientToScreen(window->GetHWND(), &corner);
    EXPECT_EQ((Point{corner.x, corner.y}), CaptureToScreen(Point{0, 0}, layout));
    window->CloseCapture();
    SetCaptureWindow(nullptr);
  }
  // The frozen image's origin is checked on a part of the real screen
  // (ScreenImagesStartAtTheAreaOrigin): Wine copies nothing from negative coordinates.
}

// A layout whose images do not fit the free address space: no images, and
// the capture window still opens, paints and closes.
TEST_F(ToolkitTest, OversizeLayoutStillOpensTheWindow) {
  ScopedVirtualScreen pretend(Rect{0, 0, 20000, 1080});
  ScopedAddressSpace nearlyFull(400ull << 20);
  auto window = std::make_unique<CCaptureWindow>();
  ASSERT_NE(Open(*window, Rect{}), nullptr);
  ::ShowWindow(window->GetHWND(), SW_SHOWNOACTIVATE);
  ::UpdateWindow(window->GetHWND());
  ASSERT_NE(window->GetCaptureControl(), nullptr);
  EXPECT_EQ(window->GetCaptureControl()->GetScreenDC(), nullptr);
  ::SendMessageW(window->GetHWND(), WM_CHAR, VK_ESCAPE, 0);
  EXPECT_EQ(window->GetHWND(), nullptr);
  SetCaptureWindow(nullptr);
}

// A capture window whose skin cannot be built still shows the frozen screen
// only once it is finished: the window never appears before the grab.
class SkinlessCaptureWindow : public CCaptureWindow {
 public:
  int shownBeforeGrab = 0;
  int shows = 0;

 protected:
  std::wstring GetSkinFile() override { return L"NoSuchSkin.xml"; }
  LRESULT HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) override {
    const bool showing = (message == WM_SHOWWINDOW && wParam) ||
                         (message == WM_WINDOWPOSCHANGING &&
                          (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW));
    if (showing) {
      ++shows;
      if (!IsScreenFrozen()) ++shownBeforeGrab;
    }
    return CCaptureWindow::HandleCustomMessage(message, wParam, lParam, handled);
  }
};

TEST_F(ToolkitTest, BrokenSkinShowsTheWindowOnlyAfterTheGrab) {
  const size_t mark = LogSize();
  auto window = std::make_unique<SkinlessCaptureWindow>();
  ASSERT_NE(Open(*window, GetVirtualScreenRect()), nullptr);
  EXPECT_EQ(window->GetCaptureControl(), nullptr);
  EXPECT_GT(window->shows, 0);
  EXPECT_EQ(window->shownBeforeGrab, 0);
  EXPECT_FALSE(ErrorsSince(mark).empty());  // the skin's error lines
  window->CloseCapture();
  SetCaptureWindow(nullptr);
}

}  // namespace

#include "shapes/TextLines.h"

// Text breaks into lines as an edit control breaks it.
TEST(TextLines, WrapsAtSpacesAndBetweenWholeCharacters) {
  ScreenCapture::MemoryDC dc(nullptr);
  ScreenCapture::UniqueFont font(::CreateFontW(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"\x5FAE\x8F6F\x96C5\x9ED1"));
  ScreenCapture::SelectGuard select(dc.Get(), font.Get());
  const auto texts = [](const std::wstring& text, const std::vector<TextLine>& lines) {
    std::vector<std::wstring> out;
    for (const TextLine& line : lines) out.push_back(text.substr(line.start, line.length));
    return out;
  };
  // Hard breaks, empty paragraphs and an empty text.
  const std::wstring para = L"ab\r\n\r\ncd";
  EXPECT_EQ(texts(para, WrapText(dc.Get(), para, 500)), (std::vector<std::wstring>{L"ab", L"", L"cd"}));
  EXPECT_EQ(WrapText(dc.Get(), L"", 500).size(), 1u);
  // Soft breaks after spaces; the spaces at a line's end do not wrap it.
  const std::wstring words = L"one two three four";
  const int oneTwo = WrapText(dc.Get(), L"one two", 500)[0].width;
  const std::vector<TextLine> wrapped = WrapText(dc.Get(), words, oneTwo + 2);
  EXPECT_EQ(texts(words, wrapped), (std::vector<std::wstring>{L"one two ", L"three ", L"four"}));
  for (const TextLine& line : wrapped) EXPECT_LE(line.width, oneTwo + 2 + 20);
  // A word longer than the line breaks between characters, and a character
  // beyond the BMP stays whole.
  std::wstring word;
  for (int i = 0; i < 30; ++i) word += i % 3 == 2 ? std::wstring(L"\xD83D\xDE00") : std::wstring(1, L'm');
  for (const TextLine& line : WrapText(dc.Get(), word, 60)) {
    EXPECT_GT(line.length, 0u);
    EXPECT_FALSE(word[line.start] >= 0xDC00 && word[line.start] <= 0xDFFF) << line.start;
    EXPECT_LE(line.width, 60);
  }
}
