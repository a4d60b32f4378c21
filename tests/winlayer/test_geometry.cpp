// CRect, CPoint and CSize: the arithmetic the painting code leans on.
#include <gtest/gtest.h>

#include <utility>

#include "winlayer/geometry.h"

TEST(Geometry, RectArithmeticFollowsTheWindowsRules) {
  const CRect r(10, 20, 110, 70);
  EXPECT_EQ(CSize(100, 50), r.Size());
  EXPECT_EQ(CPoint(60, 45), r.CenterPoint());
  // Left and top edges are inside, right and bottom ones outside.
  EXPECT_TRUE(r.PtInRect(CPoint(10, 20)));
  EXPECT_FALSE(r.PtInRect(CPoint(110, 20)));
  EXPECT_FALSE(r.PtInRect(CPoint(10, 70)));

  CRect margins(1, 2, 3, 4);
  const std::pair<CRect, CRect> cases[] = {
      {r + CPoint(-10, 5), CRect(0, 25, 100, 75)},
      {r - CSize(2, 3), CRect(8, 17, 108, 67)},
      {r + &margins, CRect(9, 18, 113, 74)},  // inflated by the four margins
      {r - &margins, CRect(11, 22, 107, 66)},
      {r & CRect(0, 0, 20, 30), CRect(10, 20, 20, 30)},
      {r | CRect(0, 0, 20, 30), CRect(0, 0, 110, 70)},
  };
  for (const auto& [got, expected] : cases) EXPECT_EQ(expected, got);
  // Disjoint rectangles intersect to the null rectangle, and the result says so.
  CRect none;
  EXPECT_FALSE(none.IntersectRect(&r, CRect(300, 300, 400, 400)));
  EXPECT_TRUE(none.IsRectNull());

  CRect inverted(10, 10, 0, 0);
  EXPECT_TRUE(inverted.IsRectEmpty());
  EXPECT_FALSE(inverted.IsRectNull());
  inverted.NormalizeRect();
  EXPECT_EQ(CRect(0, 0, 10, 10), inverted);
}

TEST(Geometry, CornersAliasTheRectangle) {
  CRect r(1, 2, 3, 4);
  r.TopLeft() = CPoint(-5, -6);
  r.BottomRight().Offset(10, 10);
  EXPECT_EQ(CRect(-5, -6, 13, 14), r);
  // Two corners side by side are a RECT, as MapWindowPoints(..., (POINT*)&rc, 2) expects.
  EXPECT_EQ(static_cast<void*>(&r.BottomRight()), static_cast<void*>(&r.right));
}

TEST(Geometry, PointsAndSizesFromMessagesAreSigned) {
  // Mouse positions in lParam are signed 16-bit words: a point left of a window is negative.
  LPARAM packed = MAKELPARAM(static_cast<WORD>(-7), 300);
  EXPECT_EQ(CPoint(-7, 300), CPoint(packed));
  EXPECT_EQ(CSize(-7, 300), CSize(static_cast<DWORD>(packed)));
  EXPECT_EQ(CSize(7, 17), CPoint(10, 20) - CPoint(3, 3));
  EXPECT_EQ(CPoint(-10, -20), -CPoint(10, 20));
}
