#pragma once
// Windows at known places for the window-detection tests, shown by a thread
// of the test process:
//   app      100,100 600x400 with a caption; a panel at client 20,20 300x200
//            holding a button at 10,10 120x40 (children two deep)
//   ignored  800,100 300x200 of class PerryShadowWnd (on the ignore list)
//   partial  800,400 300x200 of class popup (only part of popupshadow)
//   low      1250,150 200x200 with a child, entirely under
//   high     1200,100 400x400
//   offscreen 1700,800 400x400 (past the screen's right and bottom)
//   hidden   100,700 300x200, never shown
//   top      1000,0 400x60, white, at the top edge
#include <windows.h>

#include <atomic>
#include <initializer_list>
#include <thread>

namespace e2e {

class FixtureWindows {
 public:
  FixtureWindows();
  ~FixtureWindows();
  FixtureWindows(const FixtureWindows&) = delete;
  FixtureWindows& operator=(const FixtureWindows&) = delete;

  HWND app = nullptr, panel = nullptr, button = nullptr, ignored = nullptr, partial = nullptr, low = nullptr,
       lowChild = nullptr, high = nullptr, offscreen = nullptr, hidden = nullptr, top = nullptr;

 private:
  void Run();
  std::thread m_thread;
  std::atomic<bool> m_ready{false};
  std::atomic<DWORD> m_threadId{0};
};

}  // namespace e2e
