// Costs on the logging and start-up paths: every log line is formatted and
// encoded on the UI thread, and the command line is parsed before the capture
// window appears.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/CommandLine.h"
#include "core/LogFormat.h"
#include "core/LogRecord.h"
#include "core/StartParams.h"

namespace {

using namespace ScreenCapture;

const std::string kTypicalLine =
    "12-06 10:14:00:985 : [INF] CaptureShade.cpp(412)(PID:5120)(7344)selection 120,88 640x480 state=3\n";

void BM_LineFormat(benchmark::State& state) {
  LogTime time;
  time.month = 12;
  time.day = 6;
  for (auto _ : state) {
    std::wstring format = BuildLineFormat(time, 3, L"CaptureShade.cpp", 412, 5120, 7344, L"selection %d,%d %dx%d");
    benchmark::DoNotOptimize(format);
  }
}
BENCHMARK(BM_LineFormat);

void BM_EncodeRecord(benchmark::State& state) {
  for (auto _ : state) {
    std::string record = EncodeRecord(kTypicalLine);
    benchmark::DoNotOptimize(record);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kTypicalLine.size()));
}
BENCHMARK(BM_EncodeRecord);

// A full 1 MB log, the size at which the file is emptied.
void BM_DecodeFullLog(benchmark::State& state) {
  std::string file;
  while (file.size() < 1048576) AppendRecord(file, kTypicalLine);
  for (auto _ : state) {
    DecodedRecords decoded = DecodeRecords(file);
    benchmark::DoNotOptimize(decoded);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(file.size()));
}
BENCHMARK(BM_DecodeFullLog);

class NoFallbacks : public IStartParamFallbacks {
 public:
  std::wstring GetSaveFolder() const override { return L"C:\\p"; }
  std::wstring GetSuiteVersion() const override { return L"1"; }
  std::wstring GetAssistantVersion() const override { return L"1"; }
};

void BM_ParseStartParams(benchmark::State& state) {
  const std::wstring line = L"--cachepath=" + std::wstring(static_cast<size_t>(state.range(0)), L'x') +
                            L" --startmode=2 --fileMappingName=m --appkey=K --tdrversion=1 --moduleversion=2 "
                            L"--quillarinversion=3";
  NoFallbacks fallbacks;
  for (auto _ : state) {
    CaptureStartParams params;
    ParseStartParams(params, line, fallbacks);
    benchmark::DoNotOptimize(params);
  }
}
BENCHMARK(BM_ParseStartParams)->Arg(64)->Arg(100000);

}  // namespace

#include "core/Mosaic.h"
#include "core/PixelOps.h"

#include <cstring>

namespace {

// The dimmed copy of a frozen 1920x1080 screen, made once per capture.
void BM_DimFrozenScreen(benchmark::State& state) {
  const size_t count = static_cast<size_t>(state.range(0)) * static_cast<size_t>(state.range(1));
  std::vector<uint32_t> screen(count);
  for (size_t i = 0; i < count; ++i) screen[i] = static_cast<uint32_t>(i * 2654435761u);
  std::vector<uint32_t> dimmed(count);
  for (auto _ : state) {
    ScreenCapture::DimOverBlack(screen.data(), dimmed.data(), count, 127);
    benchmark::DoNotOptimize(dimmed.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(count) * 4);
}
BENCHMARK(BM_DimFrozenScreen)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

// The mosaic image of a frozen screen, made once per capture by its first
// mosaic stroke, against one plain copy of the same buffer.
void BM_MosaicFilter(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  std::vector<uint32_t> screen(count);
  for (size_t i = 0; i < count; ++i) screen[i] = static_cast<uint32_t>(i * 2654435761u);
  for (auto _ : state) {
    ScreenCapture::PixelateBlocks(screen.data(), width, height, static_cast<size_t>(width));
    benchmark::DoNotOptimize(screen.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(count) * 4);
}
BENCHMARK(BM_MosaicFilter)->Args({3840, 2160})->Unit(benchmark::kMillisecond);

void BM_CopyScreenBuffer(benchmark::State& state) {
  const size_t count = static_cast<size_t>(state.range(0)) * static_cast<size_t>(state.range(1));
  std::vector<uint32_t> screen(count, 0x00808080u);
  std::vector<uint32_t> copy(count);
  for (auto _ : state) {
    std::memcpy(copy.data(), screen.data(), count * 4);
    benchmark::DoNotOptimize(copy.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(count) * 4);
}
BENCHMARK(BM_CopyScreenBuffer)->Args({3840, 2160})->Unit(benchmark::kMillisecond);

}  // namespace

#include "../tests/native/FakeWindows.h"

namespace {

// The window list of a busy desktop: 300 top-level windows with 10 children
// each, built once per capture.
void BM_BuildWindowList(benchmark::State& state) {
  fakewin::Desktop desk;
  for (int i = 0; i < 300; ++i) {
    fakewin::Window top;
    top.rect = ScreenCapture::Rect{(i * 37) % 3000, (i * 53) % 1800, 800, 600};
    top.client = ScreenCapture::Rect{top.rect.x + 8, top.rect.y + 30, 784, 562};
    const auto parent = desk.Add(top);
    for (int c = 0; c < 10; ++c) {
      fakewin::Window child;
      child.parent = parent;
      child.rect = ScreenCapture::Rect{top.rect.x + 10 + c * 70, top.rect.y + 40 + c * 50, 60, 40};
      desk.Add(child);
    }
  }
  for (auto _ : state) {
    ScreenCapture::WindowFinder finder(0, ScreenCapture::kDefaultIgnoredWindowClasses);
    finder.Build(desk);
    benchmark::DoNotOptimize(finder.Candidates().size());
  }
}
BENCHMARK(BM_BuildWindowList)->Unit(benchmark::kMillisecond);

}  // namespace
