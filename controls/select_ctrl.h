// CSelectCtrl: the pager above the album promotions: "上一页", the page text "%d / %d" and
// "下一页" side by side. A click on the previous or next area steps the page (within 0 and the
// page count) and tells the parent with WM_NOTIFY code kPageNotify, also when the page stayed.
#pragma once

#include <windows.h>

#include "winlayer/gdi_dc.h"
#include "winlayer/geometry.h"
#include "winlayer/window_impl.h"

class CSelectCtrl : public CWindowImpl<CSelectCtrl> {
 public:
  DECLARE_WND_CLASS(L"RevSelectCtrl")

  static constexpr UINT kPageNotify = 7559;

  ~CSelectCtrl() override = default;

  // The current page, the first page and the window start become first; the page count becomes
  // the larger of count and first.
  void SetPageInfo(int first, int count);
  int GetCurPage() const { return m_nCurPage; }
  void SetCurPage(int page);
  void SetBkColor(COLORREF colour);
  int GetPageCount() const { return m_nPageCount; }

  BEGIN_MSG_MAP(CSelectCtrl)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
  MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
  END_MSG_MAP()

 private:
  LRESULT OnSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnMouseMove(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnLButtonDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnPaint(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnEraseBkgnd(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  void DoPaint(CDCHandle dc);

  int m_nPageCount = 0;
  int m_nFirstPage = 0;
  int m_nCurPage = 0;      // 0-based
  int m_nWindowStart = 0;  // kept for a window of page numbers
  CRect m_rcPrev;
  CRect m_rcMiddle;
  CRect m_rcNext;
  COLORREF m_clrBk = 0;
};
