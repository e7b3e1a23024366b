#pragma once
// Records the toolkit hands around: input events, notifications, fonts.
#include <windows.h>

#include <string>

#include "common/Handles.h"

namespace DuiLib {

class CControlUI;

// Event types of the toolkit's event records.
enum UIEventType : int {
  UIEVENT_KEYDOWN = 3,
  UIEVENT_KEYUP = 4,
  UIEVENT_MOUSEMOVE = 9,
  UIEVENT_BUTTONDOWN = 13,
  UIEVENT_BUTTONUP = 14,
  UIEVENT_RBUTTONDOWN = 15,
  UIEVENT_RBUTTONUP = 16,
  UIEVENT_MBUTTONDOWN = 17,
  UIEVENT_MBUTTONUP = 18,
  UIEVENT_DBLCLICK = 19,
  // One per wheel notch; wParam holds the direction: SB_LINEUP (0) away from
  // the user, SB_LINEDOWN (1) towards the user.
  UIEVENT_SCROLLWHEEL = 26,
};

// Key-state flags of an event record.
enum : WORD { UIKEYSTATE_SHIFT = 4, UIKEYSTATE_CONTROL = 8 };

struct TEventUI {
  int Type = 0;
  CControlUI* pSender = nullptr;
  DWORD dwTimestamp = 0;
  POINT ptMouse = {};
  wchar_t chKey = 0;
  WORD wKeyState = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

// A notification by name ("click", "selectchanged", "itemselect", ...).
struct TNotifyUI {
  std::wstring sType;
  CControlUI* pSender = nullptr;
  DWORD dwTimestamp = 0;
  POINT ptMouse = {};
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

class INotifyUI {
 public:
  virtual ~INotifyUI() = default;
  // Called on the UI thread for each notification a control sends.
  virtual void Notify(TNotifyUI& msg) = 0;
};

// A skin font. The handle and the text metrics are made on first use, at the
// paint manager's DPI.
struct TFontInfo {
  ScreenCapture::UniqueFont hFont;
  std::wstring sFontName;
  int iSize = 0;  // pixels at 96 DPI
  bool bBold = false;
  bool bUnderline = false;
  bool bItalic = false;
  TEXTMETRICW tm = {};
};

}  // namespace DuiLib
