#include <cstdlib>
#include <initializer_list>

#include "controls/api_hook.h"
#include "controls/skin_scrollbar.h"
#include "controls/skin_scrollbar_state.h"
#include "winlayer/gdi_dc.h"

// The static trampolines and their getters, which name the real user32 functions (through the
// import slots, so the engine resolves any jump in front of them).
#define SKINSB_TRAMPOLINE(name)                                                      \
  extern "C" __attribute__((used)) PVOID SkinSB_Get##name() asm("SkinSB_Get" #name); \
  PVOID SkinSB_Get##name() {                                                         \
    return reinterpret_cast<PVOID>(&::name);                                         \
  }                                                                                  \
  DEFINE_API_HOOK_TRAMPOLINE(SkinSB_##name##Trampoline, SkinSB_Get##name)

SKINSB_TRAMPOLINE(SetScrollInfo)
SKINSB_TRAMPOLINE(GetScrollInfo)
SKINSB_TRAMPOLINE(SetScrollPos)
SKINSB_TRAMPOLINE(GetScrollPos)
SKINSB_TRAMPOLINE(SetScrollRange)
SKINSB_TRAMPOLINE(GetScrollRange)
SKINSB_TRAMPOLINE(ShowScrollBar)
SKINSB_TRAMPOLINE(EnableScrollBar)

namespace skinsb {
namespace {

bool IsBar(int bar) {
  return bar == SB_HORZ || bar == SB_VERT;
}

bool ShownBar(SkinSB_State& state, int bar) {
  return (GetWindowLongA(state.hWnd, GWL_STYLE) & StyleBitOf(bar)) != 0;
}

void RepaintIfShown(SkinSB_State& state, int bar) {
  if (ShownBar(state, bar)) RepaintBar(state, bar);
}

// Sets or clears style bits; true when the style changed.
bool ApplyStyle(HWND hWnd, DWORD bits, bool on) {
  const LONG style = GetWindowLongA(hWnd, GWL_STYLE);
  const LONG wanted = on ? (style | bits) : (style & ~bits);
  if (wanted == style) return false;
  SetWindowLongA(hWnd, GWL_STYLE, wanted);
  return true;
}

BOOL ShowBars(SkinSB_State& state, int bar, BOOL bShow) {
  if (bar == SB_CTL) {
    ShowWindow(state.hWnd, bShow ? SW_SHOW : SW_HIDE);
    return TRUE;
  }
  const DWORD bits = bar == SB_HORZ   ? WS_HSCROLL
                     : bar == SB_VERT ? WS_VSCROLL
                     : bar == SB_BOTH ? WS_HSCROLL | WS_VSCROLL
                                      : 0;
  if (bits && ApplyStyle(state.hWnd, bits, bShow != FALSE)) RecalcFrame(state.hWnd);
  return TRUE;
}

BOOL EnableBars(SkinSB_State& state, UINT bars, UINT arrows) {
  if (bars == SB_CTL) return FALSE;
  CWindowDC dc(state.hWnd);
  if (!dc.m_hDC) return FALSE;
  bool changed = false;
  for (int bar : {SB_HORZ, SB_VERT}) {
    if (bars != static_cast<UINT>(bar) && bars != SB_BOTH) continue;
    const int shift = bar == SB_VERT ? 2 : 0;
    const DWORD old = ArrowFlagsOf(state, bar);
    const DWORD now = arrows == ESB_ENABLE_BOTH ? 0 : (old | (arrows & 3));
    if (now == old) continue;
    state.dwArrowFlags = (state.dwArrowFlags & ~(3u << shift)) | (now << shift);
    changed = true;
    if (ShownBar(state, bar)) PaintBar(state, dc, bar);
  }
  return changed;
}

int SetInfo(SkinSB_State& state, int bar, const SCROLLINFO& si, BOOL bRedraw) {
  HWND hWnd = state.hWnd;
  const bool redraw = bRedraw && IsWindowVisible(hWnd);
  const DWORD styleBit = StyleBitOf(bar);
  const LONG style = GetWindowLongA(hWnd, GWL_STYLE);
  const bool shown = (style & styleBit) != 0;
  if (!(si.fMask & SIF_RANGE) && !shown) return 0;

  SCROLLINFO& cur = InfoOf(state, bar);
  const int oldPos = cur.nPos;
  UINT mask = si.fMask;
  bool changed = false;
  if (mask & SIF_RANGE) {
    const int nMax = si.nMax < si.nMin ? si.nMin : si.nMax;
    if (si.nMin != cur.nMin || nMax != cur.nMax) {
      cur.nMin = si.nMin;
      cur.nMax = nMax;
      changed = true;
      mask |= SIF_PAGE | SIF_POS;  // re-applied to the new range
    }
  }
  if (mask & SIF_PAGE) {
    const UINT limit = static_cast<UINT>(std::abs(cur.nMax - cur.nMin)) + 1;
    UINT page = (si.fMask & SIF_PAGE) ? si.nPage : cur.nPage;
    if (page > limit) page = limit;
    if (page != cur.nPage) {
      cur.nPage = page;
      changed = true;
      mask |= SIF_POS;
    }
  }
  if (mask & SIF_POS) {
    int pos = (si.fMask & SIF_POS) ? si.nPos : cur.nPos;
    const int last = cur.nPage ? cur.nMax - static_cast<int>(cur.nPage - 1) : cur.nMax;
    if (pos > last) pos = last;
    if (pos < cur.nMin) pos = cur.nMin;
    if (pos != cur.nPos) {
      cur.nPos = pos;
      changed = true;
    }
  }
  if (si.fMask & SIF_TRACKPOS) cur.nTrackPos = si.nTrackPos;

  const bool fits = static_cast<int>(cur.nPage) <= cur.nMax - cur.nMin;
  bool wanted = shown;
  if (si.fMask & SIF_RANGE) {
    wanted = cur.nMin != cur.nMax && fits;
  } else if (si.fMask & SIF_PAGE) {
    wanted = fits;
  }
  const int result = (si.fMask & SIF_POS) ? oldPos : cur.nPos;
  const bool keepDisabled = (si.fMask & SIF_DISABLENOSCROLL) != 0;

  if (!changed && !keepDisabled) {
    if (shown && redraw) {
      RepaintTrackAndThumb(state, bar);
      return cur.nPos;
    }
    return result;
  }
  // With SIF_DISABLENOSCROLL a shown bar stays, enabled or disabled.
  const bool show = wanted || (keepDisabled && shown);
  const bool toggled = ApplyStyle(hWnd, styleBit, show);
  state.dwShownBars = GetWindowLongA(hWnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL);
  if (toggled) RecalcFrame(hWnd);
  if (!keepDisabled) {
    if (toggled) return result;
  } else if (show) {
    EnableBars(state, bar, fits ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
  }
  if (wanted && redraw && show) RepaintTrackAndThumb(state, bar);
  return cur.nPos;
}

}  // namespace
}  // namespace skinsb

using skinsb::GetState;
using skinsb::InfoOf;
using skinsb::IsBar;

int WINAPI SkinSB_SetScrollInfoHook(HWND hWnd, int nBar, LPCSCROLLINFO lpsi, BOOL bRedraw) {
  SkinSB_State* state = GetState(hWnd);
  if (!state) return SkinSB_SetScrollInfoTrampoline(hWnd, nBar, lpsi, bRedraw);
  if (!IsBar(nBar) || !lpsi) return 0;
  return skinsb::SetInfo(*state, nBar, *lpsi, bRedraw);
}

BOOL WINAPI SkinSB_GetScrollInfoHook(HWND hWnd, int nBar, LPSCROLLINFO lpsi) {
  SkinSB_State* state = GetState(hWnd);
  if (!state) return SkinSB_GetScrollInfoTrampoline(hWnd, nBar, lpsi);
  if (!lpsi || lpsi->cbSize != sizeof(SCROLLINFO) || !IsBar(nBar)) return FALSE;
  const SCROLLINFO& cur = InfoOf(*state, nBar);
  if (lpsi->fMask & SIF_PAGE) lpsi->nPage = cur.nPage;
  if (lpsi->fMask & SIF_POS) lpsi->nPos = cur.nPos;
  if (lpsi->fMask & SIF_TRACKPOS) lpsi->nTrackPos = cur.nTrackPos;
  if (lpsi->fMask & SIF_RANGE) {
    lpsi->nMin = cur.nMin;
    lpsi->nMax = cur.nMax;
  }
  return (lpsi->fMask & SIF_ALL) != 0;
}

int WINAPI SkinSB_SetScrollPosHook(HWND hWnd, int nBar, int nPos, BOOL bRedraw) {
  SkinSB_State* state = GetState(hWnd);
  if (!state) return SkinSB_SetScrollPosTrampoline(hWnd, nBar, nPos, bRedraw);
  if (!IsBar(nBar)) return 0;
  SCROLLINFO& cur = InfoOf(*state, nBar);
  const int old = cur.nPos;
  cur.nPos = nPos;  // as given: the system's own SetScrollPos does not clamp either
  if (bRedraw) skinsb::RepaintIfShown(*state, nBar);
  return old;
}

int WINAPI SkinSB_GetScrollPosHook(HWND hWnd, int nBar) {
  SkinSB_State* state = GetState(hWnd);
  if (!state) return SkinSB_GetScrollPosTrampoline(hWnd, nBar);
  return IsBar(nBar) ? InfoOf(*state, nBar).nPos : 0;
}

BOOL WINAPI SkinSB_SetScrollRangeHook(HWND hWnd, int nBar, int nMinPos, int nMaxPos, BOOL bRedraw) {
  SkinSB_State* state = GetState(hWnd);
  if (!state) return SkinSB_SetScrollRangeTrampoline(hWnd, nBar, nMinPos, nMaxPos, bRedraw);
  if (!IsBar(nBar)) return FALSE;
  SCROLLINFO& cur = InfoOf(*state, nBar);
  cur.nMin = nMinPos;
  cur.nMax = nMaxPos;
  if (nMinPos == 0 && nMaxPos == 0) skinsb::ShowBars(*state, nBar, FALSE);
  if (bRedraw) skinsb::RepaintIfShown(*state, nBar);
  return TRUE;
}

BOOL WINAPI SkinSB_GetScrollRangeHook(HWND hWnd, int nBar, LPINT lpMinPos, LPINT lpMaxPos) {
  SkinSB_State* state = GetState(hWnd);
  if (!state) return SkinSB_GetScrollRangeTrampoline(hWnd, nBar, lpMinPos, lpMaxPos);
  if (!lpMinPos || !lpMaxPos || !IsBar(nBar)) return FALSE;
  *lpMinPos = InfoOf(*state, nBar).nMin;
  *lpMaxPos = InfoOf(*state, nBar).nMax;
  return TRUE;
}

BOOL WINAPI SkinSB_ShowScrollBarHook(HWND hWnd, int wBar, BOOL bShow) {
  SkinSB_State* state = GetState(hWnd);
  if (!state) return SkinSB_ShowScrollBarTrampoline(hWnd, wBar, bShow);
  return skinsb::ShowBars(*state, wBar, bShow);
}

BOOL WINAPI SkinSB_EnableScrollBarHook(HWND hWnd, UINT wSBflags, UINT wArrows) {
  SkinSB_State* state = GetState(hWnd);
  if (!state) return SkinSB_EnableScrollBarTrampoline(hWnd, wSBflags, wArrows);
  return skinsb::EnableBars(*state, wSBflags, wArrows);
}

#define SKINSB_HOOK(name) SkinSB_##name##Trampoline, SkinSB_##name##Hook

BOOL WINAPI SkinSB_InstallApiHooks() {
  AttachApiHook(SKINSB_HOOK(SetScrollInfo));
  AttachApiHook(SKINSB_HOOK(GetScrollInfo));
  AttachApiHook(SKINSB_HOOK(SetScrollPos));
  AttachApiHook(SKINSB_HOOK(GetScrollPos));
  AttachApiHook(SKINSB_HOOK(SetScrollRange));
  AttachApiHook(SKINSB_HOOK(GetScrollRange));
  AttachApiHook(SKINSB_HOOK(ShowScrollBar));
  AttachApiHook(SKINSB_HOOK(EnableScrollBar));
  return TRUE;
}

BOOL WINAPI SkinSB_RemoveApiHooks() {
  RemoveApiHook(SKINSB_HOOK(SetScrollInfo));
  RemoveApiHook(SKINSB_HOOK(SetScrollPos));
  RemoveApiHook(SKINSB_HOOK(GetScrollInfo));
  RemoveApiHook(SKINSB_HOOK(GetScrollPos));
  RemoveApiHook(SKINSB_HOOK(SetScrollRange));
  RemoveApiHook(SKINSB_HOOK(GetScrollRange));
  RemoveApiHook(SKINSB_HOOK(ShowScrollBar));
  RemoveApiHook(SKINSB_HOOK(EnableScrollBar));
  return TRUE;
}
