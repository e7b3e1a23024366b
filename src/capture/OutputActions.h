#pragma once
// What the output actions need from the system: PNG files, the clipboard,
// starting the sibling programs, the time stamp.
#include <windows.h>

#include <string>

namespace Gdiplus {
class Bitmap;
}

namespace ScreenCapture {

// Writes the bitmap with the system's PNG encoder; false when nothing was
// written (a null bitmap, no encoder, a path that cannot be written).
bool WritePng(Gdiplus::Bitmap* bitmap, const std::wstring& path);

// Puts the bitmap on the clipboard as CF_BITMAP, composed over opaque black,
// as a device-dependent bitmap compatible with the screen (one that stays
// readable after this process has exited). A clipboard held by another
// program is retried briefly, then given up.
bool PutOnClipboard(Gdiplus::Bitmap* bitmap);

// Starts a program through the shell; see the launcher's description.
bool LaunchProgram(const std::wstring& path, const std::wstring& parameters, bool elevate,
                   const std::wstring& workingFolder, int show, bool wait, DWORD timeoutMs, DWORD* exitCode,
                   DWORD* processId);

// The local time as "%Y%m%d%H%M%S".
std::wstring CurrentTimeStamp();

}  // namespace ScreenCapture
