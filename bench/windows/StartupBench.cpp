// Start-up as the user feels it: from process creation to the first paint of
// the capture window, median of 10 runs, next to the same figure for the
// smallest program that shows one window (the floor).
//   startup_bench [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Harness.h"
#include "common/Clock.h"
#include "PatternWindow.h"

namespace {

using ScreenCapture::NowMs;

// Milliseconds from CreateProcess until the screen pixel at 10,10 is no
// longer the fixture's white; negative on a time-out.
double TimeToFirstPaint(const std::wstring& exe, const std::wstring& args) {
  std::wstring command = L"\"" + exe + L"\" " + args;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  const HDC screen = ::GetDC(nullptr);
  const double start = NowMs();
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    ::ReleaseDC(nullptr, screen);
    return -1;
  }
  double painted = -1;
  while (NowMs() - start < 10000) {
    if ((::GetPixel(screen, 10, 10) & 0xFFFFFF) != 0xFFFFFF) {
      painted = NowMs() - start;
      break;
    }
    // Polling without a pause would compete with the program for the
    // display server.
    ::Sleep(1);
  }
  ::ReleaseDC(nullptr, screen);
  ::TerminateProcess(info.hProcess, 0);
  ::WaitForSingleObject(info.hProcess, 5000);
  ::CloseHandle(info.hProcess);
  ::CloseHandle(info.hThread);
  ::Sleep(300);  // the fixture shows again
  return painted;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? -1 : values[values.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? _wtoi(argv[1]) : 10;
  e2e::PatternWindow fixture;
  const std::wstring folder = e2e::ProgramPath().substr(0, e2e::ProgramPath().find_last_of(L'\\') + 1);
  std::vector<double> program, floor;
  for (int i = 0; i < runs; ++i) {
    floor.push_back(TimeToFirstPaint(folder + L"floor_window.exe", L""));
    program.push_back(TimeToFirstPaint(e2e::ProgramPath(), L"--cachepath=C:\\bench"));
  }
  const double p = Median(program), f = Median(floor);
  std::printf("startup to first paint, median of %d runs (%dx%d):\n", runs, ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
              ::GetSystemMetrics(SM_CYVIRTUALSCREEN));
  std::printf("  ZTDScreenCapture  %7.1f ms\n  floor window      %7.1f ms\n  ratio             %7.2f (target <= 1.5)\n", p,
              f, f > 0 ? p / f : 0.0);
  return 0;
}
