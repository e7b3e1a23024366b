// Start-up as the user feels it: from process creation to the first paint of
// the capture window, next to the same figure for the smallest program that
// shows one window (the floor), the two started in turn in the same run. The
// program records its phases in a shared block that only this benchmark asks
// for (common/StartupTrace.h); the table gives, per phase, the moment it was
// reached (median and 90th percentile, ms after CreateProcess) and the median
// time since the event before it. Memory is read from outside at the first
// paint. ZTD_STARTUP_COMPARE may name another build of the program (a file
// beside the program, its stand-ins around it): it is started in the same
// runs, and its time to the first paint is printed next to this one's.
//   startup_bench [runs]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Harness.h"
#include "PatternWindow.h"
#include "common/Clock.h"
#include "common/StartupTrace.h"

namespace {

using ScreenCapture::NowMs;
using ScreenCapture::StartupPhase;
using ScreenCapture::StartupTraceBlock;

constexpr int kPhases = static_cast<int>(StartupPhase::kCount);

struct Run {
  double painted = -1;                 // seen on the screen, ms after CreateProcess
  std::vector<double> marks;           // per phase, ms after CreateProcess; -1 when not reached
  double privateMb = 0, workingSetMb = 0, peakMb = 0;
};

double Percentile(std::vector<double> values, double fraction) {
  values.erase(std::remove_if(values.begin(), values.end(), [](double v) { return v < 0; }), values.end());
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  // Nearest rank.
  size_t rank = static_cast<size_t>(fraction * static_cast<double>(values.size()) + 0.999999);
  rank = std::max<size_t>(1, std::min(rank, values.size()));
  return values[rank - 1];
}

double Median(const std::vector<double>& values) { return Percentile(values, 0.5); }

// Starts `exe`, waits until the screen pixel at 10,10 is no longer the
// fixture's white, reads the process's memory and (when `block` is given)
// the phases it recorded (`afterPaint`: also the one after its first paint),
// then ends it.
Run StartAndMeasure(const std::wstring& exe, const std::wstring& args, StartupTraceBlock* block, bool afterPaint) {
  Run run;
  run.marks.assign(kPhases, -1);
  if (block) ::ZeroMemory(block, sizeof(*block));
  std::wstring command = L"\"" + exe + L"\" " + args;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  const HDC screen = ::GetDC(nullptr);
  LARGE_INTEGER launch, frequency;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&launch);
  const double start = NowMs();
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    ::ReleaseDC(nullptr, screen);
    return run;
  }
  while (NowMs() - start < 10000) {
    if ((::GetPixel(screen, 10, 10) & 0xFFFFFF) != 0xFFFFFF) {
      run.painted = NowMs() - start;
      break;
    }
    // Polling without a pause would compete with the program for the
    // display server.
    ::Sleep(1);
  }
  ::ReleaseDC(nullptr, screen);
  // The program marks its first paint right after the copy that made the
  // pixel change; what it does after that paint is marked last.
  const auto waitForMark = [&](StartupPhase phase) {
    const double since = NowMs();
    while (block->marks[static_cast<int>(phase)] == 0 && NowMs() - since < 2000) ::Sleep(1);
  };
  if (block && run.painted >= 0) waitForMark(StartupPhase::kFirstPaint);
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof(memory);
  if (::GetProcessMemoryInfo(info.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory))) {
    run.privateMb = memory.PrivateUsage / 1048576.0;
    run.workingSetMb = memory.WorkingSetSize / 1048576.0;
    run.peakMb = memory.PeakPagefileUsage / 1048576.0;
  }
  if (block && run.painted >= 0 && afterPaint) waitForMark(StartupPhase::kToolbar);
  if (block) {
    for (int i = 0; i < kPhases; ++i) {
      if (block->marks[i] != 0) {
        run.marks[i] = static_cast<double>(block->marks[i] - launch.QuadPart) * 1000.0 /
                       static_cast<double>(frequency.QuadPart);
      }
    }
  }
  ::TerminateProcess(info.hProcess, 0);
  ::WaitForSingleObject(info.hProcess, 5000);
  ::CloseHandle(info.hProcess);
  ::CloseHandle(info.hThread);
  ::Sleep(300);  // the fixture shows again
  return run;
}

std::vector<double> Column(const std::vector<Run>& runs, double Run::*field) {
  std::vector<double> values;
  for (const Run& run : runs) values.push_back(run.*field);
  return values;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = std::max(1, argc > 1 ? _wtoi(argv[1]) : 10);
  e2e::PatternWindow fixture;
  const std::wstring folder = e2e::ProgramPath().substr(0, e2e::ProgramPath().find_last_of(L'\\') + 1);

  const std::wstring blockName = L"Local\\ZTDStartupTrace." + std::to_wstring(::GetCurrentProcessId());
  const HANDLE mapping = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                              sizeof(StartupTraceBlock), blockName.c_str());
  auto* block = mapping ? static_cast<StartupTraceBlock*>(
                              ::MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(StartupTraceBlock)))
                        : nullptr;
  if (!block) {
    std::printf("no shared block for the phases: %lu\n", ::GetLastError());
    return 1;
  }

  ::SetEnvironmentVariableW(ScreenCapture::kStartupTraceVariable, blockName.c_str());
  std::vector<Run> program, floor, other;
  wchar_t compareName[MAX_PATH] = {};
  const DWORD compareLength = ::GetEnvironmentVariableW(L"ZTD_STARTUP_COMPARE", compareName, MAX_PATH);
  const std::wstring compare =
      compareLength > 0 && compareLength < MAX_PATH ? e2e::FixtureFolder() + compareName : std::wstring();
  for (int i = 0; i < runs; ++i) {
    floor.push_back(StartAndMeasure(folder + L"floor_window.exe", L"", block, false));
    program.push_back(StartAndMeasure(e2e::ProgramPath(), L"--cachepath=C:\\bench", block, true));
    if (!compare.empty()) other.push_back(StartAndMeasure(compare, L"--cachepath=C:\\bench", block, true));
  }
  ::SetEnvironmentVariableW(ScreenCapture::kStartupTraceVariable, nullptr);

  std::printf("start-up of ZTDScreenCapture (%s), %d runs next to the floor window, %dx%d\n",
              sizeof(void*) == 4 ? "i686" : "x86_64", runs, ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
              ::GetSystemMetrics(SM_CYVIRTUALSCREEN));
  std::printf("  %-20s %9s %9s %9s %9s   (ms after CreateProcess)\n", "phase", "median", "p90", "step", "floor");
  for (int phase = 0; phase < kPhases; ++phase) {
    std::vector<double> at, step;
    for (const Run& run : program) {
      const double t = run.marks[phase];
      at.push_back(t);
      if (t < 0) continue;
      // The time since the latest event before it in this run (phases on the
      // worker run beside the UI thread's).
      double before = 0;
      for (int other = 0; other < kPhases; ++other) {
        if (other != phase && run.marks[other] >= 0 && run.marks[other] <= t) before = std::max(before, run.marks[other]);
      }
      step.push_back(t - before);
    }
    std::vector<double> floorAt;
    for (const Run& run : floor) floorAt.push_back(run.marks[phase]);
    const double f = Median(floorAt);
    std::printf("  %-20s %9.1f %9.1f %9.1f ", ScreenCapture::kStartupPhaseNames[phase], Median(at),
                Percentile(at, 0.9), Median(step));
    if (f >= 0) std::printf("%9.1f", f);
    std::printf("\n");
  }
  const double p = Median(Column(program, &Run::painted)), f = Median(Column(floor, &Run::painted));
  std::printf("launch to first paint seen on the screen (median, p90):\n");
  std::printf("  ZTDScreenCapture  %7.1f %7.1f ms\n", p, Percentile(Column(program, &Run::painted), 0.9));
  std::printf("  floor window      %7.1f %7.1f ms\n", f, Percentile(Column(floor, &Run::painted), 0.9));
  std::printf("  ratio             %7.2f (target <= 1.3)\n", f > 0 ? p / f : 0.0);
  if (!other.empty()) {
    const double o = Median(Column(other, &Run::painted));
    std::printf("  %-17ls %7.1f %7.1f ms, ratio %.2f\n", compareName, o, Percentile(Column(other, &Run::painted), 0.9),
                f > 0 ? o / f : 0.0);
  }
  std::vector<double> grabbed;
  for (const Run& run : program) grabbed.push_back(run.marks[static_cast<int>(StartupPhase::kScreenGrabbed)]);
  std::printf("screen frozen (grab done) %.1f ms after CreateProcess (median)\n", Median(grabbed));
  std::printf("memory at the first paint (median): private, working set, peak committed\n");
  std::printf("  ZTDScreenCapture  %7.1f %7.1f %7.1f MB\n", Median(Column(program, &Run::privateMb)),
              Median(Column(program, &Run::workingSetMb)), Median(Column(program, &Run::peakMb)));
  std::printf("  floor window      %7.1f %7.1f %7.1f MB\n", Median(Column(floor, &Run::privateMb)),
              Median(Column(floor, &Run::workingSetMb)), Median(Column(floor, &Run::peakMb)));
  ::UnmapViewOfFile(block);
  ::CloseHandle(mapping);
  return 0;
}
