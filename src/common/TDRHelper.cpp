#include "common/TDRHelper.h"

#include <shlobj.h>

#include <vector>

#include "common/FileUtils.h"
#include "common/Handles.h"
#include "common/StringUtils.h"
#include "common/SystemFunctions.h"
#include "common/UserHive.h"
#include "core/LogPath.h"

namespace TDRUtils {

namespace {

constexpr REGSAM kRead32 = KEY_READ | KEY_WOW64_32KEY;  // 0x20219
constexpr REGSAM kRead64 = KEY_READ | KEY_WOW64_64KEY;  // 0x20119

// Folder of the file a registry value names (quotes and an icon index
// dropped).
std::wstring FolderOfNamedFile(const std::wstring& value) {
  return ScreenCapture::PathFolder(ScreenCapture::NamedFilePath(value));
}

}  // namespace

bool ReadRegString(HKEY root, const std::wstring& subKey, const wchar_t* valueName, REGSAM access,
                   std::wstring& value) {
  ScreenCapture::UniqueRegKey key;
  if (::RegOpenKeyExW(root, subKey.c_str(), 0, access, key.Put()) != ERROR_SUCCESS) return false;
  DWORD type = 0;
  DWORD bytes = 0;
  if (::RegQueryValueExW(key.Get(), valueName, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return false;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
  if (::RegQueryValueExW(key.Get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes) !=
      ERROR_SUCCESS) {
    return false;
  }
  value.assign(buffer.data());  // stops at the first terminator, present or not in the data
  return true;
}

std::wstring GetInstallFolder(const std::wstring& entryName) {
  const std::wstring key = std::wstring(kUninstallPrefix) + entryName;
  const struct {
    HKEY root;
    REGSAM access;
  } places[] = {{HKEY_LOCAL_MACHINE, kRead32}, {HKEY_LOCAL_MACHINE, kRead64}, {HKEY_CURRENT_USER, KEY_READ}};
  for (const auto& place : places) {
    ScreenCapture::UniqueRegKey probe;
    if (::RegOpenKeyExW(place.root, key.c_str(), 0, place.access, probe.Put()) != ERROR_SUCCESS) continue;
    std::wstring folder;
    std::wstring value;
    if (ReadRegString(place.root, key, L"InstallLocation", place.access, value) && !value.empty() &&
        FileUtils::DirectoryExists(value)) {
      folder = value;
    } else if (ReadRegString(place.root, key, L"DisplayIcon", place.access, value)) {
      folder = FolderOfNamedFile(value);
    }
    if (folder.empty() && ReadRegString(place.root, key, L"uninstallString", place.access, value)) {
      folder = FolderOfNamedFile(value);
    }
    if (!folder.empty() && folder.back() != L'\\') folder.push_back(L'\\');
    return folder;  // the first entry that opens decides
  }
  return std::wstring();
}

std::wstring FindSuiteFile(const std::wstring& name) {
  for (const std::wstring& folder : {FileUtils::GetCurrentAppFolder(), GetInstallFolder()}) {
    if (!folder.empty() && FileUtils::FileExists(folder + name)) return folder + name;
  }
  return std::wstring();
}

std::wstring GetSuiteVersion() {
  const std::wstring key = std::wstring(kUninstallPrefix) + kSuiteEntryName;
  std::wstring version;
  if (ReadRegString(HKEY_LOCAL_MACHINE, key, L"DisplayVersion", kRead32, version)) return version;
  if (ReadRegString(HKEY_LOCAL_MACHINE, key, L"DisplayVersion", kRead64, version)) return version;
  return std::wstring();
}

std::wstring GetFileVersionString(const std::wstring& path) {
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return std::wstring();
  std::vector<BYTE> data(size);
  if (!::GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return std::wstring();
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return std::wstring();
  }
  return ScreenCapture::Format(L"%d.%d.%d.%d", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                               HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS));
}

std::wstring GetAssistantVersion() {
  const std::wstring folder = GetInstallFolder();
  if (folder.empty()) return std::wstring();
  return GetFileVersionString(folder + L"Quillarin.exe");
}

bool RunsUnderEmulation() {
  static const bool emulated = [] {
    using IsWow64Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto isWow64 = ScreenCapture::Lookup<IsWow64Fn>(::GetModuleHandleW(L"kernel32"), "IsWow64Process");
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(::GetCurrentProcess(), &wow64) && wow64;
  }();
  return emulated;
}

std::wstring GetSaveFolder() {
  RunsUnderEmulation();
  std::wstring folder;
  if (!ReadUserRegString(HKEY_CURRENT_USER, kAssistantKey, L"CaptureSavePath", folder) || folder.empty()) {
    wchar_t pictures[MAX_PATH + 1] = {};
    // Without a pictures folder there is no save folder: never a folder at
    // the root of whatever drive is current.
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_MYPICTURES, nullptr, SHGFP_TYPE_CURRENT, pictures)) ||
        pictures[0] == L'\0') {
      return std::wstring();
    }
    folder = std::wstring(pictures) + L"\\Orvane截图";
  }
  if (!FileUtils::DirectoryExists(folder)) FileUtils::CreateDirectories(folder);
  return folder;
}

}  // namespace TDRUtils
