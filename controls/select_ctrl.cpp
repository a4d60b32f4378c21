#include "controls/select_ctrl.h"

#include <algorithm>

#include "app/main_frame.h"
#include "controls/paint_message.h"
#include "controls/skin_font.h"
#include "winlayer/cstring.h"
#include "winlayer/gdi_dc.h"

namespace {

constexpr COLORREF kLinkColour = 0xB3A963;
constexpr COLORREF kPageColour = 0x6C6C6C;
constexpr COLORREF kBarColour = 0xC9C9C9;
constexpr int kCursorArrow = 2;
constexpr int kCursorHand = 3;

}  // namespace

void CSelectCtrl::SetPageInfo(int first, int count) {
  m_nCurPage = first;
  m_nFirstPage = first;
  m_nWindowStart = first;
  m_nPageCount = std::max(count, first);
}

void CSelectCtrl::SetCurPage(int page) {
  m_nCurPage = page;
  Invalidate(TRUE);
}

void CSelectCtrl::SetBkColor(COLORREF colour) {
  m_clrBk = colour;
  Invalidate(TRUE);
}

LRESULT CSelectCtrl::OnSize(UINT, WPARAM, LPARAM lParam, BOOL&) {
  const int third = LOWORD(lParam) / 3;
  const int height = HIWORD(lParam);
  m_rcPrev.SetRect(0, 0, third, height);
  m_rcMiddle.SetRect(third + 4, 0, 2 * third + 4, height);
  m_rcNext.SetRect(2 * third + 8, 0, 3 * third + 8, height);
  return 0;
}

LRESULT CSelectCtrl::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&) {
  const CPoint point(lParam);
  const bool over =
      m_rcPrev.PtInRect(point) || m_rcMiddle.PtInRect(point) || m_rcNext.PtInRect(point);
  CMainFrame::GetInstance()->SetCursorState(over ? kCursorHand : kCursorArrow);
  return 0;
}

LRESULT CSelectCtrl::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&) {
  const CPoint point(lParam);
  if (m_rcPrev.PtInRect(point)) {
    m_nCurPage = std::max(m_nCurPage - 1, 0);
  } else if (m_rcNext.PtInRect(point)) {
    if (m_nCurPage + 1 < m_nPageCount) ++m_nCurPage;
  } else if (!m_rcMiddle.PtInRect(point)) {
    return 0;
  }
  Invalidate(TRUE);
  if (m_rcMiddle.PtInRect(point)) return 0;
  // Sent whether or not the page changed: the owner asks for the page again either way.
  const int id = GetDlgCtrlID();
  NMHDR notice = {m_hWnd, static_cast<UINT_PTR>(id), kPageNotify};
  GetParent().SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&notice));
  return 0;
}

void CSelectCtrl::DoPaint(CDCHandle target) {
  CRect client;
  GetClientRect(&client);
  CMemoryDC dc(target, client);
  CFont font;
  CreateSkinFont(font, client.Height() - 1, FW_NORMAL, DEFAULT_CHARSET, FF_SWISS,
                 ANTIALIASED_QUALITY);
  int saved = dc.SaveDC();
  dc.SelectFont(font);
  dc.FillSolidRect(&client, m_clrBk);
  dc.SetBkMode(TRANSPARENT);
  // "宋体" fits the strip with a pixel to spare and sits on its bottom. A substitute face with
  // leading has a taller cell, and on the bottom its characters lose their tops ("下" reads as
  // "卜"): it is centred instead, its leading shared between the two edges.
  TEXTMETRICW metrics = {};
  dc.GetTextMetrics(&metrics);
  const UINT format =
      DT_SINGLELINE | DT_CENTER | (metrics.tmHeight > client.Height() ? DT_VCENTER : DT_BOTTOM);
  CRect area = m_rcPrev;
  dc.SetTextColor(kLinkColour);
  dc.DrawText(L"上一页", -1, &area, format);
  CString page;
  page.Format(L"%d / %d", m_nCurPage + 1, m_nPageCount);
  area = m_rcMiddle;
  dc.SetTextColor(kPageColour);
  dc.DrawText(page, -1, &area, format);
  area = m_rcNext;
  dc.SetTextColor(kLinkColour);
  dc.DrawText(L"下一页", -1, &area, format);
  dc.FillSolidRect(m_rcMiddle.left - 2, m_rcMiddle.top, 2, 15, kBarColour);
  dc.FillSolidRect(m_rcMiddle.right + 2, m_rcMiddle.top, 2, 15, kBarColour);
  dc.RestoreDC(saved);
}

LRESULT CSelectCtrl::OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&) {
  PaintWindowMessage(m_hWnd, wParam, [this](CDCHandle dc) { DoPaint(dc); });
  return 0;
}

LRESULT CSelectCtrl::OnEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&) {
  return 1;
}
