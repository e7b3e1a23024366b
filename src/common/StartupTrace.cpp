#include "common/StartupTrace.h"

#include <windows.h>

#include "common/Handles.h"

namespace ScreenCapture {

namespace {

// The benchmark's block, mapped on first use; null when nobody asked.
StartupTraceBlock* TraceBlock() {
  static StartupTraceBlock* const block = []() -> StartupTraceBlock* {
    wchar_t name[128] = {};
    const DWORD length = ::GetEnvironmentVariableW(kStartupTraceVariable, name, 128);
    if (length == 0 || length >= 128) return nullptr;
    // The view keeps the block mapped after the handle is closed; it stays
    // mapped for the rest of the process, for every mark.
    const UniqueHandle mapping(::OpenFileMappingW(FILE_MAP_WRITE, FALSE, name));
    if (!mapping) return nullptr;
    void* view = ::MapViewOfFile(mapping.Get(), FILE_MAP_WRITE, 0, 0, sizeof(StartupTraceBlock));
    if (!view) return nullptr;
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
