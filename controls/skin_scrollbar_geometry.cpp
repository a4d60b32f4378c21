#include <algorithm>

#include "controls/skin_scrollbar_state.h"

namespace skinsb {

CRect BarRect(const CRect& rcClient, int bar, DWORD dwStyle, bool bLeftScrollBar) {
  if (bar == SB_HORZ) {
    const int height = (dwStyle & WS_HSCROLL) ? kBarSize : 0;
    return CRect(rcClient.left, rcClient.bottom, rcClient.right, rcClient.bottom + height);
  }
  const int width = (dwStyle & WS_VSCROLL) ? kBarSize : 0;
  if (bLeftScrollBar)
    return CRect(rcClient.left - width, rcClient.top, rcClient.left, rcClient.bottom);
  return CRect(rcClient.right, rcClient.top, rcClient.right + width, rcClient.bottom);
}

CRect SizeBoxRect(const CRect& rcClient, DWORD dwStyle, bool bLeftScrollBar) {
  if ((dwStyle & (WS_HSCROLL | WS_VSCROLL)) != (WS_HSCROLL | WS_VSCROLL)) return CRect();
  const CRect rcVert = BarRect(rcClient, SB_VERT, dwStyle, bLeftScrollBar);
  return CRect(rcVert.left, rcClient.bottom, rcVert.right, rcClient.bottom + kBarSize);
}

BarLayout LayoutBar(const CRect& rcBar, bool bVertical, const SCROLLINFO& si) {
  BarLayout layout;
  layout.rcBar = rcBar;
  layout.bVertical = bVertical;
  layout.nStart = bVertical ? rcBar.top : rcBar.left;
  layout.nEnd = bVertical ? rcBar.bottom : rcBar.right;
  layout.nTrackStart = layout.nStart + kBarSize;
  layout.nTrackEnd = layout.nEnd - kBarSize;
  if (rcBar.IsRectEmpty() || !CanScroll(si)) return layout;

  const int track = layout.TrackLength();
  const int range = si.nMax - si.nMin + 1;
  const int thumb = std::max(MulDiv(si.nPage, track, range), kMinThumb);
  const int room = range - std::max<int>(si.nPage, 1);
  int offset = MulDiv(si.nPos - si.nMin, track - thumb, room);
  offset = std::max(std::min(offset, track - thumb), 0);
  layout.nThumbStart = layout.nTrackStart + offset;
  layout.nThumbEnd = layout.nThumbStart + thumb;
  return layout;
}

UINT HitTestBar(const BarLayout& layout, POINT pt, bool bArrowDisabled) {
  if (!layout.rcBar.PtInRect(pt)) return kPartNone;
  const int bar = layout.bVertical ? SB_VERT : SB_HORZ;
  const int along = layout.bVertical ? pt.y : pt.x;
  const bool onThumb = layout.HasThumb() && along >= layout.nThumbStart && along < layout.nThumbEnd;
  // With a disabled arrow only the thumb answers.
  if (bArrowDisabled) return onThumb ? PartCode(bar, kPartThumb) : kPartNone;
  if (along < layout.nTrackStart) return PartCode(bar, kPartFirstArrow);
  if (layout.HasThumb() && along < layout.nThumbStart) return PartCode(bar, kPartTrackBefore);
  if (onThumb) return PartCode(bar, kPartThumb);
  if (along < layout.nTrackEnd) return PartCode(bar, kPartTrackAfter);
  return PartCode(bar, kPartSecondArrow);
}

bool DragPosition(const BarLayout& layout, const SCROLLINFO& si, int along, int nDragOffset,
                  int* pnPos) {
  // A thumb that fills its track has nowhere to go (and would divide by zero).
  const int travel = layout.ThumbTravel();
  if (travel <= 0 || !CanScroll(si)) return false;
  const int moved = std::max(std::min(along - nDragOffset - layout.nTrackStart, travel), 0);
  const int range = si.nMax - si.nMin + 1;
  *pnPos = si.nMin + MulDiv(moved, range - static_cast<int>(si.nPage), travel);
  return true;
}

CRect ClientRectOnScreen(HWND hWnd) {
  CRect rc;
  GetClientRect(hWnd, &rc);
  MapWindowPoints(hWnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

BarLayout LayoutBar(SkinSB_State& state, int bar) {
  const DWORD style = GetWindowLongA(state.hWnd, GWL_STYLE);
  const CRect rcBar = BarRect(ClientRectOnScreen(state.hWnd), bar, style, state.bLeftScrollBar);
  return LayoutBar(rcBar, bar == SB_VERT, InfoOf(state, bar));
}

UINT HitTestBar(SkinSB_State& state, int bar, POINT pt) {
  return HitTestBar(LayoutBar(state, bar), pt, ArrowFlagsOf(state, bar) != 0);
}

int PaintStateOf(const SkinSB_State& state, UINT code) {
  if (ArrowFlagsOf(state, BarOf(code))) return kDisabled;
  if (code != state.nHotPart) return kNormal;
  return state.bTracking ? kPressed : kHot;
}

void RecalcFrame(HWND hWnd) {
  SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace skinsb
