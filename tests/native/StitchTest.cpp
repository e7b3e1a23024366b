#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "StitchPages.h"
#include "core/FrameStitcher.h"
#include "core/ScrollEditorLayout.h"
#include "core/ScrollPreview.h"
#include "core/ScrollSteps.h"

namespace ScreenCapture {
namespace {

using stitchtest::Page;
using stitchtest::PageSpec;

// One stitcher with its log and the height it last joined to.
struct StitchRun {
  std::vector<std::string> log;
  int joinedHeight = -1;
  StitchEnvironment Env() {
    StitchEnvironment env;
    env.log = [this](int level, const char* file, int line, const std::string& text) {
      EXPECT_TRUE(std::string(file).find("FrameStitcher.cpp") != std::string::npos && line > 0) << file << ":" << line;
      log.push_back(std::to_string(level) + " " + text);
    };
    env.lastError = [] { return 0; };
    env.tickCount = [] { return 0u; };
    env.setCaptureImage = [this](int height) { joinedHeight = height; };
    return env;
  }
};

bool Contains(const std::vector<std::string>& log, const std::string& needle) {
  for (const auto& line : log) {
    if (line.find(needle) != std::string::npos) return true;
  }
  return false;
}

TEST(Stitching, DescribedCases) {
  PageSpec spec;
  spec.width = 120;
  spec.viewHeight = 80;
  spec.pageHeight = 400;
  spec.header = 10;
  spec.footer = 6;
  spec.blankRows = 0.2;
  spec.repeatRows = 0;
  const Page page(spec);
  PixelImage first = page.Frame(0);

  // Equal frames: down gives the page's end, up its top.
  {
    StitchRun run;
    CFrameStitcher stitcher(run.Env());
    StitchState state;
    EXPECT_EQ(stitcher.Combine(first, page.Frame(0), 120, -120, state), COMPARE_RESULT_BOTTOM);
    EXPECT_TRUE(Contains(run.log, "3 Compare Equal!"));
    EXPECT_EQ(stitcher.Combine(first, page.Frame(0), 120, 120, state), COMPARE_RESULT_TOP);
    EXPECT_EQ(stitcher.Combine(first, first, 120, -120, state), COMPARE_RESULT_FAILED);
    EXPECT_EQ(run.joinedHeight, -1);
  }
  // Moved 17 rows down under a fixed header and footer: joined, 17 rows more,
  // the lowest rows up to the top of the matching run from the new frame.
  StitchRun run;
  CFrameStitcher stitcher(run.Env());
  StitchState state;
  const PixelImage second = page.Frame(17);
  PixelImage longImage = first;
  EXPECT_EQ(stitcher.Combine(longImage, second, 120, -120, state), COMPARE_RESULT_COMBINE);
  EXPECT_EQ(state.top, 10);
  EXPECT_EQ(state.bottom, 6);
  EXPECT_EQ(state.rollSave, 17);
  EXPECT_EQ(state.rollOffset, -17);
  ASSERT_EQ(run.joinedHeight, 80 + 17);
  for (int r = 0; r < state.imgLine; ++r) {
    EXPECT_EQ(std::vector<uint32_t>(longImage.Row(r), longImage.Row(r) + 120),
              std::vector<uint32_t>(second.Row(r), second.Row(r) + 120));
  }
  EXPECT_TRUE(Contains(run.log, "4 Combine Result:0 m_mouseWheelOffset:-17 wheel:-120  sourceHeight:80 bitmapHeight:80"));
  // The same place again, with rows that change where nothing scrolls (a
  // caret, the preview drawn over the page): the page did not move, so it
  // is at its end, not at a place inside what is captured.
  PixelImage still = second;
  for (int r = 30; r < 40; ++r) still.Row(r)[60] ^= 0xFFFFFFu;
  EXPECT_EQ(stitcher.Combine(longImage, still, 120, -120, state), COMPARE_RESULT_BOTTOM);
  EXPECT_EQ(run.joinedHeight, 80 + 17);
  // Back up inside what is captured already: 4, nothing joined.
  run.joinedHeight = -1;
  EXPECT_EQ(stitcher.Combine(longImage, page.Frame(9), 120, 120, state), COMPARE_RESULT_INSIDE);
  EXPECT_EQ(run.joinedHeight, -1);
  EXPECT_EQ(longImage.height, 97);
  // Another width.
  PixelImage narrow = page.Frame(0);
  narrow.width = 60;
  narrow.pixels.resize(60 * 80);
  EXPECT_EQ(stitcher.Combine(longImage, narrow, 120, -120, state), COMPARE_RESULT_FAILED);
  EXPECT_TRUE(Contains(run.log, "1 width error:97 -60 -120") || Contains(run.log, "1 width error:120 -60 -120"));
}

TEST(Stitching, RowsRepaintedAfterAJoinReplaceTheStaleOnesWhenThePageStops) {
  // A page scrolled 41 rows down is grabbed before it has repainted the rows
  // it uncovered (they still show what was there before), and that frame is
  // joined. Once it has repainted, the same position must give the page's end
  // with the long image's last rows taken from the repainted frame, not
  // "inside" for ever with the stale rows kept.
  PageSpec spec;
  spec.width = 90;
  spec.viewHeight = 120;
  spec.pageHeight = 161;
  spec.header = 17;
  spec.footer = 4;
  spec.blankRows = 0.2;
  spec.repeatRows = 0;
  const Page page(spec);
  const PixelImage before = page.Frame(0), after = page.Frame(41);
  PixelImage stale = after;
  for (int r = spec.footer; r < spec.footer + 41; ++r) std::copy(before.Row(r), before.Row(r) + 90, stale.Row(r));
  StitchRun run;
  CFrameStitcher stitcher(run.Env());
  StitchState state;
  state.top = 17, state.bottom = 4, state.marginsGuessed = true;  // as a first clean step guesses them
  PixelImage longImage = before;
  ASSERT_EQ(stitcher.Combine(longImage, stale, 90, -120, state), COMPARE_RESULT_COMBINE);
  ASSERT_EQ(longImage.height, 120 + 41);
  EXPECT_EQ(stitcher.Combine(longImage, after, 90, -120, state), COMPARE_RESULT_BOTTOM);
  EXPECT_EQ(run.joinedHeight, 120 + 41);
  EXPECT_EQ(std::vector<uint32_t>(longImage.Row(0), longImage.Row(0) + 90 * (120 - 17)),
            std::vector<uint32_t>(after.Row(0), after.Row(0) + 90 * (120 - 17)));
  EXPECT_EQ(stitcher.Combine(longImage, after, 90, -120, state), COMPARE_RESULT_BOTTOM);
}

TEST(Stitching, MarginsAndTheTenPercentRule) {
  // 400 wide, only the rightmost 50 columns change: right stays 50.
  PixelImage a;
  a.width = 400;
  a.height = 30;
  a.pixels.assign(400 * 30, 0xFFFFFFFFu);
  PixelImage b = a;
  for (int r = 0; r < 30; ++r) b.Row(r)[380] = 0xFF000000u;
  StitchRun run;
  CFrameStitcher stitcher(run.Env());
  StitchState state;
  stitcher.GuessBitmapEdge(a, b, 400, state);
  EXPECT_EQ(state.right, 50);
  EXPECT_TRUE(Contains(run.log, "4 GuessBitmapEdge : width:400 left:0 top:0 right:50 bottom:0 GUESS_EDGE_SCOPE:1.000000"));

  // The reference run is 300 rows; a later run of 29 is refused, 30 taken.
  for (const int run30 : {29, 30}) {
    StitchRun r;
    CFrameStitcher s(r.Env());
    StitchState st;
    st.marginsGuessed = true;
    st.matchOffset = 300;
    st.rollOffset = st.rollOffsetMin = st.rollOffsetMax = 0;
    PixelImage longImage;
    longImage.width = 8;
    longImage.height = 40;
    longImage.pixels.resize(8 * 40);
    for (int i = 0; i < 8 * 40; ++i) longImage.pixels[static_cast<size_t>(i)] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8);
    // The frame's top `run30` rows equal long-image rows moved by 5.
    PixelImage frame = longImage;
    for (int i = 0; i < 8 * 40; ++i) frame.pixels[static_cast<size_t>(i)] ^= 0x00FFFFFFu;
    for (int l = 0; l < run30; ++l) {
      std::copy(longImage.Row(l), longImage.Row(l) + 8, frame.Row(l + 5));
    }
    const int result = s.Combine(longImage, frame, 8, -120, st);
    EXPECT_EQ(result, run30 == 29 ? COMPARE_RESULT_FAILED : COMPARE_RESULT_COMBINE) << run30;
    EXPECT_EQ(st.rollSave, 5);
  }
}

TEST(Stitching, EditHintIsAskedForUntilShown) {
  // A fixed left strip that changes colour at every step once the page has
  // moved: every join that sees it asks for the hint (the scroll capture shows it after
  // the step, whichever frame asked), until the hint has been shown.
  PageSpec spec;
  spec.sideBar = 10;
  spec.blankRows = 0.2;
  const Page page(spec);
  const auto recoloured = [&](int offset) {
    PixelImage frame = page.Frame(offset);
    for (int r = 0; r < frame.height; ++r) std::fill(frame.Row(r), frame.Row(r) + 10, 0xFF000000u + static_cast<uint32_t>(offset));
    return frame;
  };
  StitchRun run;
  CFrameStitcher stitcher(run.Env());
  StitchState state;
  PixelImage longImage = page.Frame(0);
  ASSERT_EQ(stitcher.Combine(longImage, page.Frame(10), 100, -120, state), COMPARE_RESULT_COMBINE);
  EXPECT_GE(state.left, 10);
  EXPECT_TRUE(state.tipText.empty());
  for (int offset : {20, 30}) {
    ASSERT_EQ(stitcher.Combine(longImage, recoloured(offset), 100, -120, state), COMPARE_RESULT_COMBINE);
    EXPECT_EQ(state.tipText, kEditHintTip) << offset;
    state.tipText.clear();
  }
  state.editHintShown = true;
  ASSERT_EQ(stitcher.Combine(longImage, recoloured(40), 100, -120, state), COMPARE_RESULT_COMBINE);
  EXPECT_TRUE(state.tipText.empty());
}

TEST(Stitching, BadInputGivesTheDescribedFailures) {
  StitchRun run;
  CFrameStitcher stitcher(run.Env());
  StitchState state;
  PixelImage image;
  image.width = 10;
  image.height = 10;
  image.pixels.assign(100, 0xFFFFFFFFu);
  PixelImage empty;
  EXPECT_EQ(stitcher.Combine(image, empty, 10, 0, state), COMPARE_RESULT_FAILED);
  EXPECT_TRUE(Contains(run.log, "1 wheel == 0:0"));
  EXPECT_EQ(stitcher.Combine(empty, image, 10, -120, state), COMPARE_RESULT_FAILED);
  EXPECT_TRUE(Contains(run.log, "1 get m_scroolImage info failed!:0"));
  EXPECT_EQ(stitcher.Combine(image, empty, 10, -120, state), COMPARE_RESULT_FAILED);
  EXPECT_TRUE(Contains(run.log, "1 get bitmap info failed!:0"));
  PixelImage taller = image;
  taller.height = 20;
  taller.pixels.assign(200, 0xFFFFFFFFu);
  PixelImage shorter = image;
  EXPECT_EQ(stitcher.Combine(shorter, taller, 10, -120, state), COMPARE_RESULT_FAILED);
  EXPECT_TRUE(Contains(run.log, "1 sourceHeight<bitmapHeight -10 -20"));

  // Margins of the whole width, a scroll position far outside the image, and
  // a scroll position that would make the join read outside the pictures.
  PixelImage other = image;
  other.pixels[5] = 0;
  for (const auto& setup : std::vector<std::function<void(StitchState&)>>{
           [](StitchState& s) { s.left = 6, s.right = 6, s.marginsGuessed = true; },
           [](StitchState& s) { s.rollOffset = 2000000000, s.rollOffsetMax = 2147483647, s.marginsGuessed = true; },
           [](StitchState& s) { s.rollOffset = -5, s.rollOffsetMin = -5, s.rollOffsetMax = 40, s.marginsGuessed = true; },
           [](StitchState& s) { s.top = -3, s.bottom = 1 << 30, s.marginsGuessed = true; }}) {
    for (int wheel : {-120, 120}) {
      StitchState s;
      setup(s);
      StitchRun a;
      CFrameStitcher product(a.Env());
      PixelImage longImage = taller;
      const int rp = product.Combine(longImage, other, 10, wheel, s);
      EXPECT_TRUE(rp >= COMPARE_RESULT_COMBINE && rp <= COMPARE_RESULT_INSIDE) << rp;
      if (rp == COMPARE_RESULT_COMBINE) EXPECT_EQ(a.joinedHeight, longImage.height);
      if (rp != COMPARE_RESULT_COMBINE) EXPECT_EQ(longImage.height, 20);
    }
  }
}

}  // namespace
}  // namespace ScreenCapture

namespace ScreenCapture {
namespace {

TEST(Stitching, LongImageGrowsInPlaceInBothDirectionsAndMatchesThePage) {
  // From the middle of a page up to its top, then down to its end: after every
  // join the long image is the header, the page rows seen so far and the
  // footer, whatever the spare rows and rebuilds of the buffer underneath.
  PageSpec spec;
  spec.width = 64;
  spec.viewHeight = 90;
  spec.pageHeight = 1500;
  spec.header = 8;
  spec.footer = 5;
  spec.blankRows = 0.2;
  spec.repeatRows = 0;
  spec.seed = 5;
  const Page page(spec);
  const int content = spec.viewHeight - spec.header - spec.footer;
  const auto expected = [&](int from, int to) {  // page rows from..to-1 between the fixed parts
    PixelImage top = page.Frame(from), bottom = page.Frame(to - content);
    std::vector<uint32_t> rows;  // stored bottom-up
    for (int r = 0; r < spec.footer; ++r) rows.insert(rows.end(), bottom.Row(r), bottom.Row(r) + 64);
    for (int p = to - 1; p >= from; --p) {
      const PixelImage f = page.Frame(p);
      const uint32_t* row = f.Row(spec.viewHeight - 1 - spec.header);
      rows.insert(rows.end(), row, row + 64);
    }
    for (int r = spec.viewHeight - spec.header; r < spec.viewHeight; ++r) rows.insert(rows.end(), top.Row(r), top.Row(r) + 64);
    return rows;
  };
  StitchRun run;
  CFrameStitcher stitcher(run.Env());
  StitchState state;
  PixelImage longImage = page.Frame(700);
  int from = 700, to = 700 + content, joins = 0, offset = 700;
  for (int wheel : {120, -120}) {
    for (int step = 0; step < 200; ++step) {
      offset = wheel > 0 ? std::max(0, offset - 37) : std::min(spec.pageHeight - content, offset + 41);
      const int result = stitcher.Combine(longImage, page.Frame(offset), 64, wheel, state);
      if (result == (wheel > 0 ? COMPARE_RESULT_TOP : COMPARE_RESULT_BOTTOM)) break;
      if (result == COMPARE_RESULT_INSIDE) continue;
      ASSERT_EQ(result, COMPARE_RESULT_COMBINE) << offset;
      ++joins;
      from = std::min(from, offset);
      to = std::max(to, offset + content);
      ASSERT_EQ(longImage.height, to - from + spec.header + spec.footer) << offset;
      const std::vector<uint32_t> want = expected(from, to);
      ASSERT_EQ(std::vector<uint32_t>(longImage.Row(0), longImage.Row(0) + want.size()), want) << offset;
      ASSERT_LE(longImage.Capacity(), longImage.height + longImage.height / 4 + spec.viewHeight + 1);
    }
  }
  EXPECT_EQ(from, 0);
  EXPECT_EQ(to, spec.pageHeight);
  EXPECT_GT(joins, 30);
}

TEST(ScrollPreview, PlacementAndSizeBesideTheSelection) {
  EXPECT_EQ(ChoosePreviewPlacement(Rect{100, 100, 400, 300}, 1920, 1080), 0);   // right
  EXPECT_EQ(ChoosePreviewPlacement(Rect{1400, 100, 500, 300}, 1920, 1080), 1);  // left
  EXPECT_EQ(ChoosePreviewPlacement(Rect{0, 100, 1920, 300}, 1920, 1080), 2);    // below
  EXPECT_EQ(ChoosePreviewPlacement(Rect{0, 700, 1920, 300}, 1920, 1080), 3);    // above
  EXPECT_EQ(ChoosePreviewPlacement(Rect{0, 0, 1100, 1080}, 1920, 1080), 4);     // right at 0.6
  EXPECT_EQ(ChoosePreviewPlacement(Rect{0, 0, 1920, 1080}, 1920, 1080), SHOW_RIGHT_INSIDE_20);

  const Rect sel{100, 100, 400, 300};
  EXPECT_EQ(PreviewRect(0, sel, 398, 200, 1080, false), (Rect{520, 200, 398, 200}));  // bottom-aligned
  EXPECT_EQ(PreviewRect(0, sel, 398, 900, 1080, false), (Rect{520, 40, 159, 360}));   // capped, proportional
  EXPECT_EQ(PreviewRect(1, sel, 100, 100, 1080, false), (Rect{-20, 300, 100, 100}));
  EXPECT_EQ(PreviewRect(6, sel, 100, 100, 1080, false), (Rect{440, 420, 60, 60}));  // below at 0.6
  const Rect all{0, 0, 1920, 1080};
  EXPECT_EQ(PreviewRect(8, all, 1918, 5000, 1080, false), (Rect{1818, 20, 82, 216}));
  EXPECT_EQ(PreviewRect(8, all, 1918, 5000, 1080, true).y, 844);
  // No image yet, or a selection with no room above: nothing, never a
  // division by zero or a negative size.
  EXPECT_TRUE(PreviewRect(0, sel, 398, 0, 1080, false).IsEmpty());
  EXPECT_GE(PreviewRect(3, Rect{0, 10, 100, 100}, 50, 50, 1080, false).height, 0);

  // The preview's top is the page's top (rows are stored bottom-up, after
  // spare rows), opaque whatever alpha the grab had.
  PixelImage image;
  image.width = 4;
  image.height = 90;
  image.first = 5;
  ASSERT_TRUE(image.pixels.assign(4 * 100, 0x000000FF));
  for (int r = 60; r < 90; ++r) std::fill(image.Row(r), image.Row(r) + 4, 0x80FF0000u);
  uint32_t out[3 * 3] = {};
  ScalePreview(image, 2, 3, out, 3);
  EXPECT_EQ(out[0], 0xFFFF0000u);
  EXPECT_EQ(out[1], 0xFFFF0000u);
  EXPECT_EQ(out[3], 0xFF0000FFu);
  EXPECT_EQ(out[7], 0xFF0000FFu);
  EXPECT_EQ(out[2], 0u);  // past the width: untouched
}

TEST(ScrollSteps, TipsAndStopsAfterEachStep) {
  const auto tipAfter = [](const StepOutcome& o) { return o.shown.empty() ? std::string() : o.shown.back().tip; };
  {
    // Scrolled, then the bottom four steps in a row: "..." three times, then
    // the final tip, which stops the scrolling.
    ScrollStepEvaluator e;
    EXPECT_TRUE(e.Evaluate(COMPARE_RESULT_COMBINE, 500, 9000, "").shown.empty());
    for (int i = 0; i < 3; ++i) {
      const StepOutcome o = e.Evaluate(COMPARE_RESULT_BOTTOM, 500, 9000, "");
      EXPECT_EQ(tipAfter(o), kBottomSoonTip) << i;
      EXPECT_FALSE(o.stopAutoScroll);
    }
    const StepOutcome end = e.Evaluate(COMPARE_RESULT_BOTTOM, 500, 9000, kBottomSoonTip);
    EXPECT_EQ(tipAfter(end), kBottomTip);
    EXPECT_TRUE(end.stopAutoScroll && end.finished);
    EXPECT_EQ(end.shown.front().waitMs, 400);
  }
  {
    // Nothing but the top from the start: "cannot capture here".
    ScrollStepEvaluator e;
    e.Evaluate(COMPARE_RESULT_TOP, 300, 9000, "");
    e.Evaluate(COMPARE_RESULT_TOP, 300, 9000, kTopSoonTip);
    EXPECT_EQ(tipAfter(e.Evaluate(COMPARE_RESULT_TOP, 300, 9000, kTopSoonTip)), kAtTopTip);
  }
  {
    // A failed join; six joins that did not grow the image.
    ScrollStepEvaluator e;
    const StepOutcome failed = e.Evaluate(COMPARE_RESULT_FAILED, 300, 9000, "");
    EXPECT_EQ(tipAfter(failed), kInvalidTip);
    EXPECT_TRUE(failed.finished);
    ScrollStepEvaluator s;
    StepOutcome o;
    for (int i = 0; i < 7 && !o.finished; ++i) o = s.Evaluate(COMPARE_RESULT_COMBINE, 800, 9000, "");
    EXPECT_TRUE(o.finished);
    EXPECT_EQ(tipAfter(o), kInvalidTip);
    // A step that failed or met the end starts the count again: after the
    // restart, six more non-growing joins before the tip.
    for (const int ended : {COMPARE_RESULT_FAILED, COMPARE_RESULT_BOTTOM}) {
      ScrollStepEvaluator r;
      for (int i = 0; i < 4; ++i) r.Evaluate(COMPARE_RESULT_COMBINE, 800, 9000, "");
      r.Evaluate(ended, 800, 9000, "");
      int joins = 0;
      for (o = StepOutcome(); !o.finished && joins < 10; ++joins) o = r.Evaluate(COMPARE_RESULT_COMBINE, 800, 9000, "");
      EXPECT_EQ(joins, 6) << ended;
    }
  }
  {
    // Past the maximum height; the edit hint shown for two seconds.
    ScrollStepEvaluator e;
    const StepOutcome high = e.Evaluate(COMPARE_RESULT_COMBINE, 9001, 9000, "");
    EXPECT_TRUE(high.maxHeightReached && high.stopAutoScroll);
    EXPECT_FALSE(high.finished);
    EXPECT_EQ(tipAfter(high), kMaxHeightTip);
    const StepOutcome hint = e.Evaluate(COMPARE_RESULT_COMBINE, 900, 9000, kEditHintTip);
    ASSERT_EQ(hint.shown.size(), 2u);
    EXPECT_EQ(hint.shown[0].waitMs, 2000);
    EXPECT_TRUE(hint.shown[1].tip.empty());
    EXPECT_TRUE(hint.editHintShown);
  }
}

TEST(ScrollEditorLayout, PlacementOffsetsThumbAndBarPresses) {
  const Rect monitor{0, 0, 1920, 1080};
  // Short image: centred, as high as the image and its frame.
  EXPECT_EQ(PlaceEditor(Rect{300, 200, 600, 500}, monitor, 500, 1), (Rect{660, 290, 600, 502}));
  // Tall image: 100 pixels from the top and the bottom; a monitor-wide one stays.
  EXPECT_EQ(PlaceEditor(Rect{300, 200, 600, 500}, monitor, 9000, 1), (Rect{660, 100, 600, 882}));
  EXPECT_EQ(PlaceEditor(Rect{0, 5, 1920, 500}, monitor, 9000, 1), (Rect{0, 5, 1920, 500}));

  // 3,000 rows in a 700-row view: the offset stops at 2,300, the thumb is 163 high.
  const Rect view{661, 101, 598, 700};
  int offset = 0;
  for (int i = 0; i < 30; ++i) offset = ScrollOffsetBy(offset, kEditorScrollRows, 3000, 700);
  EXPECT_EQ(offset, 2300);
  EXPECT_EQ(ThumbRect(view, 3000, 2300), (Rect{1249, 101 + 536, 10, 163}));
  for (int i = 0; i < 30; ++i) offset = ScrollOffsetBy(offset, -kEditorScrollRows, 3000, 700);
  EXPECT_EQ(offset, 0);
  // An image lower than the view: no bar, no scrolling.
  EXPECT_TRUE(ThumbRect(view, 600, 0).IsEmpty());
  EXPECT_EQ(ScrollOffsetBy(0, kEditorScrollRows, 600, 700), 0);
  EXPECT_EQ(ClassifyBarPress(ThumbRect(view, 600, 0), Point{1250, 300}), BarPress::kNone);
  // A thumb drag of 70 pixels moves 300 rows; never past the ends.
  EXPECT_EQ(DragOffset(100, 70, 3000, 700), 400);
  EXPECT_EQ(DragOffset(100, -700, 3000, 700), 0);
  EXPECT_EQ(DragOffset(100, 7000, 3000, 700), 2300);

  const Rect thumb = ThumbRect(view, 3000, 1200);  // y 381 .. 543
  EXPECT_EQ(ClassifyBarPress(thumb, Point{1252, 400}), BarPress::kThumb);
  EXPECT_EQ(ClassifyBarPress(thumb, Point{1252, 200}), BarPress::kAbove);
  EXPECT_EQ(ClassifyBarPress(thumb, Point{1252, 700}), BarPress::kBelow);
  EXPECT_EQ(ClassifyBarPress(thumb, Point{900, 400}), BarPress::kBeside);
  EXPECT_EQ(ClassifyBarPress(thumb, Point{900, 700}), BarPress::kNone);
}

}  // namespace
}  // namespace ScreenCapture
