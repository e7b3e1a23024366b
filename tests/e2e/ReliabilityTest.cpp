// The program under load and faults: many starts at once, Esc in every state,
// resources over long use, a busy clipboard, cache folders that cannot take
// the image. ZTD_STRESS_RUNS (default 1) multiplies the runs; `make stress`
// sets it to 50. ZTD_READONLY_DIR and ZTD_FULL_DIR, when set by the wrapper
// script, name a folder that refuses new files and one on a full disk.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "Harness.h"
#include "TestFiles.h"

using ToolbarGeometry::Button;
using ToolbarGeometry::ScrollButton;

namespace {

using e2e::ProgramRun;

int StressRuns() {
  const char* runs = std::getenv("ZTD_STRESS_RUNS");
  return runs && std::atoi(runs) > 0 ? std::atoi(runs) : 1;
}

std::wstring EnvPath(const char* name) {
  const char* value = std::getenv(name);
  if (!value || !*value) return std::wstring();
  std::wstring path(value, value + std::strlen(value));
  if (path.back() != L'\\') path.push_back(L'\\');
  return path;
}

void EmptyClipboard() {
  ::OpenClipboard(nullptr);
  ::EmptyClipboard();
  ::CloseClipboard();
}

class Reliability : public testing::Test {
 protected:
  void SetUp() override { e2e::ClearLogs(); }
  testfiles::ConfigIni m_config{"[config]\r\ng_orvane_global_log_level=5\r\ntdr_screecapture_maxscrollheight=1500\r\n"};
  testfiles::TempDir m_cache{L"rel"};
};

TEST_F(Reliability, TenStartsAtOnceLeaveOneCaptureRunning) {
  for (int round = 0; round < StressRuns(); ++round) {
    std::vector<std::unique_ptr<ProgramRun>> runs;
    for (int i = 0; i < 10; ++i) {
      runs.push_back(std::make_unique<ProgramRun>());
      ASSERT_TRUE(runs.back()->Start(L"--cachepath=" + m_cache.Path()));
    }
    // Nine end with 183 while one stays.
    const auto ended = [&] {
      int n = 0;
      for (auto& run : runs) n += !run->Running();
      return n;
    };
    EXPECT_TRUE(e2e::WaitUntil([&] { return ended() >= 9; }, 15000));
    int refused = 0;
    ProgramRun* survivor = nullptr;
    for (auto& run : runs) {
      DWORD code = 0;
      if (run->WaitForExit(0, &code)) {
        EXPECT_EQ(code, 183u);
        refused += code == 183;
      } else {
        EXPECT_EQ(survivor, nullptr) << "two captures run at once";
        survivor = run.get();
      }
    }
    EXPECT_EQ(refused, 9);
    ASSERT_NE(survivor, nullptr);
    ASSERT_NE(survivor->WaitForWindow(e2e::kCaptureWindowClass), nullptr);
    EXPECT_EQ(e2e::FindWindowsOfClass(e2e::kCaptureWindowClass).size(), 1u);
    e2e::BringToFront(survivor->WaitForWindow(e2e::kCaptureWindowClass));
    EXPECT_EQ(e2e::EndWithEsc(*survivor), 0u);
    EXPECT_TRUE(e2e::WaitUntil([] { return e2e::FindWindowsOfClass(e2e::kCaptureWindowClass).empty(); }, 3000));
    // All logged their command lines; only one got as far as the window.
    const auto lines = e2e::ReadLogLines();
    EXPECT_EQ(e2e::LinesWith(lines, "lpCmdLine=").size(), 10u);
    EXPECT_EQ(e2e::LinesWith(lines, "capture start init").size(), 1u);
    e2e::ClearLogs();
  }
  // With the last one gone, a new start is the only instance again.
  ProgramRun again;
  ASSERT_NE(e2e::StartCapture(again, L"--cachepath=" + m_cache.Path()), nullptr);
  EXPECT_EQ(e2e::EndWithEsc(again), 0u);
}

// Brings the capture into a state; false when it could not get there.
struct State {
  const char* name;
  const wchar_t* args;
  std::function<bool(ProgramRun&, HWND)> enter;
  bool buttonHeld;  // released after the exit
};

bool Region(ProgramRun& run, RECT& bar) {
  e2e::LeftDrag(300, 200, 900, 700);
  bar = e2e::ToolbarRect(run);
  return bar.right > bar.left;
}

bool ScrollRegion(ProgramRun& run) {
  e2e::LeftDrag(400, 200, 1000, 700);
  return e2e::WaitForLog("scroll tip: ", 1, 10000) && e2e::ToolbarRect(run).right > 0;
}

// Esc while the long capture scrolls by itself is ALongCaptureEndsCleanlyWhileItWorks.
TEST_F(Reliability, EscEndsEveryStateOfEveryModeAtOnce) {
  e2e::ScrollPageWindow page;
  ASSERT_TRUE(page.Shown());
  const std::wstring cache = L"--cachepath=" + m_cache.Path() + L" --ignoreWndowClassName=;ZtdScrollPage;";
  const std::vector<State> states = {
      {"offering", L"", [](ProgramRun&, HWND) { return true; }, false},
      {"dragging", L"",
       [](ProgramRun&, HWND capture) {
         e2e::MoveMouse(300, 200);
         e2e::LeftDown();
         return e2e::AfterPaint(capture, [] { e2e::MoveMouse(700, 600); });
       },
       true},
      {"region", L"", [](ProgramRun& run, HWND) { RECT bar; return Region(run, bar); }, false},
      {"tool chosen", L"",
       [](ProgramRun& run, HWND) {
         RECT bar;
         if (!Region(run, bar)) return false;
         e2e::ClickToolbar(bar, Button::Rectangle);
         return true;
       },
       false},
      {"drawing", L"",
       [](ProgramRun& run, HWND capture) {
         RECT bar;
         if (!Region(run, bar)) return false;
         e2e::ClickToolbar(bar, Button::Rectangle);
         e2e::MoveMouse(400, 300);
         e2e::LeftDown();
         return e2e::AfterPaint(capture, [] { e2e::MoveMouse(600, 500); });
       },
       true},
      {"text editing", L"",
       [](ProgramRun& run, HWND) {
         RECT bar;
         if (!Region(run, bar)) return false;
         e2e::ClickToolbar(bar, Button::Text);
         e2e::LeftClick(500, 400);
         e2e::TypeText(L"typing");
         return true;
       },
       false},
      {"scroll waiting", L" --startmode=1", [](ProgramRun& run, HWND) { return ScrollRegion(run); }, false},
      {"editor", L" --startmode=1",
       [](ProgramRun& run, HWND) {
         if (!ScrollRegion(run)) return false;
         // A notch at a time until one is joined (notches during a step are
         // swallowed), then edit; a press the toolbar missed is repeated.
         bool joined = false;
         for (int i = 0; i < 20 && !joined; ++i) {
           e2e::Wheel(700, 450, -1);
           joined = e2e::WaitForLog("Combine Result:0", 1, 800);
         }
         EXPECT_TRUE(joined) << "no notch was joined";
         for (int i = 0; i < 3; ++i) {
           const RECT bar = e2e::ToolbarRect(run);
           e2e::ClickToolbar(bar, ScrollButton::Edit);
           if (e2e::WaitForLog("scroll editor ", 1, 5000)) return true;
         }
         ADD_FAILURE() << "the editor did not open";
         return false;
       },
       false},
  };
  for (const State& state : states) {
    DWORD slowest = 0;
    for (int i = 0; i < StressRuns(); ++i) {
      e2e::ClearLogs();
      ProgramRun run;
      const HWND capture = e2e::StartCapture(run, cache + state.args);
      ASSERT_NE(capture, nullptr) << state.name;
      ASSERT_TRUE(state.enter(run, capture)) << state.name;
      // Over the dimmed part, away from the page and the region.
      e2e::MoveMouse(150, 1000);
      e2e::BringToFront(capture);
      const DWORD pressed = ::GetTickCount();
      e2e::PressKey(VK_ESCAPE);
      DWORD code = 0xFFFF;
      const bool ended = run.WaitForExit(10000, &code);
      if (state.buttonHeld) e2e::LeftUp();
      ASSERT_TRUE(ended) << state.name << ": still running 10 s after Esc";
      EXPECT_EQ(code, 0u) << state.name;
      slowest = std::max(slowest, run.ExitTick() - pressed);
      EXPECT_LT(run.ExitTick() - pressed, 2000u) << state.name;
    }
    std::printf("Esc in state \"%s\": %d runs, exit 0, slowest %lu ms\n", state.name, StressRuns(),
                static_cast<unsigned long>(slowest));
  }
}

// Moves the pointer to and fro around a point (a few pixels either way)
// until the object goes: every move reaches the program's mouse hook.
class MovingPointer {
 public:
  MovingPointer(int x, int y)
      : m_thread([this, x, y] {
          for (int i = 0; !m_stop; ++i) {
            e2e::MoveMouse(x + (i % 5) - 2, y + (i % 3) - 1);
            ::Sleep(3);
          }
        }) {}
  ~MovingPointer() {
    m_stop = true;
    m_thread.join();
  }

 private:
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};

// A press and release at a point in one input, whatever the pointer does.
void ClickNow(int x, int y) {
  const int vw = ::GetSystemMetrics(SM_CXVIRTUALSCREEN), vh = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
  INPUT inputs[2] = {};
  for (INPUT& input : inputs) {
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((x - ::GetSystemMetrics(SM_XVIRTUALSCREEN)) * 65535LL / (vw - 1));
    input.mi.dy = static_cast<LONG>((y - ::GetSystemMetrics(SM_YVIRTUALSCREEN)) * 65535LL / (vh - 1));
  }
  inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK | MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK | MOUSEEVENTF_LEFTUP;
  ::SendInput(2, inputs, sizeof(INPUT));
}

// Every way out of a long capture while a wheel step is being stitched, and
// while it scrolls by itself with the pointer moving: the program ends at
// once with 0 (a crash ends it otherwise, and a build with ZTD_LIFETIME_CHECKS
// aborts on any touch of a capture window or mode that is going). While the
// save dialog is open nothing is scrolled.
TEST_F(Reliability, ALongCaptureEndsCleanlyWhileItWorks) {
  const std::wstring args = L"--startmode=1 --cachepath=" + m_cache.Path() + L" --ignoreWndowClassName=;ZtdScrollPage;";
  // The short toolbar: edit, close, save, finish.
  struct Way {
    const char* name;
    bool esc;  // else the button
    ScrollButton button;
  };
  const Way ways[] = {{"Esc", true, ScrollButton::Close},
                      {"close", false, ScrollButton::Close},
                      {"save", false, ScrollButton::Save},
                      {"finish", false, ScrollButton::Finish}};
  for (const bool automatic : {false, true}) {
    for (const Way& way : ways) {
      DWORD slowest = 0;
      int unjoined = 0;
      for (int i = 0; i < StressRuns(); ++i) {
        e2e::ClearLogs();
        // A fresh page at its top each run: the runs before scrolled it down.
        e2e::ScrollPageWindow page;
        ASSERT_TRUE(page.Shown());
        ProgramRun run;
        const HWND capture = e2e::StartCapture(run, args);
        ASSERT_NE(capture, nullptr) << way.name;
        ASSERT_TRUE(ScrollRegion(run)) << way.name;
        const RECT bar = e2e::ToolbarRect(run);
        if (automatic) {
          // A click the hook did not see is repeated.
          for (int click = 0; click < 3; ++click) {
            e2e::LeftClick(700, 450);
            if (e2e::WaitForLog("WM_LBUTTONUP->mouse_event", 1, 2000)) break;
          }
          // Should no step be joined, the thread still injects and the
          // capture ends anyway: counted, not a failure.
          unjoined += !e2e::WaitForLog("Combine Result:0", 1, 10000);
        } else {
          e2e::Wheel(700, 450, -1);
          ASSERT_TRUE(e2e::WaitForLog("OnMouseWheel..:-120", 1, 5000)) << way.name;
        }
        const POINT button = e2e::ToolbarButtonCentre(bar, way.button);
        // Save while it scrolls by itself is pressed by messages: the pointer
        // stays in the region, the scrolling goes on (a toolbar inside it).
        const bool heldSave = automatic && !way.esc && way.button == ScrollButton::Save;
        const int x = way.esc ? 150 : heldSave ? 700 : button.x, y = way.esc ? 1000 : heldSave ? 450 : button.y;
        const std::wstring target = m_cache.Path() + L"long.png";
        for (const std::wstring& png : e2e::PngNames(m_cache.Path())) ::DeleteFileW((m_cache.Path() + png).c_str());
        DWORD pressed = 0;
        {
          MovingPointer moving(x, y);
          if (way.esc) {
            e2e::BringToFront(capture);
            pressed = ::GetTickCount();
            e2e::PressKey(VK_ESCAPE);
          } else if (heldSave) {
            const HWND toolbar = run.WaitForWindow(L"CaptureMenuWnd");
            const LPARAM at = MAKELPARAM(button.x - bar.left, button.y - bar.top);
            pressed = ::GetTickCount();
            for (const UINT m : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP})
              ::PostMessageW(toolbar, m, m == WM_LBUTTONDOWN ? MK_LBUTTON : 0, at);
          } else {
            pressed = ::GetTickCount();
            ClickNow(x, y);
          }
          if (!way.esc && way.button == ScrollButton::Save) {
            const HWND dialog = e2e::WaitForDialog(run.ProcessId());
            ASSERT_NE(dialog, nullptr) << "no save dialog";
            if (heldSave) {
              // Nothing scrolls under the dialog (but a notch sent as it was
              // pressed; a scrolling that went on sends ten in this second).
              const size_t injected = e2e::LinesWith(e2e::ReadLogLines(), "Auto Scrool").size();
              EXPECT_FALSE(e2e::WaitForLog("Auto Scrool", injected + 2, 1000)) << "wheels injected under the dialog";
            }
            ::SetDlgItemTextW(dialog, 0x47C, target.c_str());
            ::SetDlgItemTextW(dialog, 0x480, target.c_str());
            pressed = ::GetTickCount();
            ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
          }
          DWORD code = 0xFFFF;
          ASSERT_TRUE(run.WaitForExit(10000, &code)) << way.name << ": still running 10 s later";
          EXPECT_EQ(code, 0u) << way.name << (automatic ? " while scrolling by itself" : " during a step");
        }
        slowest = std::max(slowest, run.ExitTick() - pressed);
        // The finished long image was written.
        if (!way.esc && way.button == ScrollButton::Finish) EXPECT_FALSE(e2e::PngNames(m_cache.Path()).empty());
      }
      std::printf("%s %s: %d runs (%d before a step was joined), exit 0, slowest %lu ms\n", way.name,
                  automatic ? "while scrolling by itself, the pointer moving" : "during a wheel step", StressRuns(),
                  unjoined, static_cast<unsigned long>(slowest));
    }
  }
}

TEST_F(Reliability, HandlesAndGdiObjectsStayFlatOverLongUse) {
  const int repaints = 200 * StressRuns() > 1000 ? 1000 : 200 * StressRuns();
  const int cycles = repaints / 10;  // 100 at most
  ProgramRun run;
  const HWND capture = e2e::StartCapture(run, L"--cachepath=" + m_cache.Path());
  ASSERT_NE(capture, nullptr);
  // Kernel handles and GDI objects as the system counts them (0 under Wine,
  // which counts neither); the GDI objects the program's owners hold it logs
  // when the capture closes.
  const auto handles = [&] {
    DWORD count = 0;
    ::GetProcessHandleCount(run.Process(), &count);
    return count;
  };
  const auto gdi = [&] { return ::GetGuiResources(run.Process(), GR_GDIOBJECTS); };
  // The magnifier follows the pointer while a window is offered: a repaint a move.
  ASSERT_TRUE(e2e::AfterPaint(capture, [] { e2e::MoveMouse(340, 240); }));
  const DWORD handlesBefore = handles(), gdiBefore = gdi();
  int painted = 0;
  for (int i = 0; i < repaints; ++i) {
    painted += e2e::AfterPaint(capture, [&] { e2e::MoveMouse(350 + i % 400, 250 + (i * 7) % 300); }, 1000);
  }
  RECT bar;
  ASSERT_TRUE(Region(run, bar));
  const HWND toolbar = run.WaitForWindow(L"CaptureMenuWnd");
  // A tool, a shape and its undo, then a redo and an undo, each cycle. Each
  // step waits until where the shape lies shows it or shows it gone: a
  // repaint seen anywhere (a tooltip, a button's hover) would let a late
  // step land inside the next one's wait.
  const Button tools[] = {Button::Rectangle, Button::Ellipse, Button::Arrow, Button::Brush, Button::Mosaic};
  const RECT area{390, 290, 511, 411};
  const auto shown = [&] { return e2e::GrabArea(area).pixels; };
  ASSERT_TRUE(e2e::WaitForSettledWindow(capture));  // the region's own paint is on the screen
  const std::vector<uint32_t> empty = shown();
  const auto drawn = [&] { return shown() != empty; };
  const auto gone = [&] { return shown() == empty; };
  int keyed = 0;
  for (int i = 0; i < cycles; ++i) {
    e2e::ClickToolbar(bar, tools[i % 5]);
    e2e::LeftDrag(400, 300, 500, 400);
    EXPECT_TRUE(e2e::WaitUntil(drawn, 5000)) << "cycle " << i << ": no shape drawn";
    e2e::ClickToolbar(bar, Button::Undo);
    EXPECT_TRUE(e2e::WaitUntil(gone, 5000)) << "cycle " << i << ": the undo button left the shape";
    e2e::BringToFront(capture);
    e2e::KeyChord({VK_CONTROL, VK_SHIFT, 'Z'});  // redo
    keyed += e2e::WaitUntil(drawn, 5000);
    e2e::KeyChord({VK_CONTROL, 'Z'});  // undo
    keyed += e2e::WaitUntil(gone, 5000);
  }
  const DWORD handlesAfter = handles(), gdiAfter = gdi();
  std::printf("%d repaints (%d seen), %d tool changes with a shape, undo, redo, undo: "
              "handles %lu -> %lu, GDI objects %lu -> %lu as the system counts them\n",
              repaints, painted, cycles, static_cast<unsigned long>(handlesBefore), static_cast<unsigned long>(handlesAfter),
              static_cast<unsigned long>(gdiBefore), static_cast<unsigned long>(gdiAfter));
  EXPECT_EQ(painted, repaints);
  EXPECT_EQ(keyed, 2 * cycles);  // every redo and undo shown
  EXPECT_LE(handlesAfter, handlesBefore + 5);
  EXPECT_LE(gdiAfter, gdiBefore + 10);
  ASSERT_TRUE(::IsWindow(toolbar));
  e2e::BringToFront(capture);
  EXPECT_EQ(e2e::EndWithEsc(run), 0u);
  // What the program's own wrappers count at the end.
  const auto closed = e2e::LinesWith(e2e::ReadLogLines(), "capture closed: ");
  ASSERT_EQ(closed.size(), 1u);
  EXPECT_NE(closed[0].find("capture closed: 0 GDI objects and 0 windows left"), std::string::npos) << closed[0];
}

// Finishes a capture of 300,200 - 900,700 with a rectangle on it.
void FinishWithRectangle(ProgramRun& run, const std::wstring& cache, const std::function<void()>& whileFinishing) {
  const HWND capture = e2e::StartCapture(run, L"--cachepath=" + cache);
  ASSERT_NE(capture, nullptr);
  RECT bar;
  ASSERT_TRUE(Region(run, bar));
  e2e::ClickToolbar(bar, Button::Rectangle);
  ASSERT_TRUE(e2e::AfterPaint(capture, [] { e2e::LeftDrag(400, 300, 500, 400); }));
  e2e::ClickToolbar(bar, Button::Finish);
  whileFinishing();
}

TEST_F(Reliability, ABusyClipboardStillGetsTheImageAndNothingIsLost) {
  const std::wstring pinArgs = e2e::ProgramPath().substr(0, e2e::ProgramPath().find_last_of(L'\\') + 1) +
                               L"ZTDPopWindow.exe.args.txt";
  ::DeleteFileW(pinArgs.c_str());
  EmptyClipboard();
  ProgramRun run;
  FinishWithRectangle(run, m_cache.Path(), [] {
    // Another program holds the clipboard for half a second.
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::Sleep(500);
    ::CloseClipboard();
  });
  DWORD code = 0xFFFF;
  ASSERT_TRUE(run.WaitForExit(10000, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(::IsClipboardFormatAvailable(CF_BITMAP));
  EXPECT_EQ(e2e::PngNames(m_cache.Path()).size(), 1u);
  EXPECT_TRUE(e2e::WaitUntil([&] { return testfiles::Exists(pinArgs); }, 5000));
  EXPECT_TRUE(e2e::LinesWith(e2e::ReadLogLines(), "clipboard is busy").empty());
}

TEST_F(Reliability, CacheFoldersThatCannotTakeTheImage) {
  const std::wstring pinArgs = e2e::ProgramPath().substr(0, e2e::ProgramPath().find_last_of(L'\\') + 1) +
                               L"ZTDPopWindow.exe.args.txt";
  // No folder at all, a file where the folder should be, a path so long that
  // the image's name no longer fits; and where the wrapper made them, a
  // folder that refuses new files and one on a full disk.
  const std::wstring file = m_cache.Path() + L"a file";
  testfiles::WriteBytes(file, "x");
  std::wstring deep = m_cache.Path();
  while (deep.size() < 230) deep += L"long folder name\\";
  deep += L"x";
  while (deep.size() < 246) deep += L'x';  // the longest folder CreateDirectory makes: 247 with the backslash
  deep += L'\\';
  const std::wstring longPath = deep;
  ::SHCreateDirectoryExW(nullptr, longPath.c_str(), nullptr);
  std::vector<std::wstring> folders = {m_cache.Path() + L"not\\there\\", file, longPath};
  for (const char* name : {"ZTD_READONLY_DIR", "ZTD_FULL_DIR"}) {
    const std::wstring path = EnvPath(name);
    if (path.empty()) {
      std::printf("%s is not set: that case is left out\n", name);
    } else {
      folders.push_back(path);
    }
  }
  for (const std::wstring& folder : folders) {
    e2e::ClearLogs();
    ::DeleteFileW(pinArgs.c_str());
    EmptyClipboard();
    const size_t before = e2e::PngNames(folder).size();
    ProgramRun run;
    FinishWithRectangle(run, folder, [] {});
    DWORD code = 0xFFFF;
    ASSERT_TRUE(run.WaitForExit(10000, &code)) << "the capture stayed open although the clipboard was free";
    EXPECT_EQ(code, 0u);
    // The image is on the clipboard, whatever became of the file.
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_BITMAP));
    const std::vector<std::wstring> pngs = e2e::PngNames(folder);
    const auto lines = e2e::ReadLogLines();
    const bool failed = !e2e::LinesWith(lines, "could not write ").empty();
    if (pngs.size() > before) {
      // Written: a whole PNG, and the pin program was given it.
      EXPECT_FALSE(failed);
      EXPECT_GT(testfiles::ReadBytes(folder + pngs.back()).size(), 1000u);
      EXPECT_TRUE(e2e::WaitUntil([&] { return testfiles::Exists(pinArgs); }, 5000));
    } else {
      // Not written: said so, and no pin program on a missing file.
      EXPECT_TRUE(failed || e2e::LinesWith(lines, "formatImgPath").empty()) << "no line says the file is missing";
      EXPECT_TRUE(e2e::LinesWith(lines, "cmdline = ").empty());
      EXPECT_FALSE(testfiles::Exists(pinArgs));
    }
    std::printf("cache folder of %zu characters: %s\n", folder.size(),
                pngs.size() > before ? "written" : "not written, the image kept on the clipboard");
  }
}

}  // namespace
