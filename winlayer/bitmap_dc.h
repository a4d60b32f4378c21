// Drawing from bitmaps (skin pictures): CBitmapDC selects a bitmap into a memory DC for as long
// as it lives, as the source of blits, and DrawBitmap copies a whole bitmap at its own size or
// stretched into a rectangle.
#pragma once

#include <windows.h>

#include "winlayer/gdi_dc.h"

class CBitmapDC {
 public:
  // A DC compatible with dc (the screen when null) holding the bitmap, which stays the
  // caller's; the bitmap leaves the DC before the DC is deleted.
  CBitmapDC(HDC dc, HBITMAP bitmap);
  ~CBitmapDC();
  CBitmapDC(const CBitmapDC&) = delete;
  CBitmapDC& operator=(const CBitmapDC&) = delete;

  // Null when the DC could not be made or the bitmap could not be selected.
  HDC get() const { return m_old ? m_dc.m_hDC : nullptr; }
  // The bitmap's size (0 x 0 when it is not a bitmap).
  SIZE size() const { return m_size; }

 private:
  CDC m_dc;
  HGDIOBJ m_old = nullptr;
  SIZE m_size = {0, 0};
};

// The whole bitmap at its own size with its top-left corner at (x, y); false when nothing
// could be drawn.
bool DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y);
// The whole bitmap stretched into dest (smoothly, HALFTONE), copied as it is when the sizes
// match; false when nothing could be drawn.
bool DrawBitmap(HDC dc, HBITMAP bitmap, const RECT& dest);
