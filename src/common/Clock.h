#pragma once
// Milliseconds from the high-resolution counter, for durations.
#include <windows.h>

namespace ScreenCapture {

inline double NowMs() {
  LARGE_INTEGER frequency, counter;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

}  // namespace ScreenCapture
