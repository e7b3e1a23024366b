#pragma once
// A capture window and control with nothing behind them, for benchmarks that
// drive a capture mode without the program's windows.
#include <windows.h>

#include "contracts/ICaptureControl.h"
#include "contracts/ICaptureWindow.h"

namespace ScreenCapture {

class NullControl : public ICaptureControl {
 public:
  void Invalidate() override {}
  HDC GetScreenDC() override { return screenDC; }
  HWND GetHWND() override { return nullptr; }
  ICaptureShade* GetCaptureShade() override { return mode; }
  void ResetCapture() override {}
  DuiLib::TFontInfo* GetFontInfo(int) override { return font; }
  Gdiplus::Pen* GetMosaicImage(int) override { return nullptr; }
  void StartScrollCapture() override {}
  void StartScrollEditor() override {}
  void InvalidateArea(const Rect& area) override { lastArea = area; }
  ICaptureShade* mode = nullptr;
  Rect lastArea;
  HDC screenDC = nullptr;
  DuiLib::TFontInfo* font = nullptr;
};

class NullWindow : public ICaptureWindow {
 public:
  HWND GetHWND() const override { return hwnd; }
  ICaptureControl* GetCaptureControl() override { return &control; }
  ICaptureMenu* GetCaptureMenu() override { return nullptr; }
  void CloseCapture() override {}
  CaptureStartParams* GetStartParams() override { return nullptr; }
  RunnableHelper::CRunnalbeWindow* GetRunnableWindow() override { return nullptr; }
  NullControl control;
  HWND hwnd = nullptr;  // a window of the bench's own, when it needs one
};

}  // namespace ScreenCapture
