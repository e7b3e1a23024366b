#pragma once
// The toolkit's modal run: the one message loop of the UI thread.
#include <windows.h>

namespace DuiLib {

// Gets the first look at every message of the thread before it is
// translated and dispatched.
class IMessageFilterUI {
 public:
  virtual ~IMessageFilterUI() = default;
  // Called for each message the loop takes from the queue; true when the
  // message was handled and must not be dispatched.
  virtual bool PreTranslateMessage(const MSG& msg) = 0;
};

// Shows `hwnd`, disables its owner, and pumps the thread's messages while the
// window exists. Returns the first parameter of the last WM_CLOSE addressed to
// the window that the loop saw, 0 when none. A WM_QUIT ends the loop and is
// posted again for the outer loop.
UINT RunModalLoop(HWND hwnd, IMessageFilterUI* filter);

// The module whose resources the toolkit loads (skin archive, cursors).
void SetResourceInstance(HINSTANCE instance);
HINSTANCE GetResourceInstance();

}  // namespace DuiLib
