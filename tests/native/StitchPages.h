#pragma once
// Generated pages for the stitching tests and benchmarks: text lines with
// blank gaps, a fixed header and footer, a side bar, a scroll bar whose
// thumb follows the page, optional noise.
#include <cstdint>
#include <random>
#include <vector>

#include "core/StitchTypes.h"

namespace stitchtest {

struct PageSpec {
  int width = 100;
  int viewHeight = 60;     // the capture area's height
  int pageHeight = 300;    // the scrolling content's height
  int header = 6;          // fixed rows at the top of the picture
  int footer = 4;          // fixed rows at the bottom
  int sideBar = 0;         // fixed columns at the left
  int scrollBar = 0;       // columns at the right that follow the page
  double blankRows = 0.4;  // share of blank rows in the text
  double repeatRows = 0.1; // share of rows that repeat the one above
  bool noise = false;      // every pixel random: nothing lines up
  unsigned seed = 1;
};

class Page {
 public:
  explicit Page(const PageSpec& spec) : m_spec(spec), m_rows(static_cast<size_t>(spec.pageHeight)) {
    std::mt19937 rng(spec.seed);
    std::uniform_real_distribution<double> unit(0, 1);
    std::uniform_int_distribution<uint32_t> any;
    for (int r = 0; r < spec.pageHeight; ++r) {
      auto& row = m_rows[static_cast<size_t>(r)];
      row.assign(static_cast<size_t>(spec.width), 0xFFFFFFFFu);
      if (spec.noise) {
        for (auto& p : row) p = any(rng);
      } else if (r > 0 && unit(rng) < spec.repeatRows) {
        row = m_rows[static_cast<size_t>(r - 1)];
      } else if (unit(rng) >= spec.blankRows) {
        // A line of "text": dark strokes in words.
        int x = spec.sideBar + 4;
        while (x < spec.width - spec.scrollBar - 4) {
          const int word = 3 + static_cast<int>(any(rng) % 12);
          for (int i = 0; i < word && x < spec.width - spec.scrollBar - 4; ++i, ++x) {
            if (any(rng) % 3) row[static_cast<size_t>(x)] = 0xFF202020u + (any(rng) % 16);
          }
          x += 3;
        }
      }
    }
  }

  // The capture area with the page scrolled so that `offset` is the page row
  // under the header; stored bottom-up.
  ScreenCapture::PixelImage Frame(int offset, unsigned noiseSeed = 0) const {
    const PageSpec& s = m_spec;
    ScreenCapture::PixelImage image;
    image.width = s.width;
    image.height = s.viewHeight;
    image.pixels.resize(static_cast<size_t>(s.width) * static_cast<size_t>(s.viewHeight));
    std::mt19937 rng(noiseSeed);
    for (int y = 0; y < s.viewHeight; ++y) {  // y from the top of the picture
      uint32_t* out = image.Row(s.viewHeight - 1 - y);
      for (int x = 0; x < s.width; ++x) {
        uint32_t p;
        if (y < s.header) {
          p = 0xFF3050A0u + static_cast<uint32_t>(x % 7);
        } else if (y >= s.viewHeight - s.footer) {
          p = 0xFFA0A0A0u + static_cast<uint32_t>((x + y) % 5);
        } else {
          const int pageRow = offset + (y - s.header);
          p = pageRow >= 0 && pageRow < s.pageHeight ? m_rows[static_cast<size_t>(pageRow)][static_cast<size_t>(x)]
                                                      : 0xFFFFFFFFu;
        }
        if (x < s.sideBar) p = 0xFFE0E0F0u;
        if (s.scrollBar && x >= s.width - s.scrollBar) {
          const int thumb = s.header + offset * (s.viewHeight - s.header - s.footer) / (s.pageHeight > 0 ? s.pageHeight : 1);
          p = (y >= thumb && y < thumb + 8) ? 0xFF808080u : 0xFFF0F0F0u;
        }
        if (noiseSeed && (rng() % 997) == 0) p ^= 0x00010101u;
        out[x] = p;
      }
    }
    return image;
  }

  const PageSpec& Spec() const { return m_spec; }

 private:
  PageSpec m_spec;
  std::vector<std::vector<uint32_t>> m_rows;
};

}  // namespace stitchtest
