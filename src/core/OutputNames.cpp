#include "core/OutputNames.h"

#include <cstdio>

namespace ScreenCapture {

std::wstring FormatTimeStamp(int year, int month, int day, int hour, int minute, int second) {
  char buffer[32];
  std::snprintf(buffer, sizeof(buffer), "%04d%02d%02d%02d%02d%02d", year, month, day, hour, minute, second);
  return std::wstring(buffer, buffer + std::char_traits<char>::length(buffer));
}

std::wstring CacheImagePath(const std::wstring& cacheFolder, const std::wstring& stamp) {
  if (cacheFolder.empty()) return std::wstring();
  std::wstring folder = cacheFolder;
  if (folder.back() == L'\\') folder.pop_back();
  return folder + L"\\" + ImageFileName(stamp);
}

std::wstring SiblingParameters(const wchar_t* firstKey, const std::wstring& imagePath, const CaptureStartParams& p) {
  return std::wstring(firstKey) + imagePath + L" --tdrversion=" + p.tdrVersion + L" --moduleversion=" +
         p.moduleVersion + L" --appkey=" + p.appKey + L" --quillarinversion=" + p.quillarinVersion +
         L" --startmode=" + std::to_wstring(p.startMode);
}

}  // namespace ScreenCapture
