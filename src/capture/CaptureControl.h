#pragma once
// The two custom elements of the capture window's skin: the background that
// shows the dimmed frozen screen, and the control that owns the current
// capture mode, hands it every event and lets it paint.
#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "contracts/ICaptureControl.h"
#include "contracts/ICaptureShade.h"
#include "capture/CaptureModes.h"
#include "common/Handles.h"
#include "common/LifetimeMark.h"
#include "ui/Control.h"

namespace ScreenCapture {

// Gives `graphics` the clip box of `dc` (the area being painted) as its own
// clip, so that shapes asking for their visible bounds get that area and
// draw no more of a long stroke than shows.
void ClipToPaintArea(HDC dc, Gdiplus::Graphics& graphics);

class CCaptureControl : public DuiLib::CContainerUI, public ICaptureControl {
 public:
  // `screenDC` is the frozen screen image; the control does not own it.
  // `modes` makes every mode the control holds; it outlives the control.
  explicit CCaptureControl(HDC screenDC, ICaptureModes& modes = ProgramCaptureModes());
  ~CCaptureControl() override;

  const wchar_t* GetClass() const override { return L"CaptureControl"; }

  // Called by the toolkit for every event aimed at the control (and by the
  // capture window for the right and middle buttons): handed unchanged to
  // the current mode.
  void DoEvent(DuiLib::TEventUI& event) override;
  // Called by the toolkit before the children are painted: the mode draws
  // with GDI+ on the paint DC.
  void PaintBkColor(HDC hDC) override;
  void PaintBkImage(HDC) override {}
  void PaintStatusImage(HDC) override {}
  void PaintText(HDC) override {}

  // ICaptureControl
  void Invalidate() override {
    m_mark.Check("capture control");
    CControlUI::Invalidate();
  }
  HDC GetScreenDC() override { return m_screenDC; }
  HWND GetHWND() override;
  ICaptureShade* GetCaptureShade() override {
    m_mark.Check("capture control");
    return m_mode.get();
  }
  void ResetCapture() override;
  DuiLib::TFontInfo* GetFontInfo(int id) override;
  Gdiplus::Pen* GetMosaicImage(int penWidth) override;
  void StartScrollCapture() override;
  void StartScrollEditor() override;
  void InvalidateArea(const Rect& area) override;

  // Makes `mode` the current one: stored first, then the old one destroyed,
  // at once or, when it is handling an event, once that event is done.
  void ReplaceMode(std::unique_ptr<ICaptureShade> mode);
  // Called by the capture window when the capture ends: the current mode
  // (and any replaced one not yet destroyed) stops its threads and hook.
  void StopMode();

 private:
  void SetLayered(bool layered);

  HDC m_screenDC = nullptr;
  ICaptureModes& m_modes;
  std::unique_ptr<ICaptureShade> m_mode;
  // Modes replaced during an event they handle, and how deep that dispatch is.
  std::vector<std::unique_ptr<ICaptureShade>> m_retiredModes;
  int m_dispatchDepth = 0;
  std::unique_ptr<Gdiplus::Bitmap> m_mosaicImage;  // the pixelated picture, made by the first mosaic stroke
  // Set when that picture could not be made: not tried again at every paint,
  // only once the cache is dropped.
  bool m_mosaicFailed = false;
  std::map<int, std::shared_ptr<Gdiplus::Pen>> m_mosaicPens;
  // Drops the picture, its pens and the memory of a failure.
  void DropMosaicCache();
  CommonDef::LifetimeMark m_mark;
};

class CCaptureBkContain : public DuiLib::CContainerUI {
 public:
  static constexpr uint32_t kDimColor = 0x7F000000;  // black at alpha 127

  CCaptureBkContain(HDC dimmedDC, uint32_t dimColor = kDimColor);
  const wchar_t* GetClass() const override { return L"CaptureContain"; }

  // Called by the toolkit before the children are painted: the dimmed
  // screen, or in scroll capture the dim colour around a transparent hole.
  void PaintBkColor(HDC hDC) override;
  void PaintBkImage(HDC) override {}
  void PaintStatusImage(HDC) override {}
  void PaintText(HDC) override {}

 private:
  HDC m_dimmedDC = nullptr;
  uint32_t m_dimColor = kDimColor;
};

}  // namespace ScreenCapture
