#include "Harness.h"

#include <shlobj.h>

#include <algorithm>

#include "TestFiles.h"
#include "core/LogRecord.h"

namespace e2e {

namespace {

std::wstring OwnFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD length = ::GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  std::wstring path(buffer, length);
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

std::wstring LogFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  ::SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer);
  return std::wstring(buffer) + L"\\Orvane\\quorabase\\logs\\";
}

void SendMouse(DWORD flags, int x = 0, int y = 0) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  if (flags & MOUSEEVENTF_ABSOLUTE) {
    const int vx = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int vy = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int vw = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int vh = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    input.mi.dx = static_cast<LONG>(((x - vx) * 65535LL + vw / 2) / (vw > 1 ? vw - 1 : 1));
    input.mi.dy = static_cast<LONG>(((y - vy) * 65535LL + vh / 2) / (vh > 1 ? vh - 1 : 1));
    input.mi.dwFlags |= MOUSEEVENTF_VIRTUALDESK;
  }
  ::SendInput(1, &input, sizeof(input));
  ::Sleep(15);
}

}  // namespace

std::wstring FixtureFolder() {
  const std::wstring relative = OwnFolder() + L"..\\fixtures\\bin\\";
  wchar_t full[MAX_PATH + 1] = {};
  const DWORD length = ::GetFullPathNameW(relative.c_str(), MAX_PATH, full, nullptr);
  return length > 0 && length <= MAX_PATH ? std::wstring(full, length) : relative;
}

std::wstring ProgramPath() { return FixtureFolder() + L"ZTDScreenCapture.exe"; }
std::wstring PlainLogPath() { return LogFolder() + L"ZTDScreenCapture.exe.log"; }
std::wstring ScrambledLogPath() { return PlainLogPath() + L".logdat"; }

void ClearLogs() {
  ::DeleteFileW(ScrambledLogPath().c_str());
  ::DeleteFileW(PlainLogPath().c_str());
}

std::vector<std::string> ReadLogLines() {
  std::vector<std::string> lines = ScreenCapture::DecodeRecords(testfiles::ReadBytes(ScrambledLogPath())).lines;
  const std::string plain = testfiles::ReadBytes(PlainLogPath());
  size_t at = 0;
  while (at < plain.size()) {
    const size_t end = plain.find('\n', at);
    const size_t stop = end == std::string::npos ? plain.size() : end + 1;
    lines.push_back(plain.substr(at, stop - at));
    at = stop;
  }
  return lines;
}

std::vector<std::string> LinesWith(const std::vector<std::string>& lines, const std::string& needle) {
  std::vector<std::string> out;
  for (const std::string& line : lines) {
    if (line.find(needle) != std::string::npos) out.push_back(line);
  }
  return out;
}

ProgramRun::~ProgramRun() {
  if (m_info.hProcess) {
    if (Running()) {
      ::TerminateProcess(m_info.hProcess, 0xDEAD);
      ::WaitForSingleObject(m_info.hProcess, 5000);
    }
    ::CloseHandle(m_info.hProcess);
    ::CloseHandle(m_info.hThread);
  }
}

void DieWithTheTest(HANDLE process) {
  // One job for the whole test process, killing what it holds when its last
  // handle goes: when the test process ends, however it ends.
  static const HANDLE job = [] {
    const HANDLE made = ::CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (made) ::SetInformationJobObject(made, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
    return made;
  }();
  if (job && process) ::AssignProcessToJobObject(job, process);
}

bool ProgramRun::Start(const std::wstring& arguments) {
  std::wstring command = L"\"" + ProgramPath() + L"\"";
  if (!arguments.empty()) command += L" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &m_info)) {
    return false;
  }
  DieWithTheTest(m_info.hProcess);
  return true;
}

ScrollPageWindow::ScrollPageWindow() {
  std::wstring path = ProgramPath();
  path = path.substr(0, path.find_last_of(L'\\') + 1) + L"ScrollPage.exe";
  std::wstring command = L"\"" + path + L"\" 300 100 800 800";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  if (::CreateProcessW(path.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &m_info)) {
    DieWithTheTest(m_info.hProcess);
    WaitUntil([] { return !FindWindowsOfClass(L"ZtdScrollPage").empty(); }, 10000);
  }
}

ScrollPageWindow::~ScrollPageWindow() {
  if (!m_info.hProcess) return;
  ::TerminateProcess(m_info.hProcess, 0);
  ::WaitForSingleObject(m_info.hProcess, 5000);
  ::CloseHandle(m_info.hProcess);
  ::CloseHandle(m_info.hThread);
}

bool ScrollPageWindow::Shown() const {
  return m_info.hProcess != nullptr && !FindWindowsOfClass(L"ZtdScrollPage").empty();
}

RECT ToolbarRect(ProgramRun& run) {
  RECT bar = {};
  const HWND toolbar = run.WaitForWindow(L"CaptureMenuWnd", 5000);
  if (toolbar && WaitForToolbar(toolbar)) ::GetWindowRect(toolbar, &bar);
  return bar;
}

namespace {
POINT At(const RECT& bar, const int (&centre)[2], double scale) {
  return POINT{bar.left + static_cast<int>(centre[0] * scale), bar.top + static_cast<int>(centre[1] * scale)};
}
}  // namespace

POINT ToolbarButtonCentre(const RECT& bar, ToolbarGeometry::Button button, double scale) {
  return At(bar, ToolbarGeometry::kButtonCentre[static_cast<int>(button)], scale);
}

POINT ToolbarButtonCentre(const RECT& bar, ToolbarGeometry::ScrollButton button) {
  return At(bar, ToolbarGeometry::kScrollButtonCentre[static_cast<int>(button)], 1.0);
}

POINT ToolbarButtonCentre(const RECT& bar, ToolbarGeometry::Option option) {
  return At(bar, ToolbarGeometry::kOptionCentre[static_cast<int>(option)], 1.0);
}

std::vector<std::wstring> PngNames(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  const HANDLE find = ::FindFirstFileW((L"\\\\?\\" + folder + L"*.png").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do names.push_back(data.cFileName);
  while (::FindNextFileW(find, &data));
  ::FindClose(find);
  return names;
}

bool ProgramRun::Running() const {
  return m_info.hProcess && ::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
}

HWND ProgramRun::WaitForWindow(const wchar_t* className, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND hwnd : FindWindowsOfClass(className)) {
          DWORD pid = 0;
          ::GetWindowThreadProcessId(hwnd, &pid);
          if (pid == m_info.dwProcessId && ::IsWindowVisible(hwnd)) {
            found = hwnd;
            return true;
          }
        }
        return !Running();
      },
      timeoutMs);
  return found;
}

bool ProgramRun::WaitForExit(DWORD timeoutMs, DWORD* exitCode) {
  if (!m_info.hProcess || ::WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
  m_exitTick = ::GetTickCount();
  DWORD code = 0;
  ::GetExitCodeProcess(m_info.hProcess, &code);
  if (exitCode) *exitCode = code;
  return true;
}

namespace {
struct ClassSearch {
  const wchar_t* name;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectOfClass(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<ClassSearch*>(param);
  wchar_t name[256] = {};
  ::GetClassNameW(hwnd, name, 256);
  if (wcscmp(name, search->name) == 0) search->found.push_back(hwnd);
  return TRUE;
}
}  // namespace

std::vector<HWND> FindWindowsOfClass(const wchar_t* className) {
  ClassSearch search{className, {}};
  ::EnumWindows(&CollectOfClass, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND StartCapture(ProgramRun& run, const std::wstring& arguments) {
  const ScreenShot before = GrabScreen();
  if (!run.Start(arguments)) return nullptr;
  const HWND hwnd = run.WaitForWindow(kCaptureWindowClass);
  if (!hwnd) return nullptr;
  BringToFront(hwnd);
  // Painted: the dimmed frozen screen and the magnifier replace the screen
  // (a window not painted yet shows one colour all over).
  WaitUntil(
      [&] {
        const ScreenShot now = GrabScreen();
        const auto other = std::find_if(now.pixels.begin(), now.pixels.end(),
                                        [&](uint32_t p) { return (p & 0xFFFFFF) != (now.pixels[0] & 0xFFFFFF); });
        return now.pixels != before.pixels && other != now.pixels.end();
      },
      5000);
  WaitForSettledWindow(hwnd);
  return hwnd;
}

std::vector<uint32_t> WindowPixels(HWND hwnd) {
  // The part on the screen (a toolbar's shadow may hang off its edge).
  const int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN), y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
  const RECT screen = {x, y, x + ::GetSystemMetrics(SM_CXVIRTUALSCREEN), y + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  RECT r = {}, shown = {};
  if (!::IsWindowVisible(hwnd) || !::GetWindowRect(hwnd, &r) || !::IntersectRect(&shown, &r, &screen)) return {};
  return GrabArea(shown).pixels;
}

bool WaitForSettledWindow(HWND hwnd, DWORD timeoutMs) {
  // Neither moved nor changed on the screen for 60 ms (a grab of a whole
  // screen takes tens of milliseconds under Wine: the time counts, not the
  // grabs).
  RECT last = {};
  ::GetWindowRect(hwnd, &last);
  std::vector<uint32_t> pixels = WindowPixels(hwnd);
  const DWORD start = ::GetTickCount();
  DWORD changed = start;
  for (int same = 0; same < 2 || ::GetTickCount() - changed < 60;) {
    if (::GetTickCount() - start > timeoutMs || !::IsWindow(hwnd)) return false;
    ::Sleep(10);
    RECT now = {};
    ::GetWindowRect(hwnd, &now);
    std::vector<uint32_t> next = WindowPixels(hwnd);
    if (::EqualRect(&now, &last) && next == pixels && !next.empty()) {
      ++same;
    } else {
      same = 0;
      changed = ::GetTickCount();
    }
    last = now;
    pixels = std::move(next);
  }
  return true;
}

bool WaitForToolbar(HWND toolbar, DWORD timeoutMs) {
  // Its white panel is on the screen: a line across it below the buttons is
  // mostly white (the dimmed screen around a region is never that white).
  const auto shown = [&] {
    RECT bar = {};
    if (!::IsWindowVisible(toolbar) || !::GetWindowRect(toolbar, &bar)) return false;
    const int width = bar.right - bar.left;
    double scale = 1.0;
    for (const double step : {1.0, 1.5, 2.0, 3.0, 4.0}) {
      if (width == static_cast<int>(ToolbarGeometry::kWidth * step) ||
          width == static_cast<int>(ToolbarGeometry::kScrollWidth * step)) {
        scale = step;
      }
    }
    const int inset = static_cast<int>((ToolbarGeometry::kShadowMargin + 4) * scale);
    const int y = bar.top + static_cast<int>((ToolbarGeometry::kRowTop + ToolbarGeometry::kRowHeight - 6) * scale);
    const ScreenShot line = GrabArea(RECT{bar.left + inset, y, bar.right - inset, y + 1});
    size_t white = 0;
    for (const uint32_t p : line.pixels) white += (p & 0xFFFFFF) == 0xFFFFFF;
    return !line.pixels.empty() && white * 2 > line.pixels.size();
  };
  return WaitUntil(shown, timeoutMs) && WaitForSettledWindow(toolbar, timeoutMs);
}

DWORD EndWithEsc(ProgramRun& run) {
  PressKey(VK_ESCAPE);
  DWORD code = 0xFFFF;
  return run.WaitForExit(10000, &code) ? code : 0xFFFF;
}

void BringToFront(HWND hwnd) {
  ::SetForegroundWindow(hwnd);
  WaitUntil([&] { return ::GetForegroundWindow() == hwnd; }, 1000);
}

void PressKey(WORD virtualKey) {
  INPUT inputs[2] = {};
  inputs[0].type = INPUT_KEYBOARD;
  inputs[0].ki.wVk = virtualKey;
  inputs[1] = inputs[0];
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, inputs, sizeof(INPUT));
  ::Sleep(30);
}

void KeyChord(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs(2 * keys.size());
  size_t i = 0;
  for (const WORD key : keys) {
    INPUT& up = inputs[inputs.size() - 1 - i];
    inputs[i].ki.wVk = up.ki.wVk = key;
    up.ki.dwFlags = KEYEVENTF_KEYUP;
    ++i;
  }
  for (INPUT& input : inputs) input.type = INPUT_KEYBOARD;
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void TypeText(const std::wstring& text) {
  for (const wchar_t unit : text) {
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wScan = unit;
    inputs[0].ki.dwFlags = KEYEVENTF_UNICODE;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    ::SendInput(2, inputs, sizeof(INPUT));
    ::Sleep(5);
  }
}

void MoveMouse(int x, int y) { SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y); }

// Wine sometimes replays the X pointer's previous position just after a
// warp, so a bare button event can land on the window that was under the
// pointer before. Each press and release therefore carries its own position,
// sent once the pointer has stayed where it was put.
static void ButtonAt(DWORD flags, int x, int y) {
  WaitUntil([&] {
    for (int i = 0; i < 3; ++i) {
      POINT at = {};
      if (!::GetCursorPos(&at) || at.x != x || at.y != y) return false;
      ::Sleep(5);
    }
    return true;
  }, 200);
  SendMouse(flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y);
}

void LeftDrag(int x0, int y0, int x1, int y1) {
  MoveMouse(x0, y0);
  ButtonAt(MOUSEEVENTF_LEFTDOWN, x0, y0);
  const int steps = 8;
  for (int i = 1; i <= steps; ++i) MoveMouse(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
  ButtonAt(MOUSEEVENTF_LEFTUP, x1, y1);
}

void Wheel(int x, int y, int notches) {
  MoveMouse(x, y);
  WaitUntil([&] {
    POINT at = {};
    return ::GetCursorPos(&at) && at.x == x && at.y == y;
  }, 1000);
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = MOUSEEVENTF_WHEEL;
  input.mi.mouseData = static_cast<DWORD>(notches * WHEEL_DELTA);
  ::SendInput(1, &input, sizeof(input));
}

void LeftDown() { SendMouse(MOUSEEVENTF_LEFTDOWN); }
void LeftUp() { SendMouse(MOUSEEVENTF_LEFTUP); }

static void ClickAt(DWORD down, DWORD up, int x, int y) {
  MoveMouse(x, y);
  ButtonAt(down, x, y);
  ButtonAt(up, x, y);
}

void LeftClick(int x, int y) { ClickAt(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, x, y); }
void RightClick(int x, int y) { ClickAt(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, x, y); }

void KeepShot(const char* name) {
  char folder[MAX_PATH] = {};
  if (!::GetEnvironmentVariableA("ZTD_SHOTS", folder, MAX_PATH)) return;
  KeepShot(name, SettledShot());
}

void KeepShot(const char* name, const ScreenShot& shot) {
  char folder[MAX_PATH] = {};
  if (!::GetEnvironmentVariableA("ZTD_SHOTS", folder, MAX_PATH)) return;
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof(info);
  info.biWidth = shot.width;
  info.biHeight = -shot.height;
  info.biPlanes = 1;
  info.biBitCount = 32;
  const DWORD bytes = static_cast<DWORD>(shot.pixels.size() * 4);
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + bytes;
  const std::string path = std::string(folder) + "\\" + name + ".bmp";
  const HANDLE out = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (out == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(out, &file, sizeof(file), &written, nullptr);
  ::WriteFile(out, &info, sizeof(info), &written, nullptr);
  ::WriteFile(out, shot.pixels.data(), bytes, &written, nullptr);
  ::CloseHandle(out);
}

void SystemDpi::Set(DWORD dpi) {
  HKEY key = nullptr;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
    ::RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi));
    ::RegCloseKey(key);
  }
}

HWND WaitForDialog(DWORD pid, HWND except, DWORD timeoutMs) {
  HWND found = nullptr;
  e2e::WaitUntil(
      [&] {
        for (HWND w : e2e::FindWindowsOfClass(L"#32770")) {
          DWORD owner = 0;
          ::GetWindowThreadProcessId(w, &owner);
          if (owner == pid && w != except && ::IsWindowVisible(w)) {
            found = w;
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  return found;
}

ScreenShot GrabScreen() {
  const int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN), y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
  return GrabArea(RECT{x, y, x + ::GetSystemMetrics(SM_CXVIRTUALSCREEN), y + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)});
}

ScreenShot GrabArea(const RECT& area) {
  ScreenShot shot;
  shot.width = area.right - area.left;
  shot.height = area.bottom - area.top;
  if (shot.width <= 0 || shot.height <= 0) return ScreenShot{};
  const HDC screen = ::GetDC(nullptr);
  const HDC memory = ::CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = shot.width;
  info.bmiHeader.biHeight = -shot.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  const HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap && bits) {
    const HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, shot.width, shot.height, screen, area.left, area.top, SRCCOPY | CAPTUREBLT);
    ::GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits);
    shot.pixels.assign(p, p + static_cast<size_t>(shot.width) * shot.height);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
  }
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return shot;
}

ScreenShot SettledShot() {
  ScreenShot last = GrabScreen();
  const DWORD start = ::GetTickCount();
  for (int same = 0; same < 2 && ::GetTickCount() - start < 3000;) {
    ::Sleep(40);
    ScreenShot next = GrabScreen();
    same = next.pixels == last.pixels ? same + 1 : 0;
    last = std::move(next);
  }
  return last;
}

bool WaitForLog(const std::string& needle, size_t count, DWORD timeoutMs) {
  return WaitUntil([&] { return LinesWith(ReadLogLines(), needle).size() >= count; }, timeoutMs);
}

}  // namespace e2e
