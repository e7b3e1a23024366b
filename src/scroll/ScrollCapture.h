#pragma once
// The scroll (long) capture mode: the window under the selection is scrolled
// by hand or automatically, every wheel step's frames are grabbed from the
// live screen and stitched onto the long image, which is previewed beside
// the selection with short status tips.
//
// The class is spread over one file per concern:
//   ScrollCapture.cpp        start, stop, output, hand-over to the UI thread
//   ScrollCaptureHook.cpp    the low-level mouse hook and what it forwards
//   ScrollCaptureWorker.cpp  the wheel step's grab-and-stitch loop and the
//                            automatic scrolling
//   ScrollCaptureTips.cpp    the status tip: state, flash and pause timing
//   ScrollCapturePaint.cpp   the tip and the preview on the screen
// Every wait and limit is in ScrollTimings.h.
//
// Threads: the UI thread (hook, painting, the long image it shows), one
// worker per wheel step (joined before the next starts), the automatic
// scrolling thread and short threads that inject one make-up notch. The
// worker owns the stitching state and hands each new long image to the UI
// thread by a posted closure; no thread here touches a window or waits on
// the UI thread, so the UI thread may join them. The long image grows in
// place; the UI thread reads it under a lock the worker holds only while it
// copies rows. The mode stops and joins every thread before it is destroyed.
#include <windows.h>

#include <atomic>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "capture/CaptureShade.h"
#include "common/Handles.h"
#include "common/LifetimeMark.h"
#include "core/FrameStitcher.h"
#include "core/ScrollSteps.h"

namespace ScreenCapture {

class ScrollCapture : public CCaptureShade {
 public:
  static constexpr ULONG_PTR kInjectedMark = 1999;

  explicit ScrollCapture(const Rect& selection);
  ~ScrollCapture() override;

  // ICaptureShade
  int GetCaptureType() const override { return kCaptureScroll; }
  HBITMAP GetCaptureBitmap() override;
  void SaveToFile(int* saved) override;
  // Stops the automatic scrolling, removes the hook and joins every thread
  // (UI thread). Called when the capture ends and again by the destructor.
  void StopThreads() override;

  // The mode's steps.
  void OnRButtonUp(Point&, bool&) override {}
  // The selection cannot be moved or resized while it is being scrolled.
  void OnLButtonDown(Point&, bool& handled) override { handled = true; }
  void OnMouseMove(Point&, bool& handled) override { handled = true; }
  void OnLButtonUp(Point&, bool&) override {}
  bool ShouldShowHandles() const override { return false; }
  void DrawSelection(Gdiplus::Graphics* graphics, int outputFlag) override;
  void DrawOverlayBefore(Gdiplus::Graphics* graphics) override;
  std::unique_ptr<Gdiplus::Bitmap> RenderResult() override;

  // Called by the process's low-level mouse hook for every event (code 0):
  // true when the event is to be swallowed.
  bool OnHookEvent(WPARAM message, const MSLLHOOKSTRUCT& info);
  // Called by the capture window for a wheel that reached it inside the
  // selection: handed on to the window under the pointer
  // (WineQuirks::ForwardWheel).
  void ForwardWheel(WPARAM wParam, LPARAM lParam);
  bool HandleWindowWheel(WPARAM wParam, LPARAM lParam) override {
    ForwardWheel(wParam, lParam);
    return true;
  }
  // Starts the worker for one wheel step (0: the first frame).
  // `overOwnWindow`: the wheel was over one of the program's own windows
  // (looked up here, on the UI thread: the worker touches no window).
  void OnMouseWheel(int wheel, ULONG_PTR wheelInfo, bool overOwnWindow = false);

  std::string GetTip() const;
  int GetLongHeight() const { return m_rect.height; }

 private:
  // How one wheel step ended: the worker returns it, and one place turns it
  // into what the other threads see.
  enum class StepEnd {
    kStopped,      // the mode is ending: nothing more is done
    kStarted,      // the first frame began the long image
    kNoFirstFrame, // the first frame could not be grabbed: tried again at the next wheel
    kOwnWindow,    // the wheel was over one of the program's own windows: the step rule is decided again
    kAtLimit,      // the long image was at its maximum height already
    kReachedLimit, // this step took the long image past its maximum height
    kReachedEnd,   // the page's end or top: the scrolling is finished
    kFailed,       // no usable frame or match: the scrolling is finished
    kJoined,       // new rows were joined; the scrolling goes on
    kUnjoined,     // nothing was joined, the scrolling goes on ("..." tips, inside)
  };
  // How the grab-and-stitch loop of one step ended.
  enum class LoopEnd {
    kStopped,    // the mode is ending
    kSettled,    // the page came to rest: a frame did not join after kStepSettleMs
    kTimeLimit,  // the page was still moving after kStepLimitMs
  };

  // --- worker (ScrollCaptureWorker.cpp) ---
  // `previewMoved`: the inside preview changed sides for this step.
  void Worker(int wheel, ULONG_PTR wheelInfo, bool previewMoved, bool overOwnWindow);
  // The step itself; `tips` get the tips to show once its end is published.
  StepEnd RunStep(int wheel, ULONG_PTR wheelInfo, bool previewMoved, bool overOwnWindow, std::vector<TipShown>& tips);
  // Grabs and stitches until the page rests; `last` and `aggregate` get the
  // results, `hintDue` whether the stitching asked for the edit hint.
  LoopEnd GrabAndStitch(int wheel, bool settleFirst, int& last, int& aggregate, bool& hintDue);
  // A frame once a second grab a moment later agrees; false when no grab
  // worked, `stopped` when the mode is ending.
  bool GrabSettledFrame(PixelImage& frame, bool& stopped) const;
  bool GrabFrame(PixelImage& frame) const;
  // The step's result for the other threads: stops the automatic scrolling,
  // marks the maximum height, asks for the step rule again.
  void Publish(StepEnd end);
  void AutoScroll();
  void StopAutoScroll();
  void StartAutoScroll();
  // Holds the automatic scrolling where it is (no notch is injected) while
  // the save dialog is open, and lets it go on afterwards.
  void HoldAutoScroll(bool hold);
  // The worker's end, for the automatic scrolling thread to wait on.
  void WaitWorkerIdle();

  // --- tips (ScrollCaptureTips.cpp) ---
  // Shows or takes away the pause tip when the automatic scrolling stops or
  // resumes, unless a tip that ends the capture's scrolling is up. `wait`:
  // keep the tip up kPauseTipMs before going on (never on the UI thread).
  void PauseAutoScroll(bool pause, bool wait);
  // Before each injected notch: a tip not in `keep` is taken away for
  // kTipAwayMs and then put back, unless another tip came meanwhile.
  void PreClearRollTips(std::initializer_list<const char*> keep);
  // Takes the tip away for kTipAwayMs and puts it back.
  void FlashTip();
  void SetTip(const std::string& tip);

  // --- hook (ScrollCaptureHook.cpp) ---
  // The window under `at` as the system would deliver the wheel to it: the
  // capture window itself is looked through (WineQuirks::WindowBelow).
  static HWND WindowUnder(const POINT& at);
  static bool OwnWindowAt(const POINT& at);
  // Brings the window under the cursor forward so that the wheel reaches it
  // (when the system sends wheels to the focus window, not the one under the cursor).
  static void ForceForegroundWindow(HWND window);
  bool StepProcessed(const POINT& at);
  // One more notch for a notch the step check skipped, kMakeUpNotchMs later.
  void InjectLater();
  void Unhook();
  void Hook();

  // --- the rest (ScrollCapture.cpp, ScrollCapturePaint.cpp) ---
  void RepaintSoon();
  // Waits `ms`, but returns early (false) once the mode is stopping.
  bool Wait(int ms) const;
  // Counts the automatic scrolling and make-up threads, which inject wheels
  // that this (the hook's) thread must answer while it stops them.
  void BackgroundStarted();
  void BackgroundEnded();
  // A GDI+ bitmap over the image's own pixels (it must outlive the view).
  static std::unique_ptr<Gdiplus::Bitmap> ViewOf(const PixelImage& image);
  // Runs on the UI thread once the worker has joined a new long image.
  void ShowLongImage();
  // Scales the newest long image into the preview (UI thread, under
  // m_longLock). Joins that come faster than the UI thread shows them share
  // one rebuild: only the newest image is shown.
  void BuildPreview();
  // Worker: asks the UI thread for a new preview unless one is on its way.
  void PostPreview();
  void DrawTip(Gdiplus::Graphics* graphics, const std::string& tip);

  Rect m_captureRect;  // the selection less its 1-pixel frame
  // The long image: only the worker writes it, under m_longLock, growing it
  // in place; the UI thread reads it (preview, output) under the lock.
  PixelImage m_long;
  mutable std::mutex m_longLock;
  StitchState m_stitch;                       // worker
  ScrollStepEvaluator m_evaluator;            // worker
  int m_maxHeight = 0;

  mutable std::mutex m_tipLock;
  std::string m_tip;

  // Set once when the mode stops; every wait of every thread here ends on it.
  UniqueHandle m_stopEvent{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  std::atomic<bool> m_stopping{false};
  std::atomic<bool> m_autoScroll{false};
  // Wakes the automatic scrolling thread when the scrolling starts.
  UniqueHandle m_autoWake{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};
  std::atomic<bool> m_workerBusy{false};
  // Set while no worker runs (the counterpart of m_workerBusy to wait on).
  UniqueHandle m_workerIdle{::CreateEventW(nullptr, TRUE, TRUE, nullptr)};
  std::atomic<bool> m_maxHeightReached{false};
  std::atomic<bool> m_scrolledByUser{false};
  std::atomic<bool> m_lastWheelUp{false};
  std::atomic<bool> m_stoppedByLeaving{false};  // a wheel outside the area stopped the automatic scrolling
  std::atomic<bool> m_pauseShown{false};
  std::atomic<bool> m_startTipTaken{false};  // the click took the start tip before any step
  // The inside preview's width with its frame, for the stitching to leave
  // out (UI thread writes, worker reads).
  std::atomic<int> m_previewPanelWidth{0};
  std::atomic<bool> m_held{false};            // the save dialog is open: nothing is injected
  std::atomic<bool> m_previewQueued{false};   // a preview rebuild is on its way to the UI thread
  bool m_threadsStopped = false;              // UI thread
  POINT m_cursor = {};  // where the latest wheel was (for the worker)
  // Automatic scrolling and make-up threads still running; the event is set
  // when there are none.
  std::mutex m_backgroundLock;
  int m_background = 0;
  UniqueHandle m_backgroundDone{::CreateEventW(nullptr, TRUE, TRUE, nullptr)};
  std::atomic<int> m_injectors{0};       // make-up threads still running
  std::vector<std::thread> m_injectorThreads;
  bool m_wheelToWindowUnderCursor = true;
  std::thread m_worker;
  std::thread m_autoThread;
  POINT m_clickPoint = {};
  DWORD m_lastRelease = 0;
  std::atomic<int> m_scrollStep{0};  // 0: decided again at the next notch (the worker may ask for it)
  int m_scrollCount = 0;
  std::atomic<bool> m_configuredStep{false};
  // Worker: the count of joined notches (+1 up, -1 down) and its range.
  int m_wheelOffset = 0, m_wheelOffsetMin = 0, m_wheelOffsetMax = 0;
  int m_placement = 0;
  std::unique_ptr<Gdiplus::Bitmap> m_preview;  // UI thread
  Rect m_previewRect;
  // Set false when the mode goes: closures still queued for it do nothing.
  std::shared_ptr<std::atomic<bool>> m_alive = std::make_shared<std::atomic<bool>>(true);
  CommonDef::LifetimeMark m_mark;
};

}  // namespace ScreenCapture
