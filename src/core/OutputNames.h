#pragma once
// Names and command lines of the output actions.
#include <string>

#include "core/StartParams.h"

namespace ScreenCapture {

inline constexpr const wchar_t* kImagePrefix = L"Orvane\x622A\x56FE_";  // "Orvane截图_"

// "%Y%m%d%H%M%S": 14 digits.
std::wstring FormatTimeStamp(int year, int month, int day, int hour, int minute, int second);

// "Orvane截图_<stamp>.png"
inline std::wstring ImageFileName(const std::wstring& stamp) { return kImagePrefix + stamp + L".png"; }

// The cache folder with exactly one backslash before the file name; empty
// when the folder is empty.
std::wstring CacheImagePath(const std::wstring& cacheFolder, const std::wstring& stamp);

// The parameters of a sibling program: `firstKey` is "--cachepath=" for the
// pin program and "--imgpath=" for the OCR program.
std::wstring SiblingParameters(const wchar_t* firstKey, const std::wstring& imagePath, const CaptureStartParams& params);

}  // namespace ScreenCapture
