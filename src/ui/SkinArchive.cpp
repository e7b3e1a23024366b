#include "ui/SkinArchive.h"

#include <cstring>

#include "common/Logger.h"
#include "common/StringUtils.h"
#include "core/Dpi.h"
#include "core/PngImage.h"
#include "common/Handles.h"
#include "ui/ModalLoop.h"

namespace DuiLib {

CSkinArchive* CSkinArchive::Instance() {
  static CSkinArchive* const archive = [] {
    auto* a = new CSkinArchive();
    a->OpenResource(GetResourceInstance() ? GetResourceInstance() : ::GetModuleHandleW(nullptr));
    return a;
  }();
  return archive;
}

bool CSkinArchive::OpenResource(HMODULE module) {
  m_open = false;
  const HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(kResourceId), kResourceType);
  const HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
  const void* data = loaded ? ::LockResource(loaded) : nullptr;
  const DWORD size = resource ? ::SizeofResource(module, resource) : 0;
  if (!data || size == 0) {
    LOG_ERR(L"skin archive resource not found: %d", static_cast<int>(::GetLastError()));
    return false;
  }
  std::string error;
  // Resource memory lives as long as the module: no copy needed.
  if (!m_zip.Open(static_cast<const uint8_t*>(data), size, &error)) {
    LOG_ERR(L"skin archive unreadable: %s", ScreenCapture::Utf8ToUtf16(error).c_str());
    return false;
  }
  m_open = true;
  return true;
}

bool CSkinArchive::OpenMemory(const void* data, size_t size) {
  m_copy.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
  std::string error;
  m_open = m_zip.Open(m_copy.data(), m_copy.size(), &error);
  if (!m_open) LOG_ERR(L"skin archive unreadable: %s", ScreenCapture::Utf8ToUtf16(error).c_str());
  return m_open;
}

bool CSkinArchive::ReadFile(const std::wstring& name, std::vector<uint8_t>& out) const {
  out.clear();
  if (!m_open) {
    LOG_ERR(L"skin file %s: no skin archive", name.c_str());
    return false;
  }
  std::string error;
  const auto status = m_zip.Read(ScreenCapture::Utf16ToUtf8(name), out, &error);
  if (status != ScreenCapture::ZipArchive::Status::kOk) {
    LOG_ERR(L"skin file %s: %s", name.c_str(), ScreenCapture::Utf8ToUtf16(error).c_str());
    return false;
  }
  return true;
}

const TImageInfo* CSkinArchive::GetImage(const std::wstring& name, int skinDpi) {
  if (!m_open) return nullptr;
  const std::string base = ScreenCapture::Utf16ToUtf8(name);
  const std::string variant = ScreenCapture::DpiVariantName(base, ScreenCapture::SnapDpi(skinDpi));
  const std::string resolved = m_zip.Find(variant) ? variant : base;
  const auto cached = m_images.find(resolved);
  if (cached != m_images.end()) return cached->second.get();

  std::vector<uint8_t> bytes;
  if (!ReadFile(ScreenCapture::Utf8ToUtf16(resolved), bytes)) return nullptr;
  ScreenCapture::DecodedImage decoded;
  std::string error;
  if (!ScreenCapture::DecodePng(bytes.data(), bytes.size(), decoded, &error)) {
    LOG_ERR(L"skin image %s: %s", name.c_str(), ScreenCapture::Utf8ToUtf16(error).c_str());
    return nullptr;
  }
  void* bits = nullptr;
  ScreenCapture::UniqueBitmap bitmap = ScreenCapture::CreateDib32(nullptr, decoded.width, decoded.height, &bits);
  if (!bitmap) {
    LOG_ERR(L"skin image %s: no bitmap (%d)", name.c_str(), static_cast<int>(::GetLastError()));
    return nullptr;
  }
  std::memcpy(bits, decoded.pixels.data(), decoded.pixels.size() * sizeof(uint32_t));
  auto image = std::make_unique<TImageInfo>();
  image->hBitmap.Reset(bitmap.Release());
  image->width = decoded.width;
  image->height = decoded.height;
  image->alpha = decoded.hasAlpha;
  image->resolvedName = resolved;
  const TImageInfo* result = image.get();
  m_images[resolved] = std::move(image);
  return result;
}

}  // namespace DuiLib
