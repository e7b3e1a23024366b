#include "common/StringUtils.h"

#include <windows.h>

#include <cwchar>

namespace ScreenCapture {

std::string Utf16ToUtf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
  if (size <= 0) return std::string();
  std::string out(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

std::wstring Utf8ToUtf16(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int size = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (size <= 0) return std::wstring();
  std::wstring out(static_cast<size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

std::wstring FormatV(const wchar_t* format, va_list args) {
  if (!format) return std::wstring();
  va_list counting;
  va_copy(counting, args);
  const int length = _vscwprintf(format, counting);
  va_end(counting);
  if (length <= 0) return std::wstring();
  std::wstring out(static_cast<size_t>(length) + 1, L'\0');
  const int written = _vsnwprintf(out.data(), out.size(), format, args);
  out.resize(written < 0 ? 0 : static_cast<size_t>(written));
  return out;
}

std::wstring Format(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  std::wstring out = FormatV(format, args);
  va_end(args);
  return out;
}

}  // namespace ScreenCapture
