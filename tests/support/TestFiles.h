#pragma once
// File helpers shared by the Windows tests.
#include <windows.h>

#include <string>

namespace testfiles {

// A fresh folder under the temporary folder, removed (with its files) at the end.
class TempDir {
 public:
  explicit TempDir(const wchar_t* tag);
  ~TempDir();
  const std::wstring& Path() const { return m_path; }  // ends with a backslash

 private:
  std::wstring m_path;
};

std::string ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
bool Exists(const std::wstring& path);

// Replaces c:\config.ini for the lifetime of the object and puts back what
// was there before (or removes it).
class ConfigIni {
 public:
  explicit ConfigIni(const std::string& content);
  ~ConfigIni();

 private:
  std::string m_saved;
  bool m_hadFile = false;
};

}  // namespace testfiles
