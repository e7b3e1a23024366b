#pragma once
// Facts about the host suite read from the registry and version resources:
// the fall-backs of the start parameters that the command line leaves out.
#include <windows.h>

#include <string>

#include "core/StartParams.h"

namespace TDRUtils {

inline constexpr const wchar_t* kUninstallPrefix = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline constexpr const wchar_t* kSuiteEntryName = L"{5C0E2B71-8D4A-4F63-9A17-3E6B2D90C4F8}_is1";
inline constexpr const wchar_t* kAssistantKey = L"SOFTWARE\\Orvane\\Tendaro\\Quillarin";

// Reads a string value; false when the key or value is missing.
bool ReadRegString(HKEY root, const std::wstring& subKey, const wchar_t* valueName, REGSAM access,
                   std::wstring& value);

// The suite's install folder with a trailing backslash, or empty.
std::wstring GetInstallFolder(const std::wstring& entryName = kSuiteEntryName);
// "DisplayVersion" of the suite's uninstall entry, or empty.
std::wstring GetSuiteVersion();
// File version of the assistant program as "a.b.c.d", or empty.
std::wstring GetAssistantVersion();
// The folder for saved captures, "CaptureSavePath" of the user (the console
// user's in session 0), else "Orvane截图" in My Pictures; created when missing.
std::wstring GetSaveFolder();
// True for a 32-bit process on a 64-bit system (asked once per process).
bool RunsUnderEmulation();
// The full path of a file of the suite: next to this program, then in the
// suite's install folder; empty when neither has it.
std::wstring FindSuiteFile(const std::wstring& name);
// "a.b.c.d" from a file's version resource, or empty.
std::wstring GetFileVersionString(const std::wstring& path);

// The fall-backs as the start-parameter parser asks for them. Read again on
// each call: keeping the first answer for the second parse (the reporting
// start and the capture both parse) measured slower to the first paint, not
// faster, because the lookups overlap the screen grab's worker.
class HostSuiteFallbacks : public ScreenCapture::IStartParamFallbacks {
 public:
  std::wstring GetSaveFolder() const override { return TDRUtils::GetSaveFolder(); }
  std::wstring GetSuiteVersion() const override { return TDRUtils::GetSuiteVersion(); }
  std::wstring GetAssistantVersion() const override { return TDRUtils::GetAssistantVersion(); }
};

}  // namespace TDRUtils
