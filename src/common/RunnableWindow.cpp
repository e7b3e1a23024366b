#include "common/RunnableWindow.h"

#include <memory>

#include "common/FileUtils.h"

namespace RunnableHelper {

LRESULT CALLBACK CRunnalbeWindow::StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<CRunnalbeWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  return self->WindowProc(hwnd, message, wParam, lParam);
}

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
    m_hwnd.store(nullptr);
  } else if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    FreePending();
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
  if (m_hwnd.load()) return false;
  const HINSTANCE instance = FileUtils::GetCurrentDllModule();
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &CRunnalbeWindow::StaticWindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = GetWindowClassName();
  ::RegisterClassExW(&wc);  // fails harmlessly when the class is already registered
  const HWND hwnd = ::CreateWindowExW(0, GetWindowClassName(), L"", 0, 0, 0, 0, 0, nullptr, nullptr, instance, this);
  if (!hwnd) return false;
  ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  m_threadId = ::GetCurrentThreadId();
  m_hwnd.store(hwnd);
  return true;
}

CRunnalbeWindow::~CRunnalbeWindow() {
  Destroy();
  FreePending();
}

void CRunnalbeWindow::Destroy() {
  const HWND hwnd = m_hwnd.load();
  if (hwnd && ::GetCurrentThreadId() == m_threadId) ::DestroyWindow(hwnd);
}

bool CRunnalbeWindow::PostRunnable(Runnable fn) {
  if (!fn) return false;
  auto* heap = new Runnable(std::move(fn));
  {
    std::lock_guard<std::mutex> lock(m_pendingLock);
    const HWND hwnd = m_hwnd.load();
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
    hwnd = m_hwnd.load();
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
