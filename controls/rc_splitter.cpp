#include "controls/rc_splitter.h"

#include "controls/paint_message.h"

namespace {

constexpr COLORREF kBarColour = 0x251F25;

}  // namespace

void CRCSplitter::SetLimits(bool vertical, int nearLimit, int farLimit) {
  m_bVertical = vertical;
  m_nNearLimit = nearLimit;
  m_nFarLimit = farLimit;
}

void CRCSplitter::SetCallback(Callback callback, void* context) {
  m_pfnCallback = callback;
  m_pContext = context;
}

CRect CRCSplitter::GetRectInParent() const {
  CRect rect;
  GetClientRect(&rect);
  MapWindowPoints(GetParent(), &rect);
  return rect;
}

CPoint CRCSplitter::InParent(LPARAM lParam) const {
  CPoint point(lParam);
  MapWindowPoints(GetParent(), &point, 1);
  return point;
}

void CRCSplitter::SetDragCursor() const {
  ::SetCursor(::LoadCursorW(nullptr, m_bVertical ? IDC_SIZEWE : IDC_SIZENS));
}

void CRCSplitter::MoveBar(LPARAM lParam) {
  // The parent is the pane the bar divides: its client area bounds the bar.
  CRect bounds;
  GetParent().GetClientRect(&bounds);
  const CPoint point = InParent(lParam);
  const int length = m_bVertical ? m_rcStart.Width() : m_rcStart.Height();
  const int boundsNear = m_bVertical ? bounds.left : bounds.top;
  const int boundsFar = m_bVertical ? bounds.right : bounds.bottom;
  int moved = m_bVertical ? m_rcStart.left + (point.x - m_ptAnchor.x)
                          : m_rcStart.top + (point.y - m_ptAnchor.y);
  if (moved - boundsNear < m_nNearLimit) {
    moved = boundsNear + m_nNearLimit;
  } else if (boundsFar - (moved + length) < m_nFarLimit) {
    moved = boundsFar - m_nFarLimit - length;
  }
  const int x = m_bVertical ? moved : m_rcStart.left;
  const int y = m_bVertical ? m_rcStart.top : moved;
  SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  if (m_pfnCallback) {
    const CRect rect = GetRectInParent();
    m_pfnCallback(rect.left, rect.top, rect.right, rect.bottom, m_pContext);
  }
}

LRESULT CRCSplitter::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&) {
  SetCapture();
  m_ptAnchor = InParent(lParam);
  m_rcStart = GetRectInParent();
  SetDragCursor();
  return 0;
}

LRESULT CRCSplitter::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&) {
  SetDragCursor();
  if (::GetCapture() == m_hWnd) MoveBar(lParam);
  return 0;
}

LRESULT CRCSplitter::OnLButtonUp(UINT, WPARAM, LPARAM lParam, BOOL&) {
  if (::GetCapture() == m_hWnd) {
    ::ReleaseCapture();
    MoveBar(lParam);
  }
  return 0;
}

LRESULT CRCSplitter::OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&) {
  PaintWindowMessage(m_hWnd, wParam, [this](CDCHandle dc) {
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, kBarColour);
  });
  return 0;
}

LRESULT CRCSplitter::OnEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&) {
  return 1;
}
