// WM_PAINT for windows that paint themselves entirely: like the common controls, a WM_PAINT
// whose wParam names a DC paints into that DC (how a window is drawn into a picture); otherwise
// the update region is painted between BeginPaint and EndPaint.
#pragma once

#include <windows.h>

#include "winlayer/gdi_dc.h"

template <class Paint>
void PaintWindowMessage(HWND hWnd, WPARAM wParam, Paint paint) {
  if (wParam) {
    paint(CDCHandle(reinterpret_cast<HDC>(wParam)));
    return;
  }
  CPaintDC dc(hWnd);
  paint(CDCHandle(dc.m_hDC));
}
