#include "common/StartupTrace.h"

#include <windows.h>

namespace ScreenCapture {

namespace {

// The benchmark's block, mapped on first use; null when nobody asked. The
// mapping lives as long as the process.
StartupTraceBlock* TraceBlock() {
  static StartupTraceBlock* const block = []() -> StartupTraceBlock* {
    wchar_t name[128] = {};
    const DWORD length = ::GetEnvironmentVariableW(kStartupTraceVariable, name, 128);
    if (length == 0 || length >= 128) return nullptr;
    const HANDLE mapping = ::OpenFileMappingW(FILE_MAP_WRITE, FALSE, name);
    if (!mapping) return nullptr;
    void* view = ::MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(StartupTraceBlock));
    if (!view) {
      ::CloseHandle(mapping);
      return nullptr;
    }
    return static_cast<StartupTraceBlock*>(view);
  }();
  return block;
}

}  // namespace

void MarkStartup(StartupPhase phase) {
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  StartupTraceBlock* block = TraceBlock();
  if (!block) return;
  const int index = static_cast<int>(phase);
  if (index < 0 || index >= static_cast<int>(StartupPhase::kCount)) return;
  if (block->frequency == 0) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    block->frequency = frequency.QuadPart;
  }
  // Only the first moment counts.
  ::InterlockedCompareExchange64(reinterpret_cast<volatile LONG64*>(&block->marks[index]), now.QuadPart, 0);
}

}  // namespace ScreenCapture
