#include "core/WindowFinder.h"

namespace ScreenCapture {

namespace {
bool HasArea(const Rect& r) { return r.width > 0 && r.height > 0; }

bool Encloses(const Rect& outer, const Rect& inner) {
  return outer.x <= inner.x && inner.Right() <= outer.Right() && outer.y <= inner.y && inner.Bottom() <= outer.Bottom();
}
}  // namespace

void WindowFinder::Build(IWindowSource& source) {
  m_candidates.clear();
  m_visited.clear();
  source.EnumTopLevel([&](WindowId window) { TopLevel(source, window); });
  m_candidates = Filter(m_candidates);
}

void WindowFinder::TopLevel(IWindowSource& source, WindowId window) {
  if (window == m_own || !source.IsVisible(window) || source.IsCloaked(window)) return;
  std::wstring className;
  if (!source.GetClassName(window, className)) className.clear();
  // A plain substring search: partial names, and the empty name, match too.
  if (m_ignored.find(className) != std::wstring::npos) return;

  Rect rect;
  Rect bounds;
  if (source.GetFrameBounds(window, bounds) && bounds.Right() > bounds.x && bounds.Bottom() > bounds.y) {
    rect = bounds;
  } else if (!source.GetWindowRect(window, rect)) {
    return;
  }
  int horizontal = 0, vertical = 0;
  if (source.GetMaximisedBorders(window, horizontal, vertical)) {
    rect = Rect{rect.x + horizontal, rect.y + vertical, rect.width - 2 * horizontal, rect.height - 2 * vertical};
  }
  if (!HasArea(rect)) return;

  if (m_visited.insert(window).second) {
    source.EnumChildren(window, [&](WindowId child) { Child(source, child); });
  }
  Rect client;
  if (source.GetClientRect(window, client) && HasArea(client) && client != rect) {
    m_candidates.push_back(WindowCandidate{window, client, false});
  }
  m_candidates.push_back(WindowCandidate{window, rect, true});
}

void WindowFinder::Child(IWindowSource& source, WindowId window) {
  if (window == m_own || !source.IsVisible(window)) return;
  Rect rect;
  if (!source.GetWindowRect(window, rect) || !HasArea(rect)) return;
  // Deeper windows go before their parents.
  if (m_visited.insert(window).second) {
    source.EnumChildren(window, [&](WindowId child) { Child(source, child); });
  }
  m_candidates.push_back(WindowCandidate{window, rect, false});
}

std::list<WindowCandidate> WindowFinder::Filter(const std::list<WindowCandidate>& candidates) {
  std::list<WindowCandidate> kept;
  for (const WindowCandidate& candidate : candidates) {
    bool covered = false;
    if (!candidate.wholeTopLevel) {
      for (const WindowCandidate& k : kept) {
        if (Encloses(k.rect, candidate.rect)) {
          covered = true;
          break;
        }
      }
    }
    if (!covered) kept.push_back(candidate);
  }
  return kept;
}

bool WindowFinder::Find(Point screenPoint, Rect& rect) const {
  for (const WindowCandidate& candidate : m_candidates) {
    if (candidate.rect.Contains(screenPoint)) {
      rect = candidate.rect;
      return true;
    }
  }
  return false;
}

}  // namespace ScreenCapture
