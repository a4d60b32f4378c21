#include "controls/skin_scroll_bar.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>

#include "controls/paint_message.h"
#include "winlayer/bitmap_dc.h"

namespace skin_scroll_bar {
namespace {

constexpr int kHorizontalFirstColumn = 4;  // the horizontal bar's cells follow the vertical's
enum Column { kFirstArrowColumn = 0, kSecondArrowColumn = 1, kThumbColumn = 2, kTrackColumn = 3 };
enum Row { kNormalRow = 0, kHotRow = 1, kPressedRow = 2 };

// a * b / c without overflow, truncated like the plain int formula would be.
int Scale(int a, int b, int c) {
  return static_cast<int>(static_cast<int64_t>(a) * b / c);
}

}  // namespace

Part Layout::HitTest(int along) const {
  if (along < 0) return kNone;
  if (along < arrow) return kFirstArrow;
  if (along < thumbStart) return kTrackBefore;
  if (along < thumbStart + thumb) return kThumb;
  if (along < length - arrow) return kTrackAfter;
  return kSecondArrow;
}

int MaxPosition(const SCROLLINFO& info) {
  const int page = std::max<int>(static_cast<int>(info.nPage), 1);
  return std::max(info.nMin, info.nMax - page + 1);
}

Layout LayoutBar(int length, int cell, const SCROLLINFO& info, int position) {
  Layout layout;
  layout.length = length;
  layout.track = std::max(length - 2 * cell, 0);
  layout.arrow = layout.track == 0 ? length / 2 : cell;
  const int range = info.nMax - info.nMin + 1;
  if (layout.track >= kMinThumb) {
    int thumb = range > 0 ? Scale(static_cast<int>(info.nPage), layout.track, range) : 0;
    layout.thumb = std::min(std::max(thumb, kMinThumb), layout.track);
  }
  // Positions count from nMin, so ranges that do not start at 0 place the thumb alike.
  const int steps = range - static_cast<int>(info.nPage);
  if (steps > 0) {
    const int offset = std::min(std::max(position - info.nMin, 0), steps);
    layout.thumbStart = layout.arrow + Scale(offset, layout.Travel(), steps);
  } else {
    layout.thumbStart = layout.arrow + layout.Travel() / 2;
  }
  return layout;
}

int DragPosition(const Layout& layout, const SCROLLINFO& info, int startPosition, int moved) {
  const int steps = info.nMax - info.nMin + 1 - static_cast<int>(info.nPage);
  const int travel = layout.Travel();
  const int delta = travel > 0 ? Scale(steps, moved, travel) : 0;
  return std::min(std::max(startPosition + delta, info.nMin), MaxPosition(info));
}

}  // namespace skin_scroll_bar

using namespace skin_scroll_bar;  // NOLINT: this file is the bar's implementation

namespace {

// Copies a cell of the skin along the bar: length pixels from `from` pixels into the cell, to
// `at` along the bar; a cell is stretched when the length differs from what is copied.
class SkinPainter {
 public:
  SkinPainter(HDC target, HBITMAP skin, int cell, bool vertical)
      : m_target(target), m_source(target, skin), m_cell(cell), m_vertical(vertical) {}
  bool ok() const { return m_source.get() != nullptr; }

  void Stretch(int column, int row, int at, int length) const {
    if (length <= 0) return;
    const POINT cell = Cell(column, row);
    if (m_vertical) {
      ::StretchBlt(m_target, 0, at, m_cell, length, m_source.get(), cell.x, cell.y, m_cell, m_cell,
                   SRCCOPY);
    } else {
      ::StretchBlt(m_target, at, 0, length, m_cell, m_source.get(), cell.x, cell.y, m_cell, m_cell,
                   SRCCOPY);
    }
  }
  // Repeats the cell's pixels from..from + span along the bar over at..at + length.
  void Tile(int column, int row, int from, int span, int at, int length) const {
    if (span <= 0) return;  // cells too small to leave a thumb a middle between its ends
    for (int done = 0; done < length; done += span) {
      Copy(column, row, from, at + done, std::min(span, length - done));
    }
  }
  void Copy(int column, int row, int from, int at, int length) const {
    if (length <= 0) return;
    const POINT cell = Cell(column, row);
    if (m_vertical) {
      ::BitBlt(m_target, 0, at, m_cell, length, m_source.get(), cell.x, cell.y + from, SRCCOPY);
    } else {
      ::BitBlt(m_target, at, 0, length, m_cell, m_source.get(), cell.x + from, cell.y, SRCCOPY);
    }
  }

 private:
  POINT Cell(int column, int row) const {
    const int first = m_vertical ? 0 : kHorizontalFirstColumn;
    return {(first + column) * m_cell, row * m_cell};
  }

  HDC m_target;
  CBitmapDC m_source;
  int m_cell;
  bool m_vertical;
};

}  // namespace

CSkinScrollBar::CSkinScrollBar() {
  m_si = {};
  m_si.cbSize = sizeof(m_si);
  m_si.nTrackPos = -1;
}

void CSkinScrollBar::SetBitmap(HBITMAP skin) {
  m_hSkin = skin;
  BITMAP info = {};
  if (skin && ::GetObjectW(skin, sizeof(info), &info) == sizeof(info)) {
    m_nCell = info.bmWidth / 9;
  }
  CRect rect;
  GetWindowRect(&rect);
  if (IsVertical()) {
    SetWindowPos(nullptr, 0, 0, m_nCell, rect.Height(), SWP_NOMOVE | SWP_NOZORDER);
  } else {
    SetWindowPos(nullptr, 0, 0, rect.Width(), m_nCell, SWP_NOMOVE | SWP_NOZORDER);
  }
}

Layout CSkinScrollBar::GetLayout() const {
  return LayoutBar(m_nLength, m_nCell, m_si, m_bDragging ? m_si.nTrackPos : m_si.nPos);
}

int CSkinScrollBar::Along(LPARAM lParam) const {
  const CPoint point(lParam);
  return IsVertical() ? point.y : point.x;
}

void CSkinScrollBar::SendScroll(int code, int position) {
  GetParent().SendMessage(IsVertical() ? WM_VSCROLL : WM_HSCROLL,
                          MAKEWPARAM(code, static_cast<WORD>(position)),
                          reinterpret_cast<LPARAM>(m_hWnd));
}

void CSkinScrollBar::DoPaint(HDC hdc) {
  CRect client;
  GetClientRect(&client);
  CMemoryDC dc(hdc, client);
  SkinPainter skin(dc, m_hSkin, m_nCell, IsVertical());
  if (!skin.ok()) {
    dc.FillSolidRect(&client, ::GetSysColor(COLOR_SCROLLBAR));
    return;
  }
  const Layout layout = GetLayout();
  auto arrowRow = [this](int part) {
    if (m_nPressedPart == part && !m_bOutside) return static_cast<int>(kPressedRow);
    return m_nHotPart == part ? static_cast<int>(kHotRow) : static_cast<int>(kNormalRow);
  };
  const int thumbEnd = layout.thumbStart + layout.thumb;
  const int trackEnd = layout.length - layout.arrow;
  if (layout.thumb > 0) {
    skin.Tile(kTrackColumn, kNormalRow, 0, m_nCell, layout.arrow, layout.thumbStart - layout.arrow);
    skin.Tile(kTrackColumn, kNormalRow, 0, m_nCell, thumbEnd, trackEnd - thumbEnd);
    const int row = m_nHotPart == kThumb ? kHotRow : kNormalRow;
    const int middle = m_nCell - 2 * kThumbCap;
    skin.Tile(kThumbColumn, row, kThumbCap, middle, layout.thumbStart + kThumbCap,
              layout.thumb - 2 * kThumbCap);
    skin.Copy(kThumbColumn, row, 0, layout.thumbStart, kThumbCap);
    skin.Copy(kThumbColumn, row, m_nCell - kThumbCap, thumbEnd - kThumbCap, kThumbCap);
  } else {
    skin.Tile(kTrackColumn, kNormalRow, 0, m_nCell, layout.arrow, layout.track);
  }
  for (int part : {kFirstArrow, kSecondArrow}) {
    const int column = part == kFirstArrow ? kFirstArrowColumn : kSecondArrowColumn;
    const int at = part == kFirstArrow ? 0 : trackEnd;
    if (layout.arrow == m_nCell) {
      skin.Copy(column, arrowRow(part), 0, at, m_nCell);
    } else {
      skin.Stretch(column, arrowRow(part), at, layout.arrow);
    }
  }
}

LRESULT CSkinScrollBar::OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&) {
  PaintWindowMessage(m_hWnd, wParam, [this](CDCHandle dc) { DoPaint(dc); });
  return 0;
}

LRESULT CSkinScrollBar::OnSize(UINT, WPARAM, LPARAM lParam, BOOL&) {
  m_nLength = IsVertical() ? HIWORD(lParam) : LOWORD(lParam);
  return 0;
}

LRESULT CSkinScrollBar::OnEnable(UINT, WPARAM, LPARAM, BOOL&) {
  // The system's bar would paint itself here; ours is painted from the skin.
  Invalidate(FALSE);
  return 0;
}

LRESULT CSkinScrollBar::OnSetScrollInfo(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  const auto* info = reinterpret_cast<const SCROLLINFO*>(lParam);
  if (!info) return 0;
  if (info->fMask & SIF_RANGE) {
    m_si.nMin = info->nMin;
    m_si.nMax = info->nMax;
  }
  if (info->fMask & SIF_PAGE) m_si.nPage = info->nPage;
  if (info->fMask & SIF_POS) m_si.nPos = info->nPos;
  if (wParam) Invalidate(FALSE);
  return 1;
}

LRESULT CSkinScrollBar::OnGetScrollInfo(UINT, WPARAM, LPARAM lParam, BOOL&) {
  auto* info = reinterpret_cast<SCROLLINFO*>(lParam);
  if (!info) return FALSE;
  if (info->fMask & SIF_RANGE) {
    info->nMin = m_si.nMin;
    info->nMax = m_si.nMax;
  }
  if (info->fMask & SIF_PAGE) info->nPage = m_si.nPage;
  if (info->fMask & SIF_POS) info->nPos = m_si.nPos;
  if (info->fMask & SIF_TRACKPOS) info->nTrackPos = m_si.nTrackPos;
  return TRUE;
}

LRESULT CSkinScrollBar::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&) {
  // A quick second click arrives as a double click: it presses like the first one (the system
  // bar would run its own tracking and paint itself).
  SetCapture();
  const Part part = GetLayout().HitTest(Along(lParam));
  if (part == kThumb) {
    m_bDragging = true;
    m_ptDragStart = CPoint(lParam);
    m_nDragStartPos = m_si.nPos;
    m_si.nTrackPos = m_si.nPos;
    return 0;
  }
  if (part == kNone) return 0;
  m_nPressedPart = part;
  m_bOutside = false;
  SendScroll(part);
  m_nRepeatTimer = SetTimer(kFirstRepeatTimer, 500) ? kFirstRepeatTimer : 0;
  Invalidate(FALSE);
  return 0;
}

LRESULT CSkinScrollBar::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if (wParam != kFirstRepeatTimer && wParam != kRepeatTimer) {
    bHandled = FALSE;
    return 0;
  }
  if (wParam == kFirstRepeatTimer) {
    KillTimer(kFirstRepeatTimer);
    m_nRepeatTimer = SetTimer(kRepeatTimer, 100) ? kRepeatTimer : 0;
  }
  if (m_nPressedPart == kNone || m_bOutside) return 0;
  bool repeat = true;
  switch (m_nPressedPart) {
    case kFirstArrow:
      repeat = m_si.nPos != m_si.nMin;
      break;
    case kSecondArrow:
      repeat = m_si.nPos < MaxPosition(m_si);
      break;
    default: {  // the track pages until the thumb reaches the pointer
      CPoint cursor;
      ::GetCursorPos(&cursor);
      ScreenToClient(&cursor);
      repeat = GetLayout().HitTest(IsVertical() ? cursor.y : cursor.x) != kThumb;
      break;
    }
  }
  if (repeat) {
    SendScroll(m_nPressedPart);
  } else if (m_nRepeatTimer) {
    KillTimer(m_nRepeatTimer);
    m_nRepeatTimer = 0;
  }
  return 0;
}

LRESULT CSkinScrollBar::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&) {
  const Layout layout = GetLayout();
  if (m_bDragging) {
    const CPoint point(lParam);
    const int moved = IsVertical() ? point.y - m_ptDragStart.y : point.x - m_ptDragStart.x;
    const int position = DragPosition(layout, m_si, m_nDragStartPos, moved);
    if (position != m_si.nTrackPos) {
      m_si.nTrackPos = position;
      Invalidate(FALSE);
      SendScroll(SB_THUMBTRACK, position);
    }
    return 0;
  }
  const Part part = layout.HitTest(Along(lParam));
  if (m_nPressedPart != kNone) {
    const bool outside = part != m_nPressedPart;
    if (outside != m_bOutside) {
      m_bOutside = outside;
      Invalidate(FALSE);
    }
    return 0;
  }
  if (part != m_nHotPart) {
    m_nHotPart = part;
    Invalidate(FALSE);
  }
  if (!m_bTrackingLeave) {
    TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, 1};
    m_bTrackingLeave = ::_TrackMouseEvent(&track) != FALSE;
  }
  return 0;
}

LRESULT CSkinScrollBar::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&) {
  m_bTrackingLeave = false;
  if (m_nHotPart != kNone) {
    m_nHotPart = kNone;
    Invalidate(FALSE);
  }
  return 0;
}

void CSkinScrollBar::EndPress(bool sendPosition) {
  if (m_bDragging) {
    m_bDragging = false;
    if (sendPosition) SendScroll(SB_THUMBPOSITION, m_si.nTrackPos);
    m_si.nTrackPos = -1;
  }
  if (m_nRepeatTimer) {
    KillTimer(m_nRepeatTimer);
    m_nRepeatTimer = 0;
  }
  m_nPressedPart = kNone;
  m_bOutside = false;
  Invalidate(FALSE);
}

LRESULT CSkinScrollBar::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL&) {
  // EndPress runs first: the capture change that the release causes then finds nothing to end.
  EndPress(true);
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  return 0;
}

LRESULT CSkinScrollBar::OnCaptureChanged(UINT, WPARAM, LPARAM lParam, BOOL&) {
  // Losing the mouse to another window (a message box, say) ends the press: a repeat left
  // running would scroll on for ever.
  if (reinterpret_cast<HWND>(lParam) != m_hWnd) EndPress(true);
  return 0;
}
