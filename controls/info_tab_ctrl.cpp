#include "controls/info_tab_ctrl.h"

#include "controls/paint_message.h"
#include "controls/skin_font.h"

namespace {

constexpr COLORREF kAccentColour = 0x0C5EE9;
constexpr COLORREF kSelectedTextColour = 0xDDDDDD;
constexpr COLORREF kTextColour = 0x888888;
constexpr int kMaxTabText = 1023;

}  // namespace

CInfoTabCtrl::CInfoTabCtrl(int fontHeight) {
  CreateSkinFont(m_font, fontHeight);
}

CRect CInfoTabCtrl::GetTabRect(int index) const {
  CRect rect;
  if (!GetItemRect(index, &rect)) rect.SetRectEmpty();
  return rect;
}

CString CInfoTabCtrl::GetTabText(int index) const {
  wchar_t text[kMaxTabText + 1] = {};
  TCITEMW item = {};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = kMaxTabText + 1;
  GetItem(index, &item);
  // The control may answer with a pointer to its own copy instead of filling the buffer.
  return CString(item.pszText ? item.pszText : L"");
}

void CInfoTabCtrl::DoPaint(CDCHandle target) {
  CRect client;
  GetClientRect(&client);
  CMemoryDC dc(target, client);
  int saved = dc.SaveDC();
  dc.SelectFont(m_font);
  dc.SetBkMode(TRANSPARENT);
  int selected = GetCurSel();
  for (int i = GetItemCount() - 1; i >= 0; --i) {
    CRect tab = GetTabRect(i);
    CRect moved = tab;
    moved.OffsetRect(-2, -2);
    dc.MoveTo(moved.right - m_nTabSpacing, moved.bottom - 1);
    dc.LineTo(tab.right, moved.bottom - 1);
    if (i == 0) dc.FillSolidRect(tab.left, tab.bottom - 22, 4, 22, kAccentColour);
    dc.SetTextColor(i == selected ? kSelectedTextColour : kTextColour);
    CRect textRect(moved.left + 15, moved.top, moved.right - m_nTabSpacing + 100, moved.bottom);
    dc.DrawText(GetTabText(i), -1, &textRect, DT_SINGLELINE | DT_VCENTER);
  }
  DrawExtra(CDCHandle(dc.m_hDC));
  dc.RestoreDC(saved);
}

LRESULT CInfoTabCtrl::OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&) {
  PaintWindowMessage(m_hWnd, wParam, [this](CDCHandle dc) { DoPaint(dc); });
  return 0;
}

LRESULT CInfoTabCtrl::OnEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&) {
  return 1;
}

LRESULT CInfoTabCtrl::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  CPoint point(lParam);
  for (int i = GetItemCount() - 1; i >= 0; --i) {
    CRect tab = GetTabRect(i);
    CRect gap(tab.right - m_nTabSpacing, tab.top, tab.right, tab.bottom);
    gap.OffsetRect(0, -2);
    if (gap.PtInRect(point)) return 0;  // swallowed: the tab control never sees it
  }
  bHandled = FALSE;
  return 0;
}
