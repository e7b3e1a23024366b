#pragma once
// Text broken into lines and painted the way the edit control shows it:
// through Uniscribe, so that a character beyond the BMP (a surrogate pair)
// and a character the font lacks are drawn as the editor draws them.
#include <windows.h>

#include <string>
#include <vector>

namespace ScreenCapture {

struct TextLine {
  size_t start = 0;   // into the text
  size_t length = 0;  // without the line's CR LF
  int width = 0;      // pixels
};

// The lines of `text` in the font selected into `dc` at `width` pixels: hard
// breaks at CR LF (an empty paragraph is an empty line), soft breaks after
// the last break opportunity that fits, inside a word that does not fit
// alone between two characters (never inside one). Spaces at a line's end
// do not make it wrap. An empty text is one empty line.
std::vector<TextLine> WrapText(HDC dc, const std::wstring& text, int width);

// The height of one line in the font selected into `dc`.
int TextLineHeight(HDC dc);

// Paints the lines top-down from the corner of `area`, in the DC's text
// colour and background mode, as far as `area` reaches.
void PaintTextLines(HDC dc, const std::wstring& text, const std::vector<TextLine>& lines, const RECT& area);

}  // namespace ScreenCapture
