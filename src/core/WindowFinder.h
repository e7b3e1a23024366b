#pragma once
// The windows that the capture offers before the user drags a region: an
// ordered list of candidate rectangles, innermost child windows first and
// windows higher in the z-order before lower ones. Built once per capture
// mode from a snapshot of the desktop; the first rectangle that holds a
// point is the one offered.
#include <cstdint>
#include <functional>
#include <list>
#include <set>
#include <string>

#include "core/Geometry.h"

namespace ScreenCapture {

using WindowId = uintptr_t;

// What the finder asks of the windowing system. Every query may fail (the
// window may have gone since it was listed): failures drop the window.
class IWindowSource {
 public:
  virtual ~IWindowSource() = default;
  // Top-level windows in z-order, topmost first.
  virtual void EnumTopLevel(const std::function<void(WindowId)>& visit) = 0;
  // Every descendant of a window (the platform's child enumeration).
  virtual void EnumChildren(WindowId parent, const std::function<void(WindowId)>& visit) = 0;
  virtual bool IsVisible(WindowId window) = 0;
  // True only when the desktop window manager says the window is cloaked.
  virtual bool IsCloaked(WindowId window) = 0;
  // False when the class name cannot be read.
  virtual bool GetClassName(WindowId window, std::wstring& name) = 0;
  // Extended frame bounds (the visible frame); false when unavailable.
  virtual bool GetFrameBounds(WindowId window, Rect& bounds) = 0;
  virtual bool GetWindowRect(WindowId window, Rect& rect) = 0;
  // The client area in screen coordinates.
  virtual bool GetClientRect(WindowId window, Rect& rect) = 0;
  // Border widths of a maximised window on systems older than Windows 10;
  // false when the rule does not apply (or the window is not maximised).
  virtual bool GetMaximisedBorders(WindowId window, int& horizontal, int& vertical) = 0;
};

struct WindowCandidate {
  WindowId window = 0;
  Rect rect;              // screen coordinates
  bool wholeTopLevel = false;
};

class WindowFinder {
 public:
  // `own` is never offered; `ignoredClasses` is searched for each top-level
  // window's class name as a plain substring.
  WindowFinder(WindowId own, std::wstring ignoredClasses) : m_own(own), m_ignored(std::move(ignoredClasses)) {}

  void Build(IWindowSource& source);
  // The first candidate holding the point (half-open); false when none.
  bool Find(Point screenPoint, Rect& rect) const;

  const std::list<WindowCandidate>& Candidates() const { return m_candidates; }

  // Drops client-area and child entries that lie wholly inside an entry kept
  // before them; whole top-level windows always stay.
  static std::list<WindowCandidate> Filter(const std::list<WindowCandidate>& candidates);

 private:
  void TopLevel(IWindowSource& source, WindowId window);
  void Child(IWindowSource& source, WindowId window);

  WindowId m_own;
  std::wstring m_ignored;
  std::set<WindowId> m_visited;
  std::list<WindowCandidate> m_candidates;
};

}  // namespace ScreenCapture
