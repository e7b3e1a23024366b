#include "capture/WindowSourceWin32.h"

#include "common/SystemFunctions.h"

namespace ScreenCapture {

namespace {

constexpr DWORD kExtendedFrameBounds = 9;  // DWMWA_EXTENDED_FRAME_BOUNDS
constexpr DWORD kCloaked = 14;             // DWMWA_CLOAKED

HWND Hwnd(WindowId id) { return reinterpret_cast<HWND>(id); }

Rect FromRect(const RECT& r) { return Rect::FromEdges(r.left, r.top, r.right, r.bottom); }

DwmCalls SystemDwm() {
  DwmCalls calls;
  if (const HMODULE dwm = ::LoadLibraryW(L"dwmapi.dll")) {  // kept loaded
    calls.isCompositionEnabled = Lookup<HRESULT(WINAPI*)(BOOL*)>(dwm, "DwmIsCompositionEnabled");
    calls.getWindowAttribute = Lookup<HRESULT(WINAPI*)(HWND, DWORD, void*, DWORD)>(dwm, "DwmGetWindowAttribute");
  }
  return calls;
}

int SystemMajorVersion() {
  // The version the system really is, whatever compatibility shims say.
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  const auto rtlGetVersion = Lookup<RtlGetVersionFn>(::GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion");
  OSVERSIONINFOW info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  if (rtlGetVersion && rtlGetVersion(&info) == 0) return static_cast<int>(info.dwMajorVersion);
  return 6;
}

struct Visitor {
  const std::function<void(WindowId)>* visit;
};

BOOL CALLBACK VisitWindow(HWND hwnd, LPARAM param) {
  (*reinterpret_cast<Visitor*>(param)->visit)(reinterpret_cast<WindowId>(hwnd));
  return TRUE;  // always go on
}

}  // namespace

CWindowSourceWin32::CWindowSourceWin32() : CWindowSourceWin32(SystemDwm(), SystemMajorVersion()) {}

CWindowSourceWin32::CWindowSourceWin32(DwmCalls dwm, int windowsMajorVersion)
    : m_dwm(dwm), m_major(windowsMajorVersion) {}

bool CWindowSourceWin32::Composited() {
  if (m_composited < 0) {
    BOOL enabled = FALSE;
    m_composited = m_major >= 6 && m_dwm.isCompositionEnabled && SUCCEEDED(m_dwm.isCompositionEnabled(&enabled)) &&
                           enabled
                       ? 1
                       : 0;
  }
  return m_composited == 1;
}

void CWindowSourceWin32::EnumTopLevel(const std::function<void(WindowId)>& visit) {
  Visitor visitor{&visit};
  ::EnumWindows(&VisitWindow, reinterpret_cast<LPARAM>(&visitor));
}

void CWindowSourceWin32::EnumChildren(WindowId parent, const std::function<void(WindowId)>& visit) {
  Visitor visitor{&visit};
  ::EnumChildWindows(Hwnd(parent), &VisitWindow, reinterpret_cast<LPARAM>(&visitor));
}

bool CWindowSourceWin32::IsVisible(WindowId window) { return ::IsWindowVisible(Hwnd(window)) != FALSE; }

bool CWindowSourceWin32::IsCloaked(WindowId window) {
  if (!Composited() || !m_dwm.getWindowAttribute) return false;
  DWORD cloaked = 0;
  return SUCCEEDED(m_dwm.getWindowAttribute(Hwnd(window), kCloaked, &cloaked, sizeof(cloaked))) && cloaked != 0;
}

bool CWindowSourceWin32::GetClassName(WindowId window, std::wstring& name) {
  wchar_t buffer[257] = {};
  const int length = ::GetClassNameW(Hwnd(window), buffer, 257);
  if (length <= 0) return false;
  name.assign(buffer, static_cast<size_t>(length));
  return true;
}

bool CWindowSourceWin32::GetFrameBounds(WindowId window, Rect& bounds) {
  if (!Composited() || !m_dwm.getWindowAttribute) return false;
  RECT r = {};
  if (FAILED(m_dwm.getWindowAttribute(Hwnd(window), kExtendedFrameBounds, &r, sizeof(r)))) return false;
  bounds = FromRect(r);
  return true;
}

bool CWindowSourceWin32::GetWindowRect(WindowId window, Rect& rect) {
  RECT r = {};
  if (!::GetWindowRect(Hwnd(window), &r)) return false;
  rect = FromRect(r);
  return true;
}

bool CWindowSourceWin32::GetClientRect(WindowId window, Rect& rect) {
  RECT r = {};
  POINT origin = {0, 0};
  if (!::GetClientRect(Hwnd(window), &r) || !::ClientToScreen(Hwnd(window), &origin)) return false;
  rect = Rect{origin.x, origin.y, r.right - r.left, r.bottom - r.top};
  return true;
}

bool CWindowSourceWin32::GetMaximisedBorders(WindowId window, int& horizontal, int& vertical) {
  if (m_major >= 10 || !::IsZoomed(Hwnd(window))) return false;
  WINDOWINFO info = {};
  info.cbSize = sizeof(info);
  if (!::GetWindowInfo(Hwnd(window), &info)) return false;
  horizontal = static_cast<int>(info.cxWindowBorders);
  vertical = static_cast<int>(info.cyWindowBorders);
  return true;
}

}  // namespace ScreenCapture
