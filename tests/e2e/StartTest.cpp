// The program from start to exit: start modes, exit codes, the log it leaves
// and the window it shows.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "Harness.h"
#include "TestFiles.h"

namespace {

using e2e::LinesWith;
using e2e::ProgramRun;

class StartTest : public testing::Test {
 protected:
  void SetUp() override { e2e::ClearLogs(); }
  // No settings file unless a test writes one.
  testfiles::ConfigIni m_config{""};
};

// Waits for the started program's window, presses Esc, and returns the exit
// code; `escTick` gets the tick count at the key press.
DWORD RunUntilEsc(ProgramRun& run, DWORD* escTick = nullptr) {
  const HWND hwnd = run.WaitForWindow(e2e::kCaptureWindowClass);
  EXPECT_NE(hwnd, nullptr);
  if (!hwnd) return 0xFFFF;
  e2e::BringToFront(hwnd);
  if (escTick) *escTick = ::GetTickCount();
  return e2e::EndWithEsc(run);
}

TEST_F(StartTest, PrefetchOnlyLogsItsCommandLine) {
  for (const wchar_t* args : {L"--startprefetch", L"--cachepath=C:\\x--startprefetch --startmode=1"}) {
    e2e::ClearLogs();
    ProgramRun run;
    ASSERT_TRUE(run.Start(args));
    const DWORD start = ::GetTickCount();
    DWORD code = 0xFFFF;
    ASSERT_TRUE(run.WaitForExit(10000, &code));
    EXPECT_EQ(code, 0u);
    // No shutdown pause, no window, no single-instance event.
    EXPECT_LT(run.ExitTick() - start, 1000u);
    EXPECT_TRUE(e2e::FindWindowsOfClass(e2e::kCaptureWindowClass).empty());
    const auto lines = e2e::ReadLogLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("[INF] main.cpp("), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("lpCmdLine=--"), std::string::npos) << lines[0];
  }
}

TEST_F(StartTest, EscClosesTheCaptureAfterTheShutdownPause) {
  ProgramRun run;
  ASSERT_TRUE(run.Start(L"--cachepath=C:\\cache"));
  const HWND hwnd = run.WaitForWindow(e2e::kCaptureWindowClass);
  ASSERT_NE(hwnd, nullptr);

  // The hidden runner window of the same process follows the first paint.
  EXPECT_TRUE(e2e::WaitUntil(
      [&] {
        for (HWND runner : e2e::FindWindowsOfClass(L"RUNNALBE_WINDOW_CLASS")) {
          DWORD pid = 0;
          ::GetWindowThreadProcessId(runner, &pid);
          if (pid == run.ProcessId() && !::IsWindowVisible(runner)) return true;
        }
        return false;
      },
      5000));

  // The capture takes the keyboard by itself: an Esc pressed at once closes it.
  EXPECT_TRUE(e2e::WaitUntil([&] { return ::GetForegroundWindow() == hwnd; }, 5000));

  DWORD escTick = 0;
  EXPECT_EQ(RunUntilEsc(run, &escTick), 0u);
  // The window went away at once; the process waited its 1000 ms after that.
  EXPECT_GE(run.ExitTick() - escTick, 1000u);
  EXPECT_LT(run.ExitTick() - escTick, 5000u);

  const auto lines = e2e::ReadLogLines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_NE(lines[0].find("lpCmdLine=--cachepath=C:\\cache"), std::string::npos) << lines[0];
  // Without the reporting plug-in next to the program the capture still reports a clean start.
  EXPECT_EQ(LinesWith(lines, "DataPlugin init ret:0\n").size(), 1u);
  EXPECT_EQ(LinesWith(lines, "TQ_Init_InitbyActions Finish").size(), 1u);
  EXPECT_EQ(LinesWith(lines, "quillarinversion version is ").size(), 1u);
  EXPECT_EQ(LinesWith(lines, "capture start init\xEF\xBC\x81\n").size(), 1u);
  EXPECT_EQ(LinesWith(lines, "dpi awareness: per-monitor").size(), 1u);
  // Trace lines stay out at the default level.
  EXPECT_TRUE(LinesWith(lines, "[TRA]").empty());
}

// The reporting plug-in next to the program gets its key and version before
// its initialisation, each usage event with the two common parameters, and
// its finish at the end; a plug-in without every export is fine.
TEST_F(StartTest, UsageEventsReachTheReportingPlugin) {
  testfiles::TempDir dir(L"plugin");
  const std::wstring record = dir.Path() + L"plugin.txt";
  ASSERT_TRUE(::SetEnvironmentVariableW(L"ZTD_FAKE_PLUGIN_RECORD", record.c_str()));
  e2e::MoveMouse(200, 800);  // nothing offered there
  ProgramRun run;
  const HWND hwnd =
      e2e::StartCapture(run, L"--appkey=K77 --quillarinversion=1.2.3.4 --tdrversion=9.8 --moduleversion=3.3");
  ::SetEnvironmentVariableW(L"ZTD_FAKE_PLUGIN_RECORD", nullptr);
  ASSERT_NE(hwnd, nullptr);
  e2e::LeftDrag(100, 100, 300, 200);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !e2e::FindWindowsOfClass(L"CaptureMenuWnd").empty(); }, 5000));
  EXPECT_EQ(e2e::EndWithEsc(run), 0u);

  std::vector<std::string> calls;
  const std::string text = testfiles::ReadBytes(record);
  for (size_t start = 0; start < text.size();) {
    const size_t end = text.find('\n', start);
    calls.push_back(text.substr(start, end - start));
    start = end == std::string::npos ? text.size() : end + 1;
  }
  ASSERT_EQ(calls.size(), 5u) << text;
  EXPECT_EQ(calls[0], "TQ_SetAppKey|K77");
  EXPECT_EQ(calls[1], "TQ_SetVersion|1.2.3.4|0");
  // The folder of the plug-in, without its file name (the build path is plain ASCII).
  std::wstring folder = e2e::ProgramPath();
  folder.resize(folder.find_last_of(L'\\') + 1);
  EXPECT_EQ(calls[2], "TQ_Init_With|" + std::string(folder.begin(), folder.end()));
  EXPECT_EQ(calls[3], "TQ_TrackEvent|click|SC1002|screencap|0|2|tdr_version=9.8|m_version=3.3");
  EXPECT_EQ(calls[4], "TQ_Finish|0");

  EXPECT_EQ(LinesWith(e2e::ReadLogLines(), "DataPlugin init ret:5\n").size(), 1u);
}

TEST_F(StartTest, OddCommandLinesAndSettingsStillRun) {
  testfiles::ConfigIni garbage("[config]\r\ng_orvane_global_log_level=zz\r\ng_orvane_global_max_size=-1\r\n"
                               "g_orvane_log_encryped=\r\ng_orvane_log_printf=99999999999\r\n\xff\xfe\r\n");
  const std::wstring huge = L"--cachepath=" + std::wstring(100000, L'x') + L" --startmode=\"1\" --startmode=2 \"quoted\"";
  for (const std::wstring& args : {std::wstring(), huge, std::wstring(L"-- --= ---- --startmode=")}) {
    ProgramRun run;
    ASSERT_TRUE(run.Start(args));
    EXPECT_EQ(RunUntilEsc(run), 0u);
  }
}

}  // namespace
