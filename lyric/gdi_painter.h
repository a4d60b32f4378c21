// CGdiPainter: line drawing for the windows that paint themselves (the display's drag marker,
// the main frame, the music-station list).
#pragma once

#include <windows.h>

class CGdiPainter {
 public:
  // The one instance, made on first use (callers are on the UI thread).
  static CGdiPainter* GetInstance();

  // The segment from (x1, y1) to (x2, y2) with pen; the DC gets its pen back.
  void DrawLine(HDC dc, HPEN pen, int x1, int y1, int x2, int y2);
  // A horizontal segment of length from (x, y), or a vertical one.
  void DrawLine(HDC dc, HPEN pen, int x, int y, int length, bool vertical);
};
