#include "lyric/gdi_painter.h"

CGdiPainter* CGdiPainter::GetInstance() {
  static CGdiPainter instance;
  return &instance;
}

void CGdiPainter::DrawLine(HDC dc, HPEN pen, int x1, int y1, int x2, int y2) {
  HGDIOBJ previous = ::SelectObject(dc, pen);
  ::MoveToEx(dc, x1, y1, nullptr);
  ::LineTo(dc, x2, y2);
  ::SelectObject(dc, previous);
}

void CGdiPainter::DrawLine(HDC dc, HPEN pen, int x, int y, int length, bool vertical) {
  if (vertical) {
    DrawLine(dc, pen, x, y, x, y + length);
  } else {
    DrawLine(dc, pen, x, y, x + length, y);
  }
}
