#include "winlayer/bitmap_dc.h"

CBitmapDC::CBitmapDC(HDC dc, HBITMAP bitmap) {
  BITMAP info = {};
  if (!bitmap || ::GetObjectW(bitmap, sizeof(info), &info) != sizeof(info)) return;
  if (!m_dc.CreateCompatibleDC(dc)) return;
  m_old = m_dc.SelectObject(bitmap);
  if (m_old) m_size = {info.bmWidth, info.bmHeight};
}

CBitmapDC::~CBitmapDC() {
  if (m_old) m_dc.SelectObject(m_old);
}

bool DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y) {
  CBitmapDC source(dc, bitmap);
  if (!source.get()) return false;
  return ::BitBlt(dc, x, y, source.size().cx, source.size().cy, source.get(), 0, 0, SRCCOPY) !=
         FALSE;
}

bool DrawBitmap(HDC dc, HBITMAP bitmap, const RECT& dest) {
  CBitmapDC source(dc, bitmap);
  if (!source.get()) return false;
  const SIZE size = source.size();
  const int width = dest.right - dest.left;
  const int height = dest.bottom - dest.top;
  if (width == size.cx && height == size.cy) {
    return ::BitBlt(dc, dest.left, dest.top, width, height, source.get(), 0, 0, SRCCOPY) != FALSE;
  }
  const int oldMode = ::SetStretchBltMode(dc, HALFTONE);
  POINT oldOrigin;
  ::SetBrushOrgEx(dc, 0, 0, &oldOrigin);  // HALFTONE wants the brush origin set after it
  BOOL drawn = ::StretchBlt(dc, dest.left, dest.top, width, height, source.get(), 0, 0, size.cx,
                            size.cy, SRCCOPY);
  ::SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
  ::SetStretchBltMode(dc, oldMode);
  return drawn != FALSE;
}
