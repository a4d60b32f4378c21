#include "winlayer/image.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cstring>
#include <vector>

#include "winlayer/gdiplus_startup.h"

namespace {

// Whether the decoded picture has transparent pixels: an alpha format, or a palette (GIF)
// with a transparent entry.
bool HasTransparency(Gdiplus::Bitmap& picture) {
  Gdiplus::PixelFormat format = picture.GetPixelFormat();
  if (Gdiplus::IsAlphaPixelFormat(format)) return true;
  if (!Gdiplus::IsIndexedPixelFormat(format)) return false;
  int size = picture.GetPaletteSize();
  if (size < static_cast<int>(sizeof(Gdiplus::ColorPalette))) return false;
  std::vector<BYTE> buffer(static_cast<size_t>(size));
  auto* palette = reinterpret_cast<Gdiplus::ColorPalette*>(buffer.data());
  return picture.GetPalette(palette, size) == Gdiplus::Ok &&
         (palette->Flags & Gdiplus::PaletteFlagsHasAlpha) != 0;
}

// A top-down DIB section; bits receives its pixels.
HBITMAP CreateDib(int width, int height, int bitsPerPixel, void** bits) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(bitsPerPixel);
  info.bmiHeader.biCompression = BI_RGB;
  return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

}  // namespace

CImage::~CImage() {
  Destroy();
}

HRESULT CImage::Load(LPCWSTR path) {
  Destroy();
  if (!path || !EnsureGdiplusStarted()) return E_FAIL;
  Gdiplus::Bitmap picture(path);
  if (picture.GetLastStatus() != Gdiplus::Ok) return E_FAIL;
  int width = static_cast<int>(picture.GetWidth());
  int height = static_cast<int>(picture.GetHeight());
  if (width <= 0 || height <= 0) return E_FAIL;
  bool alpha = HasTransparency(picture);

  void* bits = nullptr;
  HBITMAP bitmap = CreateDib(width, height, 32, &bits);
  if (!bitmap) return E_OUTOFMEMORY;
  // GDI's blending wants premultiplied pixels; opaque pictures need no conversion of alpha.
  Gdiplus::Rect area(0, 0, width, height);
  Gdiplus::BitmapData data = {};
  Gdiplus::PixelFormat format = alpha ? PixelFormat32bppPARGB : PixelFormat32bppRGB;
  if (picture.LockBits(&area, Gdiplus::ImageLockModeRead, format, &data) != Gdiplus::Ok) {
    ::DeleteObject(bitmap);
    return E_FAIL;
  }
  size_t rowBytes = static_cast<size_t>(width) * 4;
  for (int y = 0; y < height; ++y) {
    std::memcpy(static_cast<BYTE*>(bits) + rowBytes * y,
                static_cast<const BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(data.Stride) * y,
                rowBytes);
  }
  picture.UnlockBits(&data);
  Attach(bitmap, alpha);
  return S_OK;
}

bool CImage::LoadFromResource(HINSTANCE instance, LPCWSTR name) {
  Destroy();
  auto* bitmap =
      static_cast<HBITMAP>(::LoadImageW(instance, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap) return false;
  Attach(bitmap);
  return true;
}

bool CImage::Create(int width, int height, int bitsPerPixel, DWORD flags) {
  Destroy();
  if (width <= 0 || height <= 0 || (bitsPerPixel != 24 && bitsPerPixel != 32)) return false;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDib(width, height, bitsPerPixel, &bits);
  if (!bitmap) return false;
  Attach(bitmap, (flags & createAlphaChannel) != 0);
  return true;
}

void CImage::Attach(HBITMAP bitmap, bool hasAlpha) {
  if (bitmap && bitmap == m_bitmap) {
    m_hasAlpha = hasAlpha && m_bitsPerPixel == 32;
    return;
  }
  Destroy();
  BITMAP info = {};
  if (!bitmap || ::GetObjectW(bitmap, sizeof(info), &info) != sizeof(info)) return;
  m_bitmap = bitmap;
  m_width = info.bmWidth;
  m_height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
  m_bitsPerPixel = info.bmBitsPixel;
  m_hasAlpha = hasAlpha && m_bitsPerPixel == 32;
}

HBITMAP CImage::Detach() {
  if (m_dc) {
    ::SelectObject(m_dc, m_oldBitmap);
    ::DeleteDC(m_dc);
    m_dc = nullptr;
    m_dcUsers = 0;
  }
  HBITMAP bitmap = m_bitmap;
  m_bitmap = nullptr;
  m_width = m_height = m_bitsPerPixel = 0;
  m_hasAlpha = false;
  return bitmap;
}

void CImage::Destroy() {
  HBITMAP bitmap = Detach();
  if (bitmap) ::DeleteObject(bitmap);
}

HDC CImage::GetDC() const {
  if (!m_bitmap) return nullptr;
  if (!m_dc) {
    m_dc = ::CreateCompatibleDC(nullptr);
    if (!m_dc) return nullptr;
    m_oldBitmap = ::SelectObject(m_dc, m_bitmap);
  }
  ++m_dcUsers;
  return m_dc;
}

void CImage::ReleaseDC() const {
  if (m_dcUsers == 0 || --m_dcUsers > 0) return;
  ::SelectObject(m_dc, m_oldBitmap);
  ::DeleteDC(m_dc);
  m_dc = nullptr;
}

bool CImage::Blit(HDC dc, const RECT& dest, const RECT& src, DWORD rop, bool blend) const {
  HDC source = GetDC();
  if (!source) return false;
  int destWidth = dest.right - dest.left, destHeight = dest.bottom - dest.top;
  int srcWidth = src.right - src.left, srcHeight = src.bottom - src.top;
  BOOL ok;
  if (blend) {
    BLENDFUNCTION function = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ok = ::AlphaBlend(dc, dest.left, dest.top, destWidth, destHeight, source, src.left, src.top,
                      srcWidth, srcHeight, function);
  } else if (destWidth == srcWidth && destHeight == srcHeight) {
    ok = ::BitBlt(dc, dest.left, dest.top, destWidth, destHeight, source, src.left, src.top, rop);
  } else {
    ok = ::StretchBlt(dc, dest.left, dest.top, destWidth, destHeight, source, src.left, src.top,
                      srcWidth, srcHeight, rop);
  }
  ReleaseDC();
  return ok != FALSE;
}

bool CImage::Draw(HDC dc, int xDest, int yDest, int widthDest, int heightDest, int xSrc, int ySrc,
                  int widthSrc, int heightSrc) const {
  return Draw(dc, RECT{xDest, yDest, xDest + widthDest, yDest + heightDest},
              RECT{xSrc, ySrc, xSrc + widthSrc, ySrc + heightSrc});
}

bool CImage::Draw(HDC dc, const RECT& dest) const {
  return Draw(dc, dest, Whole());
}

bool CImage::Draw(HDC dc, const RECT& dest, const RECT& src) const {
  return Blit(dc, dest, src, SRCCOPY, m_hasAlpha);
}

bool CImage::Draw(HDC dc, int xDest, int yDest) const {
  return Draw(dc, RECT{xDest, yDest, xDest + m_width, yDest + m_height});
}

bool CImage::Draw(HDC dc, int xDest, int yDest, int widthDest, int heightDest) const {
  return Draw(dc, RECT{xDest, yDest, xDest + widthDest, yDest + heightDest});
}

bool CImage::StretchBlt(HDC dc, int xDest, int yDest, int widthDest, int heightDest,
                        DWORD rop) const {
  return StretchBlt(dc, RECT{xDest, yDest, xDest + widthDest, yDest + heightDest}, rop);
}

bool CImage::StretchBlt(HDC dc, const RECT& dest, DWORD rop) const {
  return StretchBlt(dc, dest, Whole(), rop);
}

bool CImage::StretchBlt(HDC dc, const RECT& dest, const RECT& src, DWORD rop) const {
  return Blit(dc, dest, src, rop, false);
}

bool CImage::BitBlt(HDC dc, int xDest, int yDest, DWORD rop) const {
  return BitBlt(dc, xDest, yDest, m_width, m_height, 0, 0, rop);
}

bool CImage::BitBlt(HDC dc, int xDest, int yDest, int width, int height, int xSrc, int ySrc,
                    DWORD rop) const {
  return Blit(dc, RECT{xDest, yDest, xDest + width, yDest + height},
              RECT{xSrc, ySrc, xSrc + width, ySrc + height}, rop, false);
}
