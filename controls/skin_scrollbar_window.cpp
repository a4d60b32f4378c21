#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>

#include <initializer_list>

#include "controls/skin_scrollbar.h"
#include "controls/skin_scrollbar_state.h"
#include "winlayer/gdi_dc.h"

namespace skinsb {
namespace {

constexpr UINT_PTR kRepeatDelayTimer = 60000;
constexpr UINT_PTR kRepeatTimer = 60001;
constexpr UINT kRepeatDelay = 400;
constexpr UINT kRepeatInterval = 50;

LRESULT CallOld(SkinSB_State& state, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(state.pfnOldWndProc, state.hWnd, uMsg, wParam, lParam);
}

// Runs the old procedure with the scroll-bar style bits taken away, so that it neither makes
// room for the system's bars nor draws them; the bars are ours.
LRESULT CallOldStripped(SkinSB_State& state, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  const LONG style = GetWindowLongA(state.hWnd, GWL_STYLE);
  if (!(style & (WS_HSCROLL | WS_VSCROLL))) return CallOld(state, uMsg, wParam, lParam);
  state.bStyleGuard = TRUE;
  SetWindowLongA(state.hWnd, GWL_STYLE, style & ~(WS_HSCROLL | WS_VSCROLL));
  const LRESULT result = CallOld(state, uMsg, wParam, lParam);
  SetWindowLongA(state.hWnd, GWL_STYLE, style);
  state.bStyleGuard = FALSE;
  return result;
}

POINT MessagePos() {
  const DWORD pos = GetMessagePos();
  return {GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
}

POINT LParamPoint(LPARAM lParam) {
  return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

int Along(const BarLayout& layout, POINT pt) {
  return layout.bVertical ? pt.y : pt.x;
}

UINT ScrollMessageOf(int bar) {
  return bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
}

void SendScroll(SkinSB_State& state, int bar, WORD code, int pos = 0) {
  SendMessageA(state.hWnd, ScrollMessageOf(bar), MAKEWPARAM(code, static_cast<WORD>(pos)), 0);
}

// Arrows and the thumb have a hot picture; the track has none.
void RepaintPictured(SkinSB_State& state, UINT code) {
  const UINT part = PartOf(code);
  if (part == kPartFirstArrow || part == kPartSecondArrow || part == kPartThumb) {
    RepaintPart(state, code);
  }
}

void SetHotPart(SkinSB_State& state, UINT code) {
  if (code == state.nHotPart) return;
  const UINT old = state.nHotPart;
  state.nHotPart = code;
  if (old) RepaintPictured(state, old);
  if (code) RepaintPictured(state, code);
}

void BeginPress(SkinSB_State& state, UINT code, POINT pt) {
  const int bar = BarOf(code);
  const UINT part = PartOf(code);
  SCROLLINFO& si = InfoOf(state, bar);
  const BarLayout layout = LayoutBar(state, bar);
  // A thumb that fills its track cannot be dragged.
  if (part == kPartThumb && layout.ThumbTravel() <= 0) return;

  state.nPressedPart = code;
  state.bTracking = TRUE;
  RepaintPart(state, code);
  SetCapture(state.hWnd);
  if (part == kPartThumb) {
    si.nTrackPos = si.nPos;
    // A release without movement reports where the thumb already is.
    state.nDragPos = si.nPos;
    state.nDragOffset = Along(layout, pt) - layout.nThumbStart;
    return;
  }
  const WORD scroll = part == kPartFirstArrow    ? SB_LINEUP
                      : part == kPartSecondArrow ? SB_LINEDOWN
                      : part == kPartTrackBefore ? SB_PAGEUP
                                                 : SB_PAGEDOWN;
  state.dwRepeatCommand = MAKELONG(ScrollMessageOf(bar), scroll);
  SendScroll(state, bar, scroll);
  SetTimer(state.hWnd, kRepeatDelayTimer, kRepeatDelay, nullptr);
}

void Repeat(SkinSB_State& state) {
  if (state.nPressedPart != state.nHotPart) return;  // paused while the mouse is off the part
  const int bar = BarOf(state.nPressedPart);
  const WORD scroll = HIWORD(state.dwRepeatCommand);
  if (scroll == SB_PAGEUP || scroll == SB_PAGEDOWN) {
    // Paging stops once the thumb has reached the mouse.
    const BarLayout layout = LayoutBar(state, bar);
    const int along = Along(layout, MessagePos());
    if ((scroll == SB_PAGEUP && layout.nThumbStart <= along) ||
        (scroll == SB_PAGEDOWN && layout.nThumbEnd >= along)) {
      KillTimer(state.hWnd, kRepeatTimer);
      return;
    }
  }
  SendScroll(state, bar, scroll);
}

void FollowPress(SkinSB_State& state) {
  const UINT code = state.nPressedPart;
  const int bar = BarOf(code);
  const POINT pt = MessagePos();
  if (PartOf(code) != kPartThumb) {
    const bool over = HitTestBar(state, bar, pt) == code;
    SetHotPart(state, over ? code : kPartNone);
    return;
  }
  SCROLLINFO& si = InfoOf(state, bar);
  const BarLayout layout = LayoutBar(state, bar);
  int pos;
  if (!DragPosition(layout, si, Along(layout, pt), state.nDragOffset, &pos)) return;
  if (pos == state.nDragPos) return;
  si.nTrackPos = pos;
  state.nDragPos = pos;
  SendScroll(state, bar, state.bRichEdit ? SB_THUMBPOSITION : SB_THUMBTRACK, pos);
}

// Ends the press on a button release, or when another window takes the mouse away (a message
// box, a menu): otherwise the repeat timer would scroll on and on.
void EndPress(SkinSB_State& state, bool bReleaseCapture) {
  const UINT code = state.nPressedPart;
  const int bar = BarOf(code);
  // Cleared first: ReleaseCapture sends WM_CAPTURECHANGED, which must find no press.
  state.nPressedPart = kPartNone;
  state.bTracking = FALSE;
  if (bReleaseCapture) ReleaseCapture();
  if (PartOf(code) == kPartThumb) {
    SendScroll(state, bar, SB_THUMBPOSITION, state.nDragPos);
    SendScroll(state, bar, SB_ENDSCROLL);
    state.nHotPart = HitTestBar(state, bar, MessagePos());
  } else {
    KillTimer(state.hWnd, kRepeatDelayTimer);
    KillTimer(state.hWnd, kRepeatTimer);
    SendScroll(state, bar, SB_ENDSCROLL);
  }
  state.nDragOffset = 0;
  state.dwRepeatCommand = 0;
  state.nDragPos = 0;
  RepaintBar(state, bar);
}

bool IsScrollBarHit(WPARAM hit) {
  return hit == HTHSCROLL || hit == HTVSCROLL;
}

// The part under the mouse for a non-client message on a bar that can scroll, else none.
UINT PartForHit(SkinSB_State& state, WPARAM hit, LPARAM lParam) {
  const int bar = hit == HTVSCROLL ? SB_VERT : SB_HORZ;
  if (!CanScroll(InfoOf(state, bar))) return kPartNone;
  return HitTestBar(state, bar, LParamPoint(lParam));
}

LRESULT OnNcCalcSize(SkinSB_State& state, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CallOldStripped(state, WM_NCCALCSIZE, wParam, lParam);
  RECT* rc = reinterpret_cast<RECT*>(lParam);  // also the first rectangle of NCCALCSIZE_PARAMS
  const LONG style = GetWindowLongA(state.hWnd, GWL_STYLE);
  if ((style & WS_HSCROLL) && rc->bottom - rc->top > kBarSize) rc->bottom -= kBarSize;
  if ((style & WS_VSCROLL) && rc->right - rc->left > kBarSize) {
    if (state.bLeftScrollBar) {
      rc->left += kBarSize;
    } else {
      rc->right -= kBarSize;
    }
  }
  return result;
}

LRESULT OnNcHitTest(SkinSB_State& state, LPARAM lParam) {
  const POINT pt = LParamPoint(lParam);
  const CRect rcClient = ClientRectOnScreen(state.hWnd);
  const LONG style = GetWindowLongA(state.hWnd, GWL_STYLE);
  const bool left = state.bLeftScrollBar;
  if (BarRect(rcClient, SB_VERT, style, left).PtInRect(pt)) return HTVSCROLL;
  if (BarRect(rcClient, SB_HORZ, style, left).PtInRect(pt)) return HTHSCROLL;
  if (SizeBoxRect(rcClient, style, left).PtInRect(pt)) return HTGROWBOX;
  return CallOld(state, WM_NCHITTEST, 0, lParam);
}

LRESULT OnNcPaint(SkinSB_State& state, WPARAM wParam, LPARAM lParam) {
  if (!IsWindowVisible(state.hWnd)) return 0;
  const LRESULT result = CallOldStripped(state, WM_NCPAINT, wParam, lParam);
  const LONG style = GetWindowLongA(state.hWnd, GWL_STYLE);
  if (style & (WS_HSCROLL | WS_VSCROLL)) {
    CWindowDC dc(state.hWnd);
    if (dc.m_hDC) {
      if (style & WS_VSCROLL) PaintBar(state, dc, SB_VERT);
      if (style & WS_HSCROLL) PaintBar(state, dc, SB_HORZ);
      PaintSizeBox(state, dc);
    }
  }
  return result;
}

LRESULT OnTimer(SkinSB_State& state, WPARAM wParam, LPARAM lParam) {
  if (wParam == kRepeatDelayTimer) {
    KillTimer(state.hWnd, kRepeatDelayTimer);
    SetTimer(state.hWnd, kRepeatTimer, kRepeatInterval, nullptr);
    return 0;
  }
  if (wParam != kRepeatTimer) return CallOld(state, WM_TIMER, wParam, lParam);
  if (!state.nPressedPart) {
    KillTimer(state.hWnd, kRepeatTimer);
  } else {
    Repeat(state);
  }
  return 0;
}

// Everything the subclass does with a message of a skinned window.
LRESULT Dispatch(SkinSB_State& state, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  const HWND hWnd = state.hWnd;
  if (uMsg == WM_NCMOUSEMOVE && !state.bTrackingLeave && !state.bTracking) {
    TRACKMOUSEEVENT tme = {sizeof tme, TME_LEAVE | TME_NONCLIENT, hWnd, 0};
    state.bTrackingLeave = _TrackMouseEvent(&tme);
  }
  switch (uMsg) {
    case WM_STYLECHANGED:
      if (state.bStyleGuard) return 0;
      if (wParam == static_cast<WPARAM>(GWL_EXSTYLE)) {
        const auto* change = reinterpret_cast<const STYLESTRUCT*>(lParam);
        const BOOL left = (change->styleNew & WS_EX_LEFTSCROLLBAR) != 0;
        if (left != state.bLeftScrollBar) {
          state.bLeftScrollBar = left;
          RecalcFrame(hWnd);
        }
      }
      break;
    case WM_NCDESTROY: {
      const LRESULT result = CallOld(state, uMsg, wParam, lParam);
      SkinSB_DetachWindow(hWnd);  // frees the state
      return result;
    }
    case WM_NCCALCSIZE:
      return OnNcCalcSize(state, wParam, lParam);
    case WM_NCHITTEST:
      return OnNcHitTest(state, lParam);
    case WM_NCPAINT:
      return OnNcPaint(state, wParam, lParam);
    case WM_NCMOUSEMOVE:
      if (IsScrollBarHit(wParam)) {
        const UINT code = PartForHit(state, wParam, lParam);
        if (!code) return 0;
        SetHotPart(state, code);
      } else if (wParam == HTGROWBOX) {
        SetHotPart(state, kPartNone);
      }
      break;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:  // a quick second click on a bar is a click too
      if (IsScrollBarHit(wParam)) {
        const UINT code = PartForHit(state, wParam, lParam);
        if (code) {
          state.nHotPart = code;
          BeginPress(state, code, LParamPoint(lParam));
        }
        return 0;
      }
      if (uMsg == WM_NCLBUTTONDBLCLK) return 0;
      break;
    case WM_NCRBUTTONDBLCLK:
      return 0;
    case WM_TIMER:
      return OnTimer(state, wParam, lParam);
    case WM_MOUSEMOVE:
      if (state.bTracking && (wParam & MK_LBUTTON)) {
        FollowPress(state);
        return 0;
      }
      break;
    case WM_LBUTTONUP:
      if (state.nPressedPart && state.bTracking) {
        EndPress(state, true);
        return 0;
      }
      break;
    case WM_CAPTURECHANGED:
      if (state.bTracking && reinterpret_cast<HWND>(lParam) != hWnd) EndPress(state, false);
      break;
    case WM_NCMOUSELEAVE:
      state.bTrackingLeave = FALSE;
      if (!state.bTracking) SetHotPart(state, kPartNone);
      return 0;
    default:
      break;
  }
  return CallOld(state, uMsg, wParam, lParam);
}

}  // namespace
}  // namespace skinsb

using skinsb::GetState;
using skinsb::kProp;

BOOL WINAPI SkinSB_AttachWindow(HWND hWnd, HBITMAP hSkin) {
  if (!IsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (GetState(hWnd)) return FALSE;
  if (!hSkin) {  // before anything is allocated
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  auto* state = static_cast<SkinSB_State*>(LocalAlloc(LPTR, sizeof(SkinSB_State)));
  if (!state) return FALSE;
  for (SCROLLINFO* si : {&state->siHorz, &state->siVert}) {
    si->cbSize = sizeof(SCROLLINFO);
    si->fMask = SIF_ALL | SIF_DISABLENOSCROLL;
  }
  // The property is not set yet, so these reach the system's bars.
  const LONG style = GetWindowLongA(hWnd, GWL_STYLE);
  if (style & WS_HSCROLL) GetScrollInfo(hWnd, SB_HORZ, &state->siHorz);
  if (style & WS_VSCROLL) GetScrollInfo(hWnd, SB_VERT, &state->siVert);
  state->bLeftScrollBar = (GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
  state->hSkin = hSkin;
  state->hWnd = hWnd;
  char className[256] = "";
  GetClassNameA(hWnd, className, sizeof className);
  state->bRichEdit = !lstrcmpiA(className, "RichEdit20A") || !lstrcmpiA(className, "RichEdit20W");

  // The property goes first: the procedure must never run without its state.
  if (!SetPropA(hWnd, kProp, state)) {
    LocalFree(state);
    return FALSE;
  }
  state->pfnOldWndProc = reinterpret_cast<WNDPROC>(
      SetWindowLongA(hWnd, GWL_WNDPROC, reinterpret_cast<LONG>(SkinSB_WindowProc)));
  if (!state->pfnOldWndProc) {
    RemovePropA(hWnd, kProp);
    LocalFree(state);
    return FALSE;
  }
  skinsb::RecalcFrame(hWnd);
  return TRUE;
}

BOOL WINAPI SkinSB_DetachWindow(HWND hWnd) {
  SkinSB_State* state = GetState(hWnd);
  if (!state) return FALSE;
  SCROLLINFO horz = state->siHorz;
  SCROLLINFO vert = state->siVert;
  // SIF_DISABLENOSCROLL would leave a disabled bar where the system would hide it.
  horz.fMask = vert.fMask = SIF_ALL;
  const DWORD arrows = state->dwArrowFlags;
  SetWindowLongA(hWnd, GWL_WNDPROC, reinterpret_cast<LONG>(state->pfnOldWndProc));
  RemovePropA(hWnd, kProp);
  LocalFree(state);
  // Without the property these reach the system's bars.
  SetScrollInfo(hWnd, SB_VERT, &vert, TRUE);
  EnableScrollBar(hWnd, SB_VERT, (arrows >> 2) & 3);
  SetScrollInfo(hWnd, SB_HORZ, &horz, TRUE);
  EnableScrollBar(hWnd, SB_HORZ, arrows & 3);
  return TRUE;
}

LRESULT CALLBACK SkinSB_WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  SkinSB_State* state = GetState(hWnd);
  // Attach sets the property before subclassing and detach restores the procedure before
  // removing it, so this only guards against a foreign caller.
  if (!state) return DefWindowProcA(hWnd, uMsg, wParam, lParam);
  return skinsb::Dispatch(*state, uMsg, wParam, lParam);
}
