#include "common/WorkerThread.h"

#include <process.h>

#include <atomic>

#include "common/Logger.h"

namespace ScreenCapture {

namespace {

#ifdef ZTD_TEST_HOOKS
std::atomic<int> g_refused{0};
bool ThreadsRefused() { return g_refused.load() != 0; }
#else
constexpr bool ThreadsRefused() { return false; }
#endif

unsigned __stdcall RunWork(void* work) {
  auto* fn = static_cast<std::function<void()>*>(work);
  (*fn)();
  delete fn;
  return 0;
}

}  // namespace

bool WorkerThread::Start(std::function<void()> fn) {
  if (m_handle || !fn) return false;
  auto* work = new std::function<void()>(std::move(fn));
  uintptr_t handle = 0;
  if (!ThreadsRefused()) handle = _beginthreadex(nullptr, 0, &RunWork, work, 0, nullptr);
  if (handle == 0) {
    LOG_ERR(L"a thread could not be started: %d", static_cast<int>(::GetLastError()));
    delete work;
    return false;
  }
  m_handle.Reset(reinterpret_cast<HANDLE>(handle));
  return true;
}

void WorkerThread::Join() {
  if (!m_handle) return;
  ::WaitForSingleObject(m_handle.Get(), INFINITE);
  m_handle.Reset();
}

#ifdef ZTD_TEST_HOOKS
ScopedRefusedThreads::ScopedRefusedThreads() { ++g_refused; }
ScopedRefusedThreads::~ScopedRefusedThreads() { --g_refused; }
#endif

}  // namespace ScreenCapture
