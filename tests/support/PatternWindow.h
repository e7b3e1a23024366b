#pragma once
// A window of the test process that covers the virtual screen with a known
// pattern, so that what the program freezes and shows can be checked pixel
// by pixel.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <thread>

namespace e2e {

class PatternWindow {
 public:
  PatternWindow();   // shows the window and waits until it has painted
  ~PatternWindow();  // closes it
  PatternWindow(const PatternWindow&) = delete;
  PatternWindow& operator=(const PatternWindow&) = delete;

  HWND Handle() const { return m_hwnd.load(); }

  // The colour (0x00RRGGBB) the pattern has at a point of the virtual screen,
  // given relative to its top-left corner. Top half: seven vertical bands
  // (white, red, green, blue, brown, black, yellow); bottom half: a
  // checkerboard of 8-pixel white and black squares.
  static uint32_t ColourAt(int x, int y, int width, int height);

 private:
  void Run();
  std::thread m_thread;
  std::atomic<HWND> m_hwnd{nullptr};
  std::atomic<bool> m_painted{false};
};

// The dimmed colour: each channel times 127/255, rounded down.
uint32_t Dimmed(uint32_t rgb);

}  // namespace e2e
