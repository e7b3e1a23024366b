#include "common/SkinFonts.h"

namespace ScreenCapture {

std::unique_ptr<Gdiplus::Font> MakeGdiplusFont(HFONT font, HDC dc) {
  std::unique_ptr<Gdiplus::Font> made;
  LOGFONTW logfont = {};
  if (font && dc && ::GetObjectW(font, sizeof(logfont), &logfont) == sizeof(logfont)) {
    made = std::make_unique<Gdiplus::Font>(dc, &logfont);
  }
  if ((!made || made->GetLastStatus() != Gdiplus::Ok) && dc) made = std::make_unique<Gdiplus::Font>(dc);
  if (made && made->GetLastStatus() != Gdiplus::Ok) made.reset();
  return made;
}

}  // namespace ScreenCapture
