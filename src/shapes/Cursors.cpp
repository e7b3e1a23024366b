#include "shapes/Cursors.h"

#include <array>

namespace ScreenCapture {

HCURSOR GetShapeCursor(int kind) {
  static const std::array<HCURSOR, 6> table = [] {
    const LPCWSTR ids[] = {IDC_ARROW, IDC_SIZENWSE, IDC_SIZEWE, IDC_SIZENS, IDC_SIZENESW, IDC_SIZEALL};
    std::array<HCURSOR, 6> loaded{};
    for (size_t i = 0; i < loaded.size(); ++i) loaded[i] = ::LoadCursorW(nullptr, ids[i]);
    return loaded;
  }();
  return kind >= 0 && kind < static_cast<int>(table.size()) ? table[static_cast<size_t>(kind)] : nullptr;
}

void SetShapeCursor(int kind) {
  if (const HCURSOR cursor = GetShapeCursor(kind)) ChooseCursor(cursor);
}

namespace {
HCURSOR g_chosen = nullptr;  // UI thread only
}  // namespace

void ChooseCursor(HCURSOR cursor) {
  g_chosen = cursor;
  ::SetCursor(cursor);
}

HCURSOR ChosenCursor() { return g_chosen; }

void ForgetChosenCursor() { g_chosen = nullptr; }

HCURSOR GetWindowCursor(HWND hwnd) {
  const HCURSOR cursor = hwnd ? reinterpret_cast<HCURSOR>(::GetClassLongPtrW(hwnd, GCLP_HCURSOR)) : nullptr;
  return cursor ? cursor : GetShapeCursor(kCursorArrow);
}

void SetWindowCursor(HWND hwnd, HCURSOR cursor) {
  g_chosen = nullptr;
  if (hwnd && cursor) ::SetClassLongPtrW(hwnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
  if (cursor) ::SetCursor(cursor);
}

}  // namespace ScreenCapture
