#include "ui/WindowWnd.h"

#include <atomic>
#include <map>
#include <string>

namespace DuiLib {

namespace {
std::atomic<long> g_live{0};
// The procedures of the superclassed system classes, by our class name.
std::map<std::wstring, WNDPROC>& SuperProcs() {
  static std::map<std::wstring, WNDPROC> procs;
  return procs;
}
}  // namespace

CWindowWnd::~CWindowWnd() {
  if (m_hwnd && ::IsWindow(m_hwnd)) {
    // Let go first: the window's last messages go to its class alone.
    ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
    --g_live;
    ::DestroyWindow(m_hwnd);
  }
}

long CWindowWnd::LiveCount() { return g_live.load(); }

bool CWindowWnd::RegisterClassOnce() {
  const wchar_t* name = GetWindowClassName();
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  const auto known = SuperProcs().find(name);
  if (known != SuperProcs().end()) {
    m_superProc = known->second;
    return true;
  }
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  WNDPROC super = ::DefWindowProcW;
  if (const wchar_t* base = GetSuperClassName()) {
    if (!::GetClassInfoExW(nullptr, base, &wc) && !::GetClassInfoExW(instance, base, &wc)) return false;
    super = wc.lpfnWndProc;
  } else {
    wc.style = CS_DBLCLKS;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  }
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &CWindowWnd::StaticProc;
  wc.hInstance = instance;
  wc.lpszClassName = name;
  if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  SuperProcs()[name] = super;
  m_superProc = super;
  return true;
}

HWND CWindowWnd::Create(HWND parent, DWORD style, DWORD exStyle, const RECT& rect) {
  if (!RegisterClassOnce()) return nullptr;
  return ::CreateWindowExW(exStyle, GetWindowClassName(), L"", style, rect.left, rect.top, rect.right - rect.left,
                           rect.bottom - rect.top, parent, nullptr, ::GetModuleHandleW(nullptr), this);
}

void CWindowWnd::Close() {
  if (m_hwnd && ::IsWindow(m_hwnd)) ::PostMessageW(m_hwnd, WM_CLOSE, 0, 0);
}

LRESULT CWindowWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallDefault(message, wParam, lParam);
}

LRESULT CWindowWnd::CallDefault(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcW(m_superProc ? m_superProc : ::DefWindowProcW, m_hwnd, message, wParam, lParam);
}

LRESULT CALLBACK CWindowWnd::StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWindowWnd* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<CWindowWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->m_hwnd = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    ++g_live;
  } else {
    self = reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) {
    // Not ours any more (the object let go): the class's own procedure.
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    const auto known = SuperProcs().find(name);
    return ::CallWindowProcW(known != SuperProcs().end() ? known->second : ::DefWindowProcW, hwnd, message, wParam,
                             lParam);
  }
  if (message == WM_NCDESTROY) {
    const LRESULT result = self->CallDefault(message, wParam, lParam);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->m_hwnd = nullptr;
    --g_live;
    self->OnFinalMessage(hwnd);
    return result;
  }
  return self->HandleMessage(message, wParam, lParam);
}

}  // namespace DuiLib
