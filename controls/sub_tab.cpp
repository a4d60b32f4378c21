#include "controls/sub_tab.h"

namespace {

constexpr COLORREF kBackgroundColour = 0x322B32;
constexpr COLORREF kSelectedTextColour = 0x4369C9;
constexpr COLORREF kAccentColour = 0x0C5EE9;
constexpr COLORREF kTextColour = 0x888888;
constexpr COLORREF kHotColour = 0x646464;

}  // namespace

CRect CSubTab::GetHotRect(int index) const {
  CRect rect = GetTabRect(index);
  rect.top -= 2;
  rect.bottom += 1;
  return rect;
}

void CSubTab::InvalidateHighlight(int index) {
  // The highlight reaches 5 px right and 2 px below the hot rectangle.
  CRect rect = GetHotRect(index);
  rect.right += 5;
  rect.bottom += 2;
  InvalidateRect(&rect, FALSE);
}

LRESULT CSubTab::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&) {
  if (!m_bTracking) {
    TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, 1};
    m_bTracking = ::_TrackMouseEvent(&track) != FALSE;
  }
  CPoint point(lParam);
  if (m_nHotItem != -1) {
    if (GetHotRect(m_nHotItem).PtInRect(point)) return 0;
    InvalidateHighlight(m_nHotItem);
  }
  // Over no tab the highlight stays where it was until the pointer leaves the strip.
  for (int i = GetItemCount() - 1; i >= 0; --i) {
    if (GetHotRect(i).PtInRect(point)) {
      m_nHotItem = i;
      InvalidateHighlight(i);
      break;
    }
  }
  return 0;
}

LRESULT CSubTab::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&) {
  m_bTracking = false;
  if (m_nHotItem != -1) {
    InvalidateHighlight(m_nHotItem);
    m_nHotItem = -1;
  }
  return 0;
}

void CSubTab::DoPaint(CDCHandle target) {
  CRect client;
  GetClientRect(&client);
  CMemoryDC dc(target, client);
  dc.FillSolidRect(&client, kBackgroundColour);
  int count = GetItemCount();
  if (count <= 0) return;

  int saved = dc.SaveDC();
  dc.SelectFont(m_font);
  dc.SetBkMode(TRANSPARENT);
  int selected = GetCurSel();
  CBrush hotBrush;
  for (int i = count - 1; i >= 0; --i) {
    CRect rect = GetHotRect(i);
    rect.right -= m_nTabSpacing;
    if (i == selected) {
      dc.SetTextColor(kSelectedTextColour);
      CRect accent(rect.left - 2, rect.bottom - 22, rect.left + 2, rect.bottom);
      dc.FillSolidRect(&accent, kAccentColour);
    } else {
      dc.SetTextColor(kTextColour);
      if (i == m_nHotItem) {
        CRgn highlight;
        if (hotBrush.IsNull()) hotBrush.CreateSolidBrush(kHotColour);
        if (highlight.CreateRoundRectRgn(rect.left, rect.top, rect.right + 5, rect.bottom + 2, 5,
                                         5)) {
          dc.FillRgn(highlight, hotBrush);
        }
      }
    }
    CRect textRect(rect.left + 6, rect.top, rect.right + 2, rect.bottom + 2);
    dc.DrawText(GetTabText(i), -1, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  dc.RestoreDC(saved);
}
