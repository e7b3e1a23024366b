#pragma once
// The skin: layout files and images packed into one zip archive that the
// program carries as a resource of type "ZIPRES", id 101.
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/Handles.h"
#include "core/ZipArchive.h"

namespace DuiLib {

// A decoded skin image as a 32-bit top-down DIB with premultiplied alpha. The
// program's archive keeps it to the process's end.
struct TImageInfo {
  ScreenCapture::CachedBitmap hBitmap;
  int width = 0;
  int height = 0;
  bool alpha = false;
  std::string resolvedName;  // the archive entry it came from
};

class CSkinArchive {
 public:
  static constexpr int kResourceId = 101;
  static constexpr const wchar_t* kResourceType = L"ZIPRES";

  // The program's archive, opened from the toolkit's resource module on first
  // use. Never destroyed.
  static CSkinArchive* Instance();

  CSkinArchive() = default;
  CSkinArchive(const CSkinArchive&) = delete;
  CSkinArchive& operator=(const CSkinArchive&) = delete;

  // Opens the archive resource of `module`; false (logged) when it is missing
  // or unreadable.
  bool OpenResource(HMODULE module);
  // Opens an archive held in memory; the archive keeps a copy of the bytes.
  bool OpenMemory(const void* data, size_t size);
  bool IsOpen() const { return m_open; }

  // An archive file's bytes; false (logged at error level) when it is missing
  // or damaged.
  bool ReadFile(const std::wstring& name, std::vector<uint8_t>& out) const;

  // An image at a skin DPI: the variant with the DPI suffix ("@150", ...)
  // when the archive has it, else the base file. Decoded once, then cached.
  // Null (logged) when neither can be read.
  const TImageInfo* GetImage(const std::wstring& name, int skinDpi);

 private:
  ScreenCapture::ZipArchive m_zip;
  std::vector<uint8_t> m_copy;  // only for archives opened from memory
  bool m_open = false;
  std::map<std::string, std::unique_ptr<TImageInfo>> m_images;  // key: resolved name
};

}  // namespace DuiLib
