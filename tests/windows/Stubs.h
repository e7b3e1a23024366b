#pragma once
// Stand-ins for the capture window, its control and the toolbar, for tests
// that drive shapes and capture modes without real windows.
#include <windows.h>

#include <atomic>
#include <memory>

#include "contracts/ICaptureControl.h"
#include "contracts/ICaptureShade.h"
#include "contracts/ICaptureWindow.h"
#include "core/Geometry.h"
#include "contracts/ICaptureMenu.h"
#include "shapes/Commands.h"
#include "shapes/RectShade.h"

namespace stubs {

using namespace ScreenCapture;

// The next nothrow array allocation of exactly this many bytes fails (0:
// none): memory that is not there, for the code that must expect it.
extern std::atomic<size_t> failArrayOf;

class Control : public ICaptureControl {
 public:
  void Invalidate() override { ++repaints; }
  HDC GetScreenDC() override { return screenDC; }
  HWND GetHWND() override { return nullptr; }
  ICaptureShade* GetCaptureShade() override { return mode; }
  void ResetCapture() override { ++resets; }
  DuiLib::TFontInfo* GetFontInfo(int) override { return font; }
  // Mosaic pens come from a real control when a test gives one.
  Gdiplus::Pen* GetMosaicImage(int width) override { return mosaicFrom ? mosaicFrom->GetMosaicImage(width) : nullptr; }
  void StartScrollCapture() override {}
  void StartScrollEditor() override {}
  void InvalidateArea(const Rect& area) override {
    ++areaRepaints;
    repaintedArea = UnionRect(repaintedArea, area);
  }
  ICaptureControl* mosaicFrom = nullptr;
  DuiLib::TFontInfo* font = nullptr;
  int repaints = 0;
  int areaRepaints = 0;
  Rect repaintedArea;  // all that area repaints covered
  int resets = 0;
  ICaptureShade* mode = nullptr;
  HDC screenDC = nullptr;
};

// The toolbar: tool 2 makes red rectangles.
class Menu : public ICaptureMenu {
 public:
  int GetShapeType() override { return tool; }
  void SelectShapeType(int type) override { tool = type; }
  int GetShapeSize() override { return size; }
  void SetShapeSize(const int& level) override { size = level; }
  void ShowMenu(bool show) override { shown = show; }
  std::shared_ptr<IBaseShade> CreateShape() override {
    if (tool != kShapeRectangle) return nullptr;
    auto shape = std::make_shared<CSquareFrameShade>();
    shape->SetColor(kColorRed);
    return shape;
  }
  void SetSelectedShape(std::shared_ptr<IBaseShade> shape) override { selected = shape; }
  void ClearSelectedShape() override { selected.reset(); }
  void UpdateMenuMode() override {}
  CommandOrders& GetCommandOrders() override { return orders; }
  int tool = 0;
  int size = 3;
  bool shown = false;
  std::shared_ptr<IBaseShade> selected;
  CommandOrders orders;
};

class Window : public ICaptureWindow {
 public:
  HWND GetHWND() const override { return nullptr; }
  ICaptureControl* GetCaptureControl() override { return &control; }
  ICaptureMenu* GetCaptureMenu() override { return withMenu ? &menu : nullptr; }
  void CloseCapture() override { ++closes; }
  CaptureStartParams* GetStartParams() override { return &params; }
  RunnableHelper::CRunnalbeWindow* GetRunnableWindow() override { return nullptr; }
  Control control;
  Menu menu;
  bool withMenu = true;
  CaptureStartParams params;
  int closes = 0;
};

}  // namespace stubs
