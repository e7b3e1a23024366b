#pragma once
// Small owners for the handle kinds the program uses, each with the release
// that its kind needs: kernel objects are closed, a memory DC is deleted, a
// window DC released, a paint DC ended, and objects selected into a DC go
// back out before the DC or the object dies. None of them throws; all are
// move-only or not movable at all.
#include <windows.h>

#include <atomic>
#include <utility>

namespace ScreenCapture {

// Kernel handles closed with CloseHandle. `Invalid` is the value the creating
// call returns on failure: nullptr for most objects, INVALID_HANDLE_VALUE for files.
template <HANDLE (*Invalid)()>
class BasicKernelHandle {
 public:
  BasicKernelHandle() = default;
  explicit BasicKernelHandle(HANDLE h) : m_handle(h) {}
  BasicKernelHandle(const BasicKernelHandle&) = delete;
  BasicKernelHandle& operator=(const BasicKernelHandle&) = delete;
  BasicKernelHandle(BasicKernelHandle&& other) noexcept : m_handle(other.Release()) {}
  BasicKernelHandle& operator=(BasicKernelHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ~BasicKernelHandle() { Reset(); }

  HANDLE Get() const { return m_handle; }
  bool Valid() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }
  explicit operator bool() const { return Valid(); }
  HANDLE Release() { return std::exchange(m_handle, Invalid()); }
  void Reset(HANDLE h = Invalid()) {
    if (Valid()) ::CloseHandle(m_handle);
    m_handle = h;
  }

 private:
  HANDLE m_handle = Invalid();
};

inline HANDLE NullHandleValue() { return nullptr; }
inline HANDLE InvalidHandleValue() { return INVALID_HANDLE_VALUE; }

using UniqueHandle = BasicKernelHandle<NullHandleValue>;      // events, mutexes, mappings, threads
using UniqueFile = BasicKernelHandle<InvalidHandleValue>;     // CreateFile results

// Memory the system allocated with LocalAlloc (security descriptors from
// SDDL strings, FormatMessage buffers).
class UniqueLocal {
 public:
  UniqueLocal() = default;
  explicit UniqueLocal(void* p) : m_mem(p) {}
  UniqueLocal(const UniqueLocal&) = delete;
  UniqueLocal& operator=(const UniqueLocal&) = delete;
  ~UniqueLocal() {
    if (m_mem) ::LocalFree(m_mem);
  }
  void* Get() const { return m_mem; }
  void** Put() { return &m_mem; }

 private:
  void* m_mem = nullptr;
};

// A mapped view of a file mapping.
class UniqueView {
 public:
  explicit UniqueView(void* p) : m_view(p) {}
  UniqueView(const UniqueView&) = delete;
  UniqueView& operator=(const UniqueView&) = delete;
  ~UniqueView() {
    if (m_view) ::UnmapViewOfFile(m_view);
  }
  void* Get() const { return m_view; }

 private:
  void* m_view = nullptr;
};

// A library loaded with LoadLibrary.
class UniqueModule {
 public:
  UniqueModule() = default;
  explicit UniqueModule(HMODULE m) : m_module(m) {}
  UniqueModule(const UniqueModule&) = delete;
  UniqueModule& operator=(const UniqueModule&) = delete;
  ~UniqueModule() {
    if (m_module) ::FreeLibrary(m_module);
  }
  HMODULE Get() const { return m_module; }

 private:
  HMODULE m_module = nullptr;
};

// A registry key that we opened (predefined roots are never wrapped).
class UniqueRegKey {
 public:
  UniqueRegKey() = default;
  UniqueRegKey(const UniqueRegKey&) = delete;
  UniqueRegKey& operator=(const UniqueRegKey&) = delete;
  UniqueRegKey(UniqueRegKey&& other) noexcept : m_key(std::exchange(other.m_key, nullptr)) {}
  ~UniqueRegKey() {
    if (m_key) ::RegCloseKey(m_key);
  }
  HKEY Get() const { return m_key; }
  HKEY* Put() { return &m_key; }
  explicit operator bool() const { return m_key != nullptr; }

 private:
  HKEY m_key = nullptr;
};

// Holds a critical section for a scope.
class CriticalSectionLock {
 public:
  explicit CriticalSectionLock(CRITICAL_SECTION& section) : m_section(section) { ::EnterCriticalSection(&m_section); }
  CriticalSectionLock(const CriticalSectionLock&) = delete;
  CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;
  ~CriticalSectionLock() { ::LeaveCriticalSection(&m_section); }

 private:
  CRITICAL_SECTION& m_section;
};

// A mutex wait that releases on scope exit; a null mutex means no
// serialisation (the wait is skipped, as is the release).
class MutexLock {
 public:
  explicit MutexLock(HANDLE mutex) : m_mutex(mutex) {
    if (m_mutex) {
      // An abandoned mutex (another writer died holding it) is ours now too.
      const DWORD wait = ::WaitForSingleObject(m_mutex, INFINITE);
      m_owned = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }
  }
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;
  ~MutexLock() {
    if (m_owned) ::ReleaseMutex(m_mutex);
  }

 private:
  HANDLE m_mutex = nullptr;
  bool m_owned = false;
};

}  // namespace ScreenCapture

// GDI owners live with the skin toolkit, which draws with them.
namespace DuiLib {

// GDI objects and memory DCs the owners below hold right now, across the
// process: what a leak check counts.
inline std::atomic<long> g_liveGdiObjects{0};
inline long LiveGdiObjects() { return g_liveGdiObjects.load(); }

// A bitmap, brush, pen, font or region: DeleteObject.
template <class T>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(T handle) : m_handle(handle) {
    if (m_handle) ++g_liveGdiObjects;
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  GdiObject(GdiObject&& o) noexcept : m_handle(std::exchange(o.m_handle, nullptr)) {}
  GdiObject& operator=(GdiObject&& o) noexcept {
    if (this != &o) {
      Reset();
      m_handle = std::exchange(o.m_handle, nullptr);  // moved: still counted once
    }
    return *this;
  }
  ~GdiObject() { Reset(); }
  T Get() const { return m_handle; }
  explicit operator bool() const { return m_handle != nullptr; }
  T Release() {
    if (m_handle) --g_liveGdiObjects;
    return std::exchange(m_handle, nullptr);
  }
  void Reset(T handle = nullptr) {
    if (m_handle) {
      ::DeleteObject(m_handle);
      --g_liveGdiObjects;
    }
    m_handle = handle;
    if (m_handle) ++g_liveGdiObjects;
  }

 private:
  T m_handle = nullptr;
};

using Bitmap = GdiObject<HBITMAP>;
using Brush = GdiObject<HBRUSH>;
using Font = GdiObject<HFONT>;
using Region = GdiObject<HRGN>;

// CreateCompatibleDC: DeleteDC.
class MemoryDC {
 public:
  MemoryDC() = default;
  explicit MemoryDC(HDC compatibleWith) : m_dc(::CreateCompatibleDC(compatibleWith)) {
    if (m_dc) ++g_liveGdiObjects;
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  MemoryDC(MemoryDC&& o) noexcept : m_dc(std::exchange(o.m_dc, nullptr)) {}
  MemoryDC& operator=(MemoryDC&& o) noexcept {
    if (this != &o) {
      Reset();
      m_dc = std::exchange(o.m_dc, nullptr);
    }
    return *this;
  }
  ~MemoryDC() { Reset(); }
  HDC Get() const { return m_dc; }
  explicit operator bool() const { return m_dc != nullptr; }
  void Reset() {
    if (m_dc) {
      ::DeleteDC(m_dc);
      --g_liveGdiObjects;
    }
    m_dc = nullptr;
  }

 private:
  HDC m_dc = nullptr;
};

// GetDC / GetWindowDC: ReleaseDC with the same window.
class WindowDC {
 public:
  explicit WindowDC(HWND hwnd, bool wholeWindow = false)
      : m_hwnd(hwnd), m_dc(wholeWindow ? ::GetWindowDC(hwnd) : ::GetDC(hwnd)) {}
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  ~WindowDC() {
    if (m_dc) ::ReleaseDC(m_hwnd, m_dc);
  }
  HDC Get() const { return m_dc; }

 private:
  HWND m_hwnd;
  HDC m_dc;
};

// BeginPaint: EndPaint.
class PaintDC {
 public:
  explicit PaintDC(HWND hwnd) : m_hwnd(hwnd) { m_dc = ::BeginPaint(hwnd, &m_ps); }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  ~PaintDC() { ::EndPaint(m_hwnd, &m_ps); }
  HDC Get() const { return m_dc; }
  const RECT& Area() const { return m_ps.rcPaint; }

 private:
  HWND m_hwnd;
  PAINTSTRUCT m_ps = {};
  HDC m_dc = nullptr;
};

// Selects an object into a DC and puts the old one back on scope exit.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(dc && object ? ::SelectObject(dc, object) : nullptr) {}
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;
  ~SelectGuard() {
    if (m_dc && m_old) ::SelectObject(m_dc, m_old);
  }

 private:
  HDC m_dc;
  HGDIOBJ m_old;
};

// A 32-bit top-down DIB section; `bits` receives its pixels (0xAARRGGBB,
// rows of width * 4 bytes). Null on failure.
inline HBITMAP CreateDib32(HDC dc, int width, int height, void** bits) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  *bits = nullptr;
  const HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0);
  if (bitmap && !*bits) {
    ::DeleteObject(bitmap);
    return nullptr;
  }
  return bitmap;
}

// A memory DC with a bitmap selected for its whole life: the pair that holds
// an off-screen image. The bitmap is selected out before either is deleted.
class BitmapDC {
 public:
  BitmapDC() = default;
  BitmapDC(const BitmapDC&) = delete;
  BitmapDC& operator=(const BitmapDC&) = delete;
  ~BitmapDC() { Reset(); }
  // Takes ownership of both; false (and nothing held) when either is missing.
  bool Attach(MemoryDC&& dc, Bitmap&& bitmap) {
    Reset();
    if (!dc || !bitmap) return false;
    m_dc = std::move(dc);
    m_bitmap = std::move(bitmap);
    m_old = ::SelectObject(m_dc.Get(), m_bitmap.Get());
    return true;
  }
  void Reset() {
    if (m_dc && m_old) ::SelectObject(m_dc.Get(), m_old);
    m_old = nullptr;
    m_bitmap.Reset();
    m_dc.Reset();
  }
  HDC GetDC() const { return m_dc.Get(); }
  HBITMAP GetBitmap() const { return m_bitmap.Get(); }
  explicit operator bool() const { return static_cast<bool>(m_dc); }

 private:
  MemoryDC m_dc;
  Bitmap m_bitmap;
  HGDIOBJ m_old = nullptr;
};

}  // namespace DuiLib
