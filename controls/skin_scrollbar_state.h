// The per-window state of the skinned scroll bars and what the pieces of the module share:
// geometry, hit testing and painting. Internal to controls/skin_scrollbar_*.cpp (and tests).
#pragma once

#include <windows.h>

#include "winlayer/geometry.h"

// One per skinned window, zero-initialised, owned by the window through "PROP_SkinSB".
struct SkinSB_State {
  HWND hWnd;
  DWORD dwArrowFlags;  // EnableScrollBar's bits: 0-1 horizontal, 2-3 vertical
  DWORD dwShownBars;   // WS_HSCROLL/WS_VSCROLL as last applied by SetScrollInfo
  SCROLLINFO siHorz;
  SCROLLINFO siVert;
  WNDPROC pfnOldWndProc;
  BOOL bLeftScrollBar;  // WS_EX_LEFTSCROLLBAR: the vertical bar is on the left
  BOOL bStyleGuard;     // the scroll-bar style bits are stripped around a call of the old procedure
  BOOL bTrackingLeave;  // _TrackMouseEvent asked for WM_NCMOUSELEAVE
  BOOL bTracking;       // a press on a part is in progress (mouse captured)
  BOOL bRichEdit;       // rich edits want SB_THUMBPOSITION while dragging
  UINT nPressedPart;
  int nDragPos;           // last position sent while dragging the thumb
  int nDragOffset;        // press point minus the thumb's start, along the bar
  DWORD dwRepeatCommand;  // low word WM_HSCROLL/WM_VSCROLL, high word the scroll code
  UINT nHotPart;
  HBITMAP hSkin;  // not owned
};
static_assert(sizeof(SkinSB_State) == 29 * 4, "the state is 29 machine words");

namespace skinsb {

inline constexpr char kProp[] = "PROP_SkinSB";
inline constexpr int kBarSize = 16;  // thickness of a bar, length of an arrow
inline constexpr int kMinThumb = 10;
inline constexpr int kGripperMinThumb = 25;

// Part codes: the low four bits name the part, bit 4 the vertical bar.
enum Part : UINT {
  kPartNone = 0,
  kPartFirstArrow = 1,  // left or up
  kPartSecondArrow = 2,
  kPartThumb = 3,
  kPartTrackBefore = 4,
  kPartTrackAfter = 5,
};
inline constexpr UINT kVerticalBit = 0x10;
inline UINT PartOf(UINT code) {
  return code & 0x0F;
}
inline int BarOf(UINT code) {
  return (code & kVerticalBit) ? SB_VERT : SB_HORZ;
}
inline UINT PartCode(int bar, UINT part) {
  return part | (bar == SB_VERT ? kVerticalBit : 0);
}

// Paint states, also the skin's column offsets.
enum PaintState { kNormal = 0, kHot = 1, kPressed = 2, kDisabled = 3 };

inline SkinSB_State* GetState(HWND hWnd) {
  return static_cast<SkinSB_State*>(GetPropA(hWnd, kProp));
}
inline SCROLLINFO& InfoOf(SkinSB_State& state, int bar) {
  return bar == SB_VERT ? state.siVert : state.siHorz;
}
inline DWORD StyleBitOf(int bar) {
  return bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
}
inline bool CanScroll(const SCROLLINFO& si) {
  return si.nPage != 0 && si.nMax > si.nMin;
}
inline DWORD ArrowFlagsOf(const SkinSB_State& state, int bar) {
  return (state.dwArrowFlags >> (bar == SB_VERT ? 2 : 0)) & 3;
}

// A bar laid out along its length: coordinates are y for the vertical bar and x for the
// horizontal one, on the screen. The thumb is empty (0, 0) when the bar cannot scroll.
struct BarLayout {
  CRect rcBar;  // empty when the bar is not shown
  bool bVertical = false;
  int nStart = 0, nEnd = 0;  // the bar
  int nTrackStart = 0, nTrackEnd = 0;
  int nThumbStart = 0, nThumbEnd = 0;
  int TrackLength() const { return nTrackEnd - nTrackStart; }
  int ThumbLength() const { return nThumbEnd - nThumbStart; }
  bool HasThumb() const { return nThumbEnd > nThumbStart; }
  // Room for the thumb to move; 0 or less when it fills the track.
  int ThumbTravel() const { return TrackLength() - ThumbLength(); }
};

// Geometry from a client rectangle in screen coordinates.
CRect BarRect(const CRect& rcClient, int bar, DWORD dwStyle, bool bLeftScrollBar);
CRect SizeBoxRect(const CRect& rcClient, DWORD dwStyle, bool bLeftScrollBar);
BarLayout LayoutBar(const CRect& rcBar, bool bVertical, const SCROLLINFO& si);
// The part under point (screen), with the bar bit; kPartNone outside the bar.
UINT HitTestBar(const BarLayout& layout, POINT pt, bool bArrowDisabled);
// Scroll position for a thumb dragged to coordinate `along`; false when the thumb cannot move.
bool DragPosition(const BarLayout& layout, const SCROLLINFO& si, int along, int nDragOffset,
                  int* pnPos);

// The same for a live window.
CRect ClientRectOnScreen(HWND hWnd);
BarLayout LayoutBar(SkinSB_State& state, int bar);
UINT HitTestBar(SkinSB_State& state, int bar, POINT pt);
int PaintStateOf(const SkinSB_State& state, UINT code);

// Painting on the window DC (skin_scrollbar_paint.cpp).
void PaintBar(SkinSB_State& state, HDC hdc, int bar);
void PaintTrackAndThumb(SkinSB_State& state, HDC hdc, int bar);
void PaintSizeBox(SkinSB_State& state, HDC hdc);
void PaintPart(SkinSB_State& state, HDC hdc, UINT code);
// Each takes the window DC itself; false when there is none.
bool RepaintBar(SkinSB_State& state, int bar);
bool RepaintTrackAndThumb(SkinSB_State& state, int bar);
bool RepaintPart(SkinSB_State& state, UINT code);

// Recalculates the frame after a change of the scroll-bar styles.
void RecalcFrame(HWND hWnd);

}  // namespace skinsb
