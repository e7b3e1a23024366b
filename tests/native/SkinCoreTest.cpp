#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "ZipBuilder.h"
#include "core/Dpi.h"
#include "core/Geometry.h"
#include "core/SkinLayout.h"
#include "core/ZipArchive.h"

namespace ScreenCapture {
namespace {

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

TEST(ZipArchive, ReadsStoredAndDeflatedEntries) {
  const std::string layout = "<Window><Font id=\"1\" name=\"\xE5\xBE\xAE\" size=\"14\"/></Window>";
  const std::string image(5000, '\x7F');
  const std::vector<uint8_t> zip = Bytes(ziptest::Build({{"CaptureWindow.xml", layout, true},
                                                         {"Res/", "", false},
                                                         {"Res/panel@150.png", image, false},
                                                         {"Res/empty.txt", "", true}}));
  ZipArchive archive;
  std::string error;
  ASSERT_TRUE(archive.Open(zip.data(), zip.size(), &error)) << error;
  EXPECT_EQ(archive.Entries().size(), 3u);  // the folder entry is skipped
  std::vector<uint8_t> out;
  EXPECT_EQ(archive.Read("CaptureWindow.xml", out), ZipArchive::Status::kOk);
  EXPECT_EQ(std::string(out.begin(), out.end()), layout);
  EXPECT_EQ(archive.Read("res\\PANEL@150.PNG", out), ZipArchive::Status::kOk);  // any case, either slash
  EXPECT_EQ(out.size(), 5000u);
  EXPECT_EQ(archive.Read("Res/empty.txt", out), ZipArchive::Status::kOk);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(archive.Read("Res/missing.png", out, &error), ZipArchive::Status::kMissing);
}

TEST(ZipArchive, DamagedArchivesFailCleanly) {
  const std::string text(3000, 'a');
  const std::string good = ziptest::Build({{"a.xml", text + "tail", true}, {"b.bin", "stored", false}});
  ZipArchive archive;
  std::vector<uint8_t> out;

  // Every truncation either fails to open or fails to read; none reads junk.
  for (size_t cut = 1; cut < good.size(); ++cut) {
    const std::vector<uint8_t> shortened = Bytes(good.substr(0, good.size() - cut));
    if (!archive.Open(shortened.data(), shortened.size())) continue;
    for (const auto& entry : archive.Entries()) {
      const ZipArchive::Status status = archive.Read(entry, out);
      if (status == ZipArchive::Status::kOk) EXPECT_TRUE(entry.name == "a.xml" || entry.name == "b.bin");
    }
  }
  EXPECT_FALSE(archive.Open(nullptr, 0));
  EXPECT_FALSE(archive.Open(reinterpret_cast<const uint8_t*>("PK"), 2));

  // A flipped byte in the compressed data: damaged or checksum mismatch.
  std::string flipped = good;
  flipped[40] = static_cast<char>(flipped[40] ^ 0x55);
  std::vector<uint8_t> bytes = Bytes(flipped);
  ASSERT_TRUE(archive.Open(bytes.data(), bytes.size()));
  EXPECT_EQ(archive.Read("a.xml", out), ZipArchive::Status::kCorrupt);
  EXPECT_TRUE(out.empty());

  // Sizes that lie: a stated size larger than the data, and an absurd one.
  std::string lying = good;
  const size_t directory = lying.find("PK\x01\x02");
  ASSERT_NE(directory, std::string::npos);
  lying[directory + 24] = static_cast<char>(lying[directory + 24] + 1);  // uncompressed size + 1
  bytes = Bytes(lying);
  ASSERT_TRUE(archive.Open(bytes.data(), bytes.size()));
  EXPECT_EQ(archive.Read("a.xml", out), ZipArchive::Status::kCorrupt);
  lying[directory + 27] = '\x7F';
  bytes = Bytes(lying);
  ASSERT_TRUE(archive.Open(bytes.data(), bytes.size()));
  EXPECT_EQ(archive.Read("a.xml", out), ZipArchive::Status::kTooLarge);

  // An unknown compression method.
  std::string method = good;
  method[directory + 10] = 14;
  bytes = Bytes(method);
  ASSERT_TRUE(archive.Open(bytes.data(), bytes.size()));
  EXPECT_EQ(archive.Read("a.xml", out), ZipArchive::Status::kUnsupported);

  // A local header offset pointing past the end.
  std::string offset = good;
  offset[directory + 45] = '\x40';
  bytes = Bytes(offset);
  ASSERT_TRUE(archive.Open(bytes.data(), bytes.size()));
  EXPECT_EQ(archive.Read("a.xml", out), ZipArchive::Status::kCorrupt);
}

TEST(Dpi, SnapsDownToSkinStepsAndScalesEachProductOnItsOwn) {
  EXPECT_EQ(SnapDpi(96), 96);
  EXPECT_EQ(SnapDpi(120), 96);
  EXPECT_EQ(SnapDpi(143), 96);
  EXPECT_EQ(SnapDpi(144), 144);
  EXPECT_EQ(SnapDpi(168), 144);
  EXPECT_EQ(SnapDpi(192), 192);
  EXPECT_EQ(SnapDpi(287), 192);
  EXPECT_EQ(SnapDpi(288), 288);
  EXPECT_EQ(SnapDpi(400), 384);
  EXPECT_EQ(SnapDpi(0), 96);
  EXPECT_EQ(ScaleByDpi(5, 144), 7);  // 7.5 truncated
  EXPECT_EQ(ScaleByDpi(392, 144), 588);
  EXPECT_EQ(ScaleByDpi(-5, 144), -7);
  EXPECT_EQ(DpiVariantName("Res/panel.png", 96), "Res/panel.png");
  EXPECT_EQ(DpiVariantName("Res/panel.png", 144), "Res/panel@150.png");
  EXPECT_EQ(DpiVariantName("Res/panel.png", 384), "Res/panel@400.png");
  EXPECT_EQ(DpiVariantName("Res.d/panel", 192), "Res.d/panel@200");
}

TEST(Geometry, HalfOpenRectanglesAndVirtualScreenOrigin) {
  constexpr Rect r{10, 20, 30, 40};
  static_assert(r.Right() == 40 && r.Bottom() == 60, "exclusive edges");
  static_assert(r.Contains(Point{10, 20}) && !r.Contains(Point{40, 20}) && !r.Contains(Point{10, 60}), "half-open");
  EXPECT_EQ(r.Intersect(Rect{35, 55, 100, 100}), (Rect{35, 55, 5, 5}));
  EXPECT_TRUE(r.Intersect(Rect{40, 20, 5, 5}).IsEmpty());  // touching edges share nothing
  // A straight stroke's box has no width yet bounds what is drawn; a repaint
  // area without pixels adds nothing.
  EXPECT_EQ(r.Union(Rect{60, 0, 0, 10}), (Rect{10, 0, 50, 60}));
  EXPECT_EQ(UnionRect(r, Rect{60, 0, 0, 10}), r);
  // Edges further apart than an int counts (a skin attribute can say so):
  // the span stops where the far edge is still an int.
  constexpr Rect wide = Rect::FromEdges(-3333333, 5, 2147483647, -2147483647 - 1);
  static_assert(wide.width == 2147483647 && wide.Right() == 2147483647 - 3333333, "saturated");
  static_assert(wide.height == -2147483647 - 1 && wide.Bottom() == -2147483647 - 1 + 5, "saturated");
  EXPECT_EQ(Rect::FromEdges(100, 0, 2147483647, 10).Right(), 2147483647);

  // A monitor left of and above the primary: the virtual screen starts negative.
  constexpr Rect virtualScreen{-1920, -1080, 3840, 2160};
  EXPECT_EQ(ScreenToCapture(Point{-1920, -1080}, virtualScreen), (Point{0, 0}));
  EXPECT_EQ(ScreenToCapture(Point{0, 0}, virtualScreen), (Point{1920, 1080}));
  EXPECT_EQ(CaptureToScreen(Point{100, 50}, virtualScreen), (Point{-1820, -1030}));
  EXPECT_EQ(CaptureToScreen(Rect{100, 50, 300, 200}, virtualScreen), (Rect{-1820, -1030, 300, 200}));
  EXPECT_EQ(ScreenToCapture(CaptureToScreen(Rect{7, 8, 9, 10}, virtualScreen), virtualScreen), (Rect{7, 8, 9, 10}));

  // Free address space of a 32-bit process with and without the large
  // address flag, and of a 64-bit one.
  constexpr uint64_t k32Large = 3900ull << 20, k32 = 1900ull << 20, k64 = 128ull << 40;
  for (const uint64_t available : {k32Large, k32, k64}) {
    EXPECT_TRUE(IsGrabbableScreen(Rect{0, 0, 19200, 2160}, available)) << available;  // five 4K monitors in a row
    EXPECT_TRUE(IsGrabbableScreen(Rect{-3840, -2160, 7680, 4320}, available)) << available;
    EXPECT_FALSE(IsGrabbableScreen(Rect{0, 0, 0, 1080}, available));
    EXPECT_FALSE(IsGrabbableScreen(Rect{0, 0, 1920, -5}, available));
    EXPECT_FALSE(IsGrabbableScreen(Rect{0, 0, 30000, 20000}, available));  // one image beyond what GDI can size
  }
  EXPECT_FALSE(IsGrabbableScreen(Rect{0, 0, 16384, 16384}, k32Large));
  EXPECT_FALSE(IsGrabbableScreen(Rect{0, 0, 16384, 16384}, k32));
  EXPECT_TRUE(IsGrabbableScreen(Rect{0, 0, 16384, 16384}, k64));
  EXPECT_FALSE(IsGrabbableScreen(Rect{0, 0, 19200, 2160}, 500ull << 20));  // a nearly full address space
}

TEST(SkinLayout, AttributeValues) {
  int v[4];
  EXPECT_EQ(ParseIntList("0, 51", v, 4), 2);
  EXPECT_EQ(v[0], 0);
  EXPECT_EQ(v[1], 51);
  EXPECT_EQ(v[2], 0);
  EXPECT_EQ(ParseMargins("12,0,0,0"), (Margins{12, 0, 0, 0}));
  EXPECT_EQ(ParseMargins("-3,x,99999999999,4"), (Margins{-3, 0, 2147483647, 4}));
  uint32_t colour = 0;
  EXPECT_TRUE(ParseColor("#FFCCCCCC", colour));
  EXPECT_EQ(colour, 0xFFCCCCCCu);
  EXPECT_TRUE(ParseColor("#335EFF", colour));
  EXPECT_EQ(colour, 0xFF335EFFu);
  EXPECT_FALSE(ParseColor("#12345", colour));
  EXPECT_FALSE(ParseColor("#GG000000", colour));
  const ImageAttribute image = ParseImageAttribute("file='Res/red.png' dest='2,2,14,14'");
  EXPECT_EQ(image.file, "Res/red.png");
  EXPECT_TRUE(image.hasDest);
  EXPECT_EQ(image.dest, (Rect{2, 2, 12, 12}));
  EXPECT_EQ(ParseImageAttribute("Res/plain.png").file, "Res/plain.png");
  EXPECT_FALSE(ParseImageAttribute("Res/plain.png").hasDest);
}

TEST(SkinLayout, ContainersPlaceTheirChildren) {
  // A vertical toolbar-like column: a 7-high spacer, a 36-high row, a
  // stretching rest, a floating panel and a hidden child.
  std::vector<LayoutChild> column(5);
  column[0].fixedHeight = 7;
  column[1].fixedHeight = 36;
  column[1].padding = Margins{10, 2, 0, 3};
  column[3].floating = true;
  column[3].floatEdges = Rect::FromEdges(0, 51, 0, 0);
  column[3].fixedWidth = 250;
  column[3].fixedHeight = 36;
  column[4].visible = false;
  std::vector<Rect> rects = ArrangeChildren(LayoutKind::kVertical, Rect{100, 200, 392, 100}, Margins{}, column);
  EXPECT_EQ(rects[0], (Rect{100, 200, 392, 7}));
  EXPECT_EQ(rects[1], (Rect{110, 209, 382, 36}));
  EXPECT_EQ(rects[2], (Rect{100, 248, 392, 52}));  // what is left
  EXPECT_EQ(rects[3], (Rect{100, 251, 250, 36}));
  EXPECT_TRUE(rects[4].IsEmpty());

  // A row with an inset: fixed widths with left padding, two stretchers share
  // the rest and the last takes the odd pixel.
  std::vector<LayoutChild> row(4);
  row[0].fixedWidth = 10;
  row[1].fixedWidth = 20;
  row[1].fixedHeight = 20;
  row[1].padding = Margins{12, 0, 0, 0};
  rects = ArrangeChildren(LayoutKind::kHorizontal, Rect{0, 0, 103, 36}, Margins{0, 8, 0, 0}, row);
  EXPECT_EQ(rects[0], (Rect{0, 8, 10, 28}));
  EXPECT_EQ(rects[1], (Rect{22, 8, 20, 20}));
  EXPECT_EQ(rects[2], (Rect{42, 8, 30, 28}));
  EXPECT_EQ(rects[3], (Rect{72, 8, 31, 28}));

  // Overfull: stretchers get nothing rather than a negative size.
  row[0].fixedWidth = 500;
  rects = ArrangeChildren(LayoutKind::kHorizontal, Rect{0, 0, 103, 36}, Margins{}, row);
  EXPECT_EQ(rects[2].width, 0);

  // A stack: every child fills the parent (the capture window's background
  // and control), also at a negative origin.
  std::vector<LayoutChild> stack(1);
  rects = ArrangeChildren(LayoutKind::kStack, Rect{-1920, 0, 3840, 1080}, Margins{}, stack);
  EXPECT_EQ(rects[0], (Rect{-1920, 0, 3840, 1080}));
}

}  // namespace
}  // namespace ScreenCapture

#include "core/CaptureRules.h"

namespace ScreenCapture {
namespace {

TEST(CaptureRules, ScrollStartNeedsMoreThanTwiceTheFrame) {
  EXPECT_EQ(DecideScrollStart(kCaptureNormal, Rect{0, 0, 100, 10}, 3), ScrollStart::kStart);  // 10 > 6
  EXPECT_EQ(DecideScrollStart(kCaptureNormal, Rect{0, 0, 100, 6}, 3), ScrollStart::kFreshCapture);
  EXPECT_EQ(DecideScrollStart(kCaptureNormal, Rect{0, 0, 6, 100}, 3), ScrollStart::kFreshCapture);
  EXPECT_EQ(DecideScrollStart(kCaptureNormal, Rect{0, 0, 0, 0}, 0), ScrollStart::kFreshCapture);
  EXPECT_EQ(DecideScrollStart(kCaptureScroll, Rect{0, 0, 100, 100}, 3), ScrollStart::kIgnore);
  EXPECT_EQ(DecideScrollStart(kCaptureScrollEditor, Rect{0, 0, 100, 100}, 3), ScrollStart::kIgnore);
  EXPECT_TRUE(CanStartScrollEditor(kCaptureScroll, Rect{5, 5, 1, 1}));
  EXPECT_FALSE(CanStartScrollEditor(kCaptureNormal, Rect{5, 5, 100, 100}));
  EXPECT_FALSE(CanStartScrollEditor(kCaptureScroll, Rect{5, 5, 0, 100}));
}

}  // namespace
}  // namespace ScreenCapture

#include "PngBuilder.h"
#include "core/PngImage.h"

namespace ScreenCapture {
namespace {

TEST(PngImage, DecodesToPremultipliedPixels) {
  // Opaque red, half-transparent white, fully transparent blue.
  const std::string png = pngtest::Encode(3, 1, {0xFF0000FFu, 0xFFFFFF80u, 0x0000FF00u});
  DecodedImage image;
  std::string error;
  ASSERT_TRUE(DecodePng(reinterpret_cast<const uint8_t*>(png.data()), png.size(), image, &error)) << error;
  EXPECT_EQ(image.width, 3);
  EXPECT_EQ(image.height, 1);
  EXPECT_TRUE(image.hasAlpha);
  EXPECT_EQ(image.pixels[0], 0xFFFF0000u);
  EXPECT_EQ(image.pixels[1], 0x80808080u);
  EXPECT_EQ(image.pixels[2], 0x00000000u);

  // Junk, a cut file and nothing at all are refused.
  EXPECT_FALSE(DecodePng(reinterpret_cast<const uint8_t*>("notapng"), 7, image, &error));
  EXPECT_FALSE(DecodePng(reinterpret_cast<const uint8_t*>(png.data()), png.size() / 2, image, &error));
  EXPECT_FALSE(DecodePng(nullptr, 0, image, &error));
  EXPECT_TRUE(image.pixels.empty());
}

}  // namespace
}  // namespace ScreenCapture

#include "core/PixelOps.h"

namespace ScreenCapture {
namespace {

TEST(PixelOps, DimOverBlackIsExactForEveryValueAndAlpha) {
  std::vector<uint32_t> pixels(256);
  std::vector<uint32_t> out(256);
  for (uint32_t alpha = 0; alpha <= 255; ++alpha) {
    for (uint32_t v = 0; v < 256; ++v) pixels[v] = (0x12u << 24) | (v << 16) | ((255 - v) << 8) | ((v * 7) & 0xFF);
    DimOverBlack(pixels.data(), out.data(), pixels.size(), static_cast<uint8_t>(alpha));
    for (uint32_t v = 0; v < 256; ++v) {
      const uint32_t want = 0xFF000000u | ((v * alpha / 255) << 16) | (((255 - v) * alpha / 255) << 8) |
                            (((v * 7) & 0xFF) * alpha / 255);
      ASSERT_EQ(out[v], want) << "alpha " << alpha << " value " << v;
    }
  }
  // White at 127 reads 127 in every channel; in place works too.
  uint32_t white = 0x00FFFFFF;
  DimOverBlack(&white, &white, 1, 127);
  EXPECT_EQ(white, 0xFF7F7F7Fu);
}

TEST(PixelOps, FillAroundHoleStaysInsideTheImage) {
  EXPECT_EQ(Premultiply(0x7F000000u), 0x7F000000u);
  EXPECT_EQ(Premultiply(0x80FF8000u), 0x80804000u);
  // A 40 x 30 image in rows of 48 pixels, with guard rows after it; the area
  // to paint reaches far past the image, as a control larger than its window does.
  constexpr int kWidth = 40, kHeight = 30, kStride = 48;
  std::vector<uint32_t> bits(static_cast<size_t>(kStride) * (kHeight + 4), 0xDEADBEEFu);
  const Rect hole{30, 20, 50, 50};  // runs off the right and bottom edges
  FillAroundHole(bits.data(), kWidth, kHeight, kStride, Rect{-100, 5, 10000, 10000}, hole, 0x7F000000u);
  for (int y = 0; y < kHeight + 4; ++y) {
    for (int x = 0; x < kStride; ++x) {
      const uint32_t got = bits[static_cast<size_t>(y) * kStride + x];
      uint32_t want = 0xDEADBEEFu;
      if (x < kWidth && y < kHeight && y >= 5) want = hole.Contains(Point{x, y}) ? 0u : 0x7F000000u;
      ASSERT_EQ(got, want) << x << "," << y;
    }
  }
  // Nothing at all for an area outside the image or a stride too short.
  FillAroundHole(bits.data(), kWidth, kHeight, kStride, Rect{kWidth, 0, 5, 5}, hole, 1u);
  FillAroundHole(bits.data(), kWidth, kHeight, kWidth - 1, Rect{0, 0, 5, 5}, hole, 1u);
  EXPECT_EQ(std::count(bits.begin(), bits.end(), 1u), 0);
}

}  // namespace
}  // namespace ScreenCapture

#include "core/ShapeGeometry.h"

namespace ScreenCapture {
namespace {

TEST(ShapeGeometry, ClampingKeepsStrokesInside) {
  constexpr Rect limit{100, 100, 200, 100};
  // Width 5 stops 2 pixels inside the limit (5 / 2 = 2).
  static_assert(ClampPoint(Point{0, 0}, limit, 5) == Point{102, 102}, "");
  static_assert(ClampPoint(Point{1000, 1000}, limit, 5) == Point{298, 198}, "");
  static_assert(ClampPoint(Point{150, 150}, limit, 5) == Point{150, 150}, "");
  EXPECT_EQ(ClampPoint(Point{-1000000, 1000000}, limit, 1), (Point{100, 200}));
  // A limit smaller than the stroke: the lower edge wins, deterministically.
  EXPECT_EQ(ClampPoint(Point{0, 0}, Rect{10, 10, 2, 2}, 9), (Point{14, 14}));
  EXPECT_EQ(ClampPoint(Point{50, 50}, Rect{10, 10, 2, 2}, 9), (Point{8, 8}));

  EXPECT_EQ(FitRect(Rect{90, 90, 20, 20}, limit), (Rect{100, 100, 20, 20}));
  EXPECT_EQ(FitRect(Rect{290, 195, 20, 20}, limit), (Rect{280, 180, 20, 20}));
  EXPECT_EQ(FitRect(Rect{0, 0, 500, 20}, limit), (Rect{-200, 100, 500, 20}));  // too wide: ends at the right edge
  int dx = 1, dy = 1;
  AddFitCorrection(Rect{290, 90, 20, 20}, limit, dx, dy);
  EXPECT_EQ(dx, -9);
  EXPECT_EQ(dy, 11);
}

TEST(ShapeGeometry, SquaresSpansAndHandles) {
  // 50 right and 20 down from the anchor gives a 50 x 50 square.
  static_assert(SquareCandidate(Point{100, 100}, Point{150, 120}) == Point{150, 150}, "");
  static_assert(SquareCandidate(Point{100, 100}, Point{150, 80}) == Point{150, 50}, "");
  static_assert(SquareCandidate(Point{100, 100}, Point{120, 150}) == Point{150, 150}, "");
  static_assert(SquareCandidate(Point{100, 100}, Point{80, 150}) == Point{50, 150}, "");
  static_assert(SpanRect(Point{150, 150}, Point{100, 120}) == Rect{100, 120, 50, 30}, "");
  static_assert(SpanRect(Point{5, 5}, Point{5, 5}) == Rect{5, 5, 0, 0}, "");

  // Handles sit on the centre line of the frame: s = 3 / 2 = 1.
  constexpr auto c = HandleCentres(Rect{10, 20, 100, 50}, 3);
  static_assert(c[0] == Point{11, 21} && c[1] == Point{60, 21} && c[2] == Point{109, 21}, "");
  static_assert(c[3] == Point{11, 45} && c[4] == Point{109, 45}, "");
  static_assert(c[5] == Point{11, 69} && c[6] == Point{60, 69} && c[7] == Point{109, 69}, "");
  static_assert(HandleBox(Point{11, 21}, 8) == Rect{3, 13, 16, 16}, "");
  // A pen of 3 on 10,20 100 x 50 covers 9..111 across and 19..71 down.
  constexpr auto bands = FrameBands(Rect{10, 20, 100, 50}, 3);
  static_assert(bands[0] == Rect{9, 19, 103, 3} && bands[1] == Rect{9, 69, 103, 3}, "");
  static_assert(bands[2] == Rect{9, 22, 3, 47} && bands[3] == Rect{109, 22, 3, 47}, "");
  static_assert(FrameBands(Rect{10, 20, 4, 50}, 3)[2] == Rect{9, 22, 3, 47} && FrameBands(Rect{10, 20, 3, 50}, 3)[0].IsEmpty(), "");
  static_assert(FrameBands(Rect{10, 20, 100, 50}, 2)[0].IsEmpty(), "");
  EXPECT_EQ(HandleCursorKind(0), 1);
  EXPECT_EQ(HandleCursorKind(8), HandleCursorKind(3));
  EXPECT_EQ(HandleCursorKind(10), HandleCursorKind(4));
  EXPECT_EQ(HandleCursorKind(2), 4);
  EXPECT_EQ(HandleCursorKind(12), -1);

  // Resizing by the top middle handle past the bottom flips the rectangle.
  Point fixed, moving;
  ASSERT_TRUE(ResizeCorners(1, Rect{10, 10, 100, 50}, Point{999, 100}, fixed, moving));
  EXPECT_EQ(SpanRect(fixed, moving), (Rect{10, 60, 100, 40}));
  ASSERT_TRUE(ResizeCorners(9, Rect{10, 10, 100, 50}, Point{0, 999}, fixed, moving));
  EXPECT_EQ(SpanRect(fixed, moving), (Rect{0, 10, 110, 50}));
  EXPECT_FALSE(ResizeCorners(12, Rect{}, Point{}, fixed, moving));
  EXPECT_TRUE(IsCornerHandle(7));

  // A region resized over what is drawn on it stops at the drawing's edge,
  // on every side, and at the bounds; with nothing drawn it may flip.
  const Rect press{100, 100, 200, 100}, drawn{150, 120, 50, 40}, bounds{0, 0, 1000, 800};
  Rect region;
  ASSERT_TRUE(ResizeRegion(0, press, Point{250, 190}, drawn, bounds, 1, region));
  EXPECT_EQ(region, Rect::FromEdges(150, 120, 300, 200));
  ASSERT_TRUE(ResizeRegion(7, press, Point{110, 110}, drawn, bounds, 1, region));
  EXPECT_EQ(region, Rect::FromEdges(100, 100, 200, 160));
  ASSERT_TRUE(ResizeRegion(4, press, Point{120, 500}, drawn, bounds, 1, region));
  EXPECT_EQ(region, Rect::FromEdges(100, 100, 200, 200));
  ASSERT_TRUE(ResizeRegion(1, press, Point{0, 5000}, Rect{}, bounds, 1, region));
  EXPECT_EQ(region.y, 200);
  EXPECT_EQ(region.Bottom(), ClampPoint(Point{0, 5000}, bounds, 1).y);
  region = press;
  EXPECT_FALSE(ResizeRegion(12, press, Point{}, drawn, bounds, 1, region));
  EXPECT_EQ(region, press);
  EXPECT_FALSE(IsCornerHandle(6));
}

}  // namespace
}  // namespace ScreenCapture

#include "core/Mosaic.h"

namespace ScreenCapture {
namespace {

// The filter as plainly as it can be said: per block, float sums of the
// channels over the pixels inside the picture, the averages truncated.
std::vector<uint32_t> PlainMosaic(const std::vector<uint32_t>& in, int width, int height, size_t stride) {
  std::vector<uint32_t> out = in;
  for (int by = 0; by < height; by += 10) {
    for (int bx = 0; bx < width; bx += 10) {
      double b = 0, g = 0, r = 0;
      int count = 0;
      for (int y = by; y < std::min(by + 10, height); ++y) {
        for (int x = bx; x < std::min(bx + 10, width); ++x) {
          const uint32_t p = in[static_cast<size_t>(y) * stride + static_cast<size_t>(x)];
          b += p & 0xFF;
          g += (p >> 8) & 0xFF;
          r += (p >> 16) & 0xFF;
          ++count;
        }
      }
      const uint32_t colour = (static_cast<uint32_t>(r / count) << 16) | (static_cast<uint32_t>(g / count) << 8) |
                              static_cast<uint32_t>(b / count);
      for (int y = by; y < std::min(by + 10, height); ++y) {
        for (int x = bx; x < std::min(bx + 10, width); ++x) out[static_cast<size_t>(y) * stride + static_cast<size_t>(x)] = colour;
      }
    }
  }
  return out;
}

// Blocks anchored at buffer row 0 (the bottom of a bottom-up picture) and
// column 0, cut short at the far edges (1925 x 1085: a 5-pixel top row and
// right column); the padding of each row untouched. Top-down buffers are
// checked through the program's own picture in the Windows tests.
TEST(Mosaic, BlocksAreThePlainAverageAndStayInsideThePicture) {
  struct Case {
    int width, height;
    size_t stride;
  };
  for (const Case c : {Case{1925, 1085, 1925}, Case{1, 1, 1}, Case{7, 13, 9}, Case{30, 20, 30}, Case{1, 40, 3}}) {
    std::vector<uint32_t> in(c.stride * static_cast<size_t>(c.height));
    uint32_t seed = 99;
    for (uint32_t& p : in) p = seed = seed * 1664525u + 1013904223u;
    std::vector<uint32_t> out = in;
    PixelateBlocks(out.data(), c.width, c.height, c.stride);
    const std::vector<uint32_t> expected = PlainMosaic(in, c.width, c.height, c.stride);
    size_t wrong = 0;
    for (int y = 0; y < c.height; ++y) {
      for (size_t x = 0; x < c.stride; ++x) {
        const size_t i = static_cast<size_t>(y) * c.stride + x;
        const uint32_t want = x < static_cast<size_t>(c.width) ? expected[i] : in[i];
        if (out[i] != want) ++wrong;
      }
    }
    EXPECT_EQ(wrong, 0u) << c.width << "x" << c.height;
  }
  // Nothing to do, nothing done.
  uint32_t one = 0xFF123456u;
  PixelateBlocks(&one, 0, 1, 1);
  PixelateBlocks(&one, 1, 1, 0);
  PixelateBlocks(nullptr, 1, 1, 1);
  EXPECT_EQ(one, 0xFF123456u);
}

}  // namespace
}  // namespace ScreenCapture

#include "core/StrokeGeometry.h"
#include "core/ShapeStates.h"
#include "core/TextLayout.h"

namespace ScreenCapture {
namespace {

TEST(StrokeGeometry, ArrowHitsAndTheRunsARepaintNeeds) {
  // The head is 20 pixels long whatever the width; its opening follows it.
  const auto middle = ArrowOutline(Point{0, 0}, Point{100, 0}, 3);
  EXPECT_NEAR(middle[2].x, 100 - 20 * std::cos(0.4), 1e-9);
  EXPECT_NEAR(std::fabs(middle[4].y - middle[2].y), 40 * std::sin(0.4), 1e-9);
  const auto big = ArrowOutline(Point{0, 0}, Point{100, 0}, 5);
  EXPECT_NEAR(std::fabs(big[4].y - big[2].y), 40 * std::sin(0.6), 1e-9);
  EXPECT_TRUE(PolygonContains(middle.data(), middle.size(), 95, 0));
  EXPECT_FALSE(PolygonContains(middle.data(), middle.size(), 95, 10));
  EXPECT_EQ(BoundsOf(middle.data(), middle.size()), Rect::FromEdges(0, -8, 100, 8));

  // Along a stroke: round where segments meet, cut flat at its two ends.
  const std::vector<Point> stroke{{0, 0}, {100, 0}, {100, 100}};
  EXPECT_TRUE(StrokeHit(stroke, Point{50, 4}, 4));
  EXPECT_FALSE(StrokeHit(stroke, Point{50, 5}, 4));
  EXPECT_TRUE(StrokeHit(stroke, Point{103, -2}, 4));  // the round corner
  EXPECT_FALSE(StrokeHit(stroke, Point{-2, 0}, 4));   // before the start
  EXPECT_FALSE(StrokeHit(stroke, Point{100, 102}, 4));
  EXPECT_FALSE(StrokeHit(std::vector<Point>{{5, 5}}, Point{5, 5}, 4));

  // What a small repaint needs of a long stroke: only the segments near it.
  std::vector<Point> zigzag;
  for (int i = 0; i < 5000; ++i) zigzag.push_back(Point{i, (i / 100) % 2 ? 500 : 0});
  const auto runs = StrokeRunsNear(zigzag, Rect{4990, 495, 20, 10}, 3);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].first + runs[0].second, 5000u);
  EXPECT_LE(runs[0].second, 15u);
  EXPECT_TRUE(StrokeRunsNear(zigzag, Rect{20000, 0, 5, 5}, 3).empty());
  EXPECT_EQ(StrokeRunsNear(zigzag, Rect{-100, -100, 10000, 10000}, 0).size(), 1u);
}

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

// Only a pressed shape starts its drag, and only once the pointer is more
// than the drag distance away on either axis (4 x 4 here): a slip is a click.
TEST(ShapeStates, DragStartsPastTheDragDistance) {
  const Point press{100, 100};
  for (const Point slip : {Point{101, 100}, Point{104, 104}, Point{96, 96}, Point{100, 104}}) {
    EXPECT_FALSE(MoveStartsCreation(kStatePressed, press, slip, 4, 4)) << slip.x << "," << slip.y;
  }
  for (const Point drag : {Point{105, 100}, Point{95, 100}, Point{100, 105}, Point{100, 95}, Point{400, 300}}) {
    EXPECT_TRUE(MoveStartsCreation(kStatePressed, press, drag, 4, 4)) << drag.x << "," << drag.y;
  }
  EXPECT_FALSE(MoveStartsCreation(kStateCreating, press, Point{400, 300}, 4, 4));
}

}  // namespace
}  // namespace ScreenCapture
