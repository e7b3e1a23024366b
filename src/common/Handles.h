#pragma once
// Owners for the handle kinds the program uses, each with the release that
// its kind needs: kernel objects are closed, registry keys closed with the
// registry's own call, GDI objects deleted, a memory DC deleted, a window DC
// released, a paint DC ended, and objects selected into a DC go back out
// before the DC or the object dies. None of them throws; every one is
// move-only.
#include <windows.h>

#include <atomic>
#include <utility>

namespace ScreenCapture {

// One owner for every kind: `Traits` names the kind's "nothing" value, tells a
// held value from it, and releases a held one. `Traits::Adopted` and
// `Traits::LetGo` see a value come and go (the GDI count below uses them).
template <class T, class Traits>
class UniqueOwner {
 public:
  UniqueOwner() = default;
  explicit UniqueOwner(T value) : m_value(value) { Traits::Adopted(m_value); }
  UniqueOwner(const UniqueOwner&) = delete;
  UniqueOwner& operator=(const UniqueOwner&) = delete;
  UniqueOwner(UniqueOwner&& other) noexcept : m_value(std::exchange(other.m_value, Traits::None())) {}
  UniqueOwner& operator=(UniqueOwner&& other) noexcept {
    if (this != &other) {
      Reset();
      m_value = std::exchange(other.m_value, Traits::None());  // moved: still counted once
    }
    return *this;
  }
  ~UniqueOwner() { Reset(); }

  T Get() const { return m_value; }
  bool Valid() const { return Traits::Held(m_value); }
  explicit operator bool() const { return Valid(); }
  // Gives the value up without releasing it (it is someone else's now).
  T Release() {
    Traits::LetGo(m_value);
    return std::exchange(m_value, Traits::None());
  }
  void Reset(T value = Traits::None()) {
    if (Traits::Held(m_value)) {
      Traits::LetGo(m_value);
      Traits::Close(m_value);
    }
    m_value = value;
    Traits::Adopted(m_value);
  }
  // For calls that hand a new value back through a pointer; what was held
  // is released first. Not for counted kinds (the value arrives unseen).
  T* Put() {
    Reset();
    return &m_value;
  }

 private:
  T m_value = Traits::None();
};

// The traits of kinds whose "nothing" is null and that nobody counts.
template <class T, void (*Free)(T)>
struct NullTraits {
  static constexpr T None() { return nullptr; }
  static bool Held(T value) { return value != nullptr; }
  static void Close(T value) { Free(value); }
  static void Adopted(T) {}
  static void LetGo(T) {}
};

namespace HandleKinds {
inline void Local(HLOCAL m) { ::LocalFree(m); }
inline void View(void* v) { ::UnmapViewOfFile(v); }
inline void Module(HMODULE m) { ::FreeLibrary(m); }
inline void RegKey(HKEY k) { ::RegCloseKey(k); }
inline void Global(HGLOBAL m) { ::GlobalFree(m); }
inline void Icon(HICON i) { ::DestroyIcon(i); }
inline void Cursor(HCURSOR c) { ::DestroyCursor(c); }
inline HANDLE Null() { return nullptr; }
inline HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
}  // namespace HandleKinds

// Kernel handles: CloseHandle. `NoneValue` is what the creating call returns
// on failure: null for most objects, INVALID_HANDLE_VALUE for files.
template <HANDLE (*NoneValue)()>
struct KernelTraits {
  static HANDLE None() { return NoneValue(); }
  static bool Held(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
  static void Adopted(HANDLE) {}
  static void LetGo(HANDLE) {}
};
using UniqueHandle = UniqueOwner<HANDLE, KernelTraits<HandleKinds::Null>>;  // events, mutexes, mappings, threads, tokens
using UniqueFile = UniqueOwner<HANDLE, KernelTraits<HandleKinds::Invalid>>;  // CreateFile results

// Memory the system allocated with LocalAlloc (security descriptors from
// SDDL strings, FormatMessage buffers): LocalFree.
using UniqueLocal = UniqueOwner<HLOCAL, NullTraits<HLOCAL, HandleKinds::Local>>;
// A mapped view of a file mapping: UnmapViewOfFile.
using UniqueView = UniqueOwner<void*, NullTraits<void*, HandleKinds::View>>;
// A library loaded with LoadLibrary: FreeLibrary.
using UniqueModule = UniqueOwner<HMODULE, NullTraits<HMODULE, HandleKinds::Module>>;
// A registry key that we opened (predefined roots are never wrapped): RegCloseKey.
using UniqueRegKey = UniqueOwner<HKEY, NullTraits<HKEY, HandleKinds::RegKey>>;
// GlobalAlloc memory: GlobalFree, unless the clipboard took it (SetClipboardData
// succeeded: Release it then).
using UniqueGlobal = UniqueOwner<HGLOBAL, NullTraits<HGLOBAL, HandleKinds::Global>>;
// Icons and cursors we made (CreateIconIndirect, LoadImage without
// LR_SHARED); shared ones and the system's are never destroyed.
using UniqueIcon = UniqueOwner<HICON, NullTraits<HICON, HandleKinds::Icon>>;
using UniqueCursor = UniqueOwner<HCURSOR, NullTraits<HCURSOR, HandleKinds::Cursor>>;

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

// GDI objects and memory DCs the owners below hold right now, across the
// process: what a leak check counts.
inline std::atomic<long> g_liveGdiObjects{0};
inline long LiveGdiObjects() { return g_liveGdiObjects.load(); }

// A bitmap, brush, pen, font or region: DeleteObject. `kCounted` is false
// only for what is kept for the life of the process (the skin's decoded
// images), which no capture gives back.
template <class T, bool kCounted = true>
struct GdiTraits {
  static constexpr T None() { return nullptr; }
  static bool Held(T value) { return value != nullptr; }
  static void Close(T value) { ::DeleteObject(value); }
  static void Adopted(T value) {
    if (kCounted && value) ++g_liveGdiObjects;
  }
  static void LetGo(T value) {
    if (kCounted && value) --g_liveGdiObjects;
  }
};

using UniqueBitmap = UniqueOwner<HBITMAP, GdiTraits<HBITMAP>>;
using UniqueBrush = UniqueOwner<HBRUSH, GdiTraits<HBRUSH>>;
using UniquePen = UniqueOwner<HPEN, GdiTraits<HPEN>>;
using UniqueFont = UniqueOwner<HFONT, GdiTraits<HFONT>>;
using UniqueRegion = UniqueOwner<HRGN, GdiTraits<HRGN>>;
// A bitmap the process keeps to its end, outside the leak count.
using CachedBitmap = UniqueOwner<HBITMAP, GdiTraits<HBITMAP, false>>;

// CreateCompatibleDC: DeleteDC.
struct MemoryDCTraits {
  static constexpr HDC None() { return nullptr; }
  static bool Held(HDC dc) { return dc != nullptr; }
  static void Close(HDC dc) { ::DeleteDC(dc); }
  static void Adopted(HDC dc) {
    if (dc) ++g_liveGdiObjects;
  }
  static void LetGo(HDC dc) {
    if (dc) --g_liveGdiObjects;
  }
};
class MemoryDC : public UniqueOwner<HDC, MemoryDCTraits> {
 public:
  MemoryDC() = default;
  // Creates a memory DC compatible with `compatibleWith` (the screen when null).
  explicit MemoryDC(HDC compatibleWith) : UniqueOwner(::CreateCompatibleDC(compatibleWith)) {}
};

// GetDC / GetWindowDC: ReleaseDC with the same window.
class WindowDC {
 public:
  WindowDC() = default;
  explicit WindowDC(HWND hwnd, bool wholeWindow = false)
      : m_hwnd(hwnd), m_dc(wholeWindow ? ::GetWindowDC(hwnd) : ::GetDC(hwnd)) {}
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  WindowDC(WindowDC&& o) noexcept : m_hwnd(o.m_hwnd), m_dc(std::exchange(o.m_dc, nullptr)) {}
  WindowDC& operator=(WindowDC&& o) noexcept {
    if (this != &o) {
      Reset();
      m_hwnd = o.m_hwnd;
      m_dc = std::exchange(o.m_dc, nullptr);
    }
    return *this;
  }
  ~WindowDC() { Reset(); }
  HDC Get() const { return m_dc; }
  explicit operator bool() const { return m_dc != nullptr; }
  void Reset() {
    if (m_dc) ::ReleaseDC(m_hwnd, m_dc);
    m_dc = nullptr;
  }

 private:
  HWND m_hwnd = nullptr;
  HDC m_dc = nullptr;
};

// BeginPaint: EndPaint.
class PaintDC {
 public:
  explicit PaintDC(HWND hwnd) : m_hwnd(hwnd) { m_dc = ::BeginPaint(hwnd, &m_ps); }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  PaintDC(PaintDC&& o) noexcept : m_hwnd(std::exchange(o.m_hwnd, nullptr)), m_ps(o.m_ps), m_dc(o.m_dc) {}
  PaintDC& operator=(PaintDC&& o) noexcept {
    if (this != &o) {
      End();
      m_hwnd = std::exchange(o.m_hwnd, nullptr);
      m_ps = o.m_ps;
      m_dc = o.m_dc;
    }
    return *this;
  }
  ~PaintDC() { End(); }
  HDC Get() const { return m_dc; }
  const RECT& Area() const { return m_ps.rcPaint; }

 private:
  // BeginPaint validated the window even when it gave no DC: the paint
  // always ends.
  void End() {
    if (m_hwnd) ::EndPaint(std::exchange(m_hwnd, nullptr), &m_ps);
  }

  HWND m_hwnd = nullptr;
  PAINTSTRUCT m_ps = {};
  HDC m_dc = nullptr;
};

// Selects an object into a DC and puts the old one back on scope exit. A
// null DC or object selects nothing.
class SelectGuard {
 public:
  explicit SelectGuard(HDC dc, HGDIOBJ object = nullptr)
      : m_dc(dc), m_old(dc && object ? ::SelectObject(dc, object) : nullptr) {}
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;
  SelectGuard(SelectGuard&& o) noexcept : m_dc(o.m_dc), m_old(std::exchange(o.m_old, nullptr)) {}
  SelectGuard& operator=(SelectGuard&& o) noexcept {
    if (this != &o) {
      Restore();
      m_dc = o.m_dc;
      m_old = std::exchange(o.m_old, nullptr);
    }
    return *this;
  }
  ~SelectGuard() { Restore(); }
  // Selects another object; what goes back at the end is still what the DC
  // held before the first one.
  void Select(HGDIOBJ object) {
    if (!m_dc || !object) return;
    const HGDIOBJ old = ::SelectObject(m_dc, object);
    if (!m_old) m_old = old;
  }
  // Puts the old object back now.
  void Restore() {
    if (m_dc && m_old) ::SelectObject(m_dc, m_old);
    m_old = nullptr;
  }

 private:
  HDC m_dc;
  HGDIOBJ m_old;
};

// The header of a 32-bit DIB: pixels 0xAARRGGBB (BI_RGB), rows of width * 4
// bytes, the first row the top one or the bottom one.
enum class DibRows { kTopDown, kBottomUp };
inline BITMAPINFO Dib32Info(int width, int height, DibRows rows) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = rows == DibRows::kTopDown ? -height : height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// A 32-bit top-down DIB section; `bits` receives its pixels. Null on failure.
inline UniqueBitmap CreateDib32(HDC dc, int width, int height, void** bits) {
  const BITMAPINFO info = Dib32Info(width, height, DibRows::kTopDown);
  *bits = nullptr;
  UniqueBitmap bitmap(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0));
  if (bitmap && !*bits) bitmap.Reset();
  return bitmap;
}

// A memory DC with a bitmap selected for its whole life: the pair that holds
// an off-screen image. The bitmap is selected out before either is deleted.
class BitmapDC {
 public:
  BitmapDC() = default;
  BitmapDC(const BitmapDC&) = delete;
  BitmapDC& operator=(const BitmapDC&) = delete;
  BitmapDC(BitmapDC&& o) noexcept
      : m_dc(std::move(o.m_dc)), m_bitmap(std::move(o.m_bitmap)), m_select(std::move(o.m_select)) {}
  BitmapDC& operator=(BitmapDC&& o) noexcept {
    if (this != &o) {
      Reset();
      m_dc = std::move(o.m_dc);
      m_bitmap = std::move(o.m_bitmap);
      m_select = std::move(o.m_select);
    }
    return *this;
  }
  ~BitmapDC() { Reset(); }
  // Takes ownership of both; false (and nothing held) when either is missing.
  bool Attach(MemoryDC&& dc, UniqueBitmap&& bitmap) {
    Reset();
    if (!dc || !bitmap) return false;
    m_dc = std::move(dc);
    m_bitmap = std::move(bitmap);
    m_select = SelectGuard(m_dc.Get(), m_bitmap.Get());
    return true;
  }
  void Reset() {
    m_select.Restore();
    m_bitmap.Reset();
    m_dc.Reset();
  }
  HDC GetDC() const { return m_dc.Get(); }
  HBITMAP GetBitmap() const { return m_bitmap.Get(); }
  explicit operator bool() const { return static_cast<bool>(m_dc); }

 private:
  MemoryDC m_dc;
  UniqueBitmap m_bitmap;
  SelectGuard m_select{nullptr};
};

}  // namespace ScreenCapture
