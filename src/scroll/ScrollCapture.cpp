// The scroll capture's start and end, its output, and what its threads hand
// to the UI thread (repaints, the new long image).
#include "scroll/ScrollCapture.h"

#include <gdiplus.h>

#include "contracts/ICaptureControl.h"
#include "contracts/ICaptureWindow.h"
#include "capture/OutputActions.h"
#include "common/VirtualScreen.h"
#include <chrono>
#include <cstring>

#include "contracts/ICaptureControl.h"
#include "contracts/ICaptureWindow.h"
#include "common/VirtualScreen.h"
#include "common/BigDataHelper.h"
#include "common/Handles.h"
#include "common/Logger.h"
#include "common/RunnableWindow.h"
#include "common/UserHive.h"
#include "core/ShapeGeometry.h"
#include "core/ScrollPreview.h"
#include "scroll/ScrollTimings.h"
#include "contracts/ICaptureMenu.h"
#include "core/ScrollPreview.h"
#include "scroll/StitchBitmap.h"

namespace ScreenCapture {

ScrollCapture::ScrollCapture(const Rect& selection) {
  m_color = 0xFF000000;
  m_width = 1;
  SetRect(selection);
  m_state = kStateIdle;
  m_captureRect = InsetRect(selection, 1);
  const Rect& screen = GetVirtualScreenRect();
  m_placement = ChoosePreviewPlacement(selection, screen.width, screen.height);
  m_stitch.previewPlacement = m_placement;
  m_maxHeight = static_cast<int>(::GetPrivateProfileIntW(L"config", L"tdr_screecapture_maxscrollheight",
                                                         kDefaultMaxScrollHeight, Logger::kConfigPath));
  LOG_INF(L"scroll capture %d,%d %dx%d, preview at %d, max height %d", m_captureRect.x, m_captureRect.y,
          m_captureRect.width, m_captureRect.height, m_placement, m_maxHeight);
  if (!m_stopEvent || !m_autoWake || !m_workerIdle || !m_backgroundDone) {
    LOG_ERR(L"scroll capture events not made: %lu", ::GetLastError());
  }
  Hook();
  // Where the system sends wheels: 2 means to the window under the cursor.
  DWORD routing = 0;
  if (TDRUtils::ReadUserRegDword(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"MouseWheelRouting", routing)) {
    LOG_INF(L"Get MouseWheelRouting reg success, value = %lu", routing);
    m_wheelToWindowUnderCursor = routing == 2;
  }
  BackgroundStarted();
  m_autoThread = std::thread([this] {
    AutoScroll();
    BackgroundEnded();
  });
  OnMouseWheel(0, 0);
}

ScrollCapture::~ScrollCapture() {
  // The capture window normally stopped everything already, while it still
  // stood; a mode ended on its own (replaced) stops here.
  StopThreads();
  m_mark.End();
}

void ScrollCapture::StopThreads() {
  // Stop first, then join: no thread waits on this one.
  m_alive->store(false);
  m_stopping = true;
  m_autoScroll = false;
  if (m_stopEvent) ::SetEvent(m_stopEvent.Get());
  if (m_threadsStopped) return;
  m_threadsStopped = true;
  const DWORD start = ::GetTickCount();
  // A wheel the automatic scrolling or a make-up thread is injecting right
  // now waits for this thread to run the mouse hook: answer the hook's calls
  // (sent messages) until those threads have ended, so that neither waits on
  // the other.
  for (;;) {
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    {
      const std::lock_guard<std::mutex> lock(m_backgroundLock);
      if (m_background == 0) break;
    }
    const HANDLE done = m_backgroundDone.Get();
    // Without the event (never made), a short wait stands in for it.
    ::MsgWaitForMultipleObjects(done ? 1 : 0, &done, FALSE, done ? INFINITE : ScrollTimings::kPollWithoutEventMs, QS_SENDMESSAGE);
  }
  Unhook();
  if (m_worker.joinable()) m_worker.join();
  if (m_autoThread.joinable()) m_autoThread.join();
  for (std::thread& injector : m_injectorThreads) injector.join();
  m_injectorThreads.clear();
  LOG_INF(L"scroll capture ended: threads joined in %d ms", static_cast<int>(::GetTickCount() - start));
}

void ScrollCapture::BackgroundStarted() {
  const std::lock_guard<std::mutex> lock(m_backgroundLock);
  if (m_background++ == 0 && m_backgroundDone) ::ResetEvent(m_backgroundDone.Get());
}

void ScrollCapture::BackgroundEnded() {
  const std::lock_guard<std::mutex> lock(m_backgroundLock);
  if (--m_background == 0 && m_backgroundDone) ::SetEvent(m_backgroundDone.Get());
}

bool ScrollCapture::Wait(int ms) const {
  if (m_stopping) return false;
  if (!m_stopEvent) {
    ::Sleep(static_cast<DWORD>(ms));
  } else if (::WaitForSingleObject(m_stopEvent.Get(), static_cast<DWORD>(ms)) != WAIT_TIMEOUT) {
    return false;
  }
  return !m_stopping;
}

void ScrollCapture::RepaintSoon() {
  if (m_stopping) return;  // the window may be going: not reached any more
  ICaptureWindow* window = GetCaptureWindow();
  RunnableHelper::CRunnalbeWindow* runner = window ? window->GetRunnableWindow() : nullptr;
  if (!runner) return;
  const auto alive = m_alive;
  runner->PostRunnable([alive] {
    if (!alive->load()) return;
    if (ICaptureWindow* w = GetCaptureWindow()) {
      if (ICaptureControl* control = w->GetCaptureControl()) control->Invalidate();
    }
  });
}

void ScrollCapture::PostPreview() {
  if (m_stopping || m_previewQueued.exchange(true)) return;  // the one on its way shows the newest image
  ICaptureWindow* window = GetCaptureWindow();
  RunnableHelper::CRunnalbeWindow* runner = window ? window->GetRunnableWindow() : nullptr;
  const auto alive = m_alive;
  if (!runner || !runner->PostRunnable([this, alive] {
        if (alive->load()) ShowLongImage();
      })) {
    m_previewQueued = false;
  }
}

void ScrollCapture::ShowLongImage() {
  m_mark.Check("scroll capture (preview)");
  // From here a new join asks for another rebuild.
  m_previewQueued = false;
  {
    const std::lock_guard<std::mutex> lock(m_longLock);
    LOG_DBG(L"long image %dx%d", m_long.width, m_long.height);
    BuildPreview();
  }
  Repaint();
}

std::unique_ptr<Gdiplus::Bitmap> ScrollCapture::ViewOf(const PixelImage& image) {
  // Rows are stored bottom-up: the top row is the last one. The view shares
  // the image's pixels.
  return std::make_unique<Gdiplus::Bitmap>(image.width, image.height, -image.width * 4, PixelFormat32bppRGB,
                                           reinterpret_cast<BYTE*>(const_cast<uint32_t*>(image.Row(image.height - 1))));
}

HBITMAP ScrollCapture::GetCaptureBitmap() {
  const std::lock_guard<std::mutex> lock(m_longLock);
  return CreateBitmapFromPixels(m_long).Release();  // the caller owns it
}

void ScrollCapture::SaveToFile(int* saved) {
  // No hook and no injected wheel while the dialog is open: its clicks and
  // wheels are its own, and nothing under the pointer scrolls by itself.
  Unhook();
  HoldAutoScroll(true);
  CCaptureShade::SaveToFile(saved);
  if (saved && *saved) {
    // The dialog only chose the path: the long image is written here. When
    // it cannot be, the capture stays open so that the image is not lost.
    const std::unique_ptr<Gdiplus::Bitmap> image = RenderResult();
    if (WritePng(image.get(), m_extraOutputPath)) {
      LOG_TRA(L"saved %s", m_extraOutputPath.c_str());
    } else {
      LOG_ERR(L"could not save the long image to %s", m_extraOutputPath.c_str());
      *saved = 0;
    }
  }
  if (!saved || !*saved) {
    Hook();
    HoldAutoScroll(false);  // cancelled, or not written: the scrolling goes on where it was
  }
}

std::unique_ptr<Gdiplus::Bitmap> ScrollCapture::RenderResult() {
  const std::lock_guard<std::mutex> lock(m_longLock);
  if (!m_long.Valid()) return nullptr;
  const PixelImage& image = m_long;
  std::unique_ptr<Gdiplus::Bitmap> copy(ViewOf(image)->Clone(0, 0, image.width, image.height, PixelFormat32bppARGB));
  if (copy && copy->GetLastStatus() != Gdiplus::Ok) copy.reset();
  if (!copy) LOG_ERR(L"long image %dx%d could not be copied for output", image.width, image.height);
  return copy;
}

}  // namespace ScreenCapture
