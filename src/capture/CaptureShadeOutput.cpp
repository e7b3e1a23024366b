// The normal capture mode: the result image and where it goes (a file the
// user picks, the cache folder with the clipboard and the pin program, the
// OCR program).
#include "capture/CaptureShade.h"

#include <commdlg.h>
#include <gdiplus.h>

#include <algorithm>
#include <memory>
#include <string>

#include "contracts/ICaptureControl.h"
#include "contracts/ICaptureWindow.h"
#include "capture/OutputActions.h"
#include "common/VirtualScreen.h"
#include "common/FileUtils.h"
#include "common/Handles.h"
#include "common/Logger.h"
#include "common/SystemFunctions.h"
#include "core/LogPath.h"
#include "core/OutputNames.h"

namespace ScreenCapture {

namespace {

// The straight ARGB pixel that, drawn over white and over black, gives
// `overWhite` and `overBlack`: what lies past the screen is transparent
// except where annotations cover it.
uint32_t Unblend(uint32_t overWhite, uint32_t overBlack) {
  int difference = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    difference += static_cast<int>((overWhite >> shift) & 0xFF) - static_cast<int>((overBlack >> shift) & 0xFF);
  }
  const int alpha = 255 - std::clamp((difference + 1) / 3, 0, 255);
  if (alpha == 0) return 0x00FFFFFF;
  uint32_t pixel = static_cast<uint32_t>(alpha) << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    const int channel = static_cast<int>((overBlack >> shift) & 0xFF);
    pixel |= static_cast<uint32_t>(std::min(255, (channel * 255 + alpha / 2) / alpha)) << shift;
  }
  return pixel;
}

const uint32_t* DibPixels(HBITMAP bitmap) {
  DIBSECTION dib = {};
  if (!bitmap || ::GetObjectW(bitmap, sizeof(dib), &dib) != sizeof(dib)) return nullptr;
  return static_cast<const uint32_t*>(dib.dsBm.bmBits);
}

}  // namespace

std::unique_ptr<Gdiplus::Bitmap> CCaptureShade::RenderResult() {
  const Rect onScreen = m_rect.Intersect(CaptureBounds());
  // Only the region is rendered: a small region of a 4K screen costs a small
  // bitmap, not two screen-sized ones.
  const UniqueBitmap region = RenderArea(m_rect, 0x00FFFFFF);
  if (!region) return nullptr;
  Gdiplus::Bitmap source(region.Get(), nullptr);
  if (source.GetLastStatus() != Gdiplus::Ok) {
    LOG_ERR(L"result %dx%d could not be read", m_rect.width, m_rect.height);
    return nullptr;
  }
  // GDI+ allocates through its own operator new: null when memory runs out.
  std::unique_ptr<Gdiplus::Bitmap> result(new Gdiplus::Bitmap(m_rect.width, m_rect.height, PixelFormat32bppARGB));
  if (!result || result->GetLastStatus() != Gdiplus::Ok) {
    LOG_ERR(L"result bitmap %dx%d could not be made", m_rect.width, m_rect.height);
    return nullptr;
  }
  result->SetResolution(source.GetHorizontalResolution(), source.GetVerticalResolution());
  if (onScreen == m_rect) {
    Gdiplus::Graphics graphics(result.get());
    graphics.Clear(Gdiplus::Color(0x00FFFFFF));
    graphics.DrawImage(&source, 0, 0, m_rect.width, m_rect.height);
    if (result->GetLastStatus() != Gdiplus::Ok) result.reset();
    return result;
  }
  // A region past the screen's edge (a window that lies partly off it): the
  // part without a picture stays transparent white, the annotations over it
  // keep their colours and edges. Rendered over white and over black, each
  // pixel's coverage is the difference of the two.
  const UniqueBitmap overBlack = RenderArea(m_rect, 0);
  const uint32_t* white = DibPixels(region.Get());
  const uint32_t* black = DibPixels(overBlack.Get());
  Gdiplus::BitmapData data = {};
  const Gdiplus::Rect all(0, 0, m_rect.width, m_rect.height);
  if (!white || !black ||
      result->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data) != Gdiplus::Ok) {
    LOG_ERR(L"result %dx%d past the screen could not be made", m_rect.width, m_rect.height);
    return nullptr;
  }
  const Rect picture = onScreen.Offset(-m_rect.x, -m_rect.y);
  for (int y = 0; y < m_rect.height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(static_cast<BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride);
    const size_t from = static_cast<size_t>(y) * static_cast<size_t>(m_rect.width);
    for (int x = 0; x < m_rect.width; ++x) {
      const bool inPicture = x >= picture.x && x < picture.Right() && y >= picture.y && y < picture.Bottom();
      row[x] = inPicture ? 0xFF000000u | white[from + x] : Unblend(white[from + x], black[from + x]);
    }
  }
  result->UnlockBits(&data);
  return result;
}

void CCaptureShade::SaveToFile(int* saved) {
  if (saved) *saved = 0;
  wchar_t file[MAX_PATH] = {};
  wchar_t title[MAX_PATH] = {};
  const std::wstring name = ImageFileName(CurrentTimeStamp());
  wcsncpy(file, name.c_str(), MAX_PATH - 1);
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof(dialog);
  ICaptureWindow* window = Window();
  dialog.hwndOwner = window ? window->GetHWND() : nullptr;
  dialog.lpstrFilter = L"PNG (*.png)\0*.png\0\0";
  dialog.lpstrFile = file;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrFileTitle = title;
  dialog.nMaxFileTitle = MAX_PATH;
  dialog.lpstrDefExt = L"png";
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_HIDEREADONLY;
  m_extraOutputPath.clear();
  // The dialog library is loaded when it is first needed, not at start-up.
  using SaveDialogFn = BOOL(WINAPI*)(OPENFILENAMEW*);
  static const SaveDialogFn showDialog = LoadSystemFunction<SaveDialogFn>(L"comdlg32.dll", "GetSaveFileNameW");
  if (!showDialog || !showDialog(&dialog)) return;  // cancelled: the capture stays open
  m_extraOutputPath = file;
  if (GetCaptureType() == kCaptureScroll) {
    if (saved) *saved = 1;
    return;
  }
  // Only a written file counts as saved: otherwise the capture stays open
  // and the user can try another place instead of losing the image.
  const std::unique_ptr<Gdiplus::Bitmap> result = RenderResult();
  if (WritePng(result.get(), m_extraOutputPath)) {
    LOG_TRA(L"saved %s", m_extraOutputPath.c_str());
    if (saved) *saved = 1;
  } else {
    LOG_ERR(L"could not save %s", m_extraOutputPath.c_str());
  }
}

namespace {

// The start parameters when their cache folder exists, else null.
const CaptureStartParams* UsableCache(ICaptureWindow* window) {
  const CaptureStartParams* params = window ? window->GetStartParams() : nullptr;
  return params && !params->cachePath.empty() && FileUtils::DirectoryExists(params->cachePath) ? params : nullptr;
}

// Writes the result into the cache folder under a name of this moment; the
// path, or empty when the file could not be written.
std::wstring WriteToCache(Gdiplus::Bitmap* result, const CaptureStartParams& params) {
  const std::wstring imagePath = CacheImagePath(params.cachePath, CurrentTimeStamp());
  LOG_TRA(L"formatImgPath = %s", imagePath.c_str());
  if (WritePng(result, imagePath) && FileUtils::FileExists(imagePath)) return imagePath;
  LOG_ERR(L"could not write %s", imagePath.c_str());
  ::DeleteFileW(imagePath.c_str());  // a partly written file is no image
  return std::wstring();
}

// Starts the sibling program at `relativePath` (from this program's folder)
// with the image as `key` and the suite's versions.
void StartSibling(const wchar_t* relativePath, const wchar_t* key, const std::wstring& imagePath,
                  const CaptureStartParams& params) {
  const std::wstring program = FileUtils::GetCurrentDllFolder() + relativePath;
  const std::wstring parameters = SiblingParameters(key, imagePath, params);
  LOG_TRA(L"cmdline = %s", parameters.c_str());
  if (FileUtils::FileExists(program)) {
    LaunchProgram(program, parameters, false, PathFolder(program), SW_SHOWNORMAL, false, 0, nullptr, nullptr);
  }
}

}  // namespace

std::unique_ptr<Gdiplus::Bitmap> CCaptureShade::RenderResultFor(const wchar_t* action) {
  std::unique_ptr<Gdiplus::Bitmap> result = RenderResult();
  if (!result) LOG_ERR(L"%s: the result could not be made, the capture stays open", action);
  return result;
}

bool CCaptureShade::FinishCapture() {
  std::unique_ptr<Gdiplus::Bitmap> result = RenderResultFor(L"finish");
  if (!result) return false;
  const CaptureStartParams* params = UsableCache(Window());
  const std::wstring imagePath = params ? WriteToCache(result.get(), *params) : std::wstring();
  // The clipboard needs no folder: without a usable cache folder the image
  // still goes there instead of being lost.
  const bool onClipboard = PutOnClipboard(result.get());
  result.reset();
  if (imagePath.empty() && !onClipboard) {
    LOG_ERR(L"finish: the image reached neither a file nor the clipboard, the capture stays open");
    return false;
  }
  // The pin program is only given a file that was written.
  if (params && !imagePath.empty()) StartSibling(L"ZTDPopWindow.exe", L"--cachepath=", imagePath, *params);
  return true;
}

bool CCaptureShade::SendToOcr() {
  std::unique_ptr<Gdiplus::Bitmap> result = RenderResultFor(L"ocr");
  if (!result) return false;
  const CaptureStartParams* params = UsableCache(Window());
  if (!params) return true;
  const std::wstring imagePath = WriteToCache(result.get(), *params);
  result.reset();
  if (imagePath.empty()) {
    LOG_ERR(L"ocr: the image could not be written, the capture stays open");
    return false;
  }
  StartSibling(L"..\\ZTDOcrWindow.exe", L"--imgpath=", imagePath, *params);
  return true;
}

HDC CCaptureShade::GetSourceDC() {
  ICaptureControl* control = Control();
  return control ? control->GetScreenDC() : nullptr;
}

HBITMAP CCaptureShade::GetCaptureBitmap() {
  return RenderArea(Rect{0, 0, GetVirtualScreenRect().width, GetVirtualScreenRect().height}).Release();  // the caller's
}

UniqueBitmap CCaptureShade::RenderArea(const Rect& area, uint32_t outside) {
  const HDC source = GetSourceDC();
  if (!source || area.width <= 0 || area.height <= 0 || !FitsAddressSpace(area, 1, AvailableAddressSpace())) {
    return UniqueBitmap();
  }
  void* bits = nullptr;
  UniqueBitmap bitmap = CreateDib32(source, area.width, area.height, &bits);
  MemoryDC dc(source);
  if (!bitmap || !dc || !bits) {
    LOG_ERR(L"capture bitmap %dx%d could not be made", area.width, area.height);
    return UniqueBitmap();
  }
  // Only the frozen screen is copied: nothing is read from past its edges.
  const Rect onScreen = area.Intersect(CaptureBounds());
  if (!(onScreen == area)) {
    std::fill_n(static_cast<uint32_t*>(bits), static_cast<size_t>(area.width) * static_cast<size_t>(area.height),
                outside & 0x00FFFFFFu);
  }
  {
    SelectGuard select(dc.Get(), bitmap.Get());
    if (!onScreen.IsEmpty()) {
      ::BitBlt(dc.Get(), onScreen.x - area.x, onScreen.y - area.y, onScreen.width, onScreen.height, source, onScreen.x,
               onScreen.y, SRCCOPY | CAPTUREBLT);
    }
    Gdiplus::Graphics graphics(dc.Get());
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias8x8);
    graphics.SetCompositingQuality(Gdiplus::CompositingQualityHighQuality);
    // Everything is drawn in capture coordinates, shifted onto this bitmap:
    // the result's drawing steps with the picture already in place.
    graphics.TranslateTransform(static_cast<Gdiplus::REAL>(-area.x), static_cast<Gdiplus::REAL>(-area.y));
    DrawOverlayBefore(&graphics);
    graphics.SetClip(Gdiplus::Rect(m_rect.x, m_rect.y, m_rect.width, m_rect.height));
    DrawShapes(&graphics, kOutputResult);
    graphics.ResetClip();
    DrawOverlayAfter(&graphics);
  }
  ::GdiFlush();
  return bitmap;
}

}  // namespace ScreenCapture
