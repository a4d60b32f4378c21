#include "winlayer/gdi_dc.h"

CMemoryDC::CMemoryDC(HDC target, const RECT& area)
    : m_hDCOriginal(target), m_rcPaint(area), m_hBmpOld(nullptr) {
  int width = area.right - area.left;
  int height = area.bottom - area.top;
  if (width > 0 && height > 0 && CreateCompatibleDC(target) &&
      m_bmp.CreateCompatibleBitmap(target, width, height)) {
    m_hBmpOld = SelectBitmap(m_bmp);
    // The buffer's pixel (0, 0) is the area's top-left corner.
    SetViewportOrg(-area.left, -area.top);
    return;
  }
  DeleteDC();
  m_hDC = target;  // unbuffered: borrowed, never deleted
}

CMemoryDC::~CMemoryDC() {
  if (!IsBuffered()) {
    m_hDC = nullptr;
    return;
  }
  ::BitBlt(m_hDCOriginal, m_rcPaint.left, m_rcPaint.top, m_rcPaint.right - m_rcPaint.left,
           m_rcPaint.bottom - m_rcPaint.top, m_hDC, m_rcPaint.left, m_rcPaint.top, SRCCOPY);
  // The bitmap must leave the DC before either is deleted.
  SelectBitmap(m_hBmpOld);
}
