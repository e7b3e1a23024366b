#include "capture/OutputActions.h"

#include <gdiplus.h>
#include <shellapi.h>

#include <vector>

#include "common/FileUtils.h"
#include "common/Handles.h"
#include "common/Logger.h"
#include "core/LogPath.h"
#include "core/OutputNames.h"

namespace ScreenCapture {

namespace {

bool PngEncoder(CLSID& clsid) {
  UINT count = 0, size = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
  std::vector<BYTE> buffer(size);
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok) return false;
  for (UINT i = 0; i < count; ++i) {
    if (encoders[i].MimeType && wcscmp(encoders[i].MimeType, L"image/png") == 0) {
      clsid = encoders[i].Clsid;
      return true;
    }
  }
  return false;
}

}  // namespace

bool WritePng(Gdiplus::Bitmap* bitmap, const std::wstring& path) {
  if (!bitmap || path.empty()) return false;
  CLSID clsid;
  if (!PngEncoder(clsid)) return false;
  return bitmap->Save(path.c_str(), &clsid, nullptr) == Gdiplus::Ok;
}

bool PutOnClipboard(Gdiplus::Bitmap* bitmap) {
  if (!bitmap) return false;
  HBITMAP composedHandle = nullptr;
  if (bitmap->GetHBITMAP(Gdiplus::Color(0xFF000000), &composedHandle) != Gdiplus::Ok || !composedHandle) return false;
  const UniqueBitmap composed(composedHandle);
  DIBSECTION section = {};
  if (::GetObjectW(composed.Get(), sizeof(section), &section) != sizeof(section) || !section.dsBm.bmBits) return false;
  // The clipboard's bitmap must outlive this process, which exits a moment
  // later: a device-dependent bitmap of the display's own format does, a DIB
  // section (what a memory DC holding one would make) dies with the process.
  // So it is made compatible with the screen itself, never with a memory DC.
  UniqueBitmap ddb;
  {
    const WindowDC screen(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader = section.dsBmih;
    if (screen.Get()) {
      ddb.Reset(::CreateDIBitmap(screen.Get(), &section.dsBmih, CBM_INIT, section.dsBm.bmBits, &info, DIB_RGB_COLORS));
    }
  }
  if (!ddb) {
    LOG_ERR(L"clipboard bitmap %dx%d could not be made", static_cast<int>(section.dsBm.bmWidth),
            static_cast<int>(section.dsBm.bmHeight));
    return false;
  }
  bool opened = false;
  // Another program may hold the clipboard for a moment: wait up to a
  // second for it rather than drop the image.
  for (int attempt = 0; attempt < 50 && !opened; ++attempt) {
    opened = ::OpenClipboard(nullptr) != FALSE;
    if (!opened) ::Sleep(20);
  }
  if (!opened) {
    LOG_WAR(L"clipboard is busy: %d", static_cast<int>(::GetLastError()));
    return false;
  }
  bool done = false;
  ::EmptyClipboard();
  // Once the clipboard has taken it, it is the clipboard's to free.
  if (::SetClipboardData(CF_BITMAP, ddb.Get()) != nullptr) {
    ddb.Release();
    done = true;
  }
  ::CloseClipboard();
  return done;
}

bool LaunchProgram(const std::wstring& path, const std::wstring& parameters, bool elevate,
                   const std::wstring& workingFolder, int show, bool wait, DWORD timeoutMs, DWORD* exitCode,
                   DWORD* processId) {
  std::wstring folder = workingFolder;
  if (folder.empty() && FileUtils::FileExists(path)) folder = PathFolder(path).substr(0, 260);
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpVerb = elevate ? L"runas" : nullptr;
  info.lpFile = path.c_str();
  info.lpParameters = parameters.c_str();
  info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
  info.nShow = show & 0xFFFF;
  if (!::ShellExecuteExW(&info)) return false;
  const UniqueHandle process(info.hProcess);
  if (process) {
    if (wait) {
      ::WaitForSingleObject(process.Get(), timeoutMs);
      if (exitCode) ::GetExitCodeProcess(process.Get(), exitCode);
    }
    if (processId) *processId = ::GetProcessId(process.Get());
  }
  return true;
}

std::wstring CurrentTimeStamp() {
  SYSTEMTIME now = {};
  ::GetLocalTime(&now);
  return FormatTimeStamp(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}

}  // namespace ScreenCapture
