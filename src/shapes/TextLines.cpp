#include "shapes/TextLines.h"

#include <usp10.h>

#include <algorithm>

namespace ScreenCapture {

namespace {

constexpr DWORD kAnalyseFlags = SSA_LINK | SSA_FALLBACK | SSA_GLYPHS;
constexpr int kPieceLength = 400;

// One run of text shaped once and freed with its owner.
class Shaped {
 public:
  Shaped(HDC dc, const wchar_t* chars, int count, DWORD extraFlags = 0) {
    if (count > 0) {
      const int glyphs = count * 3 / 2 + 16;
      if (FAILED(::ScriptStringAnalyse(dc, chars, count, glyphs, -1, kAnalyseFlags | extraFlags, 0, nullptr, nullptr, nullptr,
                                       nullptr, nullptr, &m_ssa))) {
        m_ssa = nullptr;
      }
    }
  }
  Shaped(const Shaped&) = delete;
  Shaped& operator=(const Shaped&) = delete;
  ~Shaped() {
    if (m_ssa) ::ScriptStringFree(&m_ssa);
  }
  SCRIPT_STRING_ANALYSIS Get() const { return m_ssa; }

 private:
  SCRIPT_STRING_ANALYSIS m_ssa = nullptr;
};

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == 0x3000; }

// Breaks one paragraph [begin, end) into lines.
void WrapParagraph(HDC dc, const std::wstring& text, size_t begin, size_t end, int width, std::vector<TextLine>& lines) {
  const int count = static_cast<int>(end - begin);
  if (count == 0) {
    lines.push_back({begin, 0, 0});
    return;
  }
  // Widths and break opportunities, shaped in pieces of a few hundred
  // characters (Uniscribe refuses very long strings); pieces end after a
  // space where they can, and never inside a surrogate pair.
  std::vector<int> widths(static_cast<size_t>(count), 0);
  std::vector<SCRIPT_LOGATTR> attrs(static_cast<size_t>(count));
  for (int done = 0; done < count;) {
    int piece = std::min(count - done, kPieceLength);
    if (done + piece < count) {
      int cut = piece;
      while (cut > kPieceLength / 2 && !IsSpace(text[begin + done + cut - 1])) --cut;
      if (cut > kPieceLength / 2) piece = cut;
      if (IS_HIGH_SURROGATE(text[begin + done + piece - 1])) --piece;
    }
    // Break opportunities come with SSA_BREAK only.
    const Shaped shaped(dc, text.c_str() + begin + done, piece, SSA_BREAK);
    const SCRIPT_LOGATTR* pieceAttrs = shaped.Get() ? ::ScriptString_pLogAttr(shaped.Get()) : nullptr;
    if (!pieceAttrs || FAILED(::ScriptStringGetLogicalWidths(shaped.Get(), widths.data() + done))) {
      lines.push_back({begin, static_cast<size_t>(count), 0});
      return;
    }
    std::copy(pieceAttrs, pieceAttrs + piece, attrs.begin() + done);
    done += piece;
  }
  int from = 0;
  while (from < count) {
    int used = 0, fitted = from, lastBreak = -1, breakWidth = 0;
    int i = from;
    for (; i < count; ++i) {
      if (i > from && (attrs[i].fSoftBreak || IsSpace(text[begin + i - 1])) && !IsSpace(text[begin + i])) {
        lastBreak = i;
        breakWidth = used;
      }
      if (!IsSpace(text[begin + i]) && used + widths[i] > width && i > from) break;
      used += widths[i];
      if (i + 1 >= count || attrs[i + 1].fCharStop) fitted = i + 1;
    }
    int stop, lineWidth;
    if (i >= count) {
      stop = count;
      lineWidth = used;
    } else if (lastBreak > from) {
      stop = lastBreak;
      lineWidth = breakWidth;
    } else {
      // A word wider than the line: as much of it as fits, whole characters.
      stop = fitted > from ? fitted : from + 1;
      while (stop < count && !attrs[stop].fCharStop) ++stop;
      lineWidth = 0;
      for (int k = from; k < stop; ++k) lineWidth += widths[k];
    }
    lines.push_back({begin + static_cast<size_t>(from), static_cast<size_t>(stop - from), lineWidth});
    from = stop;
  }
}

}  // namespace

std::vector<TextLine> WrapText(HDC dc, const std::wstring& text, int width) {
  std::vector<TextLine> lines;
  size_t begin = 0;
  while (true) {
    const size_t end = text.find(L'\n', begin);
    size_t stop = end == std::wstring::npos ? text.size() : end;
    if (stop > begin && text[stop - 1] == L'\r') --stop;
    WrapParagraph(dc, text, begin, stop, std::max(1, width), lines);
    if (end == std::wstring::npos) break;
    begin = end + 1;
  }
  return lines;
}

int TextLineHeight(HDC dc) {
  TEXTMETRICW metrics = {};
  return ::GetTextMetricsW(dc, &metrics) ? metrics.tmHeight : 16;
}

void PaintTextLines(HDC dc, const std::wstring& text, const std::vector<TextLine>& lines, const RECT& area) {
  const int height = TextLineHeight(dc);
  int y = area.top;
  for (const TextLine& line : lines) {
    if (y >= area.bottom) break;
    if (line.length > 0) {
      const Shaped shaped(dc, text.c_str() + line.start, static_cast<int>(line.length));
      if (shaped.Get()) ::ScriptStringOut(shaped.Get(), area.left, y, 0, nullptr, 0, 0, FALSE);
    }
    y += height;
  }
}

}  // namespace ScreenCapture
