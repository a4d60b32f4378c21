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

#include "support/temp_dir.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/image.h"

namespace {

constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// A 24-bit BMP file, bottom-up, every pixel the given colour; written by hand so that nothing
// but CImage starts GDI+ in the first test.
std::string SolidBmp(int width, int height, COLORREF colour) {
  int rowBytes = (width * 3 + 3) & ~3;
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + rowBytes * height;
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
  bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
  std::string row(static_cast<size_t>(rowBytes), '\0');
  for (int x = 0; x < width; ++x) {
    row[x * 3] = static_cast<char>(GetBValue(colour));
    row[x * 3 + 1] = static_cast<char>(GetGValue(colour));
    row[x * 3 + 2] = static_cast<char>(GetRValue(colour));
  }
  for (int y = 0; y < height; ++y) bytes += row;
  return bytes;
}

// Writes test pictures with GDI+'s encoders. The tests start GDI+ for this on their own,
// after the first test has shown that CImage needs nobody to do it.
class Encoder {
 public:
  Encoder() {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
  }
  ~Encoder() { Gdiplus::GdiplusShutdown(m_token); }

  // A picture whose left half is opaque red and right half fully transparent.
  bool HalfTransparent(const std::wstring& path, const wchar_t* mime, int width, int height) {
    Gdiplus::Bitmap picture(width, height, PixelFormat32bppARGB);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        picture.SetPixel(
            x, y, x < width / 2 ? Gdiplus::Color(255, 255, 0, 0) : Gdiplus::Color(0, 0, 0, 0));
      }
    }
    return Save(picture, path, mime);
  }
  bool Solid(const std::wstring& path, const wchar_t* mime, int width, int height,
             Gdiplus::Color colour) {
    Gdiplus::Bitmap picture(width, height, PixelFormat24bppRGB);
    Gdiplus::Graphics(&picture).Clear(colour);
    return Save(picture, path, mime);
  }

 private:
  static bool Save(Gdiplus::Bitmap& picture, const std::wstring& path, const wchar_t* mime) {
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, codecs);
    for (UINT i = 0; i < count; ++i) {
      if (wcscmp(codecs[i].MimeType, mime) == 0)
        return picture.Save(path.c_str(), &codecs[i].Clsid, nullptr) == Gdiplus::Ok;
    }
    return false;
  }

  ULONG_PTR m_token = 0;
};

// A 32-bit DIB target filled white, to draw pictures on and read the pixels back.
class Canvas {
 public:
  Canvas(int width, int height) {
    m_target.Create(width, height, 32);
    m_dc = m_target.GetDC();
    CDCHandle(m_dc).FillSolidRect(0, 0, width, height, kWhite);
  }
  ~Canvas() { m_target.ReleaseDC(); }
  HDC dc() const { return m_dc; }
  COLORREF at(int x, int y) const { return ::GetPixel(m_dc, x, y); }

 private:
  CImage m_target;
  HDC m_dc = nullptr;
};

bool Near(COLORREF a, COLORREF b, int tolerance) {
  return abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
         abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         abs(GetBValue(a) - GetBValue(b)) <= tolerance;
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
  EXPECT_TRUE(image.BitBlt(canvas.dc(), 1, 1));
  EXPECT_EQ(kGreen, canvas.at(1, 1));
  EXPECT_EQ(kGreen, canvas.at(5, 3));
  EXPECT_EQ(kWhite, canvas.at(6, 3));
}

TEST(Image, LoadsJpegWithItsSizeAndDrawsItStretched) {
  testsupport::TempDir dir;
  Encoder encoder;
  std::wstring jpeg = dir.file(L"cover.jpg");
  ASSERT_TRUE(encoder.Solid(jpeg, L"image/jpeg", 16, 8, Gdiplus::Color(255, 0, 0, 200)));

  CImage image;
  ASSERT_EQ(S_OK, image.Load(jpeg.c_str()));
  EXPECT_EQ(16, image.GetWidth());
  EXPECT_EQ(8, image.GetHeight());
  EXPECT_FALSE(image.HasAlphaChannel());
  Canvas canvas(40, 40);
  // Twice its size; JPEG colours are close, not exact.
  EXPECT_TRUE(image.Draw(canvas.dc(), CRect(0, 0, 32, 16)));
  EXPECT_TRUE(Near(RGB(0, 0, 200), canvas.at(30, 14), 12));
  EXPECT_EQ(kWhite, canvas.at(33, 14));
}

TEST(Image, TransparentPngAndGifBlendOnDrawAndCopyOnStretchBlt) {
  testsupport::TempDir dir;
  Encoder encoder;
  std::wstring png = dir.file(L"icon.png");
  ASSERT_TRUE(encoder.HalfTransparent(png, L"image/png", 6, 4));
  // Wine's GIF encoder writes broken files, so the GIF is a fixed one, made by ImageMagick
  // ("convert -size 3x4 xc:red -size 3x4 xc:none +append"): the same 6 x 4 half-transparent
  // picture, with a transparent palette entry.
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
    EXPECT_EQ(4, image.GetHeight());
    EXPECT_TRUE(image.HasAlphaChannel());

    Canvas canvas(20, 20);
    EXPECT_TRUE(image.Draw(canvas.dc(), 0, 0));
    EXPECT_EQ(RGB(255, 0, 0), canvas.at(1, 1));
    EXPECT_EQ(kWhite, canvas.at(4, 1));  // transparent: the background shows
    // StretchBlt copies the stored pixels: the transparent half arrives black.
    EXPECT_TRUE(image.StretchBlt(canvas.dc(), CRect(0, 10, 12, 18)));
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

  std::wstring broken = dir.file(L"broken.jpg");
  ASSERT_TRUE(testsupport::WriteFileBytes(broken, "\xFF\xD8\xFF not really a jpeg"));
  EXPECT_TRUE(FAILED(image.Load(broken.c_str())));
  EXPECT_TRUE(image.IsNull());

  // A failed load drops the picture held before: a caller must not go on drawing a stale
  // picture that it believes replaced.
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
  EXPECT_EQ(24, image.GetBPP());
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
  ASSERT_NE(nullptr, bitmap);
  CImage other;
  other.Attach(bitmap);
  EXPECT_EQ(6, other.GetWidth());
  EXPECT_EQ(4, other.GetHeight());
  Canvas canvas(10, 10);
  other.Draw(canvas.dc(), CRect(0, 0, 6, 4));
  EXPECT_EQ(kGreen, canvas.at(5, 3));
  EXPECT_FALSE(image.Create(0, 5, 32));
}
