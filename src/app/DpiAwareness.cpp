#include "app/DpiAwareness.h"

#include <windows.h>

#include "common/SystemFunctions.h"

namespace ScreenCapture {

namespace {

// Declared here so that the program also starts on systems without them.
using GetThreadDpiAwarenessContextFn = HANDLE(WINAPI*)();
using AreDpiAwarenessContextsEqualFn = BOOL(WINAPI*)(HANDLE, HANDLE);
using GetAwarenessFromDpiAwarenessContextFn = int(WINAPI*)(HANDLE);
using SetProcessDpiAwarenessContextFn = BOOL(WINAPI*)(HANDLE);
using SetProcessDpiAwarenessFn = HRESULT(WINAPI*)(int);
using SetProcessDPIAwareFn = BOOL(WINAPI*)();

const HANDLE kContextPerMonitorV1 = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-3));
const HANDLE kContextPerMonitorV2 = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-4));

}  // namespace

const wchar_t* DpiAwarenessName(DpiAwareness awareness) {
  switch (awareness) {
    case DpiAwareness::PerMonitorV2: return L"per-monitor v2";
    case DpiAwareness::PerMonitorV1: return L"per-monitor v1";
    case DpiAwareness::System: return L"system";
    default: return L"unaware";
  }
}

DpiApi SystemDpiApi() {
  const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  const HMODULE shcore = ::LoadLibraryW(L"shcore.dll");  // kept loaded for the process
  const auto getThreadContext = Lookup<GetThreadDpiAwarenessContextFn>(user32, "GetThreadDpiAwarenessContext");
  const auto contextsEqual = Lookup<AreDpiAwarenessContextsEqualFn>(user32, "AreDpiAwarenessContextsEqual");
  const auto awarenessOf = Lookup<GetAwarenessFromDpiAwarenessContextFn>(user32, "GetAwarenessFromDpiAwarenessContext");
  const auto setContext = Lookup<SetProcessDpiAwarenessContextFn>(user32, "SetProcessDpiAwarenessContext");
  const auto setProcess = Lookup<SetProcessDpiAwarenessFn>(shcore, "SetProcessDpiAwareness");
  const auto setAware = Lookup<SetProcessDPIAwareFn>(user32, "SetProcessDPIAware");
  const auto isAware = Lookup<BOOL(WINAPI*)()>(user32, "IsProcessDPIAware");

  DpiApi api;
  api.current = [=] {
    if (getThreadContext && awarenessOf) {
      const HANDLE context = getThreadContext();
      if (contextsEqual && contextsEqual(context, kContextPerMonitorV2)) return DpiAwareness::PerMonitorV2;
      switch (awarenessOf(context)) {
        case 2: return DpiAwareness::PerMonitorV1;
        case 1: return DpiAwareness::System;
        default: return DpiAwareness::Unaware;
      }
    }
    return isAware && isAware() ? DpiAwareness::System : DpiAwareness::Unaware;
  };
  if (setContext) {
    api.setContext = [=](DpiAwareness want) {
      return setContext(want == DpiAwareness::PerMonitorV2 ? kContextPerMonitorV2 : kContextPerMonitorV1) != FALSE;
    };
  }
  if (setProcess) {
    api.setProcess = [=](DpiAwareness want) {
      return SUCCEEDED(setProcess(want == DpiAwareness::PerMonitorV1 ? 2 : 1));
    };
  }
  if (setAware) api.setAware = [=] { return setAware() != FALSE; };
  return api;
}

DpiAwareness EnsureDpiAwareness(const DpiApi& api) {
  const DpiAwareness now = api.current ? api.current() : DpiAwareness::Unaware;
  if (now == DpiAwareness::PerMonitorV2) return now;
  if (api.setContext && api.setContext(DpiAwareness::PerMonitorV2)) return DpiAwareness::PerMonitorV2;
  if (now == DpiAwareness::PerMonitorV1) return now;
  if (api.setContext && api.setContext(DpiAwareness::PerMonitorV1)) return DpiAwareness::PerMonitorV1;
  if (api.setProcess && api.setProcess(DpiAwareness::PerMonitorV1)) return DpiAwareness::PerMonitorV1;
  if (now == DpiAwareness::System) return now;
  if (api.setProcess && api.setProcess(DpiAwareness::System)) return DpiAwareness::System;
  if (api.setAware && api.setAware()) return DpiAwareness::System;
  return now;
}

}  // namespace ScreenCapture
