#include <algorithm>
#include <initializer_list>

#include "controls/skin_scrollbar_state.h"
#include "winlayer/bitmap_dc.h"
#include "winlayer/gdi_dc.h"

namespace skinsb {
namespace {

// Skin columns (x = 16 * column); row 0 holds the vertical bar's pieces, row 1 the horizontal
// bar's, row 2 the size boxes.
constexpr int kFirstArrowColumn = 0;
constexpr int kSecondArrowColumn = 4;
constexpr int kThumbColumn = 8;
constexpr int kGripperColumn = 11;
constexpr int kTrackColumn = 14;
constexpr int kSizeBoxRow = 2;
constexpr int kCapLength = 4;   // thumb ends
constexpr int kTileLength = 8;  // thumb middle, repeated
constexpr int kGripperLength = 16;

POINT Cell(int column, bool bVertical) {
  return {column * kBarSize, bVertical ? 0 : kBarSize};
}

// The bar's layout in the coordinates of the window DC.
BarLayout WindowLayout(SkinSB_State& state, int bar) {
  BarLayout layout = LayoutBar(state, bar);
  CRect rcWindow;
  GetWindowRect(state.hWnd, &rcWindow);
  layout.rcBar.OffsetRect(-rcWindow.left, -rcWindow.top);
  const int shift = layout.bVertical ? rcWindow.top : rcWindow.left;
  for (int* along : {&layout.nStart, &layout.nEnd, &layout.nTrackStart, &layout.nTrackEnd}) {
    *along -= shift;
  }
  if (layout.HasThumb()) {
    layout.nThumbStart -= shift;
    layout.nThumbEnd -= shift;
  }
  return layout;
}

// The part of the bar from `from` to `to` along it, the bar's whole thickness across.
CRect Span(const BarLayout& layout, int from, int to) {
  const CRect& bar = layout.rcBar;
  return layout.bVertical ? CRect(bar.left, from, bar.right, to)
                          : CRect(from, bar.top, to, bar.bottom);
}

// Copies `length` pixels along the bar from the skin cell, starting `from` pixels into it, to
// `at` along the bar in dst; `across` is where the bar starts across.
void CopyAlong(HDC dst, bool bVertical, int at, int across, int length, HDC skin, POINT cell,
               int from) {
  if (bVertical) {
    BitBlt(dst, across, at, kBarSize, length, skin, cell.x, cell.y + from, SRCCOPY);
  } else {
    BitBlt(dst, at, across, length, kBarSize, skin, cell.x + from, cell.y, SRCCOPY);
  }
}

int Across(const BarLayout& layout) {
  return layout.bVertical ? layout.rcBar.left : layout.rcBar.top;
}

void StretchTrack(HDC hdc, HDC skin, const BarLayout& layout, int from, int to) {
  if (to <= from) return;
  const CRect rc = Span(layout, from, to);
  const POINT cell = Cell(kTrackColumn, layout.bVertical);
  SetStretchBltMode(hdc, HALFTONE);
  SetBrushOrgEx(hdc, 0, 0, nullptr);
  StretchBlt(hdc, rc.left, rc.top, rc.Width(), rc.Height(), skin, cell.x, cell.y, kBarSize,
             kBarSize, SRCCOPY);
}

void DrawArrow(SkinSB_State& state, HDC hdc, HDC skin, const BarLayout& layout, UINT part) {
  const int bar = layout.bVertical ? SB_VERT : SB_HORZ;
  const int column = (part == kPartFirstArrow ? kFirstArrowColumn : kSecondArrowColumn) +
                     PaintStateOf(state, PartCode(bar, part));
  const int at = part == kPartFirstArrow ? layout.nStart : layout.nEnd - kBarSize;
  CopyAlong(hdc, layout.bVertical, at, Across(layout), kBarSize, skin,
            Cell(column, layout.bVertical), 0);
}

// The thumb is assembled off-screen (caps, repeated middle tile, centred gripper) and copied in
// one piece, so it never flickers through the track.
void DrawThumb(HDC hdc, HDC skin, const BarLayout& layout, int paintState) {
  const int length = layout.ThumbLength();
  const bool vertical = layout.bVertical;
  const CRect rcThumb = Span(layout, layout.nThumbStart, layout.nThumbEnd);
  CDC mem;
  CBitmap bitmap;
  if (!mem.CreateCompatibleDC(hdc) ||
      !bitmap.CreateCompatibleBitmap(hdc, rcThumb.Width(), rcThumb.Height())) {
    return;
  }
  const HBITMAP old = mem.SelectBitmap(bitmap);
  PatBlt(mem, 0, 0, rcThumb.Width(), rcThumb.Height(), WHITENESS);
  const POINT thumb = Cell(kThumbColumn + paintState, vertical);
  for (int at = kCapLength; at < length - kCapLength; at += kTileLength) {
    const int piece = std::min(kTileLength, length - kCapLength - at);
    CopyAlong(mem, vertical, at, 0, piece, skin, thumb, kCapLength);
  }
  CopyAlong(mem, vertical, 0, 0, kCapLength, skin, thumb, 0);
  CopyAlong(mem, vertical, length - kCapLength, 0, kCapLength, skin, thumb, kBarSize - kCapLength);
  if (length >= kGripperMinThumb) {
    CopyAlong(mem, vertical, (length - kGripperLength) / 2, 0, kGripperLength, skin,
              Cell(kGripperColumn + paintState, vertical), 0);
  }
  BitBlt(hdc, rcThumb.left, rcThumb.top, rcThumb.Width(), rcThumb.Height(), mem, 0, 0, SRCCOPY);
  mem.SelectBitmap(old);
}

void PaintTrackAndThumb(SkinSB_State& state, HDC hdc, HDC skin, const BarLayout& layout) {
  const int bar = layout.bVertical ? SB_VERT : SB_HORZ;
  const int paintState = PaintStateOf(state, PartCode(bar, kPartThumb));
  if (layout.HasThumb() && layout.ThumbTravel() >= 0 && paintState != kDisabled) {
    StretchTrack(hdc, skin, layout, layout.nTrackStart, layout.nThumbStart);
    StretchTrack(hdc, skin, layout, layout.nThumbEnd, layout.nTrackEnd);
    DrawThumb(hdc, skin, layout, paintState);
  } else {
    StretchTrack(hdc, skin, layout, layout.nTrackStart, layout.nTrackEnd);
  }
}

}  // namespace

void PaintBar(SkinSB_State& state, HDC hdc, int bar) {
  const BarLayout layout = WindowLayout(state, bar);
  CBitmapDC skin(hdc, state.hSkin);
  if (layout.rcBar.IsRectEmpty() || !skin.get()) return;
  int saved = 0;
  if (layout.HasThumb() && CanScroll(InfoOf(state, bar))) {
    PaintTrackAndThumb(state, hdc, skin.get(), layout);
    saved = SaveDC(hdc);
    const CRect rcThumb = Span(layout, layout.nThumbStart, layout.nThumbEnd);
    ExcludeClipRect(hdc, rcThumb.left, rcThumb.top, rcThumb.right, rcThumb.bottom);
  }
  StretchTrack(hdc, skin.get(), layout, layout.nTrackStart, layout.nTrackEnd);
  if (saved) RestoreDC(hdc, saved);
  DrawArrow(state, hdc, skin.get(), layout, kPartFirstArrow);
  DrawArrow(state, hdc, skin.get(), layout, kPartSecondArrow);
}

void PaintTrackAndThumb(SkinSB_State& state, HDC hdc, int bar) {
  const BarLayout layout = WindowLayout(state, bar);
  CBitmapDC skin(hdc, state.hSkin);
  if (layout.rcBar.IsRectEmpty() || !skin.get()) return;
  PaintTrackAndThumb(state, hdc, skin.get(), layout);
}

void PaintSizeBox(SkinSB_State& state, HDC hdc) {
  CRect rcWindow;
  GetWindowRect(state.hWnd, &rcWindow);
  CRect rc = SizeBoxRect(ClientRectOnScreen(state.hWnd), GetWindowLongA(state.hWnd, GWL_STYLE),
                         state.bLeftScrollBar);
  CBitmapDC skin(hdc, state.hSkin);
  if (rc.IsRectEmpty() || !skin.get()) return;
  rc.OffsetRect(-rcWindow.left, -rcWindow.top);
  BitBlt(hdc, rc.left, rc.top, kBarSize, kBarSize, skin.get(), state.bLeftScrollBar ? kBarSize : 0,
         kSizeBoxRow * kBarSize, SRCCOPY);
}

void PaintPart(SkinSB_State& state, HDC hdc, UINT code) {
  const UINT part = PartOf(code);
  if (part == kPartNone) return;
  if (part == kPartFirstArrow || part == kPartSecondArrow) {
    const BarLayout layout = WindowLayout(state, BarOf(code));
    CBitmapDC skin(hdc, state.hSkin);
    if (!layout.rcBar.IsRectEmpty() && skin.get()) DrawArrow(state, hdc, skin.get(), layout, part);
    return;
  }
  PaintTrackAndThumb(state, hdc, BarOf(code));
}

bool RepaintBar(SkinSB_State& state, int bar) {
  CWindowDC dc(state.hWnd);
  if (!dc.m_hDC) return false;
  PaintBar(state, dc, bar);
  return true;
}

bool RepaintTrackAndThumb(SkinSB_State& state, int bar) {
  CWindowDC dc(state.hWnd);
  if (!dc.m_hDC) return false;
  PaintTrackAndThumb(state, dc, bar);
  return true;
}

bool RepaintPart(SkinSB_State& state, UINT code) {
  CWindowDC dc(state.hWnd);
  if (!dc.m_hDC) return false;
  PaintPart(state, dc, code);
  return true;
}

}  // namespace skinsb
