#include "support/canvas.h"

#include <algorithm>

namespace testsupport {

Canvas::Canvas(int width, int height, COLORREF fill) : m_width(width), m_height(height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  m_dc.CreateCompatibleDC();
  m_bitmap.CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits);
  m_old = m_dc.SelectBitmap(m_bitmap);
  m_bits = static_cast<const DWORD*>(bits);
  Fill(fill);
}

Canvas::~Canvas() {
  m_dc.SelectBitmap(m_old);
}

COLORREF Canvas::at(int x, int y) const {
  if (!m_bits || x < 0 || y < 0 || x >= m_width || y >= m_height) return CLR_INVALID;
  ::GdiFlush();  // drawing may still be queued
  return Pixel(x, y);
}

COLORREF Canvas::Pixel(int x, int y) const {
  DWORD pixel = m_bits[static_cast<size_t>(y) * m_width + x];  // 0x00RRGGBB
  return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

int Canvas::Count(COLORREF colour, const RECT& area) const {
  if (!m_bits) return 0;
  ::GdiFlush();
  int count = 0;
  for (int y = std::max(0L, area.top); y < std::min<LONG>(m_height, area.bottom); ++y) {
    for (int x = std::max(0L, area.left); x < std::min<LONG>(m_width, area.right); ++x) {
      if (Pixel(x, y) == colour) ++count;
    }
  }
  return count;
}

}  // namespace testsupport
