#pragma once
// A synthetic desktop for the window finder: windows with parents,
// rectangles, class names and flags, top-level ones in z-order.
#include <map>
#include <string>
#include <vector>

#include "core/WindowFinder.h"

namespace fakewin {

struct Window {
  ScreenCapture::WindowId parent = 0;
  std::wstring className = L"App";
  ScreenCapture::Rect rect;
  ScreenCapture::Rect client;  // empty: same as rect
  bool visible = true;
  bool cloaked = false;
  bool hasFrameBounds = false;
  ScreenCapture::Rect frameBounds;
  int maximisedBorder = 0;  // non-zero: maximised on an old system
  bool gone = false;        // closed since it was listed
};

class Desktop : public ScreenCapture::IWindowSource {
 public:
  ScreenCapture::WindowId Add(const Window& window) {
    const ScreenCapture::WindowId id = next++;
    windows[id] = window;
    if (window.parent == 0) zOrder.push_back(id);
    else children[window.parent].push_back(id);
    return id;
  }
  void EnumTopLevel(const std::function<void(ScreenCapture::WindowId)>& visit) override {
    for (auto id : zOrder) visit(id);
  }
  // Every descendant, depth first, as the platform's child enumeration does.
  void EnumChildren(ScreenCapture::WindowId parent, const std::function<void(ScreenCapture::WindowId)>& visit) override {
    const auto it = children.find(parent);
    if (it == children.end()) return;
    for (auto child : it->second) {
      visit(child);
      EnumChildren(child, visit);
    }
  }
  bool IsVisible(ScreenCapture::WindowId id) override { return Get(id) && Get(id)->visible; }
  bool IsCloaked(ScreenCapture::WindowId id) override { return Get(id) && Get(id)->cloaked; }
  bool GetClassName(ScreenCapture::WindowId id, std::wstring& name) override {
    if (!Get(id)) return false;
    name = Get(id)->className;
    return true;
  }
  bool GetFrameBounds(ScreenCapture::WindowId id, ScreenCapture::Rect& bounds) override {
    if (!Get(id) || !Get(id)->hasFrameBounds) return false;
    bounds = Get(id)->frameBounds;
    return true;
  }
  bool GetWindowRect(ScreenCapture::WindowId id, ScreenCapture::Rect& rect) override {
    if (!Get(id)) return false;
    rect = Get(id)->rect;
    return true;
  }
  bool GetClientRect(ScreenCapture::WindowId id, ScreenCapture::Rect& rect) override {
    if (!Get(id)) return false;
    rect = Get(id)->client.IsEmpty() ? Get(id)->rect : Get(id)->client;
    return true;
  }
  bool GetMaximisedBorders(ScreenCapture::WindowId id, int& h, int& v) override {
    if (!Get(id) || Get(id)->maximisedBorder == 0) return false;
    h = v = Get(id)->maximisedBorder;
    return true;
  }

  std::map<ScreenCapture::WindowId, Window> windows;
  std::vector<ScreenCapture::WindowId> zOrder;
  std::map<ScreenCapture::WindowId, std::vector<ScreenCapture::WindowId>> children;
  ScreenCapture::WindowId next = 100;

 private:
  Window* Get(ScreenCapture::WindowId id) {
    auto it = windows.find(id);
    return it == windows.end() || it->second.gone ? nullptr : &it->second;
  }
};

}  // namespace fakewin
