#include <gtest/gtest.h>
#include <windows.h>
#include <gdiplus.h>

#include "capture/OutputActions.h"
#include "GdiplusScope.h"
#include "TestFiles.h"

namespace {

using namespace ScreenCapture;

class OutputActions : public testing::Test {
 protected:
  static void SetUpTestSuite() { s_gdiplus = new testfiles::GdiplusScope(); }
  static void TearDownTestSuite() { delete s_gdiplus; }
  static testfiles::GdiplusScope* s_gdiplus;
};
testfiles::GdiplusScope* OutputActions::s_gdiplus = nullptr;

TEST_F(OutputActions, PngFilesAndAnOpaqueClipboardImage) {
  // Half-transparent red over nothing: the file keeps the alpha, the
  // clipboard gets it composed over black.
  Gdiplus::Bitmap image(8, 6, PixelFormat32bppARGB);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 8; ++x) image.SetPixel(x, y, Gdiplus::Color(x < 4 ? 255 : 128, 255, 0, 0));
  }
  testfiles::TempDir dir(L"png \x622A\x56FE");
  const std::wstring path = dir.Path() + L"a.png";
  ASSERT_TRUE(WritePng(&image, path));
  {
    Gdiplus::Bitmap back(path.c_str());
    Gdiplus::Color c;
    back.GetPixel(6, 3, &c);
    EXPECT_EQ(c.GetA(), 128);
  }
  EXPECT_FALSE(WritePng(nullptr, path));
  EXPECT_FALSE(WritePng(&image, dir.Path() + L"missing\\folder\\a.png"));
  EXPECT_FALSE(WritePng(&image, dir.Path() + std::wstring(300, L'x') + L".png"));

  ASSERT_TRUE(PutOnClipboard(&image));
  ASSERT_TRUE(::OpenClipboard(nullptr));
  const HGLOBAL dib = ::GetClipboardData(CF_DIB);
  ASSERT_NE(dib, nullptr);
  const auto* header = static_cast<const BITMAPINFOHEADER*>(::GlobalLock(dib));
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(header->biWidth, 8);
  const auto* bits = reinterpret_cast<const uint8_t*>(header) + header->biSize +
                     (header->biCompression == BI_BITFIELDS ? 12 : 0);
  const int bpp = header->biBitCount;
  const int stride = ((8 * bpp + 31) / 32) * 4;
  const uint8_t* left = bits + static_cast<size_t>(stride) * 2 + 1 * (bpp / 8);
  const uint8_t* right = bits + static_cast<size_t>(stride) * 2 + 6 * (bpp / 8);
  EXPECT_EQ(left[2], 255);
  EXPECT_NEAR(right[2], 128, 2);  // half red over black
  EXPECT_EQ(right[1], 0);
  ::GlobalUnlock(dib);
  ::CloseClipboard();

}

}  // namespace
