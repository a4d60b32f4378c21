// CImage: pictures from files of every format the program meets, drawn with and without
// transparency, and GDI+ started by CImage itself.
#include <gtest/gtest.h>

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "support/canvas.h"
#include "support/screenshot.h"
#include "support/temp_dir.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/gdiplus_startup.h"
#include "winlayer/image.h"

using testsupport::Canvas;

namespace {

constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// A 24-bit BMP file, bottom-up, every pixel the given colour; written by hand so that nothing
// but CImage starts GDI+ in the first test.
std::string SolidBmp(int width, int height, COLORREF colour) {
  const int rowBytes = (width * 3 + 3) & ~3;
  const DWORD headers = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  const BITMAPFILEHEADER file = {0x4D42, headers + rowBytes * height, 0, 0, headers};
  const BITMAPINFOHEADER info = {sizeof(info), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
  bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
  std::string row(static_cast<size_t>(rowBytes), '\0');
  for (int x = 0; x < width; ++x) {
    row.replace(x * 3, 3,
                {char(GetBValue(colour)), char(GetGValue(colour)), char(GetRValue(colour))});
  }
  for (int y = 0; y < height; ++y) bytes += row;
  return bytes;
}

// Saves a test picture with GDI+'s encoder for the type.
bool Save(Gdiplus::Bitmap& picture, const std::wstring& path, const wchar_t* mime) {
  CLSID encoder;
  return testsupport::FindImageEncoder(mime, &encoder) &&
         picture.Save(path.c_str(), &encoder, nullptr) == Gdiplus::Ok;
}

}  // namespace

// Runs first, before anything in this process has started GDI+. Several threads race for the
// first use; each must get the picture.
TEST(Image, FirstUseStartsGdiplusOnAnyThread) {
  testsupport::TempDir dir;
  std::wstring path = dir.file(L"solid.bmp");
  ASSERT_TRUE(testsupport::WriteFileBytes(path, SolidBmp(5, 3, kGreen)));
  std::vector<std::thread> threads;
  std::vector<int> widths(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      CImage image;
      if (SUCCEEDED(image.Load(path.c_str()))) widths[t] = image.GetWidth();
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(std::vector<int>(4, 5), widths);

  CImage image;
  ASSERT_EQ(S_OK, image.Load(path.c_str()));
  EXPECT_EQ(3, image.GetHeight());
  EXPECT_FALSE(image.HasAlphaChannel());
  Canvas canvas(10, 10);
  EXPECT_TRUE(image.BitBlt(canvas.hdc(), 1, 1));
  EXPECT_EQ(kGreen, canvas.at(1, 1));
  EXPECT_EQ(kGreen, canvas.at(5, 3));
  EXPECT_EQ(kWhite, canvas.at(6, 3));
  // Twice its size.
  EXPECT_TRUE(image.Draw(canvas.hdc(), CRect(0, 4, 10, 10)));
  EXPECT_EQ(kGreen, canvas.at(9, 9));
  EXPECT_EQ(kWhite, canvas.at(9, 3));
}

TEST(Image, TransparentPngAndGifBlendOnDrawAndCopyOnStretchBlt) {
  testsupport::TempDir dir;
  // A 6 x 4 picture whose left half is opaque red and right half fully transparent.
  std::wstring png = dir.file(L"icon.png");
  ASSERT_TRUE(EnsureGdiplusStarted());
  Gdiplus::Bitmap picture(6, 4, PixelFormat32bppARGB);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 6; ++x) picture.SetPixel(x, y, Gdiplus::Color(x < 3 ? 255 : 0, 255, 0, 0));
  }
  ASSERT_TRUE(Save(picture, png, L"image/png"));
  // Wine's GIF encoder writes broken files, so the GIF is a fixed one, made by ImageMagick
  // ("convert -size 3x4 xc:red -size 3x4 xc:none +append"): the same picture, with a
  // transparent palette entry.
  std::wstring gif = dir.file(L"badge.gif");
  ASSERT_TRUE(testsupport::WriteFileBytes(
      gif, std::string("GIF89a\x06\x00\x04\x00\xf0\x00\x00\xff\x00\x00\x00\x00\x00\x21\xf9"
                       "\x04\x01\x00\x00\x01\x00\x2c\x00\x00\x00\x00\x06\x00\x04\x00\x00"
                       "\x02\x07\x84\x83\x06\x18\xca\x8e\x0a\x00\x3b",
                       48)));

  for (const std::wstring& path : {png, gif}) {
    SCOPED_TRACE(testing::Message() << (path == png ? "png" : "gif"));
    CImage image;
    ASSERT_EQ(S_OK, image.Load(path.c_str()));
    EXPECT_EQ(6, image.GetWidth());
    EXPECT_TRUE(image.HasAlphaChannel());

    Canvas canvas(20, 20);
    EXPECT_TRUE(image.Draw(canvas.hdc(), 0, 0));
    EXPECT_EQ(RGB(255, 0, 0), canvas.at(1, 1));
    EXPECT_EQ(kWhite, canvas.at(4, 1));  // transparent: the background shows
    // StretchBlt copies the stored pixels: the transparent half arrives black.
    EXPECT_TRUE(image.StretchBlt(canvas.hdc(), CRect(0, 10, 12, 18)));
    EXPECT_EQ(RGB(255, 0, 0), canvas.at(1, 11));
    EXPECT_EQ(RGB(0, 0, 0), canvas.at(10, 11));
  }
}

TEST(Image, FailuresLeaveANullImageAndFilesUnlocked) {
  testsupport::TempDir dir;
  CImage image;
  EXPECT_TRUE(FAILED(image.Load(dir.file(L"missing.jpg").c_str())));
  EXPECT_TRUE(image.IsNull());
  EXPECT_FALSE(image.Draw(nullptr, CRect(0, 0, 1, 1)));

  // A failed load drops the picture held before: a caller must not go on drawing a stale
  // picture that it believes replaced.
  std::wstring broken = dir.file(L"broken.jpg");
  ASSERT_TRUE(testsupport::WriteFileBytes(broken, "\xFF\xD8\xFF not really a jpeg"));
  std::wstring good = dir.file(L"good.bmp");
  ASSERT_TRUE(testsupport::WriteFileBytes(good, SolidBmp(2, 2, kGreen)));
  ASSERT_EQ(S_OK, image.Load(good.c_str()));
  EXPECT_TRUE(FAILED(image.Load(broken.c_str())));
  EXPECT_TRUE(image.IsNull());

  // After loading, the file may be replaced at once (the image downloader does so).
  ASSERT_EQ(S_OK, image.Load(good.c_str()));
  EXPECT_TRUE(::DeleteFileW(good.c_str()));
  EXPECT_FALSE(image.IsNull());

  EXPECT_FALSE(image.LoadFromResource(::GetModuleHandleW(nullptr), 4242u));
  EXPECT_TRUE(image.IsNull());
}

TEST(Image, CreatedImagesShareOneDcAndDetachKeepsTheBitmap) {
  CImage image;
  ASSERT_TRUE(image.Create(6, 4, 24));
  HDC first = image.GetDC();
  HDC second = image.GetDC();  // nested: the same DC
  EXPECT_EQ(first, second);
  CDCHandle(first).FillSolidRect(0, 0, 6, 4, kGreen);
  image.ReleaseDC();
  EXPECT_EQ(kGreen, ::GetPixel(second, 2, 2));  // still selected for the outer user
  image.ReleaseDC();
  image.ReleaseDC();  // one too many: harmless

  HBITMAP bitmap = image.Detach();
  EXPECT_TRUE(image.IsNull());
  CImage other;
  other.Attach(bitmap);
  EXPECT_EQ(6, other.GetWidth());
  Canvas canvas(10, 10);
  other.Draw(canvas.hdc(), CRect(0, 0, 6, 4));
  EXPECT_EQ(kGreen, canvas.at(5, 3));
  EXPECT_FALSE(image.Create(0, 5, 32));
}
