#include <gtest/gtest.h>

#include "controls/skin_scrollbar_state.h"

namespace {

using namespace skinsb;

SCROLLINFO Info(int nMin, int nMax, UINT nPage, int nPos) {
  return {sizeof(SCROLLINFO), SIF_ALL, nMin, nMax, nPage, nPos, 0};
}

// A vertical bar from y 100 to 300 at x 50: track 116..284 (168 pixels).
const CRect kVerticalBar(50, 100, 66, 300);

TEST(SkinScrollBarGeometry, BarsSitBesideTheClientArea) {
  const CRect client(10, 20, 110, 220);
  const DWORD both = WS_HSCROLL | WS_VSCROLL;
  EXPECT_EQ(CRect(110, 20, 126, 220), BarRect(client, SB_VERT, both, false));
  EXPECT_EQ(CRect(-6, 20, 10, 220), BarRect(client, SB_VERT, both, true));
  EXPECT_EQ(CRect(10, 220, 110, 236), BarRect(client, SB_HORZ, both, false));
  EXPECT_TRUE(BarRect(client, SB_VERT, WS_HSCROLL, false).IsRectEmpty());
  EXPECT_EQ(CRect(110, 220, 126, 236), SizeBoxRect(client, both, false));
  EXPECT_EQ(CRect(-6, 220, 10, 236), SizeBoxRect(client, both, true));
  EXPECT_TRUE(SizeBoxRect(client, WS_VSCROLL, false).IsRectEmpty());
}

TEST(SkinScrollBarGeometry, ThumbFollowsPageAndPosition) {
  BarLayout layout = LayoutBar(kVerticalBar, true, Info(0, 99, 25, 0));
  EXPECT_EQ(116, layout.nTrackStart);
  EXPECT_EQ(284, layout.nTrackEnd);
  EXPECT_EQ(116, layout.nThumbStart);
  EXPECT_EQ(42, layout.ThumbLength());  // 25 of 100 of 168

  layout = LayoutBar(kVerticalBar, true, Info(0, 99, 25, 75));
  EXPECT_EQ(284, layout.nThumbEnd) << "the last position puts the thumb at the end";
  layout = LayoutBar(kVerticalBar, true, Info(0, 99, 25, 500));
  EXPECT_EQ(284, layout.nThumbEnd) << "clamped";
  layout = LayoutBar(kVerticalBar, true, Info(10, 109, 25, 10));
  EXPECT_EQ(116, layout.nThumbStart) << "positions count from nMin";

  layout = LayoutBar(kVerticalBar, true, Info(0, 9999, 1, 0));
  EXPECT_EQ(kMinThumb, layout.ThumbLength());
  for (const SCROLLINFO& none : {Info(0, 99, 0, 0), Info(5, 5, 1, 5)}) {
    layout = LayoutBar(kVerticalBar, true, none);
    EXPECT_FALSE(layout.HasThumb());
    EXPECT_EQ(0, layout.nThumbStart);
  }
}

TEST(SkinScrollBarGeometry, HitTestFindsEachPart) {
  const BarLayout layout = LayoutBar(kVerticalBar, true, Info(0, 99, 25, 40));
  const int mid = (layout.nThumbStart + layout.nThumbEnd) / 2;
  const UINT v = kVerticalBit;
  EXPECT_EQ(v | kPartFirstArrow, HitTestBar(layout, {55, 105}, false));
  EXPECT_EQ(v | kPartTrackBefore, HitTestBar(layout, {55, layout.nThumbStart - 1}, false));
  EXPECT_EQ(v | kPartThumb, HitTestBar(layout, {55, mid}, false));
  EXPECT_EQ(v | kPartTrackAfter, HitTestBar(layout, {55, layout.nThumbEnd + 1}, false));
  EXPECT_EQ(v | kPartSecondArrow, HitTestBar(layout, {55, 295}, false));
  EXPECT_EQ(kPartNone, HitTestBar(layout, {45, mid}, false));
  // With a disabled arrow only the thumb answers.
  EXPECT_EQ(v | kPartThumb, HitTestBar(layout, {55, mid}, true));
  EXPECT_EQ(kPartNone, HitTestBar(layout, {55, 105}, true));

  const BarLayout horizontal = LayoutBar(CRect(0, 0, 200, 16), false, Info(0, 9, 5, 0));
  EXPECT_EQ(kPartSecondArrow, HitTestBar(horizontal, {190, 8}, false));
}

TEST(SkinScrollBarGeometry, DragMapsTheThumbOntoPositions) {
  const SCROLLINFO si = Info(0, 99, 25, 0);
  const BarLayout layout = LayoutBar(kVerticalBar, true, si);
  int pos = -1;
  ASSERT_TRUE(DragPosition(layout, si, layout.nTrackStart, 0, &pos));
  EXPECT_EQ(0, pos);
  ASSERT_TRUE(DragPosition(layout, si, layout.nTrackStart + layout.ThumbTravel(), 0, &pos));
  EXPECT_EQ(75, pos);
  ASSERT_TRUE(DragPosition(layout, si, 10000, 0, &pos));
  EXPECT_EQ(75, pos) << "beyond the end";
  ASSERT_TRUE(DragPosition(layout, si, -10000, 0, &pos));
  EXPECT_EQ(0, pos) << "before the start";
  ASSERT_TRUE(DragPosition(layout, si, layout.nTrackStart + 20, 10, &pos));
  EXPECT_EQ(MulDiv(10, 75, layout.ThumbTravel()), pos) << "the grip point stays under the mouse";

  const SCROLLINFO offset = Info(100, 199, 25, 100);
  ASSERT_TRUE(DragPosition(LayoutBar(kVerticalBar, true, offset), offset, 10000, 0, &pos));
  EXPECT_EQ(175, pos) << "a range starting elsewhere than 0";
}

TEST(SkinScrollBarGeometry, AThumbFillingItsTrackCannotBeDragged) {
  // A page as large as the range, and a bar too short for the smallest thumb.
  for (const auto& [bar, si] : {std::make_pair(kVerticalBar, Info(0, 99, 100, 0)),
                                std::make_pair(CRect(0, 0, 16, 40), Info(0, 99, 10, 0))}) {
    const BarLayout layout = LayoutBar(bar, true, si);
    EXPECT_LE(layout.ThumbTravel(), 0);
    int pos = 12345;
    EXPECT_FALSE(DragPosition(layout, si, layout.nTrackStart + 5, 0, &pos));
    EXPECT_EQ(12345, pos);
  }
}

}  // namespace
