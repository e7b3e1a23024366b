#pragma once
// End-to-end harness: runs the real program the way the desktop assistant
// does, drives it with synthetic input and reads what it left behind (exit
// code, log records, files, screen pixels).
#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "ToolbarGeometry.h"

namespace e2e {

// The folder of the stand-ins (the pin program, the reporting plug-in, the
// windows to capture): fixtures\bin beside the test executables' bin\,
// with its trailing backslash; the OCR stand-in sits in the folder above.
std::wstring FixtureFolder();
// The copy of ZTDScreenCapture.exe among the stand-ins, where it finds them.
std::wstring ProgramPath();

// The program's log file in its scrambled and plain forms.
std::wstring ScrambledLogPath();
std::wstring PlainLogPath();
// Deletes both, so that the next run's records stand alone.
void ClearLogs();
// Every record of both forms, decoded, in file order (scrambled first).
std::vector<std::string> ReadLogLines();
// The lines that contain `needle`.
std::vector<std::string> LinesWith(const std::vector<std::string>& lines, const std::string& needle);

// Puts a started program into the test process's job, which ends it (and
// what it started) when the test process ends, however that ends.
void DieWithTheTest(HANDLE process);

class ProgramRun {
 public:
  ProgramRun() = default;
  ~ProgramRun();  // a program still running is ended (exit code 0xDEAD)
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  // Starts the program with `arguments` after its quoted path.
  bool Start(const std::wstring& arguments);
  // Waits for a visible top-level window of this process with that class.
  HWND WaitForWindow(const wchar_t* className, DWORD timeoutMs = 10000);
  // Waits for the exit; false on time-out.
  bool WaitForExit(DWORD timeoutMs, DWORD* exitCode);
  // GetTickCount() at the moment WaitForExit saw the process end.
  DWORD ExitTick() const { return m_exitTick; }
  DWORD ProcessId() const { return m_info.dwProcessId; }
  HANDLE Process() const { return m_info.hProcess; }
  bool Running() const;

 private:
  PROCESS_INFORMATION m_info = {};
  DWORD m_exitTick = 0;
};

// The scroll page fixture (ScrollPage.exe next to the program) at 300,100,
// 800 x 800, ended with the object.
class ScrollPageWindow {
 public:
  ScrollPageWindow();
  ~ScrollPageWindow();
  ScrollPageWindow(const ScrollPageWindow&) = delete;
  ScrollPageWindow& operator=(const ScrollPageWindow&) = delete;
  bool Shown() const;

 private:
  PROCESS_INFORMATION m_info = {};
};

// The toolbar of the run once it has settled; empty when it never showed.
RECT ToolbarRect(ProgramRun& run);
// Where a button or option of the toolbar at `bar` is on the screen (its
// centre), with the skin at `scale`.
POINT ToolbarButtonCentre(const RECT& bar, ToolbarGeometry::Button button, double scale = 1.0);
POINT ToolbarButtonCentre(const RECT& bar, ToolbarGeometry::ScrollButton button);
POINT ToolbarButtonCentre(const RECT& bar, ToolbarGeometry::Option option);
// Presses it.
template <class Which>
void ClickToolbar(const RECT& bar, Which which);
// The names of the PNG files in `folder` (which ends with a backslash), also
// beyond MAX_PATH.
std::vector<std::wstring> PngNames(const std::wstring& folder);

// The capture window's class.
inline constexpr const wchar_t* kCaptureWindowClass = L"ZTDScreenCaptureWnd";

// Starts the program and waits for its capture window, brought to the front
// and painted; null when it never showed.
HWND StartCapture(ProgramRun& run, const std::wstring& arguments);
// Presses Esc and waits for the exit: the exit code, 0xFFFF when it did not end.
DWORD EndWithEsc(ProgramRun& run);

// A visible dialog (the save dialog) of process `pid` other than `except`,
// once it shows; null when none came.
HWND WaitForDialog(DWORD pid, HWND except = nullptr, DWORD timeoutMs = 15000);

// Top-level windows of a class, visible or not, of any process.
std::vector<HWND> FindWindowsOfClass(const wchar_t* className);

// Synthetic input through the system's input queue (what a user does).
void BringToFront(HWND hwnd);
void PressKey(WORD virtualKey);
// Presses `keys` in order and releases them in reverse: Ctrl+Shift+Z and the like.
void KeyChord(std::initializer_list<WORD> keys);
// Types `text` as characters (each UTF-16 unit one key press), as an input
// method hands them over.
void TypeText(const std::wstring& text);
void MoveMouse(int x, int y);            // absolute screen position
void LeftDrag(int x0, int y0, int x1, int y1);
void LeftClick(int x, int y);
void LeftDown();  // at the pointer
void LeftUp();
void RightClick(int x, int y);
// Wheel notches at a point: positive up (towards the top of a page).
void Wheel(int x, int y, int notches);

// The screen as 32-bit BGRA pixels, top row first.
struct ScreenShot {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF; }
};
ScreenShot GrabScreen();
// A part of it, in screen coordinates.
ScreenShot GrabArea(const RECT& area);
// Writes the screen to %ZTD_SHOTS%\<name>.bmp when that variable names a
// folder: the pictures a person looks at after a run.
void KeepShot(const char* name);
void KeepShot(const char* name, const ScreenShot& shot);
// The screen once what the program painted has reached it: pictures taken
// 40 ms apart until three in a row are equal (or 3 s have passed).
ScreenShot SettledShot();

// Sets the prefix's system DPI (what the next program started reads) for
// the lifetime of the object, then back to 96.
class SystemDpi {
 public:
  explicit SystemDpi(DWORD dpi) { Set(dpi); }
  ~SystemDpi() { Set(96); }
  SystemDpi(const SystemDpi&) = delete;
  SystemDpi& operator=(const SystemDpi&) = delete;

 private:
  static void Set(DWORD dpi);
};

// What the screen shows where `hwnd` is; empty when it is not shown.
std::vector<uint32_t> WindowPixels(HWND hwnd);
// Runs `action` (input) and waits until what the screen shows of `hwnd` has
// changed and then stayed the same for 60 ms; false when nothing changed
// within `timeoutMs`.
template <class Fn>
bool AfterPaint(HWND hwnd, Fn action, DWORD timeoutMs = 5000);
// Waits until `hwnd` has neither moved nor changed on the screen for 60 ms.
bool WaitForSettledWindow(HWND hwnd, DWORD timeoutMs = 5000);
// Waits until the toolbar's panels are on the screen, settled.
bool WaitForToolbar(HWND toolbar, DWORD timeoutMs = 5000);
// Waits until a log line contains `needle` at least `count` times.
bool WaitForLog(const std::string& needle, size_t count = 1, DWORD timeoutMs = 5000);

// Polls `done` every 20 ms until it holds or the time is up.
template <class Fn>
bool WaitUntil(Fn done, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start > timeoutMs) return false;
    ::Sleep(20);
  }
  return true;
}

template <class Which>
void ClickToolbar(const RECT& bar, Which which) {
  const POINT at = ToolbarButtonCentre(bar, which);
  LeftClick(at.x, at.y);
}

template <class Fn>
bool AfterPaint(HWND hwnd, Fn action, DWORD timeoutMs) {
  const std::vector<uint32_t> before = WindowPixels(hwnd);
  action();
  return WaitUntil([&] { return WindowPixels(hwnd) != before; }, timeoutMs) && WaitForSettledWindow(hwnd, timeoutMs);
}

}  // namespace e2e
