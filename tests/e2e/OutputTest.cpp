// The ways out of a capture with an image: finish (cache file, clipboard,
// pin program) and text recognition (cache file, OCR program).
#include <gtest/gtest.h>
#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "Harness.h"
#include "PatternWindow.h"
#include "GdiplusScope.h"
#include "TestFiles.h"

using ToolbarGeometry::Button;

namespace {

using e2e::ProgramRun;

std::wstring Folder(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\') + 1); }

class OutputE2E : public testing::Test {
 protected:
  static void SetUpTestSuite() { s_gdiplus = new testfiles::GdiplusScope(); }
  static void TearDownTestSuite() { delete s_gdiplus; }
  void SetUp() override {
    e2e::ClearLogs();
    ::DeleteFileW(m_pinArgs.c_str());
    ::DeleteFileW(m_ocrArgs.c_str());
  }

  // Starts a capture with `args`, drags the region and waits for the placed
  // toolbar; returns the toolbar's rect.
  static RECT SelectRegion(ProgramRun& run, const std::wstring& args, int x0, int y0, int x1, int y1, HWND& capture,
                           HWND& toolbar) {
    capture = e2e::StartCapture(run, args);
    EXPECT_NE(capture, nullptr);
    e2e::LeftDrag(x0, y0, x1, y1);
    toolbar = run.WaitForWindow(L"CaptureMenuWnd", 5000);
    EXPECT_NE(toolbar, nullptr);
    RECT bar = {};
    if (toolbar) {
      EXPECT_TRUE(e2e::WaitForToolbar(toolbar));
      ::GetWindowRect(toolbar, &bar);
    }
    return bar;
  }

  // Starts a capture over the pattern, selects 400,300 400x300 and draws a
  // red rectangle 450,350 100x100 with the toolbar; returns the toolbar's rect.
  RECT CaptureWithRectangle(ProgramRun& run, const std::wstring& cache = std::wstring()) {
    const std::wstring args = L"--cachepath=" + (cache.empty() ? m_cache.Path() : cache) +
                              L" --tdrversion=5.0.1 --moduleversion=7 --appkey=APPK --quillarinversion=2.3.4.5 "
                              L"--ignoreWndowClassName=;ZtdPatternFixture;";
    HWND capture = nullptr, toolbar = nullptr;
    const RECT bar = SelectRegion(run, args, 400, 300, 800, 600, capture, toolbar);
    e2e::ClickToolbar(bar, Button::Rectangle);
    EXPECT_TRUE(PanelOpens(toolbar));
    EXPECT_TRUE(e2e::AfterPaint(capture, [] { e2e::LeftDrag(450, 350, 550, 450); }));
    return bar;
  }

  // A tool's option panel opens below the buttons.
  static bool PanelOpens(HWND toolbar) {
    return e2e::WaitUntil(
        [&] {
          RECT now = {};
          ::GetWindowRect(toolbar, &now);
          return now.bottom - now.top == ToolbarGeometry::kExpandedHeight;
        },
        3000);
  }

  // Presses "finished": the capture window goes, the clipboard holds a
  // bitmap and the program ends with 0.
  void FinishAndWaitForExit(ProgramRun& run, const RECT& bar) {
    e2e::ClickToolbar(bar, Button::Finish);
    ASSERT_TRUE(e2e::WaitUntil([] { return e2e::FindWindowsOfClass(e2e::kCaptureWindowClass).empty(); }, 5000));
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_BITMAP));
    DWORD code = 0xFFFF;
    ASSERT_TRUE(run.WaitForExit(10000, &code));
    EXPECT_EQ(code, 0u);
  }

  void ExpectRegionPixels(const std::function<uint32_t(int, int)>& at, int width, int height) {
    const int sw = ::GetSystemMetrics(SM_CXVIRTUALSCREEN), sh = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    EXPECT_EQ(width, 400);
    EXPECT_EQ(height, 300);
    for (const POINT p : {POINT{10, 10}, POINT{100, 100}, POINT{390, 290}, POINT{200, 250}}) {
      EXPECT_EQ(at(p.x, p.y), e2e::PatternWindow::ColourAt(400 + p.x, 300 + p.y, sw, sh)) << p.x << "," << p.y;
    }
    for (const POINT p : {POINT{50, 100}, POINT{150, 100}, POINT{100, 50}, POINT{100, 150}}) {
      EXPECT_EQ(at(p.x, p.y), 0xFF2600u) << p.x << "," << p.y;  // the rectangle's edges
    }
  }

  // The plug-in records every usage event with the number of PNG files in
  // the cache folder at that moment; ReportedEvent returns the event of the
  // toolbar button `type`.
  void RecordUsage() {
    std::wstring folder = m_cache.Path();
    folder.pop_back();
    ::SetEnvironmentVariableW(L"ZTD_FAKE_PLUGIN_RECORD", m_usage.c_str());
    ::SetEnvironmentVariableW(L"ZTD_FAKE_PLUGIN_PNGS", folder.c_str());
  }
  std::string ReportedEvent(const std::string& type) {
    ::SetEnvironmentVariableW(L"ZTD_FAKE_PLUGIN_RECORD", nullptr);
    ::SetEnvironmentVariableW(L"ZTD_FAKE_PLUGIN_PNGS", nullptr);
    const std::string text = testfiles::ReadBytes(m_usage);
    const size_t at = text.find("|SC1003|screencap|0|3|tdr_version=5.0.1|m_version=7|type=" + type + "|");
    if (at == std::string::npos) return text;
    const size_t start = text.rfind('\n', at) == std::string::npos ? 0 : text.rfind('\n', at) + 1;
    return text.substr(start, text.find('\n', at) - start);
  }

  static testfiles::GdiplusScope* s_gdiplus;
  testfiles::ConfigIni m_config{"[config]\r\ng_orvane_global_log_level=5\r\n"};
  e2e::PatternWindow m_pattern;
  testfiles::TempDir m_cache{L"out \x622A\x56FE"};
  testfiles::TempDir m_usageDir{L"usage"};
  const std::wstring m_usage = m_usageDir.Path() + L"plugin.txt";
  const std::wstring m_pinArgs = Folder(e2e::ProgramPath()) + L"ZTDPopWindow.exe.args.txt";
  const std::wstring m_ocrArgs = Folder(e2e::ProgramPath()) + L"..\\ZTDOcrWindow.exe.args.txt";
};
testfiles::GdiplusScope* OutputE2E::s_gdiplus = nullptr;

// What another program reads from the clipboard once the capture has exited:
// ClipboardReader.exe (next to the program) run to its end. Its exit code,
// the bitmap's size and its pixels (0x00RRGGBB, top row first).
struct ClipboardImage {
  DWORD code = 0xFFFF;
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
};

ClipboardImage ReadClipboardFromAnotherProgram(const std::wstring& dump) {
  ClipboardImage image;
  ::DeleteFileW(dump.c_str());
  std::wstring command = L"\"" + Folder(e2e::ProgramPath()) + L"ClipboardReader.exe\" \"" + dump + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return image;
  }
  e2e::DieWithTheTest(info.hProcess);
  if (::WaitForSingleObject(info.hProcess, 10000) != WAIT_OBJECT_0) ::TerminateProcess(info.hProcess, 0xDEAD);
  ::GetExitCodeProcess(info.hProcess, &image.code);
  ::CloseHandle(info.hThread);
  ::CloseHandle(info.hProcess);
  const std::string bytes = testfiles::ReadBytes(dump);
  if (image.code != 0 || bytes.size() < 8) return image;
  int32_t size[2] = {};
  memcpy(size, bytes.data(), sizeof(size));
  image.width = size[0];
  image.height = size[1];
  const size_t count = static_cast<size_t>(size[0]) * static_cast<size_t>(size[1]);
  if (bytes.size() != 8 + count * 4) return image;
  image.pixels.resize(count);
  memcpy(image.pixels.data(), bytes.data() + 8, count * 4);
  ::DeleteFileW(dump.c_str());
  return image;
}

TEST_F(OutputE2E, FinishWritesTheFileFillsTheClipboardAndStartsThePinProgram) {
  // Nothing of an earlier run may pass for this run's image.
  if (::OpenClipboard(nullptr)) {
    ::EmptyClipboard();
    ::CloseClipboard();
  }
  ProgramRun run;
  RecordUsage();
  const RECT bar = CaptureWithRectangle(run);
  ASSERT_NO_FATAL_FAILURE(FinishAndWaitForExit(run, bar));
  // The button's usage event follows its action: the file was there.
  EXPECT_EQ(ReportedEvent("9"), "TQ_TrackEvent|click|SC1003|screencap|0|3|tdr_version=5.0.1|m_version=7|type=9|pngs=1");

  const std::vector<std::wstring> files = e2e::PngNames(m_cache.Path());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_TRUE(std::regex_match(files[0], std::wregex(L"Orvane\x622A\x56FE_\\d{14}\\.png"))) << files[0].size();
  const std::wstring image = m_cache.Path() + files[0];
  // The clipboard outlives the program: read by another program after the
  // exit, it holds a bitmap of the region's size with the PNG's pixels.
  const ClipboardImage clip = ReadClipboardFromAnotherProgram(m_cache.Path() + L"clipboard.raw");
  EXPECT_EQ(clip.code, 0u);
  EXPECT_EQ(clip.width, 400);
  EXPECT_EQ(clip.height, 300);
  {
    Gdiplus::Bitmap png(image.c_str());
    ASSERT_EQ(png.GetLastStatus(), Gdiplus::Ok);
    ExpectRegionPixels(
        [&](int x, int y) {
          Gdiplus::Color c;
          png.GetPixel(x, y, &c);
          EXPECT_EQ(c.GetA(), 255);
          return static_cast<uint32_t>(c.GetValue() & 0xFFFFFF);
        },
        static_cast<int>(png.GetWidth()), static_cast<int>(png.GetHeight()));
    if (clip.pixels.size() == 400u * 300u) {
      Gdiplus::BitmapData data = {};
      const Gdiplus::Rect all(0, 0, 400, 300);
      ASSERT_EQ(png.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data), Gdiplus::Ok);
      int differ = 0;
      for (int y = 0; y < 300; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
        for (int x = 0; x < 400; ++x) differ += (row[x] & 0xFFFFFF) != clip.pixels[static_cast<size_t>(y) * 400 + x];
      }
      png.UnlockBits(&data);
      EXPECT_EQ(differ, 0) << "clipboard pixels that are not the PNG's";
    }
  }
  // The pin program got exactly its parameters, one backslash before the name.
  ASSERT_TRUE(e2e::WaitUntil([&] { return testfiles::Exists(m_pinArgs); }, 5000));
  std::wstring folder = m_cache.Path();
  folder.pop_back();
  const std::string args = testfiles::ReadBytes(m_pinArgs);
  const std::wstring expected = L"--cachepath=" + folder + L"\\" + files[0] +
                                L" --tdrversion=5.0.1 --moduleversion=7 --appkey=APPK --quillarinversion=2.3.4.5 "
                                L"--startmode=0";
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, expected.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(size - 1), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, expected.c_str(), -1, utf8.data(), size, nullptr, nullptr);
  EXPECT_EQ(args, utf8);
  const auto lines = e2e::ReadLogLines();
  EXPECT_EQ(e2e::LinesWith(lines, "formatImgPath = ").size(), 1u);
}

TEST_F(OutputE2E, OcrWritesTheFileAndStartsTheOcrProgram) {
  ProgramRun run;
  RecordUsage();
  const RECT bar = CaptureWithRectangle(run);
  e2e::ClickToolbar(bar, Button::Ocr);
  DWORD code = 0xFFFF;
  ASSERT_TRUE(run.WaitForExit(10000, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(ReportedEvent("11"), "TQ_TrackEvent|click|SC1003|screencap|0|3|tdr_version=5.0.1|m_version=7|type=11|pngs=1");
  const std::vector<std::wstring> files = e2e::PngNames(m_cache.Path());
  ASSERT_EQ(files.size(), 1u);
  ASSERT_TRUE(e2e::WaitUntil([&] { return testfiles::Exists(m_ocrArgs); }, 5000));
  const std::string args = testfiles::ReadBytes(m_ocrArgs);
  EXPECT_EQ(args.rfind("--imgpath=", 0), 0u) << args;
  EXPECT_NE(args.find(" --tdrversion=5.0.1 --moduleversion=7 --appkey=APPK --quillarinversion=2.3.4.5 --startmode=0"),
            std::string::npos);
}

TEST_F(OutputE2E, OnePixelAndWholeScreenRegions) {
  const int sw = ::GetSystemMetrics(SM_CXVIRTUALSCREEN), sh = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
  const struct {
    int x0, y0, x1, y1, width, height;
  } regions[] = {{500, 500, 501, 501, 1, 1},
                 {0, 0, sw + 100, sh + 100, sw - 1, sh - 1},
                 // At the top edge the size label sits inside the region on the screen.
                 {300, 0, 700, 120, 400, 120}};
  for (const auto& region : regions) {
    ProgramRun run;
    ASSERT_NE(e2e::StartCapture(run, L"--cachepath=" + m_cache.Path() + L" --ignoreWndowClassName=;ZtdPatternFixture;"),
              nullptr);
    // A drag leaves the drag rectangle first (a pixel's slip is a click), and
    // may come back to end a pixel from where it began.
    e2e::MoveMouse(region.x0, region.y0);
    e2e::LeftDown();
    e2e::MoveMouse(region.x0 + 20, region.y0 + 20);
    e2e::MoveMouse(region.x1, region.y1);
    e2e::LeftUp();
    const HWND toolbar = run.WaitForWindow(L"CaptureMenuWnd", 5000);
    ASSERT_NE(toolbar, nullptr) << region.width;
    EXPECT_TRUE(e2e::WaitForToolbar(toolbar));
    RECT bar = {};
    ::GetWindowRect(toolbar, &bar);
    e2e::ClickToolbar(bar, Button::Finish);
    DWORD code = 0xFFFF;
    ASSERT_TRUE(run.WaitForExit(10000, &code));
    EXPECT_EQ(code, 0u);
    const std::vector<std::wstring> files = e2e::PngNames(m_cache.Path());
    ASSERT_EQ(files.size(), 1u);
    {
      Gdiplus::Bitmap png((m_cache.Path() + files[0]).c_str());
      EXPECT_EQ(static_cast<int>(png.GetWidth()), region.width);
      EXPECT_EQ(static_cast<int>(png.GetHeight()), region.height);
      // Every pixel is the frozen screen's: no frame, label or magnifier.
      Gdiplus::BitmapData data = {};
      const Gdiplus::Rect all(0, 0, static_cast<INT>(png.GetWidth()), static_cast<INT>(png.GetHeight()));
      ASSERT_EQ(png.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data), Gdiplus::Ok);
      int foreign = 0;
      for (INT y = 0; y < all.Height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
        for (INT x = 0; x < all.Width; ++x) {
          foreign += (row[x] & 0xFFFFFF) != e2e::PatternWindow::ColourAt(region.x0 + x, region.y0 + y, sw, sh);
        }
      }
      png.UnlockBits(&data);
      EXPECT_EQ(foreign, 0) << "region at " << region.x0 << "," << region.y0;
    }
    ::DeleteFileW((m_cache.Path() + files[0]).c_str());
  }
}

// The arrow, the brush and the mosaic drawn with the toolbar land in the
// image: red on the arrow's head and along the stroke, and under the mosaic
// the average of each 10 x 10 block of the frozen screen.
TEST_F(OutputE2E, ArrowBrushAndMosaicReachTheImage) {
  const int sw = ::GetSystemMetrics(SM_CXVIRTUALSCREEN), sh = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
  ProgramRun run;
  HWND capture = nullptr, toolbar = nullptr;
  const RECT bar = SelectRegion(run, L"--cachepath=" + m_cache.Path() + L" --ignoreWndowClassName=;ZtdPatternFixture;",
                                200, 500, 1000, 800, capture, toolbar);
  ASSERT_NE(toolbar, nullptr);
  e2e::ClickToolbar(bar, Button::Arrow);
  ASSERT_TRUE(PanelOpens(toolbar));
  EXPECT_TRUE(e2e::AfterPaint(capture, [] { e2e::LeftDrag(250, 560, 450, 560); }));
  e2e::ClickToolbar(bar, Button::Brush);
  EXPECT_TRUE(e2e::AfterPaint(capture, [] { e2e::LeftDrag(250, 650, 450, 650); }));
  e2e::ClickToolbar(bar, Button::Mosaic);  // middle size: 24 pixels wide
  EXPECT_TRUE(e2e::AfterPaint(capture, [] { e2e::LeftDrag(600, 700, 900, 700); }));
  ASSERT_NO_FATAL_FAILURE(FinishAndWaitForExit(run, bar));

  const std::vector<std::wstring> files = e2e::PngNames(m_cache.Path());
  ASSERT_EQ(files.size(), 1u);
  Gdiplus::Bitmap png((m_cache.Path() + files[0]).c_str());
  ASSERT_EQ(png.GetLastStatus(), Gdiplus::Ok);
  const auto at = [&](int x, int y) {  // screen coordinates
    Gdiplus::Color c;
    png.GetPixel(x - 200, y - 500, &c);
    return static_cast<uint32_t>(c.GetValue() & 0xFFFFFF);
  };
  EXPECT_EQ(at(440, 560), 0xFF2600u);  // the arrow's head
  EXPECT_EQ(at(350, 560), 0xFF2600u);  // its shaft
  EXPECT_EQ(at(350, 575), e2e::PatternWindow::ColourAt(350, 575, sw, sh));
  EXPECT_EQ(at(375, 650), 0xFF2600u);  // the brush
  EXPECT_EQ(at(375, 660), e2e::PatternWindow::ColourAt(375, 660, sw, sh));
  // Under the mosaic: the plain average of the block, the grid from the
  // screen's bottom-left corner; beside it the picture as it was.
  const auto blockAverage = [&](int x, int y) {
    const int bx = x / 10 * 10, top = sh - (sh - y - 1) / 10 * 10 - 10;
    uint32_t r = 0, g = 0, b = 0, n = 0;
    for (int yy = std::max(top, 0); yy < top + 10; ++yy) {
      for (int xx = bx; xx < std::min(bx + 10, sw); ++xx, ++n) {
        const uint32_t c = e2e::PatternWindow::ColourAt(xx, yy, sw, sh);
        r += c >> 16, g += (c >> 8) & 0xFF, b += c & 0xFF;
      }
    }
    return ((r / n) << 16) | ((g / n) << 8) | (b / n);
  };
  for (const int x : {700, 745, 806, 853}) {
    EXPECT_EQ(at(x, 700), blockAverage(x, 700)) << x;
    EXPECT_EQ(at(x, 730), e2e::PatternWindow::ColourAt(x, 730, sw, sh)) << x;
  }
  // The pixelated screen was made once, for the first mosaic stroke.
  EXPECT_EQ(e2e::LinesWith(e2e::ReadLogLines(), "GetMosaicImage diff:").size(), 1u);
}

}  // namespace
