#include "common/RunnableWindow.h"

#include <memory>


namespace RunnableHelper {

LRESULT CRunnalbeWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kRunMessage && wParam != 0) {
    Runnable* raw = reinterpret_cast<Runnable*>(wParam);
    if (Claim(raw)) {
      std::unique_ptr<Runnable> fn(raw);
      (*fn)();
    }
  } else if (message == WM_DESTROY) {
    // From here no closure can be handed over: the ones on their way are
    // freed once the window is gone, and the system drops their messages.
    std::lock_guard<std::mutex> lock(m_pendingLock);
    m_target.store(nullptr);
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

bool CRunnalbeWindow::Claim(Runnable* fn) {
  std::lock_guard<std::mutex> lock(m_pendingLock);
  return m_pending.erase(fn) > 0;
}

void CRunnalbeWindow::FreePending() {
  std::unordered_set<Runnable*> pending;
  {
    std::lock_guard<std::mutex> lock(m_pendingLock);
    pending.swap(m_pending);
  }
  for (Runnable* fn : pending) delete fn;
}

const wchar_t* CRunnalbeWindow::GetWindowClassName() const { return L"RUNNALBE_WINDOW_CLASS"; }

bool CRunnalbeWindow::Create() {
  if (m_target.load()) return false;
  const HWND hwnd = CreateNative(nullptr, L"", 0, 0, 0, 0, 0, 0);
  if (!hwnd) return false;
  m_threadId = ::GetCurrentThreadId();
  m_target.store(hwnd);
  return true;
}

CRunnalbeWindow::~CRunnalbeWindow() {
  Destroy();
  FreePending();
}

void CRunnalbeWindow::Destroy() {
  const HWND hwnd = m_target.load();
  if (hwnd && ::GetCurrentThreadId() == m_threadId) ::DestroyWindow(hwnd);
}

bool CRunnalbeWindow::PostRunnable(Runnable fn) {
  if (!fn) return false;
  auto* heap = new Runnable(std::move(fn));
  {
    std::lock_guard<std::mutex> lock(m_pendingLock);
    const HWND hwnd = m_target.load();
    if (hwnd && ::PostMessageW(hwnd, kRunMessage, reinterpret_cast<WPARAM>(heap), 0)) {
      m_pending.insert(heap);
      return true;
    }
  }
  delete heap;
  return false;
}

bool CRunnalbeWindow::SendRunnable(Runnable fn) {
  if (!fn) return false;
  // The sender waits, so the flag on its stack outlives the call.
  bool ran = false;
  auto* heap = new Runnable([&ran, inner = std::move(fn)] {
    ran = true;
    inner();
  });
  HWND hwnd = nullptr;
  {
    std::lock_guard<std::mutex> lock(m_pendingLock);
    hwnd = m_target.load();
    if (hwnd) m_pending.insert(heap);
  }
  if (!hwnd) {
    delete heap;
    return false;
  }
  ::SendMessageW(hwnd, kRunMessage, reinterpret_cast<WPARAM>(heap), 0);
  // Never delivered (the window went away): the closure is still ours,
  // unless the window's end freed it already.
  if (!ran && Claim(heap)) delete heap;
  return ran;
}

}  // namespace RunnableHelper
