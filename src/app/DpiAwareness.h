#pragma once
// Per-monitor DPI awareness: version 2 where the system grants it, else the
// best that it does grant. The manifest asks for version 2 already; this
// settles what actually holds, and is the fall-back where the manifest's
// request is not honoured.
#include <functional>

namespace ScreenCapture {

enum class DpiAwareness { Unaware, System, PerMonitorV1, PerMonitorV2 };

const wchar_t* DpiAwarenessName(DpiAwareness awareness);

// The system calls the choice depends on. A missing entry point is an empty
// function (older systems lack the newer calls).
struct DpiApi {
  std::function<DpiAwareness()> current;        // what the process has now
  std::function<bool(DpiAwareness)> setContext;  // SetProcessDpiAwarenessContext (V2, V1)
  std::function<bool(DpiAwareness)> setProcess;  // SetProcessDpiAwareness (V1, System)
  std::function<bool()> setAware;                // SetProcessDPIAware (System)
};

// The calls of this system, looked up by name.
DpiApi SystemDpiApi();

// Tries version 2, then version 1, then system awareness, and returns what holds.
DpiAwareness EnsureDpiAwareness(const DpiApi& api);

}  // namespace ScreenCapture
