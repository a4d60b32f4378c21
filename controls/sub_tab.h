// CSubTab: the tab strip of the main frame: dark, with the selected tab marked by an accent
// bar and the tab under the pointer highlighted.
#pragma once

#include <windows.h>

#include "controls/info_tab_ctrl.h"

class CSubTab : public CInfoTabCtrl {
 public:
  CSubTab() : CInfoTabCtrl(15) {}
  ~CSubTab() override = default;

  void DoPaint(CDCHandle dc) override;

  BEGIN_MSG_MAP(CSubTab)
  MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
  MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
  CHAIN_MSG_MAP(CInfoTabCtrl)
  END_MSG_MAP()

  int m_nHotItem = -1;       // the highlighted tab, -1 for none
  bool m_bTracking = false;  // a leave notice has been asked for

 private:
  LRESULT OnMouseMove(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnMouseLeave(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

  // Where the pointer makes a tab hot: the tab a little taller than the control reports it.
  CRect GetHotRect(int index) const;
  // Repaints what a change of the tab's highlight touches.
  void InvalidateHighlight(int index);
};
