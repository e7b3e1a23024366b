#include <gtest/gtest.h>

#include <string>

#include "core/TextLayout.h"

using namespace ScreenCapture;

TEST(TextLayout, MeasuredTextAndTheBoxInsideTheRegion) {
  // What is measured: the typed text at the selection, the placeholder for
  // an empty last line; positions past the end type at the end.
  EXPECT_EQ(TextForMeasure(L"", L"", 0, 0), std::wstring(kTextPlaceholder));
  EXPECT_EQ(TextForMeasure(L"ab", L"\r\n", 2, 2), std::wstring(L"ab\r\n") + kTextPlaceholder);
  EXPECT_EQ(TextForMeasure(L"abcd", L"X", 1, 3), L"aXd");
  EXPECT_EQ(TextForMeasure(L"ab", L"\xD83D\xDE00", 9, 4), L"ab\xD83D\xDE00");  // a surrogate pair stays whole
  const TextMargins m;
  // Never narrower than 90; otherwise the text plus both margins.
  EXPECT_EQ(BoxWidths(10.2, m).box, 90);
  EXPECT_EQ(BoxWidths(10.2, m).text, 84);
  EXPECT_EQ(BoxWidths(100.1, m).box, 107);
  EXPECT_EQ(BoxWidths(100.1, m).text, 101);
  const Rect limit{100, 100, 400, 200};
  EXPECT_EQ(TextRoomRight(Rect{350, 150, 90, 30}, limit, m), 144);
  // Vertical fit: unchanged inside; moved up at the bottom edge; cut to the
  // region when taller than it (a region 20 pixels high).
  EXPECT_EQ(FitTextSpan({153, 24}, 150, limit, m).top, 153);
  const TextSpan up = FitTextSpan({283, 24}, 280, limit, m);
  EXPECT_EQ(up.top, 300 - 3 - 24);
  EXPECT_EQ(BoxAround(350, up, 90, m).Bottom(), 300);
  const TextSpan cut = FitTextSpan({103, 240}, 100, Rect{0, 100, 400, 20}, m);
  EXPECT_EQ(cut.top, 103);
  EXPECT_EQ(cut.height, 14);
  EXPECT_EQ(DiscBeside(Rect{200, 100, 90, 30}, 20), (Rect{170, 105, 20, 20}));
}
