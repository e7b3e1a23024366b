#pragma once
// Text conversions and printf-style formatting for wide strings.
#include <cstdarg>
#include <string>

namespace ScreenCapture {

// UTF-16 to UTF-8 (code page 65001). Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(const std::wstring& text);
std::wstring Utf8ToUtf16(const std::string& text);

// vswprintf into a string of whatever length the result needs.
std::wstring FormatV(const wchar_t* format, va_list args);
std::wstring Format(const wchar_t* format, ...);

}  // namespace ScreenCapture
