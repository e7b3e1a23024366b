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
    std::unique_ptr<Runnable> fn(reinterpret_cast<Runnable*>(wParam));
    (*fn)();
  } else if (message == WM_DESTROY) {
    // Posted closures that never ran still belong to us.
    MSG pending;
    while (::PeekMessageW(&pending, hwnd, kRunMessage, kRunMessage, PM_REMOVE)) {
      delete reinterpret_cast<Runnable*>(pending.wParam);
    }
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    m_hwnd.store(nullptr);
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
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

CRunnalbeWindow::~CRunnalbeWindow() { Destroy(); }

void CRunnalbeWindow::Destroy() {
  const HWND hwnd = m_hwnd.load();
  if (hwnd && ::GetCurrentThreadId() == m_threadId) ::DestroyWindow(hwnd);
}

bool CRunnalbeWindow::PostRunnable(Runnable fn) {
  const HWND hwnd = m_hwnd.load();
  if (!hwnd || !fn) return false;
  auto* heap = new Runnable(std::move(fn));
  if (!::PostMessageW(hwnd, kRunMessage, reinterpret_cast<WPARAM>(heap), 0)) {
    delete heap;
    return false;
  }
  return true;
}

bool CRunnalbeWindow::SendRunnable(Runnable fn) {
  const HWND hwnd = m_hwnd.load();
  if (!hwnd || !fn) return false;
  // The sender waits, so the flag on its stack outlives the call.
  bool ran = false;
  auto* heap = new Runnable([&ran, inner = std::move(fn)] {
    ran = true;
    inner();
  });
  ::SendMessageW(hwnd, kRunMessage, reinterpret_cast<WPARAM>(heap), 0);
  if (!ran) {
    // Never delivered (the window went away): the closure is still ours.
    delete heap;
  }
  return ran;
}

}  // namespace RunnableHelper
