#include "common/NativeWindow.h"

#include <atomic>
#include <map>
#include <mutex>
#include <string>

#include "common/FileUtils.h"

namespace ScreenCapture {

namespace {

std::atomic<long> g_live{0};

// The registered classes: by our class name, the procedure its messages fall
// through to (the superclassed system class's, or the system's default).
struct ClassTable {
  std::mutex lock;
  std::map<std::wstring, WNDPROC> fallThrough;
};
ClassTable& Classes() {
  static ClassTable* const table = new ClassTable();  // windows may outlive every static
  return *table;
}

WNDPROC FallThroughOf(HWND hwnd) {
  wchar_t name[256] = {};
  ::GetClassNameW(hwnd, name, 256);
  ClassTable& classes = Classes();
  const std::lock_guard<std::mutex> lock(classes.lock);
  const auto known = classes.fallThrough.find(name);
  return known != classes.fallThrough.end() ? known->second : ::DefWindowProcW;
}

}  // namespace

CNativeWindow::~CNativeWindow() { LetGoAndDestroy(); }

void CNativeWindow::LetGoAndDestroy() {
  const HWND hwnd = m_hwnd;
  m_hwnd = nullptr;
  if (!hwnd || !::IsWindow(hwnd)) return;
  ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  // Only the window's own thread can destroy it: one it could not stays
  // counted, as the leak it is.
  if (::DestroyWindow(hwnd)) --g_live;
}

long CNativeWindow::LiveCount() { return g_live.load(); }

HINSTANCE CNativeWindow::ModuleInstance() {
  const HMODULE module = FileUtils::GetCurrentDllModule();
  return module ? module : ::GetModuleHandleW(nullptr);
}

LRESULT CNativeWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallDefault(message, wParam, lParam);
}

LRESULT CNativeWindow::CallDefault(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcW(m_superProc ? m_superProc : ::DefWindowProcW, m_hwnd, message, wParam, lParam);
}

bool CNativeWindow::RegisterClassOnce() {
  const wchar_t* name = GetWindowClassName();
  ClassTable& classes = Classes();
  const std::lock_guard<std::mutex> lock(classes.lock);
  const auto known = classes.fallThrough.find(name);
  if (known != classes.fallThrough.end()) {
    m_superProc = known->second;
    return true;
  }
  const HINSTANCE instance = ModuleInstance();
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
  wc.lpfnWndProc = &CNativeWindow::StaticProc;
  wc.hInstance = instance;
  wc.lpszClassName = name;
  if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  classes.fallThrough[name] = super;
  m_superProc = super;
  return true;
}

HWND CNativeWindow::CreateNative(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y,
                                 int width, int height) {
  if (!RegisterClassOnce()) return nullptr;
  return ::CreateWindowExW(exStyle, GetWindowClassName(), title ? title : L"", style, x, y, width, height, parent,
                           nullptr, ModuleInstance(), this);
}

LRESULT CALLBACK CNativeWindow::StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CNativeWindow* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<CNativeWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    if (self) {
      self->m_hwnd = hwnd;
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      ++g_live;
    }
  } else {
    self = reinterpret_cast<CNativeWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  // Not ours (any more): the object let go, or the window was made without one.
  if (!self) return ::CallWindowProcW(FallThroughOf(hwnd), hwnd, message, wParam, lParam);
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

}  // namespace ScreenCapture
