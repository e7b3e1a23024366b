#pragma once
// How modes, the toolbar and the start-up reach the capture window.
#include <windows.h>

#include "core/StartParams.h"
#include "contracts/ICaptureMenu.h"

namespace RunnableHelper {
class CRunnalbeWindow;
}

namespace ScreenCapture {

class ICaptureControl;

class ICaptureWindow {
 public:
  virtual ~ICaptureWindow() = default;
  virtual HWND GetHWND() const = 0;
  // The control, or null before the skin has created it.
  virtual ICaptureControl* GetCaptureControl() = 0;
  virtual ICaptureMenu* GetCaptureMenu() = 0;
  // Ends the capture: posts the close request (code 1) and destroys the
  // window, so the modal loop returns; also destroys the runner's window.
  virtual void CloseCapture() = 0;
  virtual CaptureStartParams* GetStartParams() = 0;
  virtual RunnableHelper::CRunnalbeWindow* GetRunnableWindow() = 0;
};

// The one capture window of the process, set by the entry while it exists.
inline ICaptureWindow* g_captureWindow = nullptr;
inline ICaptureWindow* GetCaptureWindow() { return g_captureWindow; }
inline void SetCaptureWindow(ICaptureWindow* window) { g_captureWindow = window; }

// Ends the capture as the user leaves it (close, save, finish, OCR, Esc, a
// right click before a region exists): the toolbar and then the capture
// window are hidden at once, and the window is closed (CloseCapture). Called
// on the UI thread, never while a window it destroys handles a message.
inline void EndCapture(ICaptureWindow* window) {
  if (!window) return;
  if (ICaptureMenu* menu = window->GetCaptureMenu()) menu->ShowMenu(false);
  const HWND hwnd = window->GetHWND();
  if (hwnd && ::IsWindow(hwnd)) ::ShowWindow(hwnd, SW_HIDE);
  window->CloseCapture();
}

}  // namespace ScreenCapture
