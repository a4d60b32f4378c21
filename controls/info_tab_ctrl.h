// CInfoTabCtrl: a tab control that paints itself. Selecting tabs stays with the tab control;
// a strip of m_nTabSpacing pixels at the right end of every tab is a gap between the tabs,
// where a click selects nothing.
//
// It works as a superclass (Create) or over an existing tab control (SubclassWindow).
// WM_PAINT goes to the virtual DoPaint, so derived strips paint their own way.
#pragma once

#include <windows.h>

#include "winlayer/controls_tab.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/window_impl.h"

class CInfoTabCtrl : public CWindowImpl<CInfoTabCtrl, CTabCtrl> {
 public:
  DECLARE_WND_SUPERCLASS(nullptr, CTabCtrl::GetWndClassName())

  // The painted text's font is "宋体" of this height.
  explicit CInfoTabCtrl(int fontHeight);
  ~CInfoTabCtrl() override = default;

  void SetTabSpacing(int spacing) { m_nTabSpacing = spacing; }
  int GetTabSpacing() const { return m_nTabSpacing; }

  // Paints the whole client area into dc.
  virtual void DoPaint(CDCHandle dc);
  // Called at the end of the base painting, for additions of a derived class.
  virtual void DrawExtra(CDCHandle dc) { (void)dc; }

  BEGIN_MSG_MAP(CInfoTabCtrl)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
  MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
  END_MSG_MAP()

 protected:
  // The tab's rectangle as the tab control reports it (empty when there is no such tab).
  CRect GetTabRect(int index) const;
  // The tab's text, at most 1023 characters.
  CString GetTabText(int index) const;

  int m_nTabSpacing = 0;
  CFont m_font;

 private:
  LRESULT OnPaint(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnEraseBkgnd(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnLButtonDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
};
