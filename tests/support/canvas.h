// A memory DC over a 32-bit top-down DIB of a given size, filled with one colour: a target whose
// pixels tests read back exactly, for windows painted through WM_PAINT, WM_PRINTCLIENT or a
// DRAWITEMSTRUCT.
#pragma once

#include <windows.h>

#include "winlayer/gdi_dc.h"
#include "winlayer/gdi_objects.h"

namespace testsupport {

class Canvas {
 public:
  Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255));
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  CDCHandle dc() const { return CDCHandle(m_dc.m_hDC); }
  HDC hdc() const { return m_dc.m_hDC; }
  int width() const { return m_width; }
  int height() const { return m_height; }
  // CLR_INVALID outside the canvas.
  COLORREF at(int x, int y) const;
  void Fill(COLORREF colour) { m_dc.FillSolidRect(0, 0, m_width, m_height, colour); }
  // How many pixels of the rectangle (clipped to the canvas) have exactly this colour.
  int Count(COLORREF colour, const RECT& area) const;
  int Count(COLORREF colour) const { return Count(colour, RECT{0, 0, m_width, m_height}); }

 private:
  COLORREF Pixel(int x, int y) const;

  CDC m_dc;
  CBitmap m_bitmap;
  HBITMAP m_old = nullptr;
  const DWORD* m_bits = nullptr;
  int m_width;
  int m_height;
};

}  // namespace testsupport
