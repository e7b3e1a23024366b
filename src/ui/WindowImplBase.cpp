#include "ui/WindowImplBase.h"

#include "common/Logger.h"
#include "common/StartupTrace.h"

namespace DuiLib {

// The window goes before the paint manager and its element tree: the last
// messages of its children (a text editor's) may still reach the elements.
WindowImplBase::~WindowImplBase() { LetGoAndDestroy(); }

HWND WindowImplBase::Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y, int width,
                            int height) {
  return CreateNative(parent, title, style, exStyle, x, y, width, height);
}

UINT WindowImplBase::ShowModal() { return m_hwnd ? RunModalLoop(m_hwnd, &m_pm) : 0; }

void WindowImplBase::Notify(TNotifyUI&) {}

CControlUI* WindowImplBase::CreateControl(const std::wstring&) { return nullptr; }

LRESULT WindowImplBase::HandleCustomMessage(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnCreate() {
  // A skin window draws everything itself: no caption, no frame.
  const LONG_PTR style = ::GetWindowLongPtrW(m_hwnd, GWL_STYLE);
  ::SetWindowLongPtrW(m_hwnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_CAPTION | WS_THICKFRAME));
  ::SetWindowPos(m_hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  m_pm.Init(m_hwnd);
  m_pm.AddNotifier(this);
  CDialogBuilder builder;
  CControlUI* root = builder.Create(GetSkinFile(), &m_pm, [this](const std::wstring& name) { return CreateControl(name); });
  if (!root) {
    // The window still works without its skin: it paints nothing and keeps
    // its keyboard and mouse handling.
    LOG_ERR(L"skin %s could not be built", GetSkinFile().c_str());
  }
  m_pm.AttachDialog(root);
  ScreenCapture::MarkStartup(ScreenCapture::StartupPhase::kSkinLayout);
  if (m_pm.IsTransparentBackground()) m_pm.SetLayered(true);
  const SIZE init = m_pm.GetInitSize();
  if (init.cx > 0 && init.cy > 0) {
    ::SetWindowPos(m_hwnd, nullptr, 0, 0, m_pm.Scale(init.cx), m_pm.Scale(init.cy),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  InitWindow();
  return 0;
}

LRESULT WindowImplBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  BOOL handled = FALSE;
  const LRESULT custom = HandleCustomMessage(message, wParam, lParam, handled);
  if (handled) return custom;
  if (message == WM_CREATE) return OnCreate();
  if (message == WM_NCACTIVATE) return ::IsIconic(m_hwnd) ? FALSE : TRUE;
  if (message == WM_NCCALCSIZE && wParam) return 0;  // client area = window
  LRESULT result = 0;
  if (m_pm.MessageHandler(message, wParam, lParam, result)) return result;
  return CallDefault(message, wParam, lParam);
}

}  // namespace DuiLib
