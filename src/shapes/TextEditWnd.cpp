#include "shapes/TextEditWnd.h"

#include <algorithm>
#include <string>

#include "contracts/ICaptureControl.h"
#include "contracts/ICaptureWindow.h"
#include "common/VirtualScreen.h"
#include "common/DrawHelpers.h"
#include "contracts/ICaptureMenu.h"
#include "contracts/ICaptureControl.h"
#include "contracts/ICaptureWindow.h"
#include "common/VirtualScreen.h"
#include "contracts/ICaptureMenu.h"

namespace ScreenCapture {

namespace {
std::wstring ClipboardText(HWND owner) {
  std::wstring text;
  if (!::IsClipboardFormatAvailable(CF_UNICODETEXT) || !::OpenClipboard(owner)) return text;
  if (const HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
      text.assign(chars, wcsnlen(chars, ::GlobalSize(data) / sizeof(wchar_t)));
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return text;
}
}  // namespace

bool CTextShape::CEditWnd::Open() {
  ICaptureWindow* window = GetCaptureWindow();
  ICaptureControl* control = window ? window->GetCaptureControl() : nullptr;
  const HWND parent = window ? window->GetHWND() : nullptr;
  const HDC screen = control ? control->GetScreenDC() : nullptr;
  if (!parent || !screen || !m_owner) return false;
  const Rect& vs = GetVirtualScreenRect();
  if (m_background.Attach(MemoryDC(screen), UniqueBitmap(::CreateCompatibleBitmap(screen, vs.width, vs.height)))) {
    m_owner->RenderBackground(m_background.GetDC(), screen);
  }
  if (!Create(parent, kStyle, 0, RECT{0, 0, 0, 0})) return false;
  ApplyFont();
  ::SetWindowTextW(m_hwnd, m_owner->GetText().c_str());
  ::SendMessageW(m_hwnd, EM_SETMODIFY, FALSE, 0);
  ::SendMessageW(m_hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
  const LRESULT length = ::GetWindowTextLengthW(m_hwnd);
  ::SendMessageW(m_hwnd, EM_SETSEL, length, length);
  // In place before it shows: never a flash of an empty box at the corner.
  m_owner->Layout();
  MoveTo(m_owner->GetTextViewRect());
  ::ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
  ::SetFocus(m_hwnd);
  m_initialised = true;
  return true;
}

void CTextShape::CEditWnd::Destroy() {
  if (m_hwnd && ::IsWindow(m_hwnd)) {
    ::DestroyWindow(m_hwnd);  // OnFinalMessage deletes the object
  } else {
    delete this;
  }
}

void CTextShape::CEditWnd::ApplyFont() {
  if (m_hwnd && m_owner) ::SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_owner->GetTextFont()), TRUE);
}

void CTextShape::CEditWnd::MoveTo(const Rect& r) {
  if (m_hwnd) ::MoveWindow(m_hwnd, r.x, r.y, r.width, r.height, TRUE);
}

void CTextShape::CEditWnd::Selection(size_t& from, size_t& to) const {
  DWORD start = 0, end = 0;
  ::SendMessageW(m_hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  from = start;
  to = end;
}

HBRUSH CTextShape::CEditWnd::BackgroundBrush() {
  if (!m_background || !m_owner) return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
  // The part of the picture under the window, as a pattern from its corner.
  const Rect r = m_owner->GetTextViewRect();
  if (r.width <= 0 || r.height <= 0) return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
  // The picture under the window changes only when the window moves.
  if (m_brush && r == m_brushRect) return m_brush.Get();
  m_brushRect = r;
  MemoryDC dc(m_background.GetDC());
  UniqueBitmap part(::CreateCompatibleBitmap(m_background.GetDC(), r.width, r.height));
  if (dc && part) {
    SelectGuard select(dc.Get(), part.Get());
    ::BitBlt(dc.Get(), 0, 0, r.width, r.height, m_background.GetDC(), r.x, r.y, SRCCOPY);
  }
  if (part) m_brush.Reset(::CreatePatternBrush(part.Get()));
  return m_brush ? m_brush.Get() : static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

void CTextShape::CEditWnd::InvalidateChangedLines() {
  // Text drawn over a picture cannot be drawn over itself: what changed is
  // painted again from the picture up. That is every line from the one
  // before the change on (a word may wrap back onto it); lines above it stay.
  RECT area = {};
  ::GetClientRect(m_hwnd, &area);
  size_t from = 0, to = 0;
  Selection(from, to);
  const size_t unknown = static_cast<size_t>(-1);
  const size_t changed = m_changeFrom == unknown ? unknown : std::min(m_changeFrom, from);
  m_changeFrom = static_cast<size_t>(-1);
  if (changed != unknown) {
    const LRESULT line = ::SendMessageW(m_hwnd, EM_LINEFROMCHAR, changed, 0);
    const LRESULT first = ::SendMessageW(m_hwnd, EM_LINEINDEX, line > 0 ? line - 1 : 0, 0);
    const LRESULT pos = first >= 0 ? ::SendMessageW(m_hwnd, EM_POSFROMCHAR, static_cast<WPARAM>(first), 0) : -1;
    if (pos != -1) area.top = std::max<LONG>(area.top, static_cast<short>(HIWORD(pos)));
  }
  ::InvalidateRect(m_hwnd, &area, FALSE);
}

LRESULT CTextShape::CEditWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case EM_REPLACESEL:
    case WM_SETTEXT: {
      // Where the change that follows starts (the whole text for a new one).
      size_t from = 0, to = 0;
      if (message != WM_SETTEXT && message != WM_UNDO && message != EM_UNDO) Selection(from, to);
      m_changeFrom = std::min(m_changeFrom, from);
      break;
    }
    default:
      break;
  }
  switch (message) {
    case WM_CHAR:
      if (wParam == VK_ESCAPE) {
        // Esc ends the whole capture: the capture window's own Esc, after
        // this message, so that no window is destroyed while it handles one.
        ICaptureWindow* window = GetCaptureWindow();
        if (const HWND capture = window ? window->GetHWND() : nullptr) ::PostMessageW(capture, WM_CHAR, VK_ESCAPE, 0);
        return 0;
      }
      if (m_owner && (wParam >= 0x20 || wParam == L'\r' || wParam == L'\b')) {
        size_t from = 0, to = 0;
        Selection(from, to);
        // A backspace changes the character before the caret.
        m_changeFrom = std::min(m_changeFrom, wParam == L'\b' && from > 0 ? from - 1 : from);
      }
      if (m_owner && (wParam >= 0x20 || wParam == L'\r')) {
        // The box grows before the control shows the character.
        size_t from = 0, to = 0;
        Selection(from, to);
        m_owner->Layout(wParam == L'\r' ? std::wstring(L"\r\n") : std::wstring(1, static_cast<wchar_t>(wParam)), from, to);
      }
      break;
    case WM_PASTE:
      if (m_owner) {
        size_t from = 0, to = 0;
        Selection(from, to);
        m_changeFrom = std::min(m_changeFrom, from);
        m_owner->Layout(ClipboardText(m_hwnd), from, to);
      }
      break;
    case DuiLib::kReflectedMessageBase + WM_COMMAND:
      if (HIWORD(wParam) == EN_CHANGE && m_initialised && m_owner) {
        const int length = ::GetWindowTextLengthW(m_hwnd);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        const int got = ::GetWindowTextW(m_hwnd, &text[0], length + 1);
        text.resize(static_cast<size_t>(got > 0 ? got : 0));
        m_owner->SetText(text);
      } else if (HIWORD(wParam) == EN_UPDATE) {
        InvalidateChangedLines();
      }
      return 0;
    case DuiLib::kReflectedMessageBase + WM_CTLCOLOREDIT:
    case DuiLib::kReflectedMessageBase + WM_CTLCOLORSTATIC: {
      const HDC dc = reinterpret_cast<HDC>(wParam);
      ::SetBkMode(dc, TRANSPARENT);
      ::SetTextColor(dc, m_owner ? ToColorRef(m_owner->GetColor()) : RGB(0, 0, 0));
      return reinterpret_cast<LRESULT>(BackgroundBrush());
    }
    case WM_KILLFOCUS: {
      const LRESULT result = CallDefault(message, wParam, lParam);
      Close();
      return result;
    }
    default:
      break;
  }
  return CallDefault(message, wParam, lParam);
}

void CTextShape::CEditWnd::OnFinalMessage(HWND) {
  if (m_owner) m_owner->OnEditorClosed();
  m_brush.Reset();
  m_background.Reset();
  delete this;
}

}  // namespace ScreenCapture
