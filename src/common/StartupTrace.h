#pragma once
// Moments of the start-up, recorded for the start-up benchmark only: when the
// environment variable ZTD_STARTUP_TRACE names a shared-memory block (made by
// the benchmark), each phase's first moment is written into it as a
// high-resolution counter value. Without the variable nothing is recorded and
// nothing else changes.
#include <cstdint>

namespace ScreenCapture {

enum class StartupPhase : int {
  kEntry,           // wWinMain entered
  kLogger,          // logger set up, command line logged
  kPrefetch,        // prefetch test passed
  kReporting,       // reporting plug-in loaded and initialised
  kSingleInstance,  // single-instance event created
  kProcessInit,     // resource module, DPI awareness
  kScreenGrabbed,   // the desktop copied: the screen is frozen
  kScreenDimmed,    // the dimmed copy made
  kWindowObject,    // capture window object made (the screen grab started)
  kStartParams,     // command line parsed into the start parameters
  kGdiplus,         // GDI+ started
  kSkinLayout,      // the capture window (hidden) and its skin built
  kImagesReady,     // both screen images finished
  kWindowCreated,   // the capture window sized and shown
  kFirstPaint,      // the first paint copied to the window
  kToolbar,         // the runner and toolbar windows made, after the first paint
  kCount
};

inline constexpr const char* kStartupPhaseNames[] = {
    "wWinMain",      "logger",       "prefetch test",  "reporting plug-in", "single instance", "process init",
    "screen grab",   "dimming",      "window object",  "start params",      "GDI+",            "skin layout",
    "images ready",  "window shown", "first paint",    "runner, toolbar",
};
static_assert(sizeof(kStartupPhaseNames) / sizeof(kStartupPhaseNames[0]) == static_cast<int>(StartupPhase::kCount),
              "one name per phase");

// The shared block: the counter's frequency and one counter value per phase
// (0 while the phase has not been reached).
struct StartupTraceBlock {
  int64_t frequency;
  int64_t marks[static_cast<int>(StartupPhase::kCount)];
};

inline constexpr const wchar_t* kStartupTraceVariable = L"ZTD_STARTUP_TRACE";

// Records the first moment of `phase` when a benchmark asked for it; any
// thread.
void MarkStartup(StartupPhase phase);

}  // namespace ScreenCapture
