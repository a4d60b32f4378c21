// CRect, CPoint and CSize: the arithmetic the painting code leans on.
#include <gtest/gtest.h>

#include "winlayer/geometry.h"

namespace {

void ExpectRect(const RECT& r, int l, int t, int rr, int b) {
  EXPECT_EQ(l, r.left);
  EXPECT_EQ(t, r.top);
  EXPECT_EQ(rr, r.right);
  EXPECT_EQ(b, r.bottom);
}

}  // namespace

TEST(Geometry, RectMeasuresAndMovesWithTheWindowsRules) {
  CRect r(10, 20, 110, 70);
  EXPECT_EQ(100, r.Width());
  EXPECT_EQ(50, r.Height());
  EXPECT_EQ(CSize(100, 50), r.Size());
  EXPECT_EQ(CPoint(60, 45), r.CenterPoint());
  // Left and top edges are inside, right and bottom ones outside.
  EXPECT_TRUE(r.PtInRect(CPoint(10, 20)));
  EXPECT_FALSE(r.PtInRect(CPoint(110, 20)));
  EXPECT_FALSE(r.PtInRect(CPoint(10, 70)));

  r.OffsetRect(-10, 5);
  ExpectRect(r, 0, 25, 100, 75);
  r.InflateRect(2, 3);
  ExpectRect(r, -2, 22, 102, 78);
  r.DeflateRect(1, 2, 3, 4);
  ExpectRect(r, -1, 24, 99, 74);
  r.MoveToXY(5, 6);
  ExpectRect(r, 5, 6, 105, 56);

  CRect inverted(10, 10, 0, 0);
  EXPECT_TRUE(inverted.IsRectEmpty());
  EXPECT_FALSE(inverted.IsRectNull());
  inverted.NormalizeRect();
  ExpectRect(inverted, 0, 0, 10, 10);
  EXPECT_FALSE(inverted.IsRectEmpty());
  EXPECT_TRUE(CRect().IsRectNull());
}

TEST(Geometry, CornersAliasTheRectangle) {
  CRect r(1, 2, 3, 4);
  r.TopLeft() = CPoint(-5, -6);
  r.BottomRight().Offset(10, 10);
  ExpectRect(r, -5, -6, 13, 14);
  // Two corners side by side are a RECT, as MapWindowPoints(..., (POINT*)&rc, 2) expects.
  EXPECT_EQ(static_cast<void*>(&r.BottomRight()), static_cast<void*>(&r.right));
}

TEST(Geometry, RectOperatorsOffsetInflateIntersectAndUnite) {
  const CRect a(0, 0, 10, 10);
  ExpectRect(a + CPoint(5, 1), 5, 1, 15, 11);
  ExpectRect(a - CSize(2, 3), -2, -3, 8, 7);
  CRect margins(1, 2, 3, 4);
  ExpectRect(a + &margins, -1, -2, 13, 14);
  ExpectRect(a - &margins, 1, 2, 7, 6);

  CRect b(5, 5, 20, 20);
  ExpectRect(a & b, 5, 5, 10, 10);
  ExpectRect(a | b, 0, 0, 20, 20);
  // Disjoint rectangles intersect to the null rectangle, and the result says so.
  CRect none;
  EXPECT_FALSE(none.IntersectRect(&a, CRect(30, 30, 40, 40)));
  EXPECT_TRUE(none.IsRectNull());

  CRect c = a;
  c += CPoint(1, 1);
  c -= CSize(1, 1);
  EXPECT_EQ(a, c);
  c &= CRect(2, 2, 4, 4);
  ExpectRect(c, 2, 2, 4, 4);
  c |= CRect(0, 0, 1, 1);
  ExpectRect(c, 0, 0, 4, 4);
  EXPECT_NE(a, c);
}

TEST(Geometry, PointsAndSizesFromMessagesAndArithmetic) {
  // Mouse positions in lParam are signed 16-bit words: a point left of a window is negative.
  LPARAM packed = MAKELPARAM(static_cast<WORD>(-7), 300);
  EXPECT_EQ(CPoint(-7, 300), CPoint(packed));
  EXPECT_EQ(CSize(-7, 300), CSize(static_cast<DWORD>(packed)));

  CPoint p(10, 20);
  EXPECT_EQ(CSize(7, 17), p - CPoint(3, 3));
  EXPECT_EQ(CPoint(13, 23), p + CSize(3, 3));
  EXPECT_EQ(CPoint(-10, -20), -p);
  p -= CPoint(10, 20);
  EXPECT_EQ(CPoint(), p);
  CSize s(2, 3);
  s += CSize(1, 1);
  EXPECT_EQ(CSize(3, 4), s);
  EXPECT_EQ(CSize(-3, -4), -s);
  ExpectRect(s + CRect(0, 0, 1, 1), 3, 4, 4, 5);
}
