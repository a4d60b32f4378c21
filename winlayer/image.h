// CImage: a picture from a JPEG, PNG, GIF or BMP file or a bitmap resource, held as a GDI
// DIB section and drawn with GDI.
//
// Files are decoded with GDI+, which is started the first time any CImage needs it (nothing at
// program start does) and deliberately never shut down: worker threads may still load or draw
// pictures while the program ends, and a GDI+ shut down under them would crash. The process
// exit releases what GDI+ holds.
//
// The decoded pixels are copied out, so the file is not kept open or locked after Load (the
// image downloader may replace it at any time). Pictures with transparency are kept as 32-bit
// premultiplied pixels and Draw blends them; StretchBlt and BitBlt copy pixels as they are.
//
// A CImage cannot be copied; pass it by reference.
#pragma once

#include <windows.h>

class CImage {
 public:
  // Create flag: the 32-bit pixels carry alpha that Draw blends.
  static constexpr DWORD createAlphaChannel = 0x01;

  CImage() = default;
  ~CImage();
  CImage(const CImage&) = delete;
  CImage& operator=(const CImage&) = delete;

  // Replaces the picture held. S_OK, or a failure code with the image left null.
  HRESULT Load(LPCWSTR path);
  // A BITMAP resource (as a DIB section); false with the image left null when there is none.
  bool LoadFromResource(HINSTANCE instance, LPCWSTR name);
  bool LoadFromResource(HINSTANCE instance, UINT id) {
    return LoadFromResource(instance, MAKEINTRESOURCEW(id));
  }
  // An empty (black) DIB section; bitsPerPixel 24 or 32 (a negative height is not accepted).
  bool Create(int width, int height, int bitsPerPixel, DWORD flags = 0);
  // Takes ownership of a bitmap; a 32-bit DIB section is assumed to carry premultiplied alpha
  // only when hasAlpha says so.
  void Attach(HBITMAP bitmap, bool hasAlpha = false);
  HBITMAP Detach();
  void Destroy();

  bool IsNull() const { return m_bitmap == nullptr; }
  int GetWidth() const { return m_width; }
  int GetHeight() const { return m_height; }
  int GetBPP() const { return m_bitsPerPixel; }
  bool HasAlphaChannel() const { return m_hasAlpha; }
  operator HBITMAP() const { return m_bitmap; }  // NOLINT: the Windows API takes these

  // Draws the picture (or a part of it) into the destination rectangle, stretched with the
  // DC's stretch mode; a picture with alpha is blended onto what is there.
  bool Draw(HDC dc, int xDest, int yDest, int widthDest, int heightDest, int xSrc, int ySrc,
            int widthSrc, int heightSrc) const;
  bool Draw(HDC dc, const RECT& dest) const;
  bool Draw(HDC dc, const RECT& dest, const RECT& src) const;
  bool Draw(HDC dc, int xDest, int yDest) const;
  bool Draw(HDC dc, POINT dest) const { return Draw(dc, dest.x, dest.y); }
  bool Draw(HDC dc, int xDest, int yDest, int widthDest, int heightDest) const;

  // Copies pixels with a raster operation, stretched with the DC's stretch mode.
  bool StretchBlt(HDC dc, int xDest, int yDest, int widthDest, int heightDest,
                  DWORD rop = SRCCOPY) const;
  bool StretchBlt(HDC dc, const RECT& dest, DWORD rop = SRCCOPY) const;
  bool StretchBlt(HDC dc, const RECT& dest, const RECT& src, DWORD rop = SRCCOPY) const;
  bool BitBlt(HDC dc, int xDest, int yDest, DWORD rop = SRCCOPY) const;
  bool BitBlt(HDC dc, POINT dest, DWORD rop = SRCCOPY) const {
    return BitBlt(dc, dest.x, dest.y, rop);
  }
  bool BitBlt(HDC dc, int xDest, int yDest, int width, int height, int xSrc, int ySrc,
              DWORD rop = SRCCOPY) const;

  // A memory DC with the picture selected, to draw onto it or read it. Every GetDC needs one
  // ReleaseDC; nested calls share one DC.
  HDC GetDC() const;
  void ReleaseDC() const;

 private:
  bool Blit(HDC dc, const RECT& dest, const RECT& src, DWORD rop, bool blend) const;
  RECT Whole() const { return RECT{0, 0, m_width, m_height}; }

  HBITMAP m_bitmap = nullptr;
  int m_width = 0;
  int m_height = 0;
  int m_bitsPerPixel = 0;
  bool m_hasAlpha = false;
  mutable HDC m_dc = nullptr;
  mutable HGDIOBJ m_oldBitmap = nullptr;
  mutable int m_dcUsers = 0;
};
