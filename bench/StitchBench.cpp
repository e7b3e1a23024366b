// Frame stitching: the product next to the literal algorithm, on pages that
// look like real ones (white background, lines of dark text with blank gaps,
// a 60-row header and a 40-row footer that stay, a scroll bar at the right).
#include <benchmark/benchmark.h>

#include <cstring>

#include "StitchOracle.h"
#include "../tests/native/StitchPages.h"
#include "core/FrameStitcher.h"

namespace {

using namespace ScreenCapture;

stitchtest::PageSpec RealPage(int width, int height, bool noise = false) {
  stitchtest::PageSpec spec;
  spec.width = width;
  spec.viewHeight = height;
  spec.pageHeight = height * 14;
  spec.header = 60;
  spec.footer = 40;
  spec.scrollBar = 16;
  spec.blankRows = 0.35;
  spec.repeatRows = 0.02;
  spec.noise = noise;
  spec.seed = 7;
  return spec;
}

StitchEnvironment QuietEnv() {
  StitchEnvironment env;
  env.setCaptureImage = [](int height) { benchmark::DoNotOptimize(height); };
  return env;
}

// The margins as a first Combine of two equally high frames leaves them.
StitchState Guessed(const PixelImage& a, const PixelImage& b, int width) {
  StitchState state;
  CFrameStitcher stitcher(StitchEnvironment{});
  stitcher.GuessBitmapEdge(a, b, width, state);
  state.marginsGuessed = true;
  return state;
}

// `join` false: a reference run so long that the match is refused by the
// ten-per-cent rule, so the same search runs without the join.
template <bool Oracle>
void Step(benchmark::State& state, int moveRows, bool noise, bool join = true) {
  const stitchtest::Page page(RealPage(1000, 800, noise));
  const PixelImage longImage = page.Frame(0);
  const PixelImage frame = page.Frame(moveRows, noise ? 99 : 0);
  StitchState start = Guessed(longImage, page.Frame(300), 1000);
  if (!join) start.matchOffset = 1000000;
  const StitchEnvironment env = QuietEnv();
  CFrameStitcher product(env);
  PixelImage target;
  for (auto _ : state) {
    // The product joins in place: each round starts from the same long image.
    state.PauseTiming();
    if (!Oracle) target = longImage;
    StitchState s = start;
    state.ResumeTiming();
    const int result = Oracle ? oracle::Combine(longImage, frame, 1000, -120, s, env)
                              : product.Combine(target, frame, 1000, -120, s);
    benchmark::DoNotOptimize(result);
  }
}

void BM_TypicalStep_Product(benchmark::State& s) { Step<false>(s, 120, false); }
void BM_TypicalStep_Oracle(benchmark::State& s) { Step<true>(s, 120, false); }
void BM_TypicalStepNoJoin_Product(benchmark::State& s) { Step<false>(s, 120, false, false); }
void BM_TypicalStepNoJoin_Oracle(benchmark::State& s) { Step<true>(s, 120, false, false); }
void BM_PastOverlap_Product(benchmark::State& s) { Step<false>(s, 900, false); }
void BM_PastOverlap_Oracle(benchmark::State& s) { Step<true>(s, 900, false); }
void BM_Noise_Product(benchmark::State& s) { Step<false>(s, 120, true); }
void BM_Noise_Oracle(benchmark::State& s) { Step<true>(s, 120, true); }
BENCHMARK(BM_TypicalStep_Product)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypicalStep_Oracle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypicalStepNoJoin_Product)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypicalStepNoJoin_Oracle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PastOverlap_Product)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PastOverlap_Oracle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Noise_Product)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Noise_Oracle)->Unit(benchmark::kMillisecond);

// The floor of a step: one pass over both frames' compared bands.
void BM_BandPassFloor(benchmark::State& state) {
  const stitchtest::Page page(RealPage(1000, 800));
  const PixelImage a = page.Frame(0);
  const PixelImage b = page.Frame(120);
  for (auto _ : state) {
    uint64_t sum = 0;
    for (int r = 40; r < 800 - 60; ++r) {
      const uint32_t* pa = a.Row(r);
      const uint32_t* pb = b.Row(r);
      for (int x = 0; x < 1000 - 16; ++x) sum += pa[x] ^ pb[x];
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_BandPassFloor)->Unit(benchmark::kMillisecond);

// The join onto a long image of 9000 rows with spare rows below it (what
// the growth leaves most of the time), next to a plain copy of all the bytes
// (what a join that rebuilt the image would cost).
void BM_Join9000Rows(benchmark::State& state) {
  const stitchtest::Page page(RealPage(1000, 800));
  PixelImage longImage;
  longImage.width = 1000;
  longImage.height = 9000;
  longImage.first = 2000;
  longImage.pixels.resize(1000u * 11000u);
  const PixelImage first = page.Frame(0);
  for (int r = 0; r < 9000; ++r) std::memcpy(longImage.Row(r), first.Row(r % 800), 4000);
  const PixelImage frame = page.Frame(120);
  StitchState start = Guessed(first, page.Frame(300), 1000);
  const StitchEnvironment env = QuietEnv();
  CFrameStitcher product(env);
  for (auto _ : state) {
    state.PauseTiming();
    // The latest frame lies at the bottom of the long image.
    longImage.first = 2000;
    longImage.height = 9000;
    std::memcpy(longImage.Row(0), first.Row(0), 800u * 4000u);
    StitchState s = start;
    state.ResumeTiming();
    benchmark::DoNotOptimize(product.Combine(longImage, frame, 1000, -120, s));
  }
}
BENCHMARK(BM_Join9000Rows)->Unit(benchmark::kMillisecond);

void BM_Copy9120RowsFloor(benchmark::State& state) {
  std::vector<uint32_t> source(1000u * 9120u, 1);
  for (auto _ : state) {
    PixelBuffer target;
    target.resize(source.size());
    std::memcpy(target.data(), source.data(), source.size() * 4);
    benchmark::DoNotOptimize(target.data());
  }
}
BENCHMARK(BM_Copy9120RowsFloor)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// What the typical step's join itself costs: its 920 rows copied into a new
// image.
void BM_Copy920RowsJoinPart(benchmark::State& state) {
  std::vector<uint32_t> source(1000u * 920u, 1);
  for (auto _ : state) {
    ScreenCapture::PixelBuffer target;
    target.resize(source.size());
    std::memcpy(target.data(), source.data(), source.size() * 4);
    benchmark::DoNotOptimize(target.data());
  }
}
BENCHMARK(BM_Copy920RowsJoinPart)->Unit(benchmark::kMillisecond);

}  // namespace
