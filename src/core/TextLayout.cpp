#include "core/TextLayout.h"

namespace ScreenCapture {

std::wstring TextForMeasure(const std::wstring& text, const std::wstring& inserted, size_t from, size_t to) {
  std::wstring copy = text;
  if (!inserted.empty()) {
    const size_t begin = from < copy.size() ? from : copy.size();
    const size_t end = to < begin ? begin : (to < copy.size() ? to : copy.size());
    copy.replace(begin, end - begin, inserted);
  }
  if (copy.empty() || copy.back() == L'\n') copy += kTextPlaceholder;
  return copy;
}

}  // namespace ScreenCapture
