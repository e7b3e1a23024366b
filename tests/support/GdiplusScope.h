#pragma once
// GDI+ started for a test suite's lifetime.
#include <windows.h>
#include <gdiplus.h>

namespace testfiles {

class GdiplusScope {
 public:
  GdiplusScope() {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
  }
  ~GdiplusScope() { Gdiplus::GdiplusShutdown(m_token); }
  GdiplusScope(const GdiplusScope&) = delete;
  GdiplusScope& operator=(const GdiplusScope&) = delete;

 private:
  ULONG_PTR m_token = 0;
};

}  // namespace testfiles
