#include "controls/skin_scroll_wnd.h"

#include <initializer_list>
#include <new>

#include "controls/paint_message.h"
#include "winlayer/bitmap_dc.h"
#include "winlayer/geometry.h"

namespace {

constexpr DWORD kFrameStyle = WS_CHILD | 0x100;
constexpr DWORD kToolWindowBit = 0x80;
constexpr DWORD kFrameExStyleForToolWindows = 0x88;
// The clipper never paints over the window inside it (its own text, "LIMIT", would show through).
constexpr DWORD kLimitStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
// What the frame reads of the window's own scroll information: range, page, position, track.
constexpr UINT kInfoMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

SCROLLINFO EmptyInfo(UINT mask) {
  SCROLLINFO info = {};
  info.cbSize = sizeof(info);
  info.fMask = mask;
  return info;
}

CRect RectInParent(HWND hWnd) {
  CRect rect;
  ::GetWindowRect(hWnd, &rect);
  ::MapWindowPoints(nullptr, ::GetParent(hWnd), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

}  // namespace

CSkinScrollWnd* CSkinScrollWnd::FromWindow(HWND hWnd) {
  if (!::IsWindow(hWnd) ||
      reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC)) != TargetProc) {
    return nullptr;
  }
  return reinterpret_cast<CSkinScrollWnd*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
}

bool CSkinScrollWnd::Attach(HWND hWnd, HBITMAP skin) {
  if (!::IsWindow(hWnd) || FromWindow(hWnd)) return false;
  m_hBmpScroll = skin;
  BITMAP info = {};
  if (skin && ::GetObjectW(skin, sizeof(info), &info) == sizeof(info)) {
    m_nScrollWid = info.bmWidth / 9;
  }
  CWindow target(hWnd);
  const CRect rect = RectInParent(hWnd);
  const DWORD style = kFrameStyle | (target.GetStyle() & WS_VISIBLE);
  const DWORD exStyle = (target.GetExStyle() & kToolWindowBit) ? kFrameExStyleForToolWindows : 0;
  if (!Create(target.GetParent(), rect, L"SkinScrollBarFrame", style, exStyle,
              target.GetDlgCtrlID())) {
    return false;
  }
  CRect client;
  GetClientRect(&client);
  if (!m_wndLimit.Create(L"static", m_hWnd, client, L"LIMIT", kLimitStyle, 0, kLimitId) ||
      !m_sbHorz.Create(m_hWnd, CRect(0, 0, client.Width(), 1), nullptr, WS_CHILD, 0, kHorzBarId) ||
      !m_sbVert.Create(m_hWnd, CRect(0, 0, 1, client.Height()), nullptr, WS_CHILD | SBS_VERT, 0,
                       kVertBarId)) {
    return false;
  }
  m_sbHorz.SetBitmap(skin);
  m_sbVert.SetBitmap(skin);

  target.SetParent(m_wndLimit);
  m_hWndTarget = hWnd;
  ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  m_funOldProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TargetProc)));
  // The frame is recalculated so that the window's bars take the skin's thickness at once.
  target.SetWindowPos(nullptr, 0, 0, rect.Width(), rect.Height(),
                      SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  SetTimer(kTimerId, 500);
  return true;
}

void CSkinScrollWnd::Detach() {
  const HWND target = m_hWndTarget;
  if (!target) return;
  m_hWndTarget = nullptr;
  const CRect rect = RectInParent(m_hWnd);
  ::SetWindowLongPtrW(target, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_funOldProc));
  ::SetWindowLongPtrW(target, GWLP_USERDATA, 0);
  // A frame that is being destroyed takes the window with it: there is nothing to give back.
  if (m_bDying) return;
  ::SetParent(target, GetParent());
  ::MoveWindow(target, rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
  DestroyWindow();  // the final message deletes this object
}

void CSkinScrollWnd::OnFinalMessage(HWND) {
  // Only now: while its window was being destroyed, messages for it were still on their way.
  m_bGone = true;
  DeleteWhenDone();
}

void CSkinScrollWnd::DeleteWhenDone() {
  if (m_bGone && !m_sbHorz.m_pCurrentMsg && !m_sbVert.m_pCurrentMsg) delete this;
}

LRESULT CALLBACK CSkinScrollWnd::TargetProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  auto* frame = reinterpret_cast<CSkinScrollWnd*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
  if (!frame) return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
  const WNDPROC old = frame->m_funOldProc;
  if (uMsg == WM_DESTROY) {
    frame->Detach();
    return ::CallWindowProcW(old, hWnd, uMsg, wParam, lParam);
  }
  POINT origin = {0, 0};
  if (uMsg == WM_NCCALCSIZE && wParam) {
    const RECT& window = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0];
    origin = {window.left, window.top};
  }
  const LRESULT result = ::CallWindowProcW(old, hWnd, uMsg, wParam, lParam);
  // The window's own procedure may have unwrapped it (by destroying it, say).
  if (reinterpret_cast<CSkinScrollWnd*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA)) != frame) {
    return result;
  }
  if (uMsg == WM_NCCALCSIZE && wParam) {
    // The window's bars take the skin's thickness instead of the system's; the skinned bars go
    // where the window's own are, which the frame's clipping child leaves out of sight.
    RECT& client = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0];
    const DWORD style = static_cast<DWORD>(::GetWindowLongW(hWnd, GWL_STYLE));
    const bool left = (::GetWindowLongW(hWnd, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    const int change = ::GetSystemMetrics(SM_CXVSCROLL) - frame->m_nScrollWid;
    if (style & WS_VSCROLL) {
      if (left) {
        client.left -= change;
      } else {
        client.right += change;
      }
    }
    if (style & WS_HSCROLL) client.bottom += change;
    // The window lies at the frame's top-left corner (the layout keeps it there), so its client
    // area relative to itself is where it shows in the frame.
    CRect shown(client);
    shown.OffsetRect(-origin.x, -origin.y);
    frame->PlaceBars(shown, style, left);
  } else if (uMsg == WM_ERASEBKGND && !frame->m_bOp) {
    frame->SyncBars();
  }
  return result;
}

void CSkinScrollWnd::PlaceBars(const RECT& shown, DWORD style, bool left) {
  const CRect client(shown);
  const int thickness = m_nScrollWid;
  const bool vertical = (style & WS_VSCROLL) != 0;
  const bool horizontal = (style & WS_HSCROLL) != 0;
  const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  if (vertical) {
    m_sbVert.SetWindowPos(nullptr, left ? client.left - thickness : client.right, client.top,
                          thickness, client.Height(), flags | SWP_SHOWWINDOW);
  } else {
    m_sbVert.ShowWindow(SW_HIDE);
  }
  if (horizontal) {
    m_sbHorz.SetWindowPos(nullptr, client.left, client.bottom, client.Width(), thickness,
                          flags | SWP_SHOWWINDOW);
  } else {
    m_sbHorz.ShowWindow(SW_HIDE);
  }
  m_nAngleType = vertical && horizontal ? (left ? kCornerLeft : kCornerRight) : kNoCorner;
  PostMessage(kLayoutMessage, vertical, left);
}

void CSkinScrollWnd::SyncBars() {
  const DWORD style = static_cast<DWORD>(::GetWindowLongW(m_hWndTarget, GWL_STYLE));
  for (int bar : {SB_VERT, SB_HORZ}) {
    if (!(style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL))) continue;
    SCROLLINFO info = EmptyInfo(kInfoMask);
    if (!::GetScrollInfo(m_hWndTarget, bar, &info)) continue;
    CSkinScrollBar& skinned = GetBar(bar);
    SCROLLINFO shown = EmptyInfo(SIF_ALL);
    skinned.GetScrollInfo(&shown);
    if (info.nMin == shown.nMin && info.nMax == shown.nMax && info.nPage == shown.nPage &&
        info.nPos == shown.nPos) {
      continue;
    }
    skinned.SetScrollInfo(&info, !m_bOp);
    skinned.EnableWindow(info.nMax >= static_cast<int>(info.nPage));
  }
}

LRESULT CSkinScrollWnd::OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&) {
  // The frame shows only its children, and the square between two bars, which no bar covers.
  PaintWindowMessage(m_hWnd, wParam, [this](CDCHandle dc) {
    if (m_nAngleType == kNoCorner) return;
    const CRect vertical = RectInParent(m_sbVert);
    const CRect horizontal = RectInParent(m_sbHorz);
    CBitmapDC skin(dc, m_hBmpScroll);
    if (!skin.get()) return;
    dc.BitBlt(vertical.left, horizontal.top, m_nScrollWid, m_nScrollWid, skin.get(),
              skin_scroll_bar::kCornerColumn * m_nScrollWid, 0, SRCCOPY);
  });
  return 0;
}

LRESULT CSkinScrollWnd::OnEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&) {
  return 1;
}

LRESULT CSkinScrollWnd::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  bHandled = wParam == kTimerId;
  return 0;
}

LRESULT CSkinScrollWnd::OnSize(UINT, WPARAM, LPARAM lParam, BOOL&) {
  const int width = LOWORD(lParam);
  const int height = HIWORD(lParam);
  if (width && height && m_hWndTarget) {
    ::SetWindowPos(m_hWndTarget, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return 0;
}

LRESULT CSkinScrollWnd::OnLayout(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  if (!m_hWndTarget) return 0;
  CRect limit;
  GetClientRect(&limit);
  if (m_sbHorz.GetStyle() & WS_VISIBLE) limit.bottom -= m_nScrollWid;
  int offset = 0;
  if (wParam) {
    if (lParam) {
      limit.left += m_nScrollWid;
      offset = -m_nScrollWid;
    } else {
      limit.right -= m_nScrollWid;
    }
  }
  m_wndLimit.MoveWindow(&limit);
  ::SetWindowPos(m_hWndTarget, nullptr, offset, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Invalidate(FALSE);  // the corner
  return 0;
}

LRESULT CSkinScrollWnd::OnScroll(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  const HWND bar = reinterpret_cast<HWND>(lParam);
  if (!m_hWndTarget || (bar != m_sbVert.m_hWnd && bar != m_sbHorz.m_hWnd)) {
    bHandled = FALSE;
    return 0;
  }
  m_bOp = true;
  // As from the window's own bars: a window's bars send no handle of theirs.
  ::SendMessageW(m_hWndTarget, uMsg, wParam, 0);
  if (LOWORD(wParam) != SB_THUMBTRACK && m_hWndTarget) {
    SCROLLINFO info = EmptyInfo(kInfoMask);
    ::GetScrollInfo(m_hWndTarget, uMsg == WM_VSCROLL ? SB_VERT : SB_HORZ, &info);
    ::SetScrollInfo(bar, SB_CTL, &info, TRUE);
  }
  m_bOp = false;
  return 0;
}

LRESULT CSkinScrollWnd::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  m_bDying = true;
  KillTimer(kTimerId);
  bHandled = FALSE;
  return 0;
}

CSkinScrollWnd* AttachSkinScrollBars(HWND hWnd, HBITMAP skin) {
  auto* frame = new (std::nothrow) CSkinScrollWnd;
  if (!frame) return nullptr;
  if (frame->Attach(hWnd, skin)) return frame;
  if (frame->m_hWnd) {
    frame->DestroyWindow();  // its final message deletes it
  } else {
    delete frame;
  }
  return nullptr;
}

BOOL DetachSkinScrollBars(HWND hWnd) {
  if (CSkinScrollWnd* frame = CSkinScrollWnd::FromWindow(hWnd)) frame->Detach();
  return TRUE;
}
