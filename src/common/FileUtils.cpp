#include "common/FileUtils.h"

#include "core/LogPath.h"

namespace FileUtils {

std::wstring GetModuleFilePath(HMODULE module) {
  // The system cuts the path to the buffer without saying so on every
  // version: a full buffer means "try a larger one".
  std::wstring buffer(MAX_PATH, L'\0');
  while (buffer.size() <= 32768) {
    const DWORD length = ::GetModuleFileNameW(module, &buffer[0], static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::wstring();
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
  return std::wstring();
}

HMODULE GetCurrentDllModule() {
  static const HMODULE module = [] {
    MEMORY_BASIC_INFORMATION info = {};
    // Any function of ours lies inside the image that holds our code.
    if (::VirtualQuery(reinterpret_cast<const void*>(&GetCurrentDllModule), &info, sizeof(info)) == 0) {
      return static_cast<HMODULE>(nullptr);
    }
    return static_cast<HMODULE>(info.AllocationBase);
  }();
  return module;
}

const std::wstring& GetCurrentModuleFilePath() {
  static const std::wstring path = GetModuleFilePath(nullptr);
  return path;
}

const std::wstring& GetCurrentAppFolder() {
  static const std::wstring folder = ScreenCapture::PathFolder(GetCurrentModuleFilePath());
  return folder;
}

const std::wstring& GetCurrentDllFolder() {
  static const std::wstring folder = ScreenCapture::PathFolder(GetModuleFilePath(GetCurrentDllModule()));
  return folder;
}

bool FileExists(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsReparsePoint(const std::wstring& path) {
  std::wstring trimmed = path;
  while (trimmed.size() > 3 && (trimmed.back() == L'\\' || trimmed.back() == L'/')) trimmed.pop_back();
  const DWORD attributes = ::GetFileAttributesW(trimmed.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool GetFileSize(const std::wstring& path, uint64_t& size) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return true;
}

bool CreateDirectories(const std::wstring& path) {
  std::wstring folder = path;
  while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  if (folder.empty()) return false;
  if (DirectoryExists(folder)) return true;
  const size_t slash = folder.find_last_of(L"\\/");
  // Stop at the root ("C:") and at a UNC server part; create the parents first.
  if (slash != std::wstring::npos && slash > 0 && folder[slash - 1] != L':' && folder[slash - 1] != L'\\') {
    CreateDirectories(folder.substr(0, slash));
  }
  if (::CreateDirectoryW(folder.c_str(), nullptr)) return true;
  return ::GetLastError() == ERROR_ALREADY_EXISTS && DirectoryExists(folder);
}

}  // namespace FileUtils
