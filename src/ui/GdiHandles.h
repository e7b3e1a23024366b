#pragma once
// Owners for GDI handles, each with the release its kind needs: a memory DC
// is deleted, a window DC released, a paint DC ended; objects selected into a
// DC go back out before the DC or the object dies.
#include <windows.h>

#include <utility>

namespace DuiLib {

// A bitmap, brush, pen, font or region: DeleteObject.
template <class T>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(T handle) : m_handle(handle) {}
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  GdiObject(GdiObject&& o) noexcept : m_handle(std::exchange(o.m_handle, nullptr)) {}
  GdiObject& operator=(GdiObject&& o) noexcept {
    if (this != &o) Reset(std::exchange(o.m_handle, nullptr));
    return *this;
  }
  ~GdiObject() { Reset(); }
  T Get() const { return m_handle; }
  explicit operator bool() const { return m_handle != nullptr; }
  T Release() { return std::exchange(m_handle, nullptr); }
  void Reset(T handle = nullptr) {
    if (m_handle) ::DeleteObject(m_handle);
    m_handle = handle;
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
  explicit MemoryDC(HDC compatibleWith) : m_dc(::CreateCompatibleDC(compatibleWith)) {}
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
    if (m_dc) ::DeleteDC(m_dc);
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
