// CSize, CPoint and CRect: the Windows SIZE, POINT and RECT with arithmetic.
//
// Each derives from its Windows structure and adds no data, so a CRect can be passed wherever
// a RECT, RECT* or const RECT* is taken, and an array of RECT can be viewed as CRects.
#pragma once

#include <windows.h>

class CPoint;
class CRect;

class CSize : public SIZE {
 public:
  CSize() : SIZE{0, 0} {}
  CSize(int x, int y) : SIZE{x, y} {}
  CSize(SIZE size) : SIZE(size) {}  // NOLINT: implicit, like the Windows type
  explicit CSize(POINT point) : SIZE{point.x, point.y} {}
  // Low word cx, high word cy, both signed, as in a message's lParam.
  explicit CSize(DWORD packed)
      : SIZE{static_cast<short>(LOWORD(packed)), static_cast<short>(HIWORD(packed))} {}

  void SetSize(int x, int y) {
    cx = x;
    cy = y;
  }
  void SetSize(SIZE size) { *this = size; }

  bool operator==(SIZE other) const { return cx == other.cx && cy == other.cy; }
  bool operator!=(SIZE other) const { return !(*this == other); }
  void operator+=(SIZE other) {
    cx += other.cx;
    cy += other.cy;
  }
  void operator-=(SIZE other) {
    cx -= other.cx;
    cy -= other.cy;
  }
  CSize operator+(SIZE other) const { return CSize(cx + other.cx, cy + other.cy); }
  CSize operator-(SIZE other) const { return CSize(cx - other.cx, cy - other.cy); }
  CSize operator-() const { return CSize(-cx, -cy); }
  CPoint operator+(POINT point) const;
  CPoint operator-(POINT point) const;
  CRect operator+(const RECT* rect) const;
  CRect operator-(const RECT* rect) const;
};

class CPoint : public POINT {
 public:
  CPoint() : POINT{0, 0} {}
  CPoint(int px, int py) : POINT{px, py} {}
  CPoint(POINT point) : POINT(point) {}  // NOLINT: implicit, like the Windows type
  explicit CPoint(SIZE size) : POINT{size.cx, size.cy} {}
  // Low word x, high word y, both signed: the mouse position in a message's lParam.
  explicit CPoint(LPARAM packed)
      : POINT{static_cast<short>(LOWORD(packed)), static_cast<short>(HIWORD(packed))} {}

  void Offset(int dx, int dy) {
    x += dx;
    y += dy;
  }
  void Offset(POINT point) { Offset(point.x, point.y); }
  void Offset(SIZE size) { Offset(size.cx, size.cy); }
  void SetPoint(int px, int py) {
    x = px;
    y = py;
  }

  bool operator==(POINT other) const { return x == other.x && y == other.y; }
  bool operator!=(POINT other) const { return !(*this == other); }
  void operator+=(SIZE size) { Offset(size); }
  void operator-=(SIZE size) { Offset(-size.cx, -size.cy); }
  void operator+=(POINT point) { Offset(point); }
  void operator-=(POINT point) { Offset(-point.x, -point.y); }
  CPoint operator+(SIZE size) const { return CPoint(x + size.cx, y + size.cy); }
  CPoint operator-(SIZE size) const { return CPoint(x - size.cx, y - size.cy); }
  CPoint operator+(POINT point) const { return CPoint(x + point.x, y + point.y); }
  CSize operator-(POINT point) const { return CSize(x - point.x, y - point.y); }
  CPoint operator-() const { return CPoint(-x, -y); }
  CRect operator+(const RECT* rect) const;
  CRect operator-(const RECT* rect) const;
};

class CRect : public RECT {
 public:
  CRect() : RECT{0, 0, 0, 0} {}
  CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
  CRect(const RECT& rect) : RECT(rect) {}   // NOLINT: implicit, like the Windows type
  CRect(const RECT* rect) : RECT(*rect) {}  // NOLINT: implicit, like the Windows type
  CRect(POINT topLeft, SIZE size)
      : RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy} {}
  CRect(POINT topLeft, POINT bottomRight)
      : RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y} {}

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  CSize Size() const { return CSize(Width(), Height()); }
  // The corners as points that alias the rectangle's fields, so they can be written through.
  CPoint& TopLeft() { return *reinterpret_cast<CPoint*>(&left); }
  CPoint& BottomRight() { return *reinterpret_cast<CPoint*>(&right); }
  const CPoint& TopLeft() const { return *reinterpret_cast<const CPoint*>(&left); }
  const CPoint& BottomRight() const { return *reinterpret_cast<const CPoint*>(&right); }
  CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }

  operator RECT*() { return this; }              // NOLINT: the Windows API takes these
  operator const RECT*() const { return this; }  // NOLINT

  // Empty: no area (width or height not positive). Null: all four fields zero.
  bool IsRectEmpty() const { return ::IsRectEmpty(this) != FALSE; }
  bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  // Left and top edges are inside, right and bottom edges outside.
  bool PtInRect(POINT point) const { return ::PtInRect(this, point) != FALSE; }

  void SetRect(int l, int t, int r, int b) { ::SetRect(this, l, t, r, b); }
  void SetRect(POINT topLeft, POINT bottomRight) {
    SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
  }
  void SetRectEmpty() { ::SetRectEmpty(this); }
  void CopyRect(const RECT* rect) { *static_cast<RECT*>(this) = *rect; }
  bool EqualRect(const RECT* rect) const { return ::EqualRect(this, rect) != FALSE; }

  void InflateRect(int dx, int dy) { ::InflateRect(this, dx, dy); }
  void InflateRect(SIZE size) { InflateRect(size.cx, size.cy); }
  void InflateRect(const RECT* by) { InflateRect(by->left, by->top, by->right, by->bottom); }
  void InflateRect(int l, int t, int r, int b) {
    left -= l;
    top -= t;
    right += r;
    bottom += b;
  }
  void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
  void DeflateRect(SIZE size) { InflateRect(-size.cx, -size.cy); }
  void DeflateRect(const RECT* by) { InflateRect(-by->left, -by->top, -by->right, -by->bottom); }
  void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }

  void OffsetRect(int dx, int dy) { ::OffsetRect(this, dx, dy); }
  void OffsetRect(POINT point) { OffsetRect(point.x, point.y); }
  void OffsetRect(SIZE size) { OffsetRect(size.cx, size.cy); }
  void MoveToX(int x) { OffsetRect(x - left, 0); }
  void MoveToY(int y) { OffsetRect(0, y - top); }
  void MoveToXY(int x, int y) { OffsetRect(x - left, y - top); }
  void MoveToXY(POINT point) { MoveToXY(point.x, point.y); }
  // Swaps the edges where right < left or bottom < top.
  void NormalizeRect();

  // Each returns whether the result is non-empty; an empty result is all zeros.
  bool IntersectRect(const RECT* a, const RECT* b) { return ::IntersectRect(this, a, b) != FALSE; }
  bool UnionRect(const RECT* a, const RECT* b) { return ::UnionRect(this, a, b) != FALSE; }
  bool SubtractRect(const RECT* from, const RECT* cut) {
    return ::SubtractRect(this, from, cut) != FALSE;
  }

  CRect& operator=(const RECT& rect) {
    CopyRect(&rect);
    return *this;
  }
  bool operator==(const RECT& rect) const { return EqualRect(&rect); }
  bool operator!=(const RECT& rect) const { return !EqualRect(&rect); }
  // Adding or subtracting a point or size moves the rectangle; a rectangle inflates or deflates
  // by its four fields; & intersects and | unites.
  void operator+=(POINT point) { OffsetRect(point); }
  void operator+=(SIZE size) { OffsetRect(size); }
  void operator+=(const RECT* by) { InflateRect(by); }
  void operator-=(POINT point) { OffsetRect(-point.x, -point.y); }
  void operator-=(SIZE size) { OffsetRect(-size.cx, -size.cy); }
  void operator-=(const RECT* by) { DeflateRect(by); }
  void operator&=(const RECT& rect) { IntersectRect(this, &rect); }
  void operator|=(const RECT& rect) { UnionRect(this, &rect); }
  CRect operator+(POINT point) const { return Moved(point.x, point.y); }
  CRect operator+(SIZE size) const { return Moved(size.cx, size.cy); }
  CRect operator-(POINT point) const { return Moved(-point.x, -point.y); }
  CRect operator-(SIZE size) const { return Moved(-size.cx, -size.cy); }
  CRect operator+(const RECT* by) const {
    CRect result(*this);
    result.InflateRect(by);
    return result;
  }
  CRect operator-(const RECT* by) const {
    CRect result(*this);
    result.DeflateRect(by);
    return result;
  }
  CRect operator&(const RECT& rect) const {
    CRect result;
    result.IntersectRect(this, &rect);
    return result;
  }
  CRect operator|(const RECT& rect) const {
    CRect result;
    result.UnionRect(this, &rect);
    return result;
  }

 private:
  CRect Moved(int dx, int dy) const { return CRect(left + dx, top + dy, right + dx, bottom + dy); }
};

inline void CRect::NormalizeRect() {
  if (left > right) {
    LONG t = left;
    left = right;
    right = t;
  }
  if (top > bottom) {
    LONG t = top;
    top = bottom;
    bottom = t;
  }
}

inline CPoint CSize::operator+(POINT point) const {
  return CPoint(cx + point.x, cy + point.y);
}
inline CPoint CSize::operator-(POINT point) const {
  return CPoint(cx - point.x, cy - point.y);
}
inline CRect CSize::operator+(const RECT* rect) const {
  return CRect(rect) + *this;
}
inline CRect CSize::operator-(const RECT* rect) const {
  return CRect(rect) - *this;
}
inline CRect CPoint::operator+(const RECT* rect) const {
  return CRect(rect) + *this;
}
inline CRect CPoint::operator-(const RECT* rect) const {
  return CRect(rect) - *this;
}
