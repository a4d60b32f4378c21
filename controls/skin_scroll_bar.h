// CSkinScrollBar: a scroll-bar control (a superclass of "SCROLLBAR") painted from a skin of
// nine square cells in a row and three rows of states (normal, hot, pressed). Columns: 0 first
// arrow, 1 second arrow, 2 thumb, 3 track of a vertical bar; 4 to 7 the same for a horizontal
// bar; 8 the corner between two bars. It keeps its own scroll information (SBM_SETSCROLLINFO,
// SBM_GETSCROLLINFO, so SetScrollInfo and GetScrollInfo with SB_CTL work on it) and sends its
// parent the ordinary WM_VSCROLL / WM_HSCROLL with itself as lParam: an arrow press repeats
// (after 500 ms, then every 100 ms), a track press pages, the thumb drags (SB_THUMBTRACK while
// moving, one SB_THUMBPOSITION at the release; no SB_ENDSCROLL).
//
// Used by the skinned scroll-bar windows (skin_scroll_wnd.h).
#pragma once

#include <windows.h>

#include "winlayer/controls.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/window_impl.h"

namespace skin_scroll_bar {

// The parts of a bar; each is also the scroll code a press on it sends.
enum Part {
  kNone = -1,
  kFirstArrow = SB_LINEUP,
  kSecondArrow = SB_LINEDOWN,
  kTrackBefore = SB_PAGEUP,
  kTrackAfter = SB_PAGEDOWN,
  kThumb = SB_THUMBTRACK,
};

inline constexpr int kMinThumb = 6;
inline constexpr int kThumbCap = 3;  // thumb ends drawn as they are; the middle is repeated
inline constexpr int kCornerColumn = 8;

// A bar laid out along its length (y for a vertical bar, x for a horizontal one).
struct Layout {
  int length = 0;      // the whole bar
  int arrow = 0;       // each arrow: a cell, or half the bar when there is no room for a track
  int track = 0;       // between the arrows
  int thumb = 0;       // 0: no thumb
  int thumbStart = 0;  // from the bar's start

  // The part at a coordinate along the bar.
  Part HitTest(int along) const;
  // Room for the thumb to move.
  int Travel() const { return track - thumb; }
};

// The last position the thumb can reach: nMax - nPage + 1, not below nMin.
int MaxPosition(const SCROLLINFO& info);
// The layout for a bar of length and cell size with the thumb at position (from nMin on).
Layout LayoutBar(int length, int cell, const SCROLLINFO& info, int position);
// The position for a thumb dragged by moved pixels from where startPosition put it.
int DragPosition(const Layout& layout, const SCROLLINFO& info, int startPosition, int moved);

}  // namespace skin_scroll_bar

class CSkinScrollBar : public CWindowImpl<CSkinScrollBar, CScrollBar, CWinTraits<0x56000000>> {
 public:
  DECLARE_WND_SUPERCLASS(nullptr, CScrollBar::GetWndClassName())

  static constexpr UINT_PTR kFirstRepeatTimer = 200;
  static constexpr UINT_PTR kRepeatTimer = 100;

  CSkinScrollBar();
  ~CSkinScrollBar() override = default;

  // Takes the skin (not owned: the caller keeps it alive) and makes the bar one cell thick.
  void SetBitmap(HBITMAP skin);
  bool IsVertical() const { return (GetStyle() & SBS_VERT) != 0; }
  int GetCellSize() const { return m_nCell; }
  // The bar's layout now.
  skin_scroll_bar::Layout GetLayout() const;
  // Paints the whole bar into dc (client coordinates).
  void DoPaint(HDC dc);

  BEGIN_MSG_MAP(CSkinScrollBar)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
  MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnLButtonDown)
  MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
  MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
  MESSAGE_HANDLER(WM_TIMER, OnTimer)
  MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
  MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(WM_ENABLE, OnEnable)
  MESSAGE_HANDLER(SBM_SETSCROLLINFO, OnSetScrollInfo)
  MESSAGE_HANDLER(SBM_GETSCROLLINFO, OnGetScrollInfo)
  END_MSG_MAP()

 private:
  LRESULT OnPaint(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnLButtonDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnLButtonUp(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnCaptureChanged(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnTimer(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnMouseMove(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnMouseLeave(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnEnable(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnSetScrollInfo(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnGetScrollInfo(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

  // The coordinate along the bar of a mouse message's point.
  int Along(LPARAM lParam) const;
  void SendScroll(int code, int position = 0);
  // Ends a press or a drag: the thumb's final position goes out, the repeat stops.
  void EndPress(bool sendPosition);

  HBITMAP m_hSkin = nullptr;
  int m_nCell = 16;   // skin width / 9: the cells are square
  int m_nLength = 0;  // along the bar
  SCROLLINFO m_si;    // nTrackPos -1 while no drag runs
  bool m_bDragging = false;
  POINT m_ptDragStart = {0, 0};
  int m_nDragStartPos = 0;
  int m_nPressedPart = skin_scroll_bar::kNone;
  UINT_PTR m_nRepeatTimer = 0;  // the repeat timer running, 0 for none
  int m_nHotPart = skin_scroll_bar::kNone;
  bool m_bOutside = false;  // pressed, but the pointer has left the pressed part
  bool m_bTrackingLeave = false;
};
