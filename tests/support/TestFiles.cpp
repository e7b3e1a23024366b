#include "TestFiles.h"

#include <vector>

namespace testfiles {

namespace {
constexpr const wchar_t* kConfig = L"c:\\config.ini";

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  const HANDLE find = ::FindFirstFileW((folder + L"*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring full = folder + name;
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        RemoveTree(full + L"\\");
      } else {
        ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!::DeleteFileW(full.c_str())) ::RemoveDirectoryW(full.c_str());
      }
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
  }
  ::RemoveDirectoryW(folder.c_str());
}
}  // namespace

TempDir::TempDir(const wchar_t* tag) {
  wchar_t temp[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH, temp);
  m_path = std::wstring(temp) + L"ztd_" + tag + L"_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
           std::to_wstring(::GetTickCount()) + L"\\";
  ::CreateDirectoryW(m_path.c_str(), nullptr);
}

TempDir::~TempDir() { RemoveTree(m_path); }

std::string ReadBytes(const std::wstring& path) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string out;
  char buffer[65536];
  DWORD got = 0;
  while (::ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) out.append(buffer, got);
  ::CloseHandle(file);
  return out;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  ::CloseHandle(file);
  return ok;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

ConfigIni::ConfigIni(const std::string& content) {
  m_hadFile = Exists(kConfig);
  if (m_hadFile) m_saved = ReadBytes(kConfig);
  WriteBytes(kConfig, content);
  ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, kConfig);  // drop any cached copy
}

ConfigIni::~ConfigIni() {
  if (m_hadFile) {
    WriteBytes(kConfig, m_saved);
  } else {
    ::DeleteFileW(kConfig);
  }
  ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, kConfig);
}

}  // namespace testfiles
