#pragma once
// Runs closures on the thread that created a hidden window. Other threads
// hand work to the UI thread through it, and a handler on the UI thread can
// post work that must run after the current event has been handled.
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <unordered_set>

#include "common/NativeWindow.h"
#include "common/SingleBase.h"

namespace RunnableHelper {

using Runnable = std::function<void()>;

// WM_USER + 1001. First parameter: a heap-allocated Runnable that the window
// owns once the message is on its way; second parameter: 0.
constexpr UINT kRunMessage = WM_USER + 1001;

class CRunnalbeWindow : public CommonDef::CSingleBase<CRunnalbeWindow>, public ScreenCapture::CNativeWindow {
 public:
  CRunnalbeWindow() = default;

  // Called for every message of the hidden window, on the window's thread.
  // Runs and frees the closure of a run message; everything then goes to the
  // system's default procedure.
  virtual LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  // Called once by the owner on the thread that is to run the closures.
  // False when the window already existed or could not be created.
  virtual bool Create();

  // Called when the window class is registered.
  const wchar_t* GetWindowClassName() const override;

  // Called when the owner lets go of the runner; destroys the window if this
  // thread owns it.
  ~CRunnalbeWindow() override;

  // The window while it takes closures (from its creation to WM_DESTROY);
  // any thread may ask.
  HWND GetHWND() const { return m_target.load(); }
  DWORD GetThreadId() const { return m_threadId; }

  // Queues `fn` to run on the window's thread and returns at once. False (and
  // `fn` is dropped) when there is no window or the queue refused the message.
  bool PostRunnable(Runnable fn);

  // Runs `fn` on the window's thread and returns after it has run; from the
  // window's own thread it runs at once. False when it could not be run.
  bool SendRunnable(Runnable fn);

  // Destroys the window; closures still queued are freed without running.
  void Destroy();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    return WindowProc(m_hwnd, message, wParam, lParam);
  }
  // The window is gone: closures still on their way are freed.
  void OnFinalMessage(HWND) override { FreePending(); }

 private:
  // Takes `fn` out of the closures handed over and not yet run; false when
  // it is not (or no longer) among them.
  bool Claim(Runnable* fn);
  // Frees every closure handed over and not yet run.
  void FreePending();

  std::atomic<HWND> m_target{nullptr};
  // Every closure on its way to the window. A post and the window's end are
  // serialised by the lock, so a closure posted while the window goes is
  // still found and freed, never leaked with the window's dropped messages.
  std::mutex m_pendingLock;
  std::unordered_set<Runnable*> m_pending;
  DWORD m_threadId = 0;
};

}  // namespace RunnableHelper
